// The main window: its controls, pick lists, timers and the wiring of its
// events to the handlers. The state procedures are in
// WindowState.cpp, quitting in Quit.cpp.
#include "FormMainTestMenu.h"

#include "Logo.h"

#include "Database.h"
#include "FindPartNumber.h"
#include "HistoryWindow.h"
#include "PartNumberEdits.h"
#include "Review.h"
#include "Selection.h"

#include "BusyCursor.h"
#include "Colors.h"
#include "Fonts.h"
#include "TabOrder.h"
#include "TypedLength.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

// Positions are given in twips; 15 twips are one pixel at 96 dpi. Qt scales
// the whole window for other screens.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

constexpr int windowWidth = 690;
constexpr int windowHeight = 672;
constexpr int labelHeight = 16;
constexpr int fieldHeight = 22;
constexpr int checkHeight = 20;
constexpr qreal fontPoints = 9.0;

template<typename W>
W* place(QWidget* parent, const QString& name, int leftTwips, int topTwips, int width, int height)
{
    auto* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(px(leftTwips), px(topTwips), width, height);
    return w;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
              int height = labelHeight)
{
    auto* l = place<QLabel>(parent, name, left, top, width, height);
    l->setText(caption);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(height > labelHeight ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLineEdit* field(QWidget* parent, const QString& name, const QString& tip, const QString& accessible,
                 int left, int top, int width, int maxLength = 0)
{
    auto* e = place<QLineEdit>(parent, name, left, top, width, fieldHeight);
    e->setToolTip(tip);
    e->setAccessibleName(accessible);
    // Limits typing only: a longer text set by the program is shown whole.
    limitTypedLength(e, maxLength);
    return e;
}

QComboBox* list(QWidget* parent, const QString& name, const QString& tip, const QString& accessible, int left,
                int top, int width)
{
    auto* c = place<QComboBox>(parent, name, left, top, width, fieldHeight);
    c->setToolTip(tip);
    c->setAccessibleName(accessible);
    c->setEditable(false);
    c->setFocusPolicy(Qt::StrongFocus);
    return c;
}

QCheckBox* check(QWidget* parent, const QString& name, const QString& caption, const QString& tip, int left,
                 int top, int width)
{
    auto* c = place<QCheckBox>(parent, name, left, top, width, checkHeight);
    c->setText(caption);
    c->setToolTip(tip);
    c->setAccessibleName(caption);
    return c;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& tip, int top)
{
    // One column at left 8520, each 1572 by 852 twips.
    auto* b = place<QPushButton>(parent, name, 8520, top, px(1572), px(852));
    b->setText(caption);
    b->setToolTip(tip);
    b->setAccessibleName(caption);
    // Enter in a field must not press a button of the dialog.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

FormMainTestMenu::FormMainTestMenu(Dialogs* dialogs_, Pause* pause_, ProgramEnd* programEnd_,
                                   db::Database* database_, QWidget* parent)
    : QDialog(parent)
    , dialogs(dialogs_)
    , pause(pause_)
    , programEnd(programEnd_)
    , database(database_)
{
    setObjectName(u"FormMainTestMenu"_s);
    // The caption of a signed-in run is set by the start sequence.
    setWindowTitle(u"Zelmar\u2122"_s);
    useCalibri();
    setFont(calibri(fontPoints));
    setFixedSize(windowWidth, windowHeight);
    m_selection = std::make_unique<Selection>(*this);
    m_review = std::make_unique<Review>(*this);
    m_pnEdits = std::make_unique<PartNumberEdits>(*this);
    buildControls();
    connectHandlers();
    wireFieldRules();
    setReadingTabOrder(*this);
}

FormMainTestMenu::~FormMainTestMenu() = default;

QStringList FormMainTestMenu::unitsEntries()
{
    return {u"ohms"_s};
}

QStringList FormMainTestMenu::scaleEntries()
{
    return {u"milli"_s, u"unity"_s, u"kilo"_s, u"mega"_s};
}

QStringList FormMainTestMenu::speedEntries()
{
    return {u"SLOW"_s, u"MEDIUM"_s, u"FAST"_s};
}

QStringList FormMainTestMenu::rangeEntries()
{
    return {u"AUTO"_s, u"0-200"_s, u"0-2K"_s, u"0-20K"_s, u"0-200K"_s, u"0-2M"_s, u"0-20M"_s, u"0-100M"_s};
}

void FormMainTestMenu::buildControls()
{
    QWidget* w = this;

    // ---- Part-number area (upper left); creation order is the tab order ----
    lblpartNAME = label(w, u"lblpartNAME"_s, u"Part Number Selection Field"_s, 240, 240, 208);
    lsttestPN =
        list(w, u"lsttestPN"_s, u"Select the part number"_s, u"Part Number Selection Field"_s, 240, 480, 208);
    lsttestPN->setEditable(true);
    // Typed text stays text: no item is added, no completion changes it.
    lsttestPN->setInsertPolicy(QComboBox::NoInsert);
    lsttestPN->setCompleter(nullptr);
    lblpartNAME->setBuddy(lsttestPN);

    lblsnNAME = label(w, u"lblsnNAME"_s, u"Part Number Description"_s, 240, 960, 208);
    txtsnNAME = field(w, u"txtsnNAME"_s, u"Enter the Part Number Description [varchar(25)]"_s,
                      u"Part Number Description"_s, 240, 1200, 208, 25);
    lblsnNAME->setBuddy(txtsnNAME);
    chksnACTIVE = check(w, u"chksnACTIVE"_s, u"PN Active"_s,
                        u"Select this checkbox if you wish for this Port to be active (appear in the drop "
                        u"downbox)"_s,
                        4680, 1200, 180);
    chkpnDEFAULT =
        check(w, u"chkpnDEFAULT"_s, u"Default PN"_s,
              u"Select this checkbox if you wish for this PN to automatically selected on startup"_s, 7560,
              1200, 160);

    lblSNentryfield = label(w, u"lblSNentryfield"_s, u"Serial Number Format Field"_s, 240, 1680, 208);
    lblsnLENGTH = label(w, u"lblsnLENGTH"_s, u"SN LENGTH"_s, 3480, 1680, 76);
    chksnBARCODE = check(w, u"chksnBARCODE"_s, u"SN Scanning Reqd"_s,
                         u"Select if you wish for Serial Number scanning to be required (bar code labels on "
                         u"PN)"_s,
                         4680, 1680, 180);
    chkRANDR = check(w, u"chkRANDR"_s, u"R and R Units Defined"_s,
                     u"Select this checkbox if you want to define GOOD and BAD Gage R and R serial numbers"_s,
                     7560, 1680, 168);
    txtsnFORMAT = field(w, u"txtsnFORMAT"_s, u"Enter the SN Format [A-Z, 0-9, #, *, -, $, or space]"_s,
                        u"Serial Number Format Field"_s, 240, 1920, 208, 35);
    lblSNentryfield->setBuddy(txtsnFORMAT);
    lblsnLEN = label(w, u"lblsnLEN"_s, QString(), 3600, 1920, 60, fieldHeight);
    lblsnLEN->setAccessibleName(u"Serial Number Length"_s);

    chkautoMEASURE = check(w, u"chkautoMEASURE"_s, u"Real Time Measure"_s,
                           u"Select if you wish to enable the Auto Measure feature"_s, 4680, 2160, 180);
    txtautoTIME = field(w, u"txtautoTIME"_s, u"Enter the auto measure time interval in seconds"_s,
                        u"Auto Measure Time"_s, 7560, 2160, 60);
    lblSEC = label(w, u"lblSEC"_s, u"(seconds)"_s, 8520, 2160, 64, fieldHeight);

    lblGOODSN = label(w, u"lblGOODSN"_s, u"Good R and R Serial Number"_s, 240, 2640, 232);
    txtGOODSN = field(w, u"txtGOODSN"_s, u"Good R and R Serial Number"_s, u"Good R and R Serial Number"_s,
                      240, 2880, 232, 35);
    lblGOODSN->setBuddy(txtGOODSN);
    lblBADSN = label(w, u"lblBADSN"_s, u"Bad R and R Serial Number"_s, 3960, 2640, 232);
    txtBADSN = field(w, u"txtBADSN"_s, u"Bad R and R serial number field"_s, u"Bad R and R Serial Number"_s,
                     3960, 2880, 232, 35);
    lblBADSN->setBuddy(txtBADSN);

    // ---- Status bar (upper right) ----
    lblSUMMARY = label(w, u"lblSUMMARY"_s, u"Status Bar"_s, 4680, 240, 200);
    txtStatus = field(w, u"txtStatus"_s, u"Status Bar provides info to the Program User"_s, u"Status Bar"_s,
                      4680, 480, windowWidth - 16 - px(4680));
    txtStatus->setReadOnly(true);
    txtStatus->setFocusPolicy(Qt::ClickFocus);
    lblSUMMARY->setBuddy(txtStatus);

    // ---- Port area (middle) ----
    lblPORTNUM = label(w, u"lblPORTNUM"_s, u"Port Number"_s, 1320, 3840, 108, fieldHeight);
    lstPORT = list(w, u"lstPORT"_s, u"Select the Port Number"_s, u"Port Number"_s, 3000, 3840, 96);
    lblPORTNUM->setBuddy(lstPORT);
    chkACTIVE = check(w, u"chkACTIVE"_s, u"Port Active"_s,
                      u"Select this checkbox if you wish for this Port to be active"_s, 4560, 3840, 120);

    lblTitles = label(w, u"lblTitles"_s, u"Port Description"_s, 1320, 4440, 108, fieldHeight);
    txtPort =
        field(w, u"txtPort"_s, u"Enter the Port Description"_s, u"Port Description"_s, 3000, 4440, 200, 15);
    lblTitles->setBuddy(txtPort);

    lbltestPARAMS = label(w, u"lbltestPARAMS"_s, u"Min/Max Specs"_s, 1320, 5520, 108, labelHeight);
    txtMinSpec = field(w, u"txtMinSpec"_s, u"Enter the minimum test spec requirement"_s, u"Min Spec"_s, 3000,
                       5484, 104);
    txtMaxSpec =
        field(w, u"txtMaxSpec"_s, u"Enter the max test spec requirement"_s, u"Max Spec"_s, 4680, 5484, 104);
    lbltestPARAMS->setBuddy(txtMinSpec);

    lblSCALE = label(w, u"lblSCALE"_s, u"Units/Scale"_s, 1320, 6120, 108, fieldHeight);
    lstsCALE = list(w, u"lstsCALE"_s, u"Enter the scale factor (applies to the min/max/display results)"_s,
                    u"Scale"_s, 3000, 6120, 104);
    lstuNITS = list(w, u"lstuNITS"_s, u"Select the test units (currently only ohm units allowed)"_s,
                    u"Units"_s, 4680, 6120, 104);
    lblSCALE->setBuddy(lstsCALE);

    lblSPEED = label(w, u"lblSPEED"_s, u"Speed"_s, 1320, 6720, 108, fieldHeight);
    lstSPEED = list(w, u"lstSPEED"_s, u"Select the test speed made by the Fluke meter"_s, u"Speed"_s, 3000,
                    6720, 104);
    lblSPEED->setBuddy(lstSPEED);
    lblnumAVG = label(w, u"lblnumAVG"_s, u"Num Avgs"_s, 4680, 6720, 84, fieldHeight);
    txtAVG = field(w, u"txtAVG"_s, u"Select the number of measurements to make (and average)"_s,
                   u"Num Avgs"_s, 6000, 6720, 60);
    lblnumAVG->setBuddy(txtAVG);

    lblRANGE = label(w, u"lblRANGE"_s, u"Range"_s, 1320, 7320, 108, fieldHeight);
    lstRANGE =
        list(w, u"lstRANGE"_s, u"Select the Fluke test measurement range"_s, u"Range"_s, 3000, 7320, 104);
    lblRANGE->setBuddy(lstRANGE);
    lblTIMEDELAY = label(w, u"lblTIMEDELAY"_s, u"Time Delay"_s, 4680, 7320, 84, fieldHeight);
    txtTDLY = field(w, u"txtTDLY"_s,
                    u"Enter the optional time delay (seconds) before making the test measurement"_s,
                    u"Time Delay"_s, 6000, 7320, 60);
    lblTIMEDELAY->setBuddy(txtTDLY);
    Label1 = label(w, u"Label1"_s, u"(seconds)"_s, 6960, 7320, 64, fieldHeight);

    lblssALG = label(w, u"lblssALG"_s, u"Measurement Stabilty Requirement"_s, 1320, 8160, 182, 34);
    lblssALG->setWordWrap(true);
    lblssALG->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSSTOL = label(w, u"lblSSTOL"_s, u"Stability Tolerance"_s, 4080, 8160, 94);
    lblMAXTIME = label(w, u"lblMAXTIME"_s, u"Max Wait Time"_s, 5520, 8160, 78);
    chkssON = check(w, u"chkssON"_s, u"ENABLED"_s,
                    u"Select the checkbox to enable the Steady State algorithm"_s, 2880, 8760, 88);
    txtssTOL = field(w, u"txtssTOL"_s, u"Enter the SS percentage requirement "_s, u"Stability Tolerance"_s,
                     4320, 8760, 72);
    lblSSTOL->setBuddy(txtssTOL);
    txtssMAXT = field(w, u"txtssMAXT"_s,
                      u"Enter the max time the algorithm will wait for SS conditions before giving up"_s,
                      u"Max Wait Time"_s, 5640, 8760, 64);
    lblMAXTIME->setBuddy(txtssMAXT);
    Label4 = label(w, u"Label4"_s, u"(percent)"_s, 4200, 9240, 72);
    Label3 = label(w, u"Label3"_s, u"(seconds)"_s, 5520, 9240, 72);
    chkssREQD = check(w, u"chkssREQD"_s, u"EOL REQD"_s,
                      u"Select this checkbox if SS is required. If selected, if SS conditions are not met -- "
                      u"PORT test reports as FAILED"_s,
                      6720, 8640, 112);

    // ---- Command buttons ----
    btnREVIEW = button(w, u"btnREVIEW"_s, u"REVIEW"_s,
                       u"Select this button to check current entered configuration for errors"_s, 3600);
    btnUPDATE = button(w, u"btnUPDATE"_s, u"UPDATE MySQL"_s,
                       u"Select this button to UPDATE the current Part Number to the Database"_s, 4680);
    btnDELETE = button(w, u"btnDELETE"_s, u"DELETE RECORD"_s,
                       u"Select this button to delete this current Part Number"_s, 5760);
    btnEXPORT = button(w, u"btnEXPORT"_s, u"EXPORT TO EXCEL"_s,
                       u"Select this button to Export the current Part Number to Microsoft Excel (if loaded "
                       u"on your computer)"_s,
                       6840);
    btnADD =
        button(w, u"btnADD"_s, u"CREATE  NEW PN"_s, u"Select this button to ADD a new Part Number"_s, 7920);
    btnQUIT = button(w, u"btnQUIT"_s, u"QUIT"_s,
                     u"Select the QUIT button when you are ready to exit the program"_s, 9000);

    // ---- Logo ----
    Image1 = place<QLabel>(w, u"Image1"_s, 240, 3840, 64, 64);
    Image1->setPixmap(makerLogo(64, calibri(12)));
    Image1->setAccessibleName(u"Logo"_s);

    // ---- Timers ----
    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(1000);
    Timer6 = new QTimer(this);
    Timer6->setObjectName(u"Timer6"_s);
    Timer6->setInterval(10000);
    Timer6->start(); // enabled at design time: runs from the window's load
}

void FormMainTestMenu::connectHandlers()
{
    // Program and operator changes alike run the handler; an unchanged value runs nothing.
    connect(lsttestPN, &QComboBox::currentIndexChanged, this, [this] { lsttestPN_Click(); });
    connect(lstPORT, &QComboBox::currentIndexChanged, this, [this] { lstPORT_Click(); });
    connect(lstsCALE, &QComboBox::currentIndexChanged, this, [this] { lstsCALE_Click(); });
    connect(chkautoMEASURE, &QCheckBox::toggled, this, [this] { chkautoMEASURE_Click(); });
    connect(chkRANDR, &QCheckBox::toggled, this, [this] { chkRANDR_Click(); });
    connect(chksnBARCODE, &QCheckBox::toggled, this, [this] { chksnBARCODE_Click(); });
    connect(chkssON, &QCheckBox::toggled, this, [this] { chkssON_Click(); });

    connect(btnREVIEW, &QPushButton::clicked, this, [this] { btnREVIEW_Click(); });
    connect(btnUPDATE, &QPushButton::clicked, this, [this] { btnUPDATE_Click(); });
    connect(btnDELETE, &QPushButton::clicked, this, [this] { btnDELETE_Click(); });
    connect(btnEXPORT, &QPushButton::clicked, this, [this] { btnEXPORT_Click(); });
    connect(btnADD, &QPushButton::clicked, this, [this] { btnADD_Click(); });
    connect(btnQUIT, &QPushButton::clicked, this, [this] { btnQUIT_Click(); });

    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Timer6, &QTimer::timeout, this, [this] { Timer6_Timer(); });

    // Typing over the PN leaves no entry selected, as a Windows combo box does.
    connect(lsttestPN->lineEdit(), &QLineEdit::textEdited, this, [this] { lsttestPNEdited(); });
    // QComboBox selects an entry whose text matches the typed text when editing
    // ends; the editor decides that itself (rename), so that goes.
    disconnect(lsttestPN->lineEdit(), &QLineEdit::editingFinished, lsttestPN, nullptr);

    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this), &QShortcut::activated, this,
            [this] { showHISTORY(); });
    // Any part number of the table, beyond the 100 that the list shows.
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
            [this] { findPartNumber(); });
    lsttestPN->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lsttestPN->lineEdit(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { showListMenu(at); });

    // Focus leaving a control, and wheel turns over lists without focus.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->installEventFilter(this);
}

