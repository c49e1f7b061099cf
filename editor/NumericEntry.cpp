#include "NumericEntry.h"

#include "Colors.h"
#include "Flash.h"

#include <QLineEdit>
#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace zelmar {

bool readNumber(const QString& text, double* value)
{
    const QLocale locale;
    const QString trimmed = text.trimmed();
    bool ok = false;
    double number = locale.toDouble(trimmed, &ok);
    if (!ok) {
        // The locale insists on well-placed group separators; an operator who deletes a
        // digit of "1,500.0" leaves "1,00.0", which still means 100. Separators are dropped
        // before the decimal point only, and only where they follow a digit.
        const QString group = locale.groupSeparator();
        const QString point = locale.decimalPoint();
        if (!group.isEmpty() && group != point && trimmed.contains(group)) {
            qsizetype headEnd = trimmed.indexOf(point);
            if (headEnd < 0)
                headEnd = trimmed.size();
            QString head = trimmed.left(headEnd);
            const QString tail = trimmed.mid(headEnd);
            bool placed = !tail.contains(group);
            for (qsizetype at = head.indexOf(group); placed && at >= 0; at = head.indexOf(group, at + 1))
                placed = at > 0 && head.at(at - 1).isDigit();
            if (placed) {
                head.remove(group);
                number = locale.toDouble(head + tail, &ok);
            }
        }
    }
    if (!ok || !std::isfinite(number))
        return false;
    if (value)
        *value = number;
    return true;
}

bool ValidateNumeric(const QString& strtext)
{
    if (strtext.isEmpty())
        return true;
    // What a person passes through while typing a signed or fractional number.
    static const QString partial[] = {u"-"_s, u"+"_s, u"+."_s, u"-."_s, u"."_s};
    for (const QString& p : partial) {
        if (strtext == p)
            return true;
    }
    const QLocale locale;
    const QString point = locale.decimalPoint();
    for (const QString& sign : {locale.negativeSign(), locale.positiveSign()}) {
        if (strtext == sign || strtext == sign + point)
            return true;
    }
    if (strtext == point)
        return true;
    return readNumber(strtext, nullptr);
}

QString formatNumber(double value, int decimals)
{
    const QLocale locale;
    decimals = qMax(0, decimals);
    if (!std::isfinite(value))
        return locale.toString(value);

    // Round the decimal digits the value was typed with, not its binary neighbour:
    // 2.345 is stored as 2.34499..., yet the operator expects 2.35.
    const QString plain = QLocale::c().toString(std::fabs(value), 'f', QLocale::FloatingPointShortest);
    const qsizetype dot = plain.indexOf(u'.');
    QString whole = dot < 0 ? plain : plain.left(dot);
    QString fraction = dot < 0 ? QString() : plain.mid(dot + 1);
    const bool roundUp = fraction.size() > decimals && fraction.at(decimals) >= u'5';
    fraction = fraction.left(decimals).leftJustified(decimals, u'0');
    if (roundUp) {
        QString digits = whole + fraction;
        qsizetype i = digits.size() - 1;
        while (i >= 0 && digits.at(i) == u'9')
            digits[i--] = u'0';
        if (i < 0)
            digits.prepend(u'1');
        else
            digits[i] = QChar(digits.at(i).unicode() + 1);
        whole = digits.left(digits.size() - decimals);
        fraction = digits.right(decimals);
    }

    bool small = false;
    const qulonglong wholeValue = whole.toULongLong(&small);
    QString text = small ? locale.toString(wholeValue) : locale.toString(whole.toDouble(), 'f', 0);
    if (decimals > 0) {
        QString localDigits = fraction;
        if (locale.zeroDigit() != u"0"_s) {
            localDigits.clear();
            for (QChar c : fraction)
                localDigits += locale.toString(c.unicode() - u'0');
        }
        text += locale.decimalPoint() + localDigits;
    }
    const QString all = whole + fraction;
    const bool zero = all.count(u'0') == all.size();
    if (value < 0 && !zero)
        text.prepend(locale.negativeSign());
    return text;
}

int decimalsTyped(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QString point = QLocale().decimalPoint();
    const qsizetype at = trimmed.indexOf(point);
    if (at < 0)
        return 1;
    return int(qMax<qsizetype>(1, trimmed.size() - at - point.size()));
}

void timeDELAY(Pause* pause, double Delay)
{
    if (pause)
        pause->wait(Delay);
}

