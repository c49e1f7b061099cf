// The entry rules of the editor window's fields: the named handlers of the numeric
// fields and of the serial-number format, the pattern building, the pause and the
// part-number check, and how the window feeds the handlers from its fields.
#include "FormMainTestMenu.h"

#include "Database.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

using Window = FormMainTestMenu;

// One numeric field of the window with its four handlers.
struct NumericHandlers
{
    NumericField field;
    QLineEdit* Window::*control;
    void (Window::*Change)();
    void (Window::*KeyPress)(qint16&);
    void (Window::*Validate)(bool&);
    void (Window::*LostFocus)();
};

const std::array<NumericHandlers, 7>& numericHandlers()
{
    static const std::array<NumericHandlers, 7> table = {{
        {NumericField::txtMinSpec, &Window::txtMinSpec, &Window::txtMinSpec_Change,
         &Window::txtMinSpec_KeyPress, &Window::txtMinSpec_Validate, &Window::txtMinSpec_LostFocus},
        {NumericField::txtMaxSpec, &Window::txtMaxSpec, &Window::txtMaxSpec_Change,
         &Window::txtMaxSpec_KeyPress, &Window::txtMaxSpec_Validate, &Window::txtMaxSpec_LostFocus},
        {NumericField::txtAVG, &Window::txtAVG, &Window::txtAVG_Change, &Window::txtAVG_KeyPress,
         &Window::txtAVG_Validate, &Window::txtAVG_LostFocus},
        {NumericField::txtTDLY, &Window::txtTDLY, &Window::txtTDLY_Change, &Window::txtTDLY_KeyPress,
         &Window::txtTDLY_Validate, &Window::txtTDLY_LostFocus},
        {NumericField::txtssTOL, &Window::txtssTOL, &Window::txtssTOL_Change, &Window::txtssTOL_KeyPress,
         &Window::txtssTOL_Validate, &Window::txtssTOL_LostFocus},
        {NumericField::txtssMAXT, &Window::txtssMAXT, &Window::txtssMAXT_Change, &Window::txtssMAXT_KeyPress,
         &Window::txtssMAXT_Validate, &Window::txtssMAXT_LostFocus},
        {NumericField::txtautoTIME, &Window::txtautoTIME, &Window::txtautoTIME_Change,
         &Window::txtautoTIME_KeyPress, &Window::txtautoTIME_Validate, &Window::txtautoTIME_LostFocus},
    }};
    return table;
}

const NumericHandlers* handlersOf(const Window* window, const QObject* control)
{
    for (const NumericHandlers& h : numericHandlers()) {
        if (control && window->*h.control == control)
            return &h;
    }
    return nullptr;
}

// Passes the keys pressed in the numeric fields to their _KeyPress handlers, before the
// field sees them. No key is swallowed.
class KeyPressFeed : public QObject
{
public:
    explicit KeyPressFeed(Window* window)
        : QObject(window)
        , m_window(window)
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !m_window)
            return false;
        const NumericHandlers* h = handlersOf(m_window, watched);
        if (!h)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        qint16 KeyAscii = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            KeyAscii = 13;
        else if (!key->text().isEmpty() && key->text().at(0).unicode() < 0x8000)
            KeyAscii = qint16(key->text().at(0).unicode());
        else
            return false; // a key without a character (arrows, shift): no key press
        // The check may pause, and window events run meanwhile: the field may be gone after it.
        const QPointer<QObject> field(watched);
        (m_window->*h->KeyPress)(KeyAscii);
        return field.isNull();
    }

private:
    QPointer<Window> m_window;
};

} // namespace

void FormMainTestMenu::wireFieldRules()
{
    for (const NumericHandlers& h : numericHandlers()) {
        QLineEdit* control = this->*h.control;
        m_numericRules[std::size_t(h.field)] =
            new NumericFieldRule(numericFieldSpec(h.field), control, txtStatus, pause, this);
        // Every change of the text, the program's included, runs the change handler.
        connect(control, &QLineEdit::textChanged, this, [this, change = h.Change] { (this->*change)(); });
    }
    auto* keys = new KeyPressFeed(this);
    for (const NumericHandlers& h : numericHandlers())
        (this->*h.control)->installEventFilter(keys);

    m_snFormatRule = new SerialFormatRule(txtsnFORMAT, lblsnLEN, txtStatus, pause, this);

    m_pnRule = std::make_unique<PartNumberRule>(
        txtStatus, lsttestPN, pause, [this](const QString& pn, qint16& count, const QString& wFROM) {
            if (database)
                database->SQL_checkPN(account.ipPORT, account.custDB, account.custUSER, account.custUSER_PW,
                                      account.snTABLE, pn, count, wFROM);
        });
}

bool FormMainTestMenu::fieldLostFocus(QWidget* control)
{
    // A field being destroyed is no longer a line edit and is left alone.
    if (!qobject_cast<QLineEdit*>(control))
        return false;
    // The handlers pause, and window events run meanwhile: the window may be gone after one.
    const QPointer<FormMainTestMenu> alive(this);
    if (const NumericHandlers* h = handlersOf(this, control)) {
        bool Cancel = false;
        (this->*h->Validate)(Cancel);
        if (alive)
            (this->*h->LostFocus)();
        return true;
    }
    if (control == txtsnFORMAT) {
        // The leave handler is the check itself; running it as validation as well would
        // show the same message twice.
        txtsnFORMAT_lostfocus();
        return true;
    }
    return false;
}