void FormMainTestMenu::lsttestPNEdited()
{
    if (lsttestPN->currentIndex() == -1)
        return;
    // The operator typed over the shown entry: no entry is selected any more,
    // no handler runs, and the typed text stays as it is.
    QLineEdit* edit = lsttestPN->lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition();
    {
        const QSignalBlocker blocker(lsttestPN);
        lsttestPN->setCurrentIndex(-1);
        edit->setText(text);
    }
    edit->setCursorPosition(cursor);
}

void FormMainTestMenu::refillList(QComboBox* list, const QStringList& entries)
{
    if (!list)
        return;
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(entries);
    // Qt selects the first entry that goes into an empty list; the editor selects itself.
    list->setCurrentIndex(-1);
    if (list->isEditable())
        list->setEditText(QString());
}

void FormMainTestMenu::fillPNlist()
{
    QStringList entries;
    const int n = std::clamp<int>(cur.numPN, 0, db::pnListSlots);
    for (int i = 1; i <= n; ++i)
        entries << cur.pnLIST[i];
    refillList(lsttestPN, entries);
}

bool FormMainTestMenu::setnumPORTS(int accountPorts)
{
    const int usable = usablePorts(accountPorts);
    cur.numPORTS = qint16(usable);
    m_stationPorts = qint16(usable);
    if (accountPorts > db::portSlots && !m_portCapTold) {
        m_portCapTold = true;
        txtStatus->setText(
            u"RESULT: Station has %1 ports; only the first %2 can be edited"_s.arg(accountPorts)
                .arg(db::portSlots));
        setBackColor(txtStatus, colors::yellow);
    }
    return usable == accountPorts;
}

