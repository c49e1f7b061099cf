// the editor window, its controls and the procedures that move it
// between its states; the event semantics the editor relies on.
#include "Colors.h"
#include "EditorFakes.h"
#include "FormMainTestMenu.h"
#include "TypedLength.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::FakeDialogs;
using zelmar::test::FakePause;
using zelmar::test::FakeProgramEnd;
using zelmar::test::ProbeWindow;

namespace {

// The 26 edit controls of lockFIELDS, in their order.
const QStringList lockedControls = {
    u"lsttestPN"_s,    u"txtsnNAME"_s,      u"txtsnFORMAT"_s, u"chksnACTIVE"_s, u"chkpnDEFAULT"_s,
    u"chksnBARCODE"_s, u"chkautoMEASURE"_s, u"txtautoTIME"_s, u"txtGOODSN"_s,   u"txtBADSN"_s,
    u"chkRANDR"_s,     u"lstPORT"_s,        u"chkACTIVE"_s,   u"txtPort"_s,     u"txtMinSpec"_s,
    u"txtMaxSpec"_s,   u"lstsCALE"_s,       u"lstuNITS"_s,    u"lstSPEED"_s,    u"txtAVG"_s,
    u"lstRANGE"_s,     u"txtTDLY"_s,        u"chkssON"_s,     u"txtssTOL"_s,    u"txtssMAXT"_s,
    u"chkssREQD"_s};

const QStringList buttonNames = {u"btnREVIEW"_s, u"btnUPDATE"_s, u"btnDELETE"_s,
                                 u"btnEXPORT"_s, u"btnADD"_s,    u"btnQUIT"_s};

QPoint twips(int left, int top)
{
    return QPoint(qRound(left / 15.0), qRound(top / 15.0));
}

} // namespace

class TestEditorWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    // The window and its controls
    void controls_data();
    void controls();
    void everyControlIsInTheTable();
    void buddies();
    void accessibleNamesUnique();
    void calibri();
    void logo();
    void timers();
    void timersRunTheirHandlers();
    void pnListIsEditable();

    // setupPORTS
    void setupPORTSFillsListsInOrder();
    void setupPORTSCorrections_data();
    void setupPORTSCorrections();
    void setupPORTSDecimals_data();
    void setupPORTSDecimals();
    void setupPORTSOtherFields();
    void setupPORTSMinusOne();
    void setupPORTSKeepsListsWhenAsked();
    void setupPORTSChangesNoEnabledStateOrColour();
    void setupPORTSRunsSelectionHandlers();
    void setupPORTSPortNotInList();

    // lock, unlock, blank, buttons
    void lockFIELDS();
    void unlockFIELDSWithNoPNSelected();
    void unlockFIELDSWithPNSelected_data();
    void unlockFIELDSWithPNSelected();
    void blankFIELDS();
    void blankFIELDSRunsCheckBoxHandlers();
    void blankFIELDSGreysDependentFields();
    void displayBTN_data();
    void displayBTN();

    // Event semantics
    void programSelectionRunsHandlerOnce_data();
    void programSelectionRunsHandlerOnce();
    void checkBoxRunsHandlerOnce_data();
    void checkBoxRunsHandlerOnce();
    void operatorClickRunsHandler();
    void refillSelectsNothing();
    void fillPNlist();
    void typingOverPNClearsSelectionSilently();
    void leavingPNListRunsLostFocusAndSelectsNothing();
    void enterPressesNoButtonFromAField();
    void enterPressesFocusedButton();
    void escapeDoesNotClose();
    void wheelOverUnfocusedListChangesNothing();

    // Ports beyond the table
    void numPORTSCappedAt49();

private:
    FakeDialogs m_dialogs;
    FakePause m_pause;
    FakeProgramEnd m_end;
    std::unique_ptr<ProbeWindow> w;

    template<typename T>
    T* child(const QString& name) const
    {
        return w->findChild<T*>(name);
    }
    QWidget* widget(const QString& name) const { return w->findChild<QWidget*>(name); }
    // A window with 4 default ports, the lists filled and port 1 shown.
    void loadDefaults(int ports = 4);
};

void TestEditorWindow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestEditorWindow::init()
{
    m_dialogs = FakeDialogs();
    m_end.ends = 0;
    w = std::make_unique<ProbeWindow>(&m_dialogs, &m_pause, &m_end);
}

void TestEditorWindow::cleanup()
{
    w.reset();
}

void TestEditorWindow::loadDefaults(int ports)
{
    w->setnumPORTS(ports);
    w->cur.defPORT();
    w->setupPORTS(0, 0, u"test"_s);
    w->reset();
}

// ---------------------------------------------------------------------------
// The window and its controls