// ---- Numeric fields ----

void FormMainTestMenu::txtMinSpec_Change()
{
    rule(NumericField::txtMinSpec).Change();
}
void FormMainTestMenu::txtMinSpec_KeyPress(qint16& KeyAscii)
{
    rule(NumericField::txtMinSpec).KeyPress(KeyAscii);
}
void FormMainTestMenu::txtMinSpec_Validate(bool& Cancel)
{
    rule(NumericField::txtMinSpec).Validate(Cancel);
}
void FormMainTestMenu::txtMinSpec_LostFocus()
{
    rule(NumericField::txtMinSpec).LostFocus();
}

void FormMainTestMenu::txtMaxSpec_Change()
{
    rule(NumericField::txtMaxSpec).Change();
}
void FormMainTestMenu::txtMaxSpec_KeyPress(qint16& KeyAscii)
{
    rule(NumericField::txtMaxSpec).KeyPress(KeyAscii);
}
void FormMainTestMenu::txtMaxSpec_Validate(bool& Cancel)
{
    rule(NumericField::txtMaxSpec).Validate(Cancel);
}
void FormMainTestMenu::txtMaxSpec_LostFocus()
{
    rule(NumericField::txtMaxSpec).LostFocus();
}

void FormMainTestMenu::txtAVG_Change()
{
    rule(NumericField::txtAVG).Change();
}
void FormMainTestMenu::txtAVG_KeyPress(qint16& KeyAscii)
{
    rule(NumericField::txtAVG).KeyPress(KeyAscii);
}
void FormMainTestMenu::txtAVG_Validate(bool& Cancel)
{
    rule(NumericField::txtAVG).Validate(Cancel);
}
void FormMainTestMenu::txtAVG_LostFocus()
{
    rule(NumericField::txtAVG).LostFocus();
}

void FormMainTestMenu::txtTDLY_Change()
{
    rule(NumericField::txtTDLY).Change();
}
void FormMainTestMenu::txtTDLY_KeyPress(qint16& KeyAscii)
{
    rule(NumericField::txtTDLY).KeyPress(KeyAscii);
}
void FormMainTestMenu::txtTDLY_Validate(bool& Cancel)
{
    rule(NumericField::txtTDLY).Validate(Cancel);
}
void FormMainTestMenu::txtTDLY_LostFocus()
{
    rule(NumericField::txtTDLY).LostFocus();
}

void FormMainTestMenu::txtssTOL_Change()
{
    rule(NumericField::txtssTOL).Change();
}
void FormMainTestMenu::txtssTOL_KeyPress(qint16& KeyAscii)
{
    rule(NumericField::txtssTOL).KeyPress(KeyAscii);
}
void FormMainTestMenu::txtssTOL_Validate(bool& Cancel)
{
    rule(NumericField::txtssTOL).Validate(Cancel);
}
void FormMainTestMenu::txtssTOL_LostFocus()
{
    rule(NumericField::txtssTOL).LostFocus();
}

void FormMainTestMenu::txtssMAXT_Change()
{
    rule(NumericField::txtssMAXT).Change();
}
void FormMainTestMenu::txtssMAXT_KeyPress(qint16& KeyAscii)
{
    rule(NumericField::txtssMAXT).KeyPress(KeyAscii);
}
void FormMainTestMenu::txtssMAXT_Validate(bool& Cancel)
{
    rule(NumericField::txtssMAXT).Validate(Cancel);
}
void FormMainTestMenu::txtssMAXT_LostFocus()
{
    rule(NumericField::txtssMAXT).LostFocus();
}

void FormMainTestMenu::txtautoTIME_Change()
{
    rule(NumericField::txtautoTIME).Change();
}
void FormMainTestMenu::txtautoTIME_KeyPress(qint16& KeyAscii)
{
    rule(NumericField::txtautoTIME).KeyPress(KeyAscii);
}
void FormMainTestMenu::txtautoTIME_Validate(bool& Cancel)
{
    rule(NumericField::txtautoTIME).Validate(Cancel);
}
void FormMainTestMenu::txtautoTIME_LostFocus()
{
    rule(NumericField::txtautoTIME).LostFocus();
}

bool FormMainTestMenu::fieldNumber(const QLineEdit* field, double& value)
{
    return field && readNumber(field->text(), &value);
}

// ---- Serial-number format ----

void FormMainTestMenu::txtsnFORMAT_Validate(bool& Cancel)
{
    m_snFormatRule->Validate(Cancel);
}

void FormMainTestMenu::txtsnFORMAT_lostfocus()
{
    m_snFormatRule->LostFocus();
}

void FormMainTestMenu::ConvertSerialNumber(const QString& snINPUT)
{
    zelmar::ConvertSerialNumber(snINPUT, cur.snPATTERN, cur.snLENGTH);
}

// ---- The pause and the part-number string ----

void FormMainTestMenu::timeDELAY(double Delay)
{
    zelmar::timeDELAY(pause, Delay);
}

void FormMainTestMenu::checkPN(QString& strPN, qint16& pnCHECK, qint16& iSKIP, const QString& wFROM)
{
    m_pnRule->checkPN(strPN, pnCHECK, iSKIP, wFROM, cur.curPN);
}

} // namespace zelmar