bool FormMainTestMenu::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->parentWidget() == this) {
        switch (event->type()) {
        case QEvent::FocusOut: {
            // Opening a list's popup or going to another window is no leave; nor is the
            // focus moving on because the program disabled the control.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
                widget->isEnabled()) {
                // The leave handlers pause. Run inside the focus change, their pause would
                // deliver a button's release before its press and lose the click: they
                // run once the event that moved the focus is done.
                QMetaObject::invokeMethod(
                    this,
                    [this, left = QPointer<QWidget>(widget)] {
                        if (left && !ended())
                            controlLostFocus(left);
                    },
                    Qt::QueuedConnection);
            }
            break;
        }
        case QEvent::Wheel:
            // A wheel turned over a list that the operator is not in changes nothing.
            if (qobject_cast<QComboBox*>(widget) && !widget->hasFocus()) {
                event->ignore();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FormMainTestMenu::controlLostFocus(QWidget* control)
{
    const auto action = operatorAction();
    if (control == lsttestPN)
        lsttestPN_LostFocus();
    else
        fieldLostFocus(control);
}

void FormMainTestMenu::keyPressEvent(QKeyEvent* event)
{
    // The editor is left only through QUIT: Escape does not close it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    // Enter presses the button that has the focus, and no other.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* pushButton = qobject_cast<QPushButton*>(focusWidget())) {
            if (pushButton->isEnabled())
                pushButton->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- Handlers: thin forwards to the classes that hold their logic ----

void FormMainTestMenu::lsttestPN_Click()
{
    const auto action = operatorAction();
    m_selection->load();
}
void FormMainTestMenu::lsttestPN_LostFocus()
{
    const auto action = operatorAction();
    m_selection->leaveList();
}
void FormMainTestMenu::lstPORT_Click()
{
    m_selection->switchPort();
}
void FormMainTestMenu::lstsCALE_Click()
{
    m_selection->changeScale();
}
void FormMainTestMenu::readcurPARAM(qint16& iERROR)
{
    m_selection->readcurPARAM(iERROR);
}

int FormMainTestMenu::rereadPNlist(const QString& name)
{
    const db::AccountValues& a = account;
    {
        const BusyCursor wait;
        qint16 iERROR = 0;
        if (database)
            database->SQL_readPNnames(a.ipPORT, a.custDB, a.custUSER, a.custUSER_PW, a.snTABLE, cur.pnNAMES,
                                      iERROR);
    }
    return showPNwindow(name);
}

int FormMainTestMenu::showPNwindow(const QString& name)
{
    cur.showWindowHolding(name);
    bSORT(cur.pnLIST, cur.numPN);
    fillPNlist();
    // Only the listed slots are searched.
    int found = -1;
    const int listed = std::clamp<int>(cur.numPN, 0, db::pnListSlots);
    for (int i = 1; i <= listed; ++i) {
        if (cur.pnLIST[std::size_t(i)] == name)
            found = i - 1;
    }
    return found;
}

bool FormMainTestMenu::waitsForOperator() const
{
    // No command, load or rename under way: they hold QUIT or the rename step.
    return !ended() && btnQUIT->isEnabled() && lsttestPN->isEnabled() && cur.renameSTEP == 0;
}

void FormMainTestMenu::findPartNumber()
{
    if (!waitsForOperator())
        return;
    auto* find = new FindPartNumber(cur.pnNAMES, this);
    connect(find, &QDialog::finished, find, &QObject::deleteLater);
    // Queued: the load that follows pauses, and the dialog is gone by then.
    connect(find, &FindPartNumber::picked, this, &FormMainTestMenu::showFound, Qt::QueuedConnection);
    find->open();
}

void FormMainTestMenu::showFound(const QString& name)
{
    if (!waitsForOperator())
        return;
    const auto action = operatorAction();
    const int at = showPNwindow(name);
    // The list has changed under the PN on show: its entry is picked (and loaded) afresh.
    if (at >= 0)
        lsttestPN->setCurrentIndex(at);
    else
        showNoPN();
}

void FormMainTestMenu::showListMenu(const QPoint& at)
{
    QMenu* menu = pnListMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(lsttestPN->lineEdit()->mapToGlobal(at));
}

db::ActionBudget::Scope FormMainTestMenu::operatorAction() const
{
    return db::ActionBudget::Scope(database ? database->budget() : nullptr);
}

void FormMainTestMenu::gatherPnValues()
{
    m_selection->gatherPnValues();
}
void FormMainTestMenu::selectWithoutLoad(int index)
{
    m_selection->selectWithoutLoad(index);
}
void FormMainTestMenu::showNoPN()
{
    m_selection->showNoPN();
}

void FormMainTestMenu::btnREVIEW_Click()
{
    const auto action = operatorAction();
    m_review->review();
}
void FormMainTestMenu::btnUPDATE_Click()
{
    const auto action = operatorAction();
    m_review->update();
}
void FormMainTestMenu::btnADD_Click()
{
    const auto action = operatorAction();
    m_pnEdits->create();
}
void FormMainTestMenu::btnDELETE_Click()
{
    const auto action = operatorAction();
    m_pnEdits->remove();
}

void FormMainTestMenu::showHISTORY()
{
    // QUIT is off only while another action runs.
    if (!btnQUIT->isEnabled())
        return;
    const auto action = operatorAction();
    showChangeHistory(*this);
}

QMenu* FormMainTestMenu::pnListMenu()
{
    QMenu* menu = lsttestPN->lineEdit()->createStandardContextMenu();
    menu->addSeparator();
    QAction* find = menu->addAction(u"Find part number..."_s);
    find->setShortcut(QKeySequence::Find);
    find->setEnabled(waitsForOperator());
    connect(find, &QAction::triggered, this, &FormMainTestMenu::findPartNumber, Qt::QueuedConnection);
    menu->addAction(u"Change history..."_s, this, [this] { showHISTORY(); });
    return menu;
}

} // namespace zelmar