void TestEditorWindow::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("maxLength");      // 0: no limit
    QTest::addColumn<QString>("accessible"); // empty for labels

    auto row = [](const char* name, const char* kind, const QString& caption, const QString& tip, int left,
                  int top, int maxLength = 0, const QString& accessible = QString()) {
        QTest::newRow(name) << QString::fromLatin1(kind) << caption << tip << left << top << maxLength
                            << accessible;
    };
    // Part-number area
    row("lblpartNAME", "label", u"Part Number Selection Field"_s, {}, 240, 240);
    row("lsttestPN", "combo", {}, u"Select the part number"_s, 240, 480, 0, u"Part Number Selection Field"_s);
    row("lblsnNAME", "label", u"Part Number Description"_s, {}, 240, 960);
    row("txtsnNAME", "text", {}, u"Enter the Part Number Description [varchar(25)]"_s, 240, 1200, 25,
        u"Part Number Description"_s);
    row("chksnACTIVE", "check", u"PN Active"_s,
        u"Select this checkbox if you wish for this Port to be active (appear in the drop downbox)"_s, 4680,
        1200, 0, u"PN Active"_s);
    row("chkpnDEFAULT", "check", u"Default PN"_s,
        u"Select this checkbox if you wish for this PN to automatically selected on startup"_s, 7560, 1200, 0,
        u"Default PN"_s);
    row("lblSNentryfield", "label", u"Serial Number Format Field"_s, {}, 240, 1680);
    row("chksnBARCODE", "check", u"SN Scanning Reqd"_s,
        u"Select if you wish for Serial Number scanning to be required (bar code labels on PN)"_s, 4680, 1680,
        0, u"SN Scanning Reqd"_s);
    row("chkRANDR", "check", u"R and R Units Defined"_s,
        u"Select this checkbox if you want to define GOOD and BAD Gage R and R serial numbers"_s, 7560, 1680,
        0, u"R and R Units Defined"_s);
    row("txtsnFORMAT", "text", {}, u"Enter the SN Format [A-Z, 0-9, #, *, -, $, or space]"_s, 240, 1920, 35,
        u"Serial Number Format Field"_s);
    row("lblsnLENGTH", "label", u"SN LENGTH"_s, {}, 3480, 1680);
    row("lblsnLEN", "label", {}, {}, 3600, 1920);
    row("chkautoMEASURE", "check", u"Real Time Measure"_s,
        u"Select if you wish to enable the Auto Measure feature"_s, 4680, 2160, 0, u"Real Time Measure"_s);
    row("txtautoTIME", "text", {}, u"Enter the auto measure time interval in seconds"_s, 7560, 2160, 0,
        u"Auto Measure Time"_s);
    row("lblSEC", "label", u"(seconds)"_s, {}, 8520, 2160);
    row("lblGOODSN", "label", u"Good R and R Serial Number"_s, {}, 240, 2640);
    row("txtGOODSN", "text", {}, u"Good R and R Serial Number"_s, 240, 2880, 35,
        u"Good R and R Serial Number"_s);
    row("lblBADSN", "label", u"Bad R and R Serial Number"_s, {}, 3960, 2640);
    row("txtBADSN", "text", {}, u"Bad R and R serial number field"_s, 3960, 2880, 35,
        u"Bad R and R Serial Number"_s);
    // Status bar
    row("lblSUMMARY", "label", u"Status Bar"_s, {}, 4680, 240);
    row("txtStatus", "text", {}, u"Status Bar provides info to the Program User"_s, 4680, 480, 0,
        u"Status Bar"_s);
    // Port area
    row("lblPORTNUM", "label", u"Port Number"_s, {}, 1320, 3840);
    row("lstPORT", "list", {}, u"Select the Port Number"_s, 3000, 3840, 0, u"Port Number"_s);
    row("chkACTIVE", "check", u"Port Active"_s,
        u"Select this checkbox if you wish for this Port to be active"_s, 4560, 3840, 0, u"Port Active"_s);
    row("lblTitles", "label", u"Port Description"_s, {}, 1320, 4440);
    row("txtPort", "text", {}, u"Enter the Port Description"_s, 3000, 4440, 15, u"Port Description"_s);
    row("lbltestPARAMS", "label", u"Min/Max Specs"_s, {}, 1320, 5520);
    row("txtMinSpec", "text", {}, u"Enter the minimum test spec requirement"_s, 3000, 5484, 0, u"Min Spec"_s);
    row("txtMaxSpec", "text", {}, u"Enter the max test spec requirement"_s, 4680, 5484, 0, u"Max Spec"_s);
    row("lblSCALE", "label", u"Units/Scale"_s, {}, 1320, 6120);
    row("lstsCALE", "list", {}, u"Enter the scale factor (applies to the min/max/display results)"_s, 3000,
        6120, 0, u"Scale"_s);
    row("lstuNITS", "list", {}, u"Select the test units (currently only ohm units allowed)"_s, 4680, 6120, 0,
        u"Units"_s);
    row("lblSPEED", "label", u"Speed"_s, {}, 1320, 6720);
    row("lstSPEED", "list", {}, u"Select the test speed made by the Fluke meter"_s, 3000, 6720, 0,
        u"Speed"_s);
    row("lblnumAVG", "label", u"Num Avgs"_s, {}, 4680, 6720);
    row("txtAVG", "text", {}, u"Select the number of measurements to make (and average)"_s, 6000, 6720, 0,
        u"Num Avgs"_s);
    row("lblRANGE", "label", u"Range"_s, {}, 1320, 7320);
    row("lstRANGE", "list", {}, u"Select the Fluke test measurement range"_s, 3000, 7320, 0, u"Range"_s);
    row("lblTIMEDELAY", "label", u"Time Delay"_s, {}, 4680, 7320);
    row("txtTDLY", "text", {},
        u"Enter the optional time delay (seconds) before making the test measurement"_s, 6000, 7320, 0,
        u"Time Delay"_s);
    row("Label1", "label", u"(seconds)"_s, {}, 6960, 7320);
    row("lblssALG", "label", u"Measurement Stabilty Requirement"_s, {}, 1320, 8160);
    row("chkssON", "check", u"ENABLED"_s, u"Select the checkbox to enable the Steady State algorithm"_s, 2880,
        8760, 0, u"ENABLED"_s);
    row("lblSSTOL", "label", u"Stability Tolerance"_s, {}, 4080, 8160);
    row("txtssTOL", "text", {}, u"Enter the SS percentage requirement "_s, 4320, 8760, 0,
        u"Stability Tolerance"_s);
    row("Label4", "label", u"(percent)"_s, {}, 4200, 9240);
    row("lblMAXTIME", "label", u"Max Wait Time"_s, {}, 5520, 8160);
    row("txtssMAXT", "text", {},
        u"Enter the max time the algorithm will wait for SS conditions before giving up"_s, 5640, 8760, 0,
        u"Max Wait Time"_s);
    row("Label3", "label", u"(seconds)"_s, {}, 5520, 9240);
    row("chkssREQD", "check", u"EOL REQD"_s,
        u"Select this checkbox if SS is required. If selected, if SS conditions are not met -- PORT test "
        u"reports as FAILED"_s,
        6720, 8640, 0, u"EOL REQD"_s);
    // Command buttons
    row("btnREVIEW", "button", u"REVIEW"_s,
        u"Select this button to check current entered configuration for errors"_s, 8520, 3600, 0,
        u"REVIEW"_s);
    row("btnUPDATE", "button", u"UPDATE MySQL"_s,
        u"Select this button to UPDATE the current Part Number to the Database"_s, 8520, 4680, 0,
        u"UPDATE MySQL"_s);
    row("btnDELETE", "button", u"DELETE RECORD"_s, u"Select this button to delete this current Part Number"_s,
        8520, 5760, 0, u"DELETE RECORD"_s);
    row("btnEXPORT", "button", u"EXPORT TO EXCEL"_s,
        u"Select this button to Export the current Part Number to Microsoft Excel (if loaded on your "
        u"computer)"_s,
        8520, 6840, 0, u"EXPORT TO EXCEL"_s);
    row("btnADD", "button", u"CREATE  NEW PN"_s, u"Select this button to ADD a new Part Number"_s, 8520, 7920,
        0, u"CREATE  NEW PN"_s);
    row("btnQUIT", "button", u"QUIT"_s, u"Select the QUIT button when you are ready to exit the program"_s,
        8520, 9000, 0, u"QUIT"_s);
}

void TestEditorWindow::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, maxLength);
    QFETCH(QString, accessible);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QWidget* control = widget(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->parentWidget(), static_cast<QWidget*>(w.get()));
    QCOMPARE(control->pos(), twips(left, top));
    QCOMPARE(control->toolTip(), tip);

    if (kind == u"label") {
        auto* l = qobject_cast<QLabel*>(control);
        QVERIFY(l);
        QCOMPARE(l->text(), caption);
    } else if (kind == u"text") {
        auto* e = qobject_cast<QLineEdit*>(control);
        QVERIFY(e);
        // The limit applies to typing only (typedLengthLimit); the field's own maximum
        // stays open so that texts set by the program are never cut.
        QCOMPARE(typedLengthLimit(e), maxLength);
        QCOMPARE(e->maxLength(), 32767);
    } else if (kind == u"combo" || kind == u"list") {
        auto* c = qobject_cast<QComboBox*>(control);
        QVERIFY(c);
        QCOMPARE(c->isEditable(), kind == u"combo");
    } else if (kind == u"check") {
        auto* c = qobject_cast<QCheckBox*>(control);
        QVERIFY(c);
        QCOMPARE(c->text(), caption);
        QVERIFY(!c->isTristate());
    } else if (kind == u"button") {
        auto* b = qobject_cast<QPushButton*>(control);
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->size(), QSize(qRound(1572 / 15.0), qRound(852 / 15.0)));
        QVERIFY(!b->autoDefault());
        QVERIFY(!b->isDefault());
    } else {
        QFAIL("unknown kind");
    }
    if (!accessible.isEmpty())
        QCOMPARE(control->accessibleName(), accessible);
}