const std::array<NumericFieldSpec, 7>& numericFieldSpecs()
{
    // Bounds are inclusive. The tolerance bounds are 0.99 and 20.01 on purpose:
    // 0.995 and 20.005 pass unchanged.
    static const std::array<NumericFieldSpec, 7> specs = {{
        {NumericField::txtMinSpec, "txtMinSpec", "0.0", 0.0, "0.0", nullptr, 100000000.0, "0.0", nullptr,
         "0.0", false, nullptr, 4.0, -1, -1, false, false, false},
        {NumericField::txtMaxSpec, "txtMaxSpec", "100.0", 0.0, "100.0", nullptr, 100000000.0, "100.0",
         nullptr, "0.0", true, nullptr, 2.0, -1, -1, false, false, false},
        {NumericField::txtAVG, "txtAVG", "2", 1.0, "1", nullptr, 25.0, "25", nullptr, "2", true,
         "ERROR: Text average was out of bounds", 4.0, 2, -1, false, false, false},
        {NumericField::txtTDLY, "txtTDLY", "0.25", 0.0, "0.0", "ERROR: Time Delay value was negative", 30.0,
         "30", "ERROR: Time Delay value was out of bounds", "0.25", true,
         "ERROR: Time Delay value was unrecognizable", 3.0, 2, -1, true, true, false},
        {NumericField::txtssTOL, "txtssTOL", "5.0", 0.99, "1.0", "ERROR: Stability Tol must be >= 1%", 20.01,
         "20.0", "ERROR: Stability Tol must be <= 20%", "5.0", true, "ERROR: Stability Tol entry was unknown",
         3.0, 1, -1, true, true, true},
        {NumericField::txtssMAXT, "txtssMAXT", "2.0", 2.0, "2.0", "ERROR: Max Wait Time must be >= 2 secs",
         10.0, "10.0", "ERROR: Max Wait Time must be <= 10 secs", "2.0", true,
         "ERROR: Max Wait Time Value was unrecognized", 4.0, 1, -1, false, false, false},
        {NumericField::txtautoTIME, "txtautoTIME", "60.0", 5.0, "5.0", nullptr, 120.0, "120.0", nullptr,
         "60.0", true, nullptr, 4.0, 1, 1, false, false, false},
    }};
    return specs;
}

const NumericFieldSpec& numericFieldSpec(NumericField field)
{
    return numericFieldSpecs().at(std::size_t(field));
}

NumericFieldRule::NumericFieldRule(const NumericFieldSpec& spec, QLineEdit* field, QLineEdit* txtStatus,
                                   Pause* pause, QObject* parent)
    : QObject(parent)
    , m_spec(spec)
    , m_field(field)
    , m_status(txtStatus)
    , m_pause(pause)
{}

void NumericFieldRule::Change()
{
    // Putting the replacement in changes the text again; that second run has nothing to do.
    if (!m_field || m_inChange)
        return;
    if (!ValidateNumeric(m_field->text())) {
        m_inChange = true;
        m_field->setText(QString::fromLatin1(m_spec.replacement));
        m_inChange = false;
    }
}

void NumericFieldRule::KeyPress(qint16 KeyAscii)
{
    if (KeyAscii == 13)
        Validate();
}

void NumericFieldRule::Validate(bool& Cancel)
{
    Q_UNUSED(Cancel)
    Validate();
}

void NumericFieldRule::Validate()
{
    runCheck();
}

bool NumericFieldRule::runCheck()
{
    if (!m_field)
        return true;
    double value = 0;
    if (!readNumber(m_field->text(), &value)) {
        setFieldText(QString::fromLatin1(m_spec.unreadableText));
        if (m_spec.unreadableFlash)
            return flash(m_spec.unreadableMessage, m_spec.repaintUnreadableMessage);
    } else if (value < m_spec.low) {
        setFieldText(QString::fromLatin1(m_spec.lowText));
        return flash(m_spec.lowMessage, m_spec.repaintLowMessage);
    } else if (value > m_spec.high) {
        setFieldText(QString::fromLatin1(m_spec.highText));
        return flash(m_spec.highMessage, m_spec.repaintHighMessage);
    } else if (m_spec.passDecimals >= 0) {
        setFieldText(formatNumber(value, m_spec.passDecimals));
    }
    return true;
}

void NumericFieldRule::LostFocus()
{
    if (!runCheck() || !m_field)
        return;
    const QString text = m_field->text();
    double value = 0;
    if (!readNumber(text, &value)) {
        setFieldText(QString::fromLatin1(m_spec.replacement));
        return;
    }
    setFieldText(formatNumber(value, m_spec.leaveDecimals < 0 ? decimalsTyped(text) : m_spec.leaveDecimals));
}

void NumericFieldRule::setFieldText(const QString& text)
{
    if (m_field)
        m_field->setText(text);
}

bool NumericFieldRule::flash(const char* message, bool repaintStatus)
{
    // The pause runs window events: the window, this rule or the status box may be gone after it.
    const QPointer<NumericFieldRule> alive(this);
    StatusNote note;
    if (message) {
        note = {
            .box = m_status, .text = QString::fromLatin1(message), .repaint = repaintStatus, .restore = true};
    }
    // Back to white whatever ran during the pause.
    zelmar::flash(m_pause, {m_field}, {{colors::red, m_spec.pauseSeconds}}, colors::white, note);
    return !alive.isNull();
}

} // namespace zelmar