void TestEditorWindow::everyControlIsInTheTable()
{
    // The 56 controls plus the logo, and nothing else at the top level.
    QSet<QString> names;
    for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        names.insert(c->objectName());
    QCOMPARE(names.size(), 57);
    QVERIFY(names.contains(u"Image1"_s));
    // The public members are the named controls.
    QCOMPARE(static_cast<QWidget*>(w->lsttestPN), widget(u"lsttestPN"_s));
    QCOMPARE(static_cast<QWidget*>(w->txtssTOL), widget(u"txtssTOL"_s));
    QCOMPARE(static_cast<QWidget*>(w->btnADD), widget(u"btnADD"_s));
    QCOMPARE(static_cast<QWidget*>(w->Label3), widget(u"Label3"_s));
    // The window fits its controls.
    for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(w->rect().contains(c->geometry()), qPrintable(c->objectName()));
}

void TestEditorWindow::buddies()
{
    const QList<QPair<QString, QString>> pairs = {
        {u"lblpartNAME"_s, u"lsttestPN"_s},       {u"lblsnNAME"_s, u"txtsnNAME"_s},
        {u"lblSNentryfield"_s, u"txtsnFORMAT"_s}, {u"lblGOODSN"_s, u"txtGOODSN"_s},
        {u"lblBADSN"_s, u"txtBADSN"_s},           {u"lblSUMMARY"_s, u"txtStatus"_s},
        {u"lblPORTNUM"_s, u"lstPORT"_s},          {u"lblTitles"_s, u"txtPort"_s},
        {u"lbltestPARAMS"_s, u"txtMinSpec"_s},    {u"lblSCALE"_s, u"lstsCALE"_s},
        {u"lblSPEED"_s, u"lstSPEED"_s},           {u"lblnumAVG"_s, u"txtAVG"_s},
        {u"lblRANGE"_s, u"lstRANGE"_s},           {u"lblTIMEDELAY"_s, u"txtTDLY"_s},
        {u"lblSSTOL"_s, u"txtssTOL"_s},           {u"lblMAXTIME"_s, u"txtssMAXT"_s},
    };
    for (const auto& [labelName, fieldName] : pairs) {
        auto* l = child<QLabel>(labelName);
        QVERIFY(l);
        QCOMPARE(l->buddy(), widget(fieldName));
    }
}

void TestEditorWindow::accessibleNamesUnique()
{
    // What a screen reader or UI automation reads: non-empty for every
    // control, unique among the controls that take input or act.
    QHash<QString, QString> seen; // name -> control
    for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(c);
        QVERIFY(iface);
        const QString name = iface->text(QAccessible::Name);
        const bool isLabel =
            qobject_cast<QLabel*>(c) && c->objectName() != u"Image1"_s && c->objectName() != u"lblsnLEN"_s;
        if (isLabel)
            continue; // a label reads as its caption
        QVERIFY2(!name.isEmpty(), qPrintable(c->objectName()));
        QVERIFY2(!seen.contains(name),
                 qPrintable(name + u" on "_s + c->objectName() + u" and "_s + seen.value(name)));
        seen.insert(name, c->objectName());
    }
    QCOMPARE(seen.size(), 26 + 6 + 1 + 2); // edit controls, buttons, status bar, logo and SN length
}

void TestEditorWindow::calibri()
{
    for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QCOMPARE(c->font().family(), u"Calibri"_s);
        const QString shown = QFontInfo(c->font()).family();
        QVERIFY2(shown == u"Calibri"_s || shown == u"Carlito"_s,
                 qPrintable(c->objectName() + u": "_s + shown));
    }
}

void TestEditorWindow::logo()
{
    auto* logo = child<QLabel>(u"Image1"_s);
    QVERIFY(logo);
    QVERIFY(!logo->pixmap().isNull());
}

void TestEditorWindow::timers()
{
    QCOMPARE(w->Timer1->objectName(), u"Timer1"_s);
    QCOMPARE(w->Timer1->interval(), 1000);
    QVERIFY(!w->Timer1->isActive());
    QCOMPARE(w->Timer6->objectName(), u"Timer6"_s);
    QCOMPARE(w->Timer6->interval(), 10000);
    QVERIFY(w->Timer6->isActive());
}

void TestEditorWindow::timersRunTheirHandlers()
{
    w->Timer1->start(1);
    w->Timer6->start(1);
    QTRY_VERIFY(w->ran(u"Timer1_Timer"_s) > 0);
    QTRY_VERIFY(w->ran(u"Timer6_Timer"_s) > 0);
}

void TestEditorWindow::pnListIsEditable()
{
    QVERIFY(w->lsttestPN->isEditable());
    QCOMPARE(w->lsttestPN->insertPolicy(), QComboBox::NoInsert);
    QVERIFY(!w->lsttestPN->lineEdit()->completer());
    for (const QString& name : {u"lstPORT"_s, u"lstsCALE"_s, u"lstuNITS"_s, u"lstSPEED"_s, u"lstRANGE"_s})
        QVERIFY(!child<QComboBox>(name)->isEditable());
}

// ---------------------------------------------------------------------------
// setupPORTS

static QStringList entries(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

void TestEditorWindow::setupPORTSFillsListsInOrder()
{
    loadDefaults(12);
    QCOMPARE(entries(w->lstPORT), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s,
                                               u"9"_s, u"10"_s, u"11"_s, u"12"_s}));
    QCOMPARE(entries(w->lstuNITS), QStringList{u"ohms"_s});
    QCOMPARE(entries(w->lstsCALE), (QStringList{u"milli"_s, u"unity"_s, u"kilo"_s, u"mega"_s}));
    QCOMPARE(entries(w->lstSPEED), (QStringList{u"SLOW"_s, u"MEDIUM"_s, u"FAST"_s}));
    QCOMPARE(entries(w->lstRANGE), (QStringList{u"AUTO"_s, u"0-200"_s, u"0-2K"_s, u"0-20K"_s, u"0-200K"_s,
                                                u"0-2M"_s, u"0-20M"_s, u"0-100M"_s}));
    // Port 1 defaults on show: list positions map to the stored codes.
    QCOMPARE(w->lstPORT->currentIndex(), 0);
    QCOMPARE(w->cur.curPORT, qint16(0));
    QCOMPARE(w->lstuNITS->currentIndex(), 0);
    QCOMPARE(w->lstsCALE->currentText(), u"unity"_s); // unitSCALE 2 = index 1
    QCOMPARE(w->cur.curSCALE, qint16(1));
    QCOMPARE(w->lstSPEED->currentText(), u"MEDIUM"_s); // mspeed 2 = index 1
    QCOMPARE(w->lstRANGE->currentText(), u"AUTO"_s);   // Range 0 = index 0
    QCOMPARE(w->txtPort->text(), u"PORT 1"_s);
    QCOMPARE(w->txtMinSpec->text(), u"1.0000"_s);
    QCOMPARE(w->txtMaxSpec->text(), u"1,000.0"_s);
    QCOMPARE(w->txtAVG->text(), u"2"_s);
    QCOMPARE(w->txtTDLY->text(), u"0.25"_s);
    QCOMPARE(w->txtssTOL->text(), u"5.0"_s);
    QCOMPARE(w->txtssMAXT->text(), u"2"_s);
    QVERIFY(w->chkACTIVE->isChecked());
    QVERIFY(w->chkssON->isChecked());
    QVERIFY(!w->chkssREQD->isChecked());

    // Each stored code selects its own position.
    w->cur.unitSCALE[3] = 4;
    w->cur.mspeed[3] = 3;
    w->cur.Range[3] = 7;
    w->setupPORTS(3, 1, u"test"_s);
    QCOMPARE(w->lstsCALE->currentText(), u"mega"_s);
    QCOMPARE(w->cur.curSCALE, qint16(3));
    QCOMPARE(w->lstSPEED->currentText(), u"FAST"_s);
    QCOMPARE(w->lstRANGE->currentText(), u"0-100M"_s);
    w->cur.unitSCALE[2] = 1;
    w->cur.mspeed[2] = 1;
    w->cur.Range[2] = 4;
    w->setupPORTS(2, 1, u"test"_s);
    QCOMPARE(w->lstsCALE->currentText(), u"milli"_s);
    QCOMPARE(w->lstSPEED->currentText(), u"SLOW"_s);
    QCOMPARE(w->lstRANGE->currentText(), u"0-200K"_s);
    QCOMPARE(w->lstPORT->currentText(), u"3"_s);
    QCOMPARE(w->cur.curPORT, qint16(2));
}

void TestEditorWindow::setupPORTSCorrections_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("corrected");
    QTest::newRow("scale 0") << u"unitSCALE"_s << 0.0 << u"lstsCALE"_s << u"unity"_s << 2.0;
    QTest::newRow("scale 5") << u"unitSCALE"_s << 5.0 << u"lstsCALE"_s << u"unity"_s << 2.0;
    QTest::newRow("scale -1") << u"unitSCALE"_s << -1.0 << u"lstsCALE"_s << u"unity"_s << 2.0;
    QTest::newRow("speed 0") << u"mspeed"_s << 0.0 << u"lstSPEED"_s << u"MEDIUM"_s << 2.0;
    QTest::newRow("speed 4") << u"mspeed"_s << 4.0 << u"lstSPEED"_s << u"MEDIUM"_s << 2.0;
    QTest::newRow("range 8") << u"Range"_s << 8.0 << u"lstRANGE"_s << u"AUTO"_s << 0.0;
    QTest::newRow("range -1") << u"Range"_s << -1.0 << u"lstRANGE"_s << u"AUTO"_s << 0.0;
    QTest::newRow("averages 30") << u"numAVG"_s << 30.0 << u"txtAVG"_s << u"1"_s << 1.0;
    QTest::newRow("averages 0") << u"numAVG"_s << 0.0 << u"txtAVG"_s << u"1"_s << 1.0;
    QTest::newRow("averages 25 kept") << u"numAVG"_s << 25.0 << u"txtAVG"_s << u"25"_s << 25.0;
    QTest::newRow("delay 75") << u"timeDELAY"_s << 75.0 << u"txtTDLY"_s << u"0.25"_s << 0.25;
    QTest::newRow("delay -1") << u"timeDELAY"_s << -1.0 << u"txtTDLY"_s << u"0.25"_s << 0.25;
    QTest::newRow("delay 60 kept") << u"timeDELAY"_s << 60.0 << u"txtTDLY"_s << u"60"_s << 60.0;
    QTest::newRow("delay 0 kept") << u"timeDELAY"_s << 0.0 << u"txtTDLY"_s << u"0"_s << 0.0;
    QTest::newRow("units 3") << u"UOM"_s << 3.0 << u"lstuNITS"_s << u"ohms"_s << 1.0;
}

void TestEditorWindow::setupPORTSCorrections()
{
    QFETCH(QString, column);
    QFETCH(double, stored);
    QFETCH(QString, control);
    QFETCH(QString, shown);
    QFETCH(double, corrected);
    w->setnumPORTS(4);
    w->cur.defPORT();
    CurrentParams& c = w->cur;
    const int k = 2;
    auto value = [&]() -> double {
        if (column == u"unitSCALE")
            return c.unitSCALE[k];
        if (column == u"mspeed")
            return c.mspeed[k];
        if (column == u"Range")
            return c.Range[k];
        if (column == u"numAVG")
            return c.numAVG[k];
        if (column == u"UOM")
            return c.UOM[k];
        return double(c.timeDELAY[k]);
    };
    if (column == u"unitSCALE")
        c.unitSCALE[k] = qint16(stored);
    else if (column == u"mspeed")
        c.mspeed[k] = qint16(stored);
    else if (column == u"Range")
        c.Range[k] = qint16(stored);
    else if (column == u"numAVG")
        c.numAVG[k] = qint16(stored);
    else if (column == u"UOM")
        c.UOM[k] = qint16(stored);
    else
        c.timeDELAY[k] = float(stored);

    w->setupPORTS(k, 0, u"test"_s);
    QWidget* target = widget(control);
    if (auto* list = qobject_cast<QComboBox*>(target))
        QCOMPARE(list->currentText(), shown);
    else
        QCOMPARE(qobject_cast<QLineEdit*>(target)->text(), shown);
    // The corrected value is the one now held in memory.
    QCOMPARE(value(), corrected);
    // Other ports are untouched.
    QCOMPARE(c.unitSCALE[1], qint16(2));
    QCOMPARE(c.timeDELAY[1], 0.25f);
}

void TestEditorWindow::setupPORTSDecimals_data()
{
    QTest::addColumn<float>("ohms");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0.0015 ohm in milli") << 0.0015f << 1 << u"1.5000"_s;
    QTest::newRow("12 ohm in unity") << 12.0f << 2 << u"12.000"_s;
    QTest::newRow("123.456 kilo-ohm in kilo") << 123456.0f << 3 << u"123.46"_s;
    QTest::newRow("twelve million in unity") << 12000000.0f << 2 << u"12,000,000"_s;
    QTest::newRow("2.5 mega-ohm in mega") << 2500000.0f << 4 << u"2.5000"_s;
    QTest::newRow("1500 in unity") << 1500.0f << 2 << u"1,500.0"_s;
    QTest::newRow("999.5 in unity") << 999.5f << 2 << u"999.50"_s;
    QTest::newRow("negative in unity") << -5.0f << 2 << u"-5.0000"_s;
    QTest::newRow("negative large") << -12345.0f << 2 << u"-12,345.0000"_s;
    QTest::newRow("0.5 ohm in milli") << 0.5f << 1 << u"500.00"_s;
}

void TestEditorWindow::setupPORTSDecimals()
{
    QFETCH(float, ohms);
    QFETCH(int, scale);
    QFETCH(QString, shown);
    w->setnumPORTS(2);
    w->cur.defPORT();
    w->cur.minSPEC[1] = ohms;
    w->cur.maxSPEC[1] = ohms;
    w->cur.unitSCALE[1] = qint16(scale);
    w->setupPORTS(1, 0, u"test"_s);
    QCOMPARE(w->txtMinSpec->text(), shown);
    QCOMPARE(w->txtMaxSpec->text(), shown);
    // Showing changes nothing stored.
    QCOMPARE(w->cur.minSPEC[1], ohms);
}

void TestEditorWindow::setupPORTSOtherFields()
{
    w->setnumPORTS(3);
    w->cur.defPORT();
    CurrentParams& c = w->cur;
    c.portNAME[1] = u"Coil A"_s;
    c.acTIVE[1] = 0;
    c.ssON[1] = 0;
    c.ssREQD[1] = 1;
    c.ssTOL[1] = 0.05f;
    c.ssMAXT[1] = 2.5f;
    c.timeDELAY[1] = 1.0f;
    c.numAVG[1] = 7;
    w->setupPORTS(1, 0, u"test"_s);
    QCOMPARE(w->txtPort->text(), u"Coil A"_s);
    QVERIFY(!w->chkACTIVE->isChecked());
    QVERIFY(!w->chkssON->isChecked());
    QVERIFY(w->chkssREQD->isChecked());
    QCOMPARE(w->txtssTOL->text(), u"5.0"_s);
    QCOMPARE(w->txtssMAXT->text(), u"2.5"_s);
    QCOMPARE(w->txtTDLY->text(), u"1"_s);
    QCOMPARE(w->txtAVG->text(), u"7"_s);
    c.ssTOL[2] = 0.125f;
    c.ssMAXT[2] = 10.0f;
    c.acTIVE[2] = 2; // anything but 1 is unticked
    w->setupPORTS(2, 1, u"test"_s);
    QCOMPARE(w->txtssTOL->text(), u"12.5"_s);
    QCOMPARE(w->txtssMAXT->text(), u"10"_s);
    QVERIFY(!w->chkACTIVE->isChecked());
}

void TestEditorWindow::setupPORTSMinusOne()
{
    loadDefaults(4);
    w->cur.portNAME[1] = u"other"_s;
    const QString port = w->txtPort->text();
    const QString min = w->txtMinSpec->text();
    const int scale = w->lstsCALE->currentIndex();
    w->setupPORTS(-1, 1, u"test"_s);
    QCOMPARE(w->lstPORT->currentIndex(), -1);
    QCOMPARE(w->cur.curPORT, qint16(-1));
    QCOMPARE(w->txtPort->text(), port);
    QCOMPARE(w->txtMinSpec->text(), min);
    QCOMPARE(w->lstsCALE->currentIndex(), scale);
    QCOMPARE(w->ran(u"lstPORT_Click"_s), 1); // the selection changed to none
    // With iLISTS 0 the port list is refilled, and nothing else happens.
    w->reset();
    w->setupPORTS(-1, 0, u"test"_s);
    QCOMPARE(w->lstPORT->count(), 4);
    QCOMPARE(w->lstPORT->currentIndex(), -1);
    QCOMPARE(w->cur.curPORT, qint16(-1));
    QCOMPARE(w->ran(u"lstPORT_Click"_s), 0);
}

void TestEditorWindow::setupPORTSKeepsListsWhenAsked()
{
    loadDefaults(4);
    w->setnumPORTS(2);
    w->setupPORTS(3, 1, u"test"_s); // lists as they are: port 4 is still listed
    QCOMPARE(w->lstPORT->count(), 4);
    QCOMPARE(w->cur.curPORT, qint16(3));
    QCOMPARE(w->txtPort->text(), u"PORT 4"_s);
    w->setupPORTS(0, 0, u"test"_s);
    QCOMPARE(w->lstPORT->count(), 2);
}

void TestEditorWindow::setupPORTSChangesNoEnabledStateOrColour()
{
    loadDefaults(4);
    w->lockFIELDS();
    setBackColor(w->txtssTOL, colors::menuBar);
    setBackColor(w->txtMinSpec, colors::red);
    w->cur.ssON[1] = 0;
    w->setupPORTS(1, 0, u"test"_s);
    for (const QString& name : lockedControls)
        QVERIFY2(!widget(name)->isEnabled(), qPrintable(name));
    QCOMPARE(backColor(w->txtssTOL), colors::menuBar);
    QCOMPARE(backColor(w->txtMinSpec), colors::red);
    QCOMPARE(backColor(w->txtPort), colors::white);
}

void TestEditorWindow::setupPORTSRunsSelectionHandlers()
{
    w->setnumPORTS(4);
    w->cur.defPORT();
    w->cur.ssON[0] = 1;
    // Filled lists start with no selection, so selecting runs each handler once.
    w->setupPORTS(0, 0, u"test"_s);
    QCOMPARE(w->ran(u"lstPORT_Click"_s), 1);
    QCOMPARE(w->ran(u"lstsCALE_Click"_s), 1);
    QCOMPARE(w->ran(u"chkssON_Click"_s), 1);
    QCOMPARE(w->ran(u"lsttestPN_Click"_s), 0);
    // The port list's handler runs before anything else of the port is shown.
    QCOMPARE(w->order.first(), u"lstPORT_Click"_s);
    // The same port again, lists kept: nothing changes, nothing runs.
    w->reset();
    w->setupPORTS(0, 1, u"test"_s);
    QVERIFY(w->runs.isEmpty());
    // Another port with the same scale and steady state: only the port list's handler.
    w->setupPORTS(1, 1, u"test"_s);
    QCOMPARE(w->ran(u"lstPORT_Click"_s), 1);
    QCOMPARE(w->ran(u"lstsCALE_Click"_s), 0);
    QCOMPARE(w->ran(u"chkssON_Click"_s), 0);
    // A port whose scale and steady state differ runs their handlers too.
    w->reset();
    w->cur.unitSCALE[2] = 3;
    w->cur.ssON[2] = 0;
    w->setupPORTS(2, 1, u"test"_s);
    QCOMPARE(w->ran(u"lstPORT_Click"_s), 1);
    QCOMPARE(w->ran(u"lstsCALE_Click"_s), 1);
    QCOMPARE(w->ran(u"chkssON_Click"_s), 1);
}

void TestEditorWindow::setupPORTSPortNotInList()
{
    loadDefaults(4);
    w->txtPort->setText(u"as it was"_s);
    w->setupPORTS(6, 1, u"test"_s); // port 7 of a 4-port station
    QCOMPARE(w->cur.curPORT, qint16(-1));
    QCOMPARE(w->txtPort->text(), u"as it was"_s);
    w->setupPORTS(60, 1, u"test"_s); // beyond the 49 slots
    QCOMPARE(w->cur.curPORT, qint16(-1));
    QCOMPARE(w->txtPort->text(), u"as it was"_s);
}

// ---------------------------------------------------------------------------
// lock, unlock, blank, buttons

void TestEditorWindow::lockFIELDS()
{
    loadDefaults(4);
    w->cur.pnLOADED = 1;
    w->displayBTN(0);
    setBackColor(w->txtsnFORMAT, colors::menuBar);
    const QString port = w->txtPort->text();
    w->lockFIELDS();
    for (const QString& name : lockedControls)
        QVERIFY2(!widget(name)->isEnabled(), qPrintable(name));
    // No value, colour, button or status changes.
    QCOMPARE(w->txtPort->text(), port);
    QVERIFY(w->chkACTIVE->isChecked());
    QCOMPARE(backColor(w->txtsnFORMAT), colors::menuBar);
    QVERIFY(w->txtStatus->isEnabled());
    for (const QString& name : buttonNames)
        QVERIFY(widget(name)->isEnabled());
    QVERIFY(w->runs.isEmpty());
}

void TestEditorWindow::unlockFIELDSWithNoPNSelected()
{
    w->cur.numPN = 2;
    w->cur.pnLIST[1] = u"AB-100"_s;
    w->cur.pnLIST[2] = u"CD-200"_s;
    w->fillPNlist();
    loadDefaults(4);
    w->lockFIELDS();
    w->unlockFIELDS();
    QVERIFY(w->lsttestPN->isEnabled());
    for (const QString& name : lockedControls.mid(1))
        QVERIFY2(!widget(name)->isEnabled(), qPrintable(name));
}

void TestEditorWindow::unlockFIELDSWithPNSelected_data()
{
    QTest::addColumn<bool>("barcode");
    QTest::addColumn<bool>("autoMeasure");
    QTest::addColumn<bool>("randr");
    QTest::addColumn<bool>("steady");
    QTest::newRow("all on") << true << true << true << true;
    QTest::newRow("all off") << false << false << false << false;
    QTest::newRow("barcode and steady") << true << false << false << true;
    QTest::newRow("measure and R&R") << false << true << true << false;
}

void TestEditorWindow::unlockFIELDSWithPNSelected()
{
    QFETCH(bool, barcode);
    QFETCH(bool, autoMeasure);
    QFETCH(bool, randr);
    QFETCH(bool, steady);
    w->cur.numPN = 1;
    w->cur.pnLIST[1] = u"AB-100"_s;
    w->fillPNlist();
    w->lsttestPN->setCurrentIndex(0);
    loadDefaults(4);
    w->chksnBARCODE->setChecked(barcode);
    w->chkautoMEASURE->setChecked(autoMeasure);
    w->chkRANDR->setChecked(randr);
    w->chkssON->setChecked(steady);
    w->lockFIELDS();
    setBackColor(w->txtGOODSN, colors::menuBar);
    w->unlockFIELDS();
    for (const QString& name :
         {u"lsttestPN"_s, u"chksnACTIVE"_s, u"chkpnDEFAULT"_s, u"chksnBARCODE"_s, u"chkautoMEASURE"_s,
          u"chkRANDR"_s, u"chkACTIVE"_s, u"txtsnNAME"_s, u"lstPORT"_s, u"txtPort"_s, u"txtMinSpec"_s,
          u"txtMaxSpec"_s, u"lstsCALE"_s, u"lstuNITS"_s, u"lstSPEED"_s, u"txtAVG"_s, u"lstRANGE"_s,
          u"txtTDLY"_s, u"chkssON"_s})
        QVERIFY2(widget(name)->isEnabled(), qPrintable(name));
    QCOMPARE(w->txtsnFORMAT->isEnabled(), barcode);
    QCOMPARE(w->txtautoTIME->isEnabled(), autoMeasure);
    QCOMPARE(w->txtGOODSN->isEnabled(), randr);
    QCOMPARE(w->txtBADSN->isEnabled(), randr);
    QCOMPARE(w->txtssTOL->isEnabled(), steady);
    QCOMPARE(w->txtssMAXT->isEnabled(), steady);
    QCOMPARE(w->chkssREQD->isEnabled(), steady);
    // No colour changes.
    QCOMPARE(backColor(w->txtGOODSN), colors::menuBar);
}

void TestEditorWindow::blankFIELDS()
{
    loadDefaults(4);
    w->txtsnNAME->setText(u"desc"_s);
    w->chksnACTIVE->setChecked(true);
    w->chkpnDEFAULT->setChecked(true);
    w->chksnBARCODE->setChecked(true);
    w->txtsnFORMAT->setText(u"AB-###"_s);
    w->lblsnLEN->setText(u"6"_s);
    w->chkautoMEASURE->setChecked(true);
    w->txtautoTIME->setText(u"45"_s);
    w->chkRANDR->setChecked(true);
    w->txtGOODSN->setText(u"AB-123"_s);
    w->txtBADSN->setText(u"AB-456"_s);
    w->chkssREQD->setChecked(true);
    w->lockFIELDS();
    setBackColor(w->txtGOODSN, colors::white);
    const CurrentParams before = w->cur;

    w->blankFIELDS();
    QCOMPARE(w->txtsnNAME->text(), u"Part Number Description"_s);
    QVERIFY(!w->chksnACTIVE->isChecked());
    QVERIFY(!w->chkpnDEFAULT->isChecked());
    QVERIFY(!w->chksnBARCODE->isChecked());
    QCOMPARE(w->txtsnFORMAT->text(), QString());
    QCOMPARE(w->lblsnLEN->text(), u"0"_s);
    QVERIFY(!w->chkautoMEASURE->isChecked());
    QCOMPARE(w->txtautoTIME->text(), u"20.0"_s);
    QVERIFY(!w->chkRANDR->isChecked());
    QCOMPARE(w->txtGOODSN->text(), QString());
    QCOMPARE(w->txtBADSN->text(), QString());
    QCOMPARE(w->lstPORT->currentIndex(), -1);
    QVERIFY(!w->chkACTIVE->isChecked());
    // Typing is limited to 15 characters, but a text set by the program is shown whole.
    QCOMPARE(w->txtPort->text(), u"Port Description"_s);
    QCOMPARE(w->txtMinSpec->text(), u"0.0"_s);
    QCOMPARE(w->txtMaxSpec->text(), u"100.0"_s);
    QCOMPARE(w->lstsCALE->currentIndex(), -1);
    QCOMPARE(w->lstuNITS->currentIndex(), -1);
    QCOMPARE(w->lstSPEED->currentIndex(), -1);
    QCOMPARE(w->txtAVG->text(), u"2"_s);
    QCOMPARE(w->lstRANGE->currentIndex(), -1);
    QCOMPARE(w->txtTDLY->text(), u"0.25"_s);
    QVERIFY(!w->chkssON->isChecked());
    QCOMPARE(w->txtssTOL->text(), u"5.0"_s);
    QCOMPARE(w->txtssMAXT->text(), u"5.0"_s);
    QVERIFY(!w->chkssREQD->isChecked());
    // The lists keep their entries.
    QCOMPARE(w->lstPORT->count(), 4);
    QCOMPARE(w->lstRANGE->count(), 8);
    // No enabled state and no stored value changes.
    for (const QString& name : lockedControls)
        QVERIFY2(!widget(name)->isEnabled(), qPrintable(name));
    QCOMPARE(w->cur.portNAME, before.portNAME);
    QCOMPARE(w->cur.minSPEC, before.minSPEC);
    QCOMPARE(w->cur.ssON, before.ssON);
    QCOMPARE(w->cur.curPORT, before.curPORT);
}

void TestEditorWindow::blankFIELDSRunsCheckBoxHandlers()
{
    loadDefaults(4); // port 1 has the steady state on: chkssON is ticked
    QVERIFY(w->chkssON->isChecked());
    w->chkautoMEASURE->setChecked(true);
    w->chkssREQD->setChecked(true);
    w->reset();
    w->blankFIELDS();
    // Each box that changes runs its handler once; boxes already clear run nothing.
    QCOMPARE(w->ran(u"chkssON_Click"_s), 1);
    QCOMPARE(w->ran(u"chkautoMEASURE_Click"_s), 1);
    QCOMPARE(w->ran(u"chksnBARCODE_Click"_s), 0);
    QCOMPARE(w->ran(u"chkRANDR_Click"_s), 0);
    // Clearing the lists' selections runs their handlers once.
    QCOMPARE(w->ran(u"lstPORT_Click"_s), 1);
    QCOMPARE(w->ran(u"lstsCALE_Click"_s), 1);
    // A second blank changes nothing and runs nothing.
    w->reset();
    w->blankFIELDS();
    QVERIFY2(w->runs.isEmpty(), qPrintable(w->order.join(u", "_s)));
}

void TestEditorWindow::blankFIELDSGreysDependentFields()
{
    // unchecking a box here also disables and greys its dependent
    // fields, through the option handlers. Until those handlers
    // are written this check is expected to fail; when it passes (XPASS fails
    // the run), remove the QEXPECT_FAIL line.
    loadDefaults(4);
    w->chksnBARCODE->setChecked(true);
    w->chkautoMEASURE->setChecked(true);
    w->chkRANDR->setChecked(true);
    w->chkssON->setChecked(true);
    w->cur.pnLOADED = 1;
    w->lsttestPN->addItem(u"AB-100"_s);
    w->lsttestPN->setCurrentIndex(0);
    w->unlockFIELDS();
    const QList<QWidget*> dependents = {w->txtautoTIME, w->txtsnFORMAT, w->chkRANDR,  w->txtGOODSN,
                                        w->txtBADSN,    w->txtssTOL,    w->txtssMAXT, w->chkssREQD};
    for (QWidget* d : dependents)
        setBackColor(d, colors::white);
    w->blankFIELDS();
    bool allGreyed = true;
    for (QWidget* d : dependents)
        allGreyed = allGreyed && !d->isEnabled() && backColor(d) == colors::menuBar;
    QEXPECT_FAIL("", "the option handlers are not written yet", Continue);
    QVERIFY(allGreyed);
}

void TestEditorWindow::displayBTN_data()
{
    QTest::addColumn<int>("iPROC");
    QTest::addColumn<int>("pnLOADED");
    QTest::addColumn<int>("xlSTATUS");
    QTest::addColumn<QList<bool>>("on"); // REVIEW UPDATE DELETE EXPORT ADD QUIT
    const QList<bool> allOff{false, false, false, false, false, false};
    const QList<bool> allOn{true, true, true, true, true, true};
    const QList<bool> noPN{false, false, false, false, true, true};
    const QList<bool> noExport{true, true, true, false, true, true};
    QTest::newRow("busy, no PN") << 1 << 0 << 0 << allOff;
    QTest::newRow("busy, PN loaded") << 1 << 1 << 0 << allOff;
    QTest::newRow("busy, export failed") << 1 << 1 << 2 << allOff;
    QTest::newRow("idle, PN loaded") << 0 << 1 << 0 << allOn;
    QTest::newRow("idle, PN loaded, export done") << 0 << 1 << 1 << allOn;
    QTest::newRow("idle, PN loaded, export failed") << 0 << 1 << 2 << noExport;
    QTest::newRow("idle, no PN") << 0 << 0 << 0 << noPN;
    QTest::newRow("idle, no PN, export failed") << 0 << 0 << 2 << noPN;
    QTest::newRow("other iPROC counts as idle") << 5 << 1 << 0 << allOn;
    QTest::newRow("pnLOADED not 0") << -1 << -1 << 0 << allOn;
}

void TestEditorWindow::displayBTN()
{
    QFETCH(int, iPROC);
    QFETCH(int, pnLOADED);
    QFETCH(int, xlSTATUS);
    QFETCH(QList<bool>, on);
    w->cur.pnLOADED = qint16(pnLOADED);
    w->cur.xlSTATUS = qint16(xlSTATUS);
    // From both starting points: every button is set, not only switched one way.
    for (bool start : {false, true}) {
        for (const QString& name : buttonNames)
            widget(name)->setEnabled(start);
        w->displayBTN(iPROC);
        for (int i = 0; i < buttonNames.size(); ++i)
            QVERIFY2(widget(buttonNames[i])->isEnabled() == on[i], qPrintable(buttonNames[i]));
    }
}

// ---------------------------------------------------------------------------
// Event semantics

void TestEditorWindow::programSelectionRunsHandlerOnce_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("handler");
    QTest::newRow("lstPORT") << u"lstPORT"_s << u"lstPORT_Click"_s;
    QTest::newRow("lstsCALE") << u"lstsCALE"_s << u"lstsCALE_Click"_s;
    QTest::newRow("lsttestPN") << u"lsttestPN"_s << u"lsttestPN_Click"_s;
}

void TestEditorWindow::programSelectionRunsHandlerOnce()
{
    QFETCH(QString, list);
    QFETCH(QString, handler);
    auto* combo = child<QComboBox>(list);
    FormMainTestMenu::refillList(combo, {u"a"_s, u"b"_s, u"c"_s});
    QCOMPARE(w->ran(handler), 0);
    combo->setCurrentIndex(2);
    QCOMPARE(w->ran(handler), 1);
    combo->setCurrentIndex(2);
    QCOMPARE(w->ran(handler), 1);
    combo->setCurrentIndex(-1);
    QCOMPARE(w->ran(handler), 2);
    combo->setCurrentIndex(-1);
    QCOMPARE(w->ran(handler), 2);
    combo->setCurrentIndex(0);
    QCOMPARE(w->ran(handler), 3);
    // Only this list's handler ran.
    QCOMPARE(w->runs.size(), 1);
}

void TestEditorWindow::checkBoxRunsHandlerOnce_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("handler");
    QTest::newRow("chkautoMEASURE") << u"chkautoMEASURE"_s << u"chkautoMEASURE_Click"_s;
    QTest::newRow("chkRANDR") << u"chkRANDR"_s << u"chkRANDR_Click"_s;
    QTest::newRow("chksnBARCODE") << u"chksnBARCODE"_s << u"chksnBARCODE_Click"_s;
    QTest::newRow("chkssON") << u"chkssON"_s << u"chkssON_Click"_s;
}

void TestEditorWindow::checkBoxRunsHandlerOnce()
{
    QFETCH(QString, box);
    QFETCH(QString, handler);
    auto* check = child<QCheckBox>(box);
    check->setChecked(false); // already clear: nothing
    QCOMPARE(w->ran(handler), 0);
    check->setChecked(true);
    QCOMPARE(w->ran(handler), 1);
    check->setChecked(true);
    QCOMPARE(w->ran(handler), 1);
    check->setChecked(false);
    QCOMPARE(w->ran(handler), 2);
    QCOMPARE(w->runs.size(), 1);
}

void TestEditorWindow::operatorClickRunsHandler()
{
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QTest::mouseClick(w->chkssON, Qt::LeftButton, {}, QPoint(6, w->chkssON->height() / 2));
    QVERIFY(w->chkssON->isChecked());
    QCOMPARE(w->ran(u"chkssON_Click"_s), 1);
    QTest::mouseClick(w->btnREVIEW, Qt::LeftButton);
    QCOMPARE(w->ran(u"btnREVIEW_Click"_s), 1);
    // A disabled button runs nothing.
    w->displayBTN(1);
    QTest::mouseClick(w->btnREVIEW, Qt::LeftButton);
    QCOMPARE(w->ran(u"btnREVIEW_Click"_s), 1);
}

void TestEditorWindow::refillSelectsNothing()
{
    // Into an empty list, and into a list with a selection.
    FormMainTestMenu::refillList(w->lstPORT, {u"1"_s, u"2"_s});
    QCOMPARE(w->lstPORT->currentIndex(), -1);
    w->lstPORT->setCurrentIndex(1);
    w->reset();
    FormMainTestMenu::refillList(w->lstPORT, {u"1"_s, u"2"_s, u"3"_s});
    QCOMPARE(w->lstPORT->currentIndex(), -1);
    QCOMPARE(w->lstPORT->count(), 3);
    QVERIFY(w->runs.isEmpty());
    // setupPORTS's refill of the other lists neither.
    w->setnumPORTS(2);
    w->cur.defPORT();
    w->setupPORTS(-1, 0, u"test"_s);
    QVERIFY(w->runs.isEmpty());
    QCOMPARE(w->lstsCALE->currentIndex(), -1);
}

void TestEditorWindow::fillPNlist()
{
    w->cur.numPN = 3;
    w->cur.pnLIST[0] = u"never shown"_s;
    w->cur.pnLIST[1] = u"AB-100"_s;
    w->cur.pnLIST[2] = u"CD-200"_s;
    w->cur.pnLIST[3] = u"EF-300"_s;
    w->cur.pnLIST[4] = u"beyond numPN"_s;
    w->fillPNlist();
    QCOMPARE(entries(w->lsttestPN), (QStringList{u"AB-100"_s, u"CD-200"_s, u"EF-300"_s}));
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    QCOMPARE(w->lsttestPN->currentText(), QString());
    QVERIFY(w->runs.isEmpty());
    // Selecting loads (runs the handler) and shows the entry's text.
    w->lsttestPN->setCurrentIndex(1);
    QCOMPARE(w->ran(u"lsttestPN_Click"_s), 1);
    QCOMPARE(w->lsttestPN->currentText(), u"CD-200"_s);
    // A refill after a selection leaves none and an empty text, silently.
    w->reset();
    w->fillPNlist();
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    QCOMPARE(w->lsttestPN->currentText(), QString());
    QVERIFY(w->runs.isEmpty());
}

void TestEditorWindow::typingOverPNClearsSelectionSilently()
{
    w->cur.numPN = 2;
    w->cur.pnLIST[1] = u"AB-100"_s;
    w->cur.pnLIST[2] = u"CD-200"_s;
    w->fillPNlist();
    w->lsttestPN->setCurrentIndex(0);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->lsttestPN->setFocus();
    w->reset();
    QLineEdit* edit = w->lsttestPN->lineEdit();
    edit->end(false);
    QTest::keyClicks(w->lsttestPN, u"X"_s);
    QCOMPARE(w->lsttestPN->currentText(), u"AB-100X"_s);
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    QCOMPARE(edit->cursorPosition(), 7);
    QTest::keyClick(w->lsttestPN, Qt::Key_Backspace);
    QCOMPARE(w->lsttestPN->currentText(), u"AB-100"_s);
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    // Enter adds nothing to the list and selects nothing.
    QTest::keyClick(w->lsttestPN, Qt::Key_Return);
    QCOMPARE(w->lsttestPN->count(), 2);
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    QVERIFY2(w->runs.isEmpty(), qPrintable(w->order.join(u", "_s)));
}

void TestEditorWindow::leavingPNListRunsLostFocusAndSelectsNothing()
{
    w->cur.numPN = 2;
    w->cur.pnLIST[1] = u"AB-100"_s;
    w->cur.pnLIST[2] = u"CD-200"_s;
    w->fillPNlist();
    w->lsttestPN->setCurrentIndex(0);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->lsttestPN->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(w->lsttestPN->hasFocus());
    w->reset();
    // The operator types the name of another entry over the loaded one.
    w->lsttestPN->lineEdit()->selectAll();
    QTest::keyClicks(w->lsttestPN, u"CD-200"_s);
    w->txtPort->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(w->txtPort->hasFocus());
    QCOMPARE(w->ran(u"lsttestPN_LostFocus"_s), 1);
    // Qt would select the matching entry; the editor leaves that to its rename.
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    QCOMPARE(w->lsttestPN->currentText(), u"CD-200"_s);
    QCOMPARE(w->ran(u"lsttestPN_Click"_s), 0);
}

void TestEditorWindow::enterPressesNoButtonFromAField()
{
    w->cur.pnLOADED = 1;
    w->displayBTN(0);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->txtPort->setFocus();
    QTest::keyClick(w->txtPort, Qt::Key_Return);
    QTest::keyClick(w->txtPort, Qt::Key_Enter);
    QCOMPARE(w->ran(u"btnREVIEW_Click"_s), 0);
    QVERIFY(w->isVisible());
}

void TestEditorWindow::enterPressesFocusedButton()
{
    w->cur.pnLOADED = 1;
    w->displayBTN(0);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->btnREVIEW->setFocus();
    QTest::keyClick(w->btnREVIEW, Qt::Key_Return);
    QCOMPARE(w->ran(u"btnREVIEW_Click"_s), 1);
}

void TestEditorWindow::escapeDoesNotClose()
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->txtPort->setFocus();
    QTest::keyClick(w->txtPort, Qt::Key_Escape);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QVERIFY(w->isVisible());
    QCOMPARE(m_end.ends, 0);
}

void TestEditorWindow::wheelOverUnfocusedListChangesNothing()
{
    loadDefaults(4);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->txtPort->setFocus();
    QTRY_VERIFY(w->txtPort->hasFocus());
    const QPoint at = w->lstsCALE->rect().center();
    QWheelEvent wheel(at, w->lstsCALE->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->lstsCALE, &wheel);
    QCOMPARE(w->lstsCALE->currentIndex(), 1);
    QCOMPARE(w->ran(u"lstsCALE_Click"_s), 0);
}

// ---------------------------------------------------------------------------
// Ports beyond the table

void TestEditorWindow::numPORTSCappedAt49()
{
    w->txtStatus->setText(u"Waiting for User Input"_s);
    QVERIFY(w->setnumPORTS(8));
    QCOMPARE(w->cur.numPORTS, qint16(8));
    QCOMPARE(w->txtStatus->text(), u"Waiting for User Input"_s);
    QVERIFY(w->setnumPORTS(49));
    QCOMPARE(w->txtStatus->text(), u"Waiting for User Input"_s);

    QVERIFY(!w->setnumPORTS(60));
    QCOMPARE(w->cur.numPORTS, qint16(49));
    QCOMPARE(w->txtStatus->text(), u"RESULT: Station has 60 ports; only the first 49 can be edited"_s);
    QCOMPARE(backColor(w->txtStatus), colors::yellow);
    // Told once.
    w->txtStatus->setText(u"Waiting for User Input"_s);
    setBackColor(w->txtStatus, colors::white);
    QVERIFY(!w->setnumPORTS(70));
    QCOMPARE(w->cur.numPORTS, qint16(49));
    QCOMPARE(w->txtStatus->text(), u"Waiting for User Input"_s);
    QCOMPARE(backColor(w->txtStatus), colors::white);

    // Every port of the capped table can be shown, the last in slot 48.
    w->cur.defPORT();
    w->setupPORTS(48, 0, u"test"_s);
    QCOMPARE(w->lstPORT->count(), 49);
    QCOMPARE(w->txtPort->text(), u"PORT 49"_s);
    QCOMPARE(w->cur.curPORT, qint16(48));

    QVERIFY(!w->setnumPORTS(-2));
    QCOMPARE(w->cur.numPORTS, qint16(0));
}

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
