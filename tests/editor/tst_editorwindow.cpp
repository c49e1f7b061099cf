// The editor window, its controls and the procedures that move it between its
// states; the event semantics the editor relies on; quitting.
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
#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace zelmar;
using zelmar::test::FakeDialogs;
using zelmar::test::ProbeWindow;
using zelmar::test::RecordingPause;
using zelmar::test::RecordingProgramEnd;

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

const QPair<QString, QString> goodbye{u"Thank you for using Zelmar\u2122"_s, u"Quarrix Technologies, LLC"_s};

QStringList entries(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

} // namespace

class TestEditorWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init()
    {
        m_dialogs = FakeDialogs();
        m_end.ends = 0;
        w = std::make_unique<ProbeWindow>(&m_dialogs, &m_pause, &m_end);
    }

    void cleanup() { w.reset(); }

    // The window and its controls
    void controls_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("maxLength");  // typed-length limit; 0: none
        QTest::addColumn<QString>("access"); // accessible name; for a label, its buddy
        const auto row = [](const char* name, const char* kind, const QString& caption, const QString& tip,
                            int left, int top, int maxLength, const QString& access) {
            QTest::newRow(name) << QString::fromLatin1(kind) << caption << tip << left << top << maxLength
                                << access;
        };
        const auto label = [&](const char* name, const QString& caption, int left, int top,
                               const QString& buddy = {}) {
            row(name, "label", caption, {}, left, top, 0, buddy);
        };
        // clang-format off
        label("lblpartNAME", u"Part Number Selection Field"_s, 240, 240, u"lsttestPN"_s);
        row("lsttestPN", "combo", {}, u"Select the part number"_s, 240, 480, 0, u"Part Number Selection Field"_s);
        label("lblsnNAME", u"Part Number Description"_s, 240, 960, u"txtsnNAME"_s);
        row("txtsnNAME", "text", {}, u"Enter the Part Number Description [varchar(25)]"_s, 240, 1200, 25, u"Part Number Description"_s);
        row("chksnACTIVE", "check", u"PN Active"_s, u"Select this checkbox if you wish for this Port to be active (appear in the drop downbox)"_s, 4680, 1200, 0, u"PN Active"_s);
        row("chkpnDEFAULT", "check", u"Default PN"_s, u"Select this checkbox if you wish for this PN to automatically selected on startup"_s, 7560, 1200, 0, u"Default PN"_s);
        label("lblSNentryfield", u"Serial Number Format Field"_s, 240, 1680, u"txtsnFORMAT"_s);
        row("chksnBARCODE", "check", u"SN Scanning Reqd"_s, u"Select if you wish for Serial Number scanning to be required (bar code labels on PN)"_s, 4680, 1680, 0, u"SN Scanning Reqd"_s);
        row("chkRANDR", "check", u"R and R Units Defined"_s, u"Select this checkbox if you want to define GOOD and BAD Gage R and R serial numbers"_s, 7560, 1680, 0, u"R and R Units Defined"_s);
        row("txtsnFORMAT", "text", {}, u"Enter the SN Format [A-Z, 0-9, #, *, -, $, or space]"_s, 240, 1920, 35, u"Serial Number Format Field"_s);
        label("lblsnLENGTH", u"SN LENGTH"_s, 3480, 1680);
        label("lblsnLEN", {}, 3600, 1920);
        row("chkautoMEASURE", "check", u"Real Time Measure"_s, u"Select if you wish to enable the Auto Measure feature"_s, 4680, 2160, 0, u"Real Time Measure"_s);
        row("txtautoTIME", "text", {}, u"Enter the auto measure time interval in seconds"_s, 7560, 2160, 0, u"Auto Measure Time"_s);
        label("lblSEC", u"(seconds)"_s, 8520, 2160);
        label("lblGOODSN", u"Good R and R Serial Number"_s, 240, 2640, u"txtGOODSN"_s);
        row("txtGOODSN", "text", {}, u"Good R and R Serial Number"_s, 240, 2880, 35, u"Good R and R Serial Number"_s);
        label("lblBADSN", u"Bad R and R Serial Number"_s, 3960, 2640, u"txtBADSN"_s);
        row("txtBADSN", "text", {}, u"Bad R and R serial number field"_s, 3960, 2880, 35, u"Bad R and R Serial Number"_s);
        label("lblSUMMARY", u"Status Bar"_s, 4680, 240, u"txtStatus"_s);
        row("txtStatus", "text", {}, u"Status Bar provides info to the Program User"_s, 4680, 480, 0, u"Status Bar"_s);
        label("lblPORTNUM", u"Port Number"_s, 1320, 3840, u"lstPORT"_s);
        row("lstPORT", "list", {}, u"Select the Port Number"_s, 3000, 3840, 0, u"Port Number"_s);
        row("chkACTIVE", "check", u"Port Active"_s, u"Select this checkbox if you wish for this Port to be active"_s, 4560, 3840, 0, u"Port Active"_s);
        label("lblTitles", u"Port Description"_s, 1320, 4440, u"txtPort"_s);
        row("txtPort", "text", {}, u"Enter the Port Description"_s, 3000, 4440, 15, u"Port Description"_s);
        label("lbltestPARAMS", u"Min/Max Specs"_s, 1320, 5520, u"txtMinSpec"_s);
        row("txtMinSpec", "text", {}, u"Enter the minimum test spec requirement"_s, 3000, 5484, 0, u"Min Spec"_s);
        row("txtMaxSpec", "text", {}, u"Enter the max test spec requirement"_s, 4680, 5484, 0, u"Max Spec"_s);
        label("lblSCALE", u"Units/Scale"_s, 1320, 6120, u"lstsCALE"_s);
        row("lstsCALE", "list", {}, u"Enter the scale factor (applies to the min/max/display results)"_s, 3000, 6120, 0, u"Scale"_s);
        row("lstuNITS", "list", {}, u"Select the test units (currently only ohm units allowed)"_s, 4680, 6120, 0, u"Units"_s);
        label("lblSPEED", u"Speed"_s, 1320, 6720, u"lstSPEED"_s);
        row("lstSPEED", "list", {}, u"Select the test speed made by the Fluke meter"_s, 3000, 6720, 0, u"Speed"_s);
        label("lblnumAVG", u"Num Avgs"_s, 4680, 6720, u"txtAVG"_s);
        row("txtAVG", "text", {}, u"Select the number of measurements to make (and average)"_s, 6000, 6720, 0, u"Num Avgs"_s);
        label("lblRANGE", u"Range"_s, 1320, 7320, u"lstRANGE"_s);
        row("lstRANGE", "list", {}, u"Select the Fluke test measurement range"_s, 3000, 7320, 0, u"Range"_s);
        label("lblTIMEDELAY", u"Time Delay"_s, 4680, 7320, u"txtTDLY"_s);
        row("txtTDLY", "text", {}, u"Enter the optional time delay (seconds) before making the test measurement"_s, 6000, 7320, 0, u"Time Delay"_s);
        label("Label1", u"(seconds)"_s, 6960, 7320);
        label("lblssALG", u"Measurement Stabilty Requirement"_s, 1320, 8160);
        row("chkssON", "check", u"ENABLED"_s, u"Select the checkbox to enable the Steady State algorithm"_s, 2880, 8760, 0, u"ENABLED"_s);
        label("lblSSTOL", u"Stability Tolerance"_s, 4080, 8160, u"txtssTOL"_s);
        row("txtssTOL", "text", {}, u"Enter the SS percentage requirement "_s, 4320, 8760, 0, u"Stability Tolerance"_s);
        label("Label4", u"(percent)"_s, 4200, 9240);
        label("lblMAXTIME", u"Max Wait Time"_s, 5520, 8160, u"txtssMAXT"_s);
        row("txtssMAXT", "text", {}, u"Enter the max time the algorithm will wait for SS conditions before giving up"_s, 5640, 8760, 0, u"Max Wait Time"_s);
        label("Label3", u"(seconds)"_s, 5520, 9240);
        row("chkssREQD", "check", u"EOL REQD"_s, u"Select this checkbox if SS is required. If selected, if SS conditions are not met -- PORT test reports as FAILED"_s, 6720, 8640, 0, u"EOL REQD"_s);
        row("btnREVIEW", "button", u"REVIEW"_s, u"Select this button to check current entered configuration for errors"_s, 8520, 3600, 0, u"REVIEW"_s);
        row("btnUPDATE", "button", u"UPDATE MySQL"_s, u"Select this button to UPDATE the current Part Number to the Database"_s, 8520, 4680, 0, u"UPDATE MySQL"_s);
        row("btnDELETE", "button", u"DELETE RECORD"_s, u"Select this button to delete this current Part Number"_s, 8520, 5760, 0, u"DELETE RECORD"_s);
        row("btnEXPORT", "button", u"EXPORT TO EXCEL"_s, u"Select this button to Export the current Part Number to Microsoft Excel (if loaded on your computer)"_s, 8520, 6840, 0, u"EXPORT TO EXCEL"_s);
        row("btnADD", "button", u"CREATE  NEW PN"_s, u"Select this button to ADD a new Part Number"_s, 8520, 7920, 0, u"CREATE  NEW PN"_s);
        row("btnQUIT", "button", u"QUIT"_s, u"Select the QUIT button when you are ready to exit the program"_s, 8520, 9000, 0, u"QUIT"_s);
        // clang-format on
    }

    void controls()
    {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, maxLength);
        QFETCH(QString, access);
        QWidget* control = widget(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(control);
        QCOMPARE(control->parentWidget(), static_cast<QWidget*>(w.get()));
        QCOMPARE(control->pos(), QPoint(qRound(left / 15.0), qRound(top / 15.0)));
        QCOMPARE(control->toolTip(), tip);
        if (auto* l = qobject_cast<QLabel*>(control)) {
            QCOMPARE(kind, u"label"_s);
            QCOMPARE(l->text(), caption);
            QCOMPARE(l->buddy(), access.isEmpty() ? nullptr : widget(access));
            return;
        }
        QCOMPARE(control->accessibleName(), access);
        if (auto* e = qobject_cast<QLineEdit*>(control)) {
            QCOMPARE(kind, u"text"_s);
            // The limit applies to typing only; texts set by the program are never cut.
            QCOMPARE(typedLengthLimit(e), maxLength);
            QCOMPARE(e->maxLength(), 32767);
        } else if (auto* c = qobject_cast<QComboBox*>(control)) {
            QCOMPARE(kind, c->isEditable() ? u"combo"_s : u"list"_s);
        } else if (auto* c = qobject_cast<QCheckBox*>(control)) {
            QCOMPARE(kind, u"check"_s);
            QCOMPARE(c->text(), caption);
            QVERIFY(!c->isTristate());
        } else {
            auto* b = qobject_cast<QPushButton*>(control);
            QVERIFY(b && kind == u"button"_s);
            QCOMPARE(b->text(), caption);
            QCOMPARE(b->size(), QSize(qRound(1572 / 15.0), qRound(852 / 15.0)));
            QVERIFY(!b->autoDefault() && !b->isDefault());
        }
    }

    void everyControlIsInTheTable()
    {
        // The 56 controls plus the logo and nothing else at the top level, all inside the
        // window; every control but the labels has an accessible name of its own.
        QSet<QString> names, accessible;
        for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            names.insert(c->objectName());
            QVERIFY2(w->rect().contains(c->geometry()), qPrintable(c->objectName()));
            if (!qobject_cast<QLabel*>(c) || c == w->Image1 || c == w->lblsnLEN)
                accessible.insert(QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name));
        }
        QCOMPARE(names.size(), 57);
        QVERIFY(names.contains(u"Image1"_s));
        QCOMPARE(accessible.size(), 26 + 6 + 1 + 2); // edit controls, buttons, status bar, logo, SN length
        QVERIFY(!accessible.contains(QString()));
        QCOMPARE(static_cast<QWidget*>(w->Label3), widget(u"Label3"_s)); // members are the controls
    }

    void fontLogoAndTimers()
    {
        for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QCOMPARE(c->font().family(), u"Calibri"_s);
            const QString shown = QFontInfo(c->font()).family();
            QVERIFY2(shown == u"Calibri"_s || shown == u"Carlito"_s,
                     qPrintable(c->objectName() + u": "_s + shown));
        }
        QVERIFY(!w->Image1->pixmap().isNull());
        QCOMPARE(w->Timer1->interval(), 1000);
        QVERIFY(!w->Timer1->isActive());
        QCOMPARE(w->Timer6->interval(), 10000);
        QVERIFY(w->Timer6->isActive());
        w->Timer1->start(1);
        w->Timer6->start(1);
        QTRY_VERIFY(w->ran(u"Timer1_Timer"_s) > 0);
        QTRY_VERIFY(w->ran(u"Timer6_Timer"_s) > 0);
    }

    // setupPORTS
    void setupPORTSListsAndCodes_data()
    {
        // Port 3's stored unitSCALE, mspeed, Range, numAVG, timeDELAY and UOM, and what its
        // lists and fields then show. A value out of range shows corrected, and the value
        // shown is the one then held in memory.
        QTest::addColumn<QList<double>>("stored");
        QTest::addColumn<QStringList>("shown"); // lstsCALE, lstSPEED, lstRANGE, txtAVG, txtTDLY
        // clang-format off
        QTest::newRow("scale 0, speed 0, range 8, averages 30, delay 75, units 3: corrected")
            << QList<double>{0, 0, 8, 30, 75, 3} << QStringList{u"unity"_s, u"MEDIUM"_s, u"AUTO"_s, u"1"_s, u"0.25"_s};
        QTest::newRow("scale 5, speed 4, range -1, averages 0, delay -1: corrected")
            << QList<double>{5, 4, -1, 0, -1, 1} << QStringList{u"unity"_s, u"MEDIUM"_s, u"AUTO"_s, u"1"_s, u"0.25"_s};
        QTest::newRow("scale -1 corrected; averages 1 and delay 0 kept")
            << QList<double>{-1, 2, 0, 1, 0, 1} << QStringList{u"unity"_s, u"MEDIUM"_s, u"AUTO"_s, u"1"_s, u"0"_s};
        QTest::newRow("highest codes kept")
            << QList<double>{4, 3, 7, 25, 60, 1} << QStringList{u"mega"_s, u"FAST"_s, u"0-100M"_s, u"25"_s, u"60"_s};
        QTest::newRow("lowest codes kept")
            << QList<double>{1, 1, 0, 1, 0.25, 1} << QStringList{u"milli"_s, u"SLOW"_s, u"AUTO"_s, u"1"_s, u"0.25"_s};
        QTest::newRow("middle codes kept")
            << QList<double>{3, 2, 4, 7, 2.5, 1} << QStringList{u"kilo"_s, u"MEDIUM"_s, u"0-200K"_s, u"7"_s, u"2.5"_s};
        // clang-format on
    }

    void setupPORTSListsAndCodes()
    {
        QFETCH(QList<double>, stored);
        QFETCH(QStringList, shown);
        w->setnumPORTS(12);
        w->cur.defPORT();
        CurrentParams& c = w->cur;
        const int k = 2;
        c.unitSCALE[k] = qint16(stored[0]);
        c.mspeed[k] = qint16(stored[1]);
        c.Range[k] = qint16(stored[2]);
        c.numAVG[k] = qint16(stored[3]);
        c.timeDELAY[k] = float(stored[4]);
        c.UOM[k] = qint16(stored[5]);

        w->setupPORTS(k, 0, u"test"_s);

        QCOMPARE(entries(w->lstPORT).join(u' '), u"1 2 3 4 5 6 7 8 9 10 11 12"_s);
        QCOMPARE(entries(w->lstuNITS), QStringList{u"ohms"_s});
        QCOMPARE(entries(w->lstsCALE).join(u' '), u"milli unity kilo mega"_s);
        QCOMPARE(entries(w->lstSPEED).join(u' '), u"SLOW MEDIUM FAST"_s);
        QCOMPARE(entries(w->lstRANGE).join(u' '), u"AUTO 0-200 0-2K 0-20K 0-200K 0-2M 0-20M 0-100M"_s);
        QCOMPARE(w->lstPORT->currentText(), u"3"_s);
        QCOMPARE(c.curPORT, qint16(k));
        QCOMPARE(w->lstuNITS->currentIndex(), 0);
        const QStringList now{w->lstsCALE->currentText(), w->lstSPEED->currentText(),
                              w->lstRANGE->currentText(), w->txtAVG->text(), w->txtTDLY->text()};
        QCOMPARE(now, shown);
        QCOMPARE(c.curSCALE, qint16(w->lstsCALE->currentIndex()));
        // List position p stores p + 1 for the scale and the speed, p itself for the range.
        QCOMPARE(c.unitSCALE[k], qint16(w->lstsCALE->currentIndex() + 1));
        QCOMPARE(c.mspeed[k], qint16(w->lstSPEED->currentIndex() + 1));
        QCOMPARE(c.Range[k], qint16(w->lstRANGE->currentIndex()));
        QCOMPARE(c.numAVG[k], qint16(shown[3].toInt()));
        QCOMPARE(c.timeDELAY[k], shown[4].toFloat());
        QCOMPARE(c.UOM[k], qint16(1));
        QCOMPARE(c.unitSCALE[1], qint16(2)); // other ports are untouched
        QCOMPARE(c.timeDELAY[3], 0.25f);
    }

    void setupPORTSDecimals_data()
    {
        QTest::addColumn<float>("ohms");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0.0015 ohm in milli") << 0.0015f << 1 << u"1.5000"_s;
        QTest::newRow("0.5 ohm in milli") << 0.5f << 1 << u"500.00"_s;
        QTest::newRow("12 ohm in unity") << 12.0f << 2 << u"12.000"_s;
        QTest::newRow("999.5 in unity") << 999.5f << 2 << u"999.50"_s;
        QTest::newRow("twelve million in unity") << 12000000.0f << 2 << u"12,000,000"_s;
        QTest::newRow("negative large in unity") << -12345.0f << 2 << u"-12,345.0000"_s;
        QTest::newRow("123.456 kilo-ohm in kilo") << 123456.0f << 3 << u"123.46"_s;
        QTest::newRow("2.5 mega-ohm in mega") << 2500000.0f << 4 << u"2.5000"_s;
    }

    void setupPORTSDecimals()
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
        QCOMPARE(w->cur.minSPEC[1], ohms); // showing changes nothing stored
    }

    void setupPORTSOtherFields()
    {
        loadDefaults(3);
        const auto shown = [this] {
            return QStringList{w->txtPort->text(), w->txtMinSpec->text(), w->txtMaxSpec->text(),
                               w->txtssTOL->text(), w->txtssMAXT->text()};
        };
        QCOMPARE(shown(), (QStringList{u"PORT 1"_s, u"1.0000"_s, u"1,000.0"_s, u"5.0"_s, u"2"_s}));
        QVERIFY(w->chkACTIVE->isChecked() && w->chkssON->isChecked() && !w->chkssREQD->isChecked());
        w->cur.portNAME[1] = u"Coil A"_s;
        w->cur.acTIVE[1] = 2; // anything but 1 is unticked
        w->cur.ssON[1] = 0;
        w->cur.ssREQD[1] = 1;
        w->cur.ssTOL[1] = 0.125f;
        w->cur.ssMAXT[1] = 2.5f;
        w->setupPORTS(1, 1, u"test"_s);
        QCOMPARE(shown(), (QStringList{u"Coil A"_s, u"1.0000"_s, u"1,000.0"_s, u"12.5"_s, u"2.5"_s}));
        QVERIFY(!w->chkACTIVE->isChecked() && !w->chkssON->isChecked() && w->chkssREQD->isChecked());
    }

    void setupPORTSWhichPort_data()
    {
        QTest::addColumn<int>("numPORTS"); // after the 4 ports of the account were shown
        QTest::addColumn<int>("iPORT");
        QTest::addColumn<int>("iLISTS");
        QTest::addColumn<int>("curPORT");
        QTest::addColumn<QString>("txtPort");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("clicks"); // lstPORT_Click runs
        const QString kept = u"as it was"_s;
        // clang-format off
        QTest::newRow("-1, lists kept: selection cleared, fields kept") << 4 << -1 << 1 << -1 << kept << 4 << 1;
        QTest::newRow("-1, lists refilled: nothing runs")               << 4 << -1 << 0 << -1 << kept << 4 << 0;
        QTest::newRow("port 7 of a 4-port station: shows nothing")      << 4 << 6 << 1 << -1 << kept << 4 << 1;
        QTest::newRow("slot 60, beyond the table: shows nothing")       << 4 << 60 << 1 << -1 << kept << 4 << 1;
        QTest::newRow("lists kept though the count dropped")            << 2 << 3 << 1 << 3 << u"PORT 4"_s << 4 << 1;
        QTest::newRow("lists refilled to the new count")                << 2 << 1 << 0 << 1 << u"PORT 2"_s << 2 << 1;
        // clang-format on
    }

    void setupPORTSWhichPort()
    {
        QFETCH(int, numPORTS);
        QFETCH(int, iPORT);
        QFETCH(int, iLISTS);
        QFETCH(int, curPORT);
        QFETCH(QString, txtPort);
        QFETCH(int, listed);
        QFETCH(int, clicks);
        loadDefaults(4);
        w->setnumPORTS(numPORTS);
        w->txtPort->setText(u"as it was"_s);
        w->setupPORTS(iPORT, iLISTS, u"test"_s);
        QCOMPARE(w->cur.curPORT, qint16(curPORT));
        QCOMPARE(w->lstPORT->currentIndex(), curPORT);
        QCOMPARE(w->txtPort->text(), txtPort);
        QCOMPARE(w->lstPORT->count(), listed);
        QCOMPARE(w->ran(u"lstPORT_Click"_s), clicks);
    }

    void setupPORTSRunsSelectionHandlers()
    {
        w->setnumPORTS(4);
        w->cur.defPORT();
        // Filled lists start with no selection, so selecting runs each handler once, the
        // port list's first.
        w->setupPORTS(0, 0, u"test"_s);
        QCOMPARE(w->clicks(), (QStringList{u"lstPORT_Click"_s, u"lstsCALE_Click"_s, u"chkssON_Click"_s}));
        // The same port again, lists kept: nothing changes, nothing runs.
        w->reset();
        w->setupPORTS(0, 1, u"test"_s);
        QVERIFY(w->clicks().isEmpty());
        // Another port with the same scale and steady state: only the port list's handler.
        w->setupPORTS(1, 1, u"test"_s);
        QCOMPARE(w->clicks(), QStringList{u"lstPORT_Click"_s});
        // A port whose scale and steady state differ runs their handlers too.
        w->reset();
        w->cur.unitSCALE[2] = 3;
        w->cur.ssON[2] = 0;
        w->setupPORTS(2, 1, u"test"_s);
        QCOMPARE(w->clicks(), (QStringList{u"lstPORT_Click"_s, u"lstsCALE_Click"_s, u"chkssON_Click"_s}));
    }

    // lock, unlock, blank, buttons
    void lockFIELDSAndSetupPORTSKeepColours()
    {
        loadDefaults(4);
        w->cur.pnLOADED = 1;
        w->displayBTN(0);
        setBackColor(w->txtssTOL, colors::menuBar);
        setBackColor(w->txtMinSpec, colors::red);
        w->lockFIELDS();
        // lockFIELDS changes no value, colour, button or status; setupPORTS no enabled state or colour.
        QCOMPARE(w->txtPort->text(), u"PORT 1"_s);
        QVERIFY(w->chkACTIVE->isChecked());
        QVERIFY(w->txtStatus->isEnabled());
        for (const QString& name : buttonNames)
            QVERIFY(widget(name)->isEnabled());
        QVERIFY(w->clicks().isEmpty());
        w->cur.ssON[1] = 0;
        w->setupPORTS(1, 0, u"test"_s);
        for (const QString& name : lockedControls)
            QVERIFY2(!widget(name)->isEnabled(), qPrintable(name));
        QCOMPARE(backColor(w->txtssTOL), colors::menuBar);
        QCOMPARE(backColor(w->txtMinSpec), colors::red);
        QCOMPARE(backColor(w->txtPort), colors::white);
    }

    void unlockFIELDS_data()
    {
        QTest::addColumn<bool>("selected"); // an entry of lsttestPN is selected
        QTest::addColumn<bool>("barcode");
        QTest::addColumn<bool>("autoMeasure");
        QTest::addColumn<bool>("randr");
        QTest::addColumn<bool>("steady");
        QTest::newRow("no PN selected: only the PN list") << false << true << true << true << true;
        QTest::newRow("all options on") << true << true << true << true << true;
        QTest::newRow("all options off") << true << false << false << false << false;
        QTest::newRow("barcode and steady state") << true << true << false << false << true;
        QTest::newRow("measure and R&R") << true << false << true << true << false;
    }

    void unlockFIELDS()
    {
        QFETCH(bool, selected);
        QFETCH(bool, barcode);
        QFETCH(bool, autoMeasure);
        QFETCH(bool, randr);
        QFETCH(bool, steady);
        fillPNs(selected);
        loadDefaults(4);
        // The boxes as given, without their handlers' corrections.
        for (const auto& [box, on] :
             {std::pair{w->chksnBARCODE, barcode}, std::pair{w->chkautoMEASURE, autoMeasure},
              std::pair{w->chkRANDR, randr}, std::pair{w->chkssON, steady}}) {
            const QSignalBlocker blocker(box);
            box->setChecked(on);
        }
        w->lockFIELDS();
        setBackColor(w->txtGOODSN, colors::menuBar);
        w->unlockFIELDS();
        QVERIFY(w->lsttestPN->isEnabled());
        QCOMPARE(backColor(w->txtGOODSN), colors::menuBar); // no colour changes
        const QHash<QString, bool> dependent = {{u"txtsnFORMAT"_s, barcode}, {u"txtautoTIME"_s, autoMeasure},
                                                {u"txtGOODSN"_s, randr},     {u"txtBADSN"_s, randr},
                                                {u"txtssTOL"_s, steady},     {u"txtssMAXT"_s, steady},
                                                {u"chkssREQD"_s, steady}};
        for (const QString& name : lockedControls.mid(1))
            QVERIFY2(widget(name)->isEnabled() == (selected && dependent.value(name, true)),
                     qPrintable(name));
    }

    void blankFIELDS()
    {
        loadDefaults(4);
        for (QLineEdit* e : w->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
            e->setText(u"7"_s);
        for (QCheckBox* c : w->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly))
            c->setChecked(true);
        w->lblsnLEN->setText(u"6"_s);
        w->lockFIELDS();
        // No port shown: clearing the port list stores nothing.
        w->cur.curPORT = -1;
        const CurrentParams before = w->cur;

        w->blankFIELDS();

        const QList<QPair<QString, QString>> texts = {{u"txtsnNAME"_s, u"Part Number Description"_s},
                                                      {u"txtsnFORMAT"_s, QString()},
                                                      {u"txtautoTIME"_s, u"20.0"_s},
                                                      {u"txtGOODSN"_s, QString()},
                                                      {u"txtBADSN"_s, QString()},
                                                      {u"txtPort"_s, u"Port Description"_s},
                                                      {u"txtMinSpec"_s, u"0.0"_s},
                                                      {u"txtMaxSpec"_s, u"100.0"_s},
                                                      {u"txtAVG"_s, u"2"_s},
                                                      {u"txtTDLY"_s, u"0.25"_s},
                                                      {u"txtssTOL"_s, u"5.0"_s},
                                                      {u"txtssMAXT"_s, u"5.0"_s}};
        for (const auto& [name, text] : texts)
            QCOMPARE(w->findChild<QLineEdit*>(name)->text(), text);
        QCOMPARE(w->lblsnLEN->text(), u"0"_s);
        for (QCheckBox* c : w->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(!c->isChecked(), qPrintable(c->objectName()));
        for (QComboBox* list : {w->lstPORT, w->lstsCALE, w->lstuNITS, w->lstSPEED, w->lstRANGE})
            QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(w->lstRANGE->count(), 8); // the lists keep their entries
        // No enabled state and no stored value changes.
        for (const QString& name : lockedControls)
            QVERIFY2(!widget(name)->isEnabled(), qPrintable(name));
        QCOMPARE(w->cur.portNAME, before.portNAME);
        QCOMPARE(w->cur.minSPEC, before.minSPEC);
        QCOMPARE(w->cur.curPORT, before.curPORT);
    }

    void blankFIELDSRunsCheckBoxHandlers()
    {
        loadDefaults(4);
        fillPNs(true);
        for (QCheckBox* c : {w->chksnBARCODE, w->chkautoMEASURE, w->chkRANDR, w->chkssON})
            c->setChecked(true);
        w->cur.pnLOADED = 1;
        w->unlockFIELDS();
        w->reset();
        w->blankFIELDS();
        // Each box that changes runs its handler once; clearing the lists' selections
        // runs theirs once.
        QCOMPARE(w->clicks(),
                 (QStringList{u"chksnBARCODE_Click"_s, u"chkautoMEASURE_Click"_s, u"chkRANDR_Click"_s,
                              u"lstPORT_Click"_s, u"lstsCALE_Click"_s, u"chkssON_Click"_s}));
        // The handlers disable and grey the dependent fields.
        for (QWidget* d :
             std::initializer_list<QWidget*>{w->txtautoTIME, w->txtsnFORMAT, w->chkRANDR, w->txtGOODSN,
                                             w->txtBADSN, w->txtssTOL, w->txtssMAXT, w->chkssREQD})
            QVERIFY2(!d->isEnabled() && backColor(d) == colors::menuBar, qPrintable(d->objectName()));
        // A second blank changes nothing and runs nothing: a box that already has the
        // value runs no handler.
        w->reset();
        w->blankFIELDS();
        QVERIFY2(w->order.isEmpty(), qPrintable(w->order.join(u", "_s)));
    }

    void displayBTN_data()
    {
        QTest::addColumn<int>("iPROC");
        QTest::addColumn<int>("pnLOADED");
        QTest::addColumn<int>("xlSTATUS");
        QTest::addColumn<QString>("on"); // REVIEW UPDATE DELETE EXPORT ADD QUIT
        QTest::newRow("busy, PN loaded") << 1 << 1 << 0 << u"000000"_s;
        QTest::newRow("busy, no PN") << 1 << 0 << 0 << u"000000"_s;
        QTest::newRow("idle, PN loaded") << 0 << 1 << 0 << u"111111"_s;
        QTest::newRow("idle, PN loaded, export done") << 0 << 1 << 1 << u"111111"_s;
        QTest::newRow("idle, PN loaded, export failed: export off") << 0 << 1 << 2 << u"111011"_s;
        QTest::newRow("idle, no PN") << 0 << 0 << 0 << u"000011"_s;
        QTest::newRow("idle, no PN, export failed") << 0 << 0 << 2 << u"000011"_s;
        QTest::newRow("other iPROC and pnLOADED not 0: idle, loaded") << 5 << -1 << 0 << u"111111"_s;
    }

    void displayBTN()
    {
        QFETCH(int, iPROC);
        QFETCH(int, pnLOADED);
        QFETCH(int, xlSTATUS);
        QFETCH(QString, on);
        w->cur.pnLOADED = qint16(pnLOADED);
        w->cur.xlSTATUS = qint16(xlSTATUS);
        // From both starting points: every button is set, not only switched one way.
        for (bool start : {false, true}) {
            QString enabled;
            for (const QString& name : buttonNames)
                widget(name)->setEnabled(start);
            w->displayBTN(iPROC);
            for (const QString& name : buttonNames)
                enabled += widget(name)->isEnabled() ? u'1' : u'0';
            QCOMPARE(enabled, on);
        }
    }

    // Event semantics
    void programChangeRunsHandlerOnce_data()
    {
        QTest::addColumn<QString>("control");
        for (const char* name :
             {"lstPORT", "lstsCALE", "chkautoMEASURE", "chkRANDR", "chksnBARCODE", "chkssON"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void programChangeRunsHandlerOnce()
    {
        QFETCH(QString, control);
        const QString handler = control + u"_Click"_s;
        if (control == u"chkRANDR"_s) {
            // R and R with scanning on: no correction that runs the handler again.
            const QSignalBlocker blocker(w->chksnBARCODE);
            w->chksnBARCODE->setChecked(true);
        }
        // A new value runs the handler once; the value it already has runs nothing.
        if (auto* list = w->findChild<QComboBox*>(control)) {
            FormMainTestMenu::refillList(list, {u"a"_s, u"b"_s, u"c"_s});
            for (const auto& [index, runs] :
                 QList<QPair<int, int>>{{2, 1}, {2, 1}, {-1, 2}, {-1, 2}, {0, 3}}) {
                list->setCurrentIndex(index);
                QCOMPARE(w->ran(handler), runs);
            }
        } else {
            auto* box = w->findChild<QCheckBox*>(control);
            for (const auto& [checked, runs] :
                 QList<QPair<bool, int>>{{false, 0}, {true, 1}, {true, 1}, {false, 2}}) {
                box->setChecked(checked);
                QCOMPARE(w->ran(handler), runs);
            }
        }
        QCOMPARE(QSet<QString>(w->order.begin(), w->order.end()), QSet<QString>{handler}); // no other handler
    }

    void operatorClicksAndKeys()
    {
        w->cur.pnLOADED = 1;
        w->displayBTN(0);
        QVERIFY(test::showAndActivate(w.get()));
        QTest::mouseClick(w->chkssON, Qt::LeftButton, {}, QPoint(6, w->chkssON->height() / 2));
        QVERIFY(w->chkssON->isChecked());
        QCOMPARE(w->ran(u"chkssON_Click"_s), 1);
        // Enter and Escape in a field neither press a button nor close the window.
        w->txtPort->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(w->txtPort, key);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QCOMPARE(w->ran(u"btnREVIEW_Click"_s), 0);
        // A click, or Enter on the button that has the focus, presses it; not when disabled.
        QTest::mouseClick(w->btnREVIEW, Qt::LeftButton);
        w->btnREVIEW->setFocus();
        QTest::keyClick(w->btnREVIEW, Qt::Key_Return);
        w->displayBTN(1);
        QTest::mouseClick(w->btnREVIEW, Qt::LeftButton);
        QCOMPARE(w->ran(u"btnREVIEW_Click"_s), 2);
        QCOMPARE(m_end.ends, 0);
    }

    void refillSelectsNothing()
    {
        // lsttestPN shows slots 1..numPN, with nothing selected and an empty text.
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
        // A refill after a selection leaves none, silently.
        {
            const QSignalBlocker blocker(w->lsttestPN);
            w->lsttestPN->setCurrentIndex(1);
        }
        QCOMPARE(w->lsttestPN->currentText(), u"CD-200"_s);
        w->reset();
        w->fillPNlist();
        QCOMPARE(w->lsttestPN->currentIndex(), -1);
        QCOMPARE(w->lsttestPN->currentText(), QString());
        // setupPORTS's refill of the other lists neither.
        w->setnumPORTS(2);
        w->cur.defPORT();
        w->setupPORTS(-1, 0, u"test"_s);
        QCOMPARE(w->lstsCALE->currentIndex(), -1);
        QVERIFY2(w->order.isEmpty(), qPrintable(w->order.join(u", "_s)));
    }

    void typingOverThePNList()
    {
        fillPNs(true);
        QVERIFY(test::showAndActivate(w.get()));
        w->lsttestPN->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(w->lsttestPN->hasFocus());
        w->reset();
        // Typing over the loaded entry leaves no entry selected, silently.
        QLineEdit* edit = w->lsttestPN->lineEdit();
        edit->end(false);
        QTest::keyClicks(w->lsttestPN, u"X"_s);
        QCOMPARE(w->lsttestPN->currentText(), u"AB-100X"_s);
        QCOMPARE(w->lsttestPN->currentIndex(), -1);
        QCOMPARE(edit->cursorPosition(), 7);
        // Enter adds nothing to the list and selects nothing.
        QTest::keyClick(w->lsttestPN, Qt::Key_Return);
        QCOMPARE(w->lsttestPN->count(), 2);
        QVERIFY2(w->order.isEmpty(), qPrintable(w->order.join(u", "_s)));
        // Leaving with another entry's name typed, in its own case or another, while no PN
        // is loaded selects nothing and renames nothing: the text goes.
        for (const QString& typed : {u"CD-200"_s, u"cd-200"_s}) {
            w->lsttestPN->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
            QTest::keyClicks(w->lsttestPN, typed);
            w->txtPort->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents(); // the leave runs once the focus has moved
            QCOMPARE(w->lsttestPN->currentIndex(), -1);
            QCOMPARE(w->lsttestPN->currentText(), QString());
        }
        QCOMPARE(w->clicks(), (QStringList{u"lsttestPN_LostFocus"_s, u"lsttestPN_LostFocus"_s}));
    }

    void wheelOverUnfocusedListChangesNothing()
    {
        loadDefaults(4);
        QVERIFY(test::showAndActivate(w.get()));
        w->txtPort->setFocus();
        QTRY_VERIFY(w->txtPort->hasFocus());
        const QPoint at = w->lstsCALE->rect().center();
        QWheelEvent wheel(at, w->lstsCALE->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->lstsCALE, &wheel);
        QCOMPARE(w->lstsCALE->currentIndex(), 1);
        QCOMPARE(w->ran(u"lstsCALE_Click"_s), 0);
    }

    void numPORTSCappedAt49()
    {
        const QString idle = u"Waiting for User Input"_s;
        w->txtStatus->setText(idle);
        QVERIFY(w->setnumPORTS(8));
        QVERIFY(w->setnumPORTS(49));
        QCOMPARE(w->cur.numPORTS, qint16(49));
        QCOMPARE(w->txtStatus->text(), idle);

        QVERIFY(!w->setnumPORTS(60));
        QCOMPARE(w->cur.numPORTS, qint16(49));
        QCOMPARE(w->txtStatus->text(), u"RESULT: Station has 60 ports; only the first 49 can be edited"_s);
        QCOMPARE(backColor(w->txtStatus), colors::yellow);
        // Told once.
        w->txtStatus->setText(idle);
        setBackColor(w->txtStatus, colors::white);
        QVERIFY(!w->setnumPORTS(70));
        QCOMPARE(w->cur.numPORTS, qint16(49));
        QCOMPARE(w->txtStatus->text(), idle);
        QCOMPARE(backColor(w->txtStatus), colors::white);
        // Every port of the capped table can be shown, the last in slot 48.
        w->cur.defPORT();
        w->setupPORTS(48, 0, u"test"_s);
        QCOMPARE(w->lstPORT->count(), 49);
        QCOMPARE(w->txtPort->text(), u"PORT 49"_s);

        QVERIFY(!w->setnumPORTS(-2));
        QCOMPARE(w->cur.numPORTS, qint16(0));
    }

    // QUIT
    void quit_data()
    {
        QTest::addColumn<int>("xlOPEN");
        QTest::newRow("no spreadsheet open: none touched") << 0;
        QTest::newRow("spreadsheet open: handed over first") << 1;
    }

    void quit()
    {
        QFETCH(int, xlOPEN);
        QVERIFY(test::showAndActivate(w.get()));
        w->Timer1->start(2500);
        w->cur.xlOPEN = qint16(xlOPEN);
        QStringList steps;
        w->spreadsheetHandOver = [&] {
            steps << (w->Timer6->isActive() && w->isVisible() ? u"hand over"_s : u"hand over late"_s);
        };
        // What the goodbye box sees: timers stopped and the window gone, the program not ended yet.
        m_dialogs.whileMessageShown = [&] {
            const bool ready =
                !w->Timer1->isActive() && !w->Timer6->isActive() && !w->isVisible() && m_end.ends == 0;
            steps << (ready ? u"goodbye"_s : u"goodbye too early"_s);
        };
        w->btnQUIT_Click();
        QCOMPARE(steps,
                 xlOPEN == 1 ? (QStringList{u"hand over"_s, u"goodbye"_s}) : QStringList{u"goodbye"_s});
        QCOMPARE(m_dialogs.messages, QList{goodbye});
        QCOMPARE(m_end.ends, 1);

        // The operator had already closed the spreadsheet application: the same goodbye and end.
        init();
        w->cur.xlOPEN = 1;
        w->spreadsheetHandOver = [] {
            throw std::runtime_error("the application is gone");
        };
        w->btnQUIT_Click();
        QCOMPARE(m_dialogs.messages, QList{goodbye});
        QCOMPARE(m_end.ends, 1);

        // A goodbye box that fails still ends the program.
        init();
        m_dialogs.whileMessageShown = [] {
            throw std::runtime_error("no box");
        };
        w->btnQUIT_Click();
        QCOMPARE(m_end.ends, 1);
    }

    void quitEndsOnceHoweverOftenCalled()
    {
        // While the first goodbye box is up, QUIT is called again directly and by the
        // one-hour timer (the box keeps the event loop running); later once more.
        m_dialogs.whileMessageShown = [&] {
            if (m_dialogs.messages.size() > 1)
                return;
            w->btnQUIT_Click();
            QTimer::singleShot(0, w.get(), [&] { w->btnQUIT_Click(); });
            QTest::qWait(20);
        };
        w->btnQUIT_Click();
        QTest::qWait(20);
        w->btnQUIT_Click();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_end.ends, 1);
    }

    void quitButtonRunsQuitAndClosingDoesNot()
    {
        QVERIFY(test::showAndActivate(w.get()));
        w->close();
        QVERIFY(m_dialogs.messages.isEmpty());
        QCOMPARE(m_end.ends, 0);
        QVERIFY(test::showAndActivate(w.get()));
        w->displayBTN(0);
        QTest::mouseClick(w->btnQUIT, Qt::LeftButton);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_end.ends, 1);
        QVERIFY(!w->isVisible());
    }

private:
    FakeDialogs m_dialogs;
    RecordingPause m_pause;
    RecordingProgramEnd m_end;
    std::unique_ptr<ProbeWindow> w;

    QWidget* widget(const QString& name) const { return w->findChild<QWidget*>(name); }
    // Default ports, the lists filled and port 1 shown; nothing listed as run yet.
    void loadDefaults(int ports = 4)
    {
        w->setnumPORTS(ports);
        w->cur.defPORT();
        w->setupPORTS(0, 0, u"test"_s);
        w->reset();
    }
    // lsttestPN lists AB-100 and CD-200, the first one selected when asked.
    void fillPNs(bool select)
    {
        w->cur.numPN = 2;
        w->cur.pnLIST[1] = u"AB-100"_s;
        w->cur.pnLIST[2] = u"CD-200"_s;
        w->fillPNlist();
        if (select) {
            // Selected as if loaded, without running the load.
            const QSignalBlocker blocker(w->lsttestPN);
            w->lsttestPN->setCurrentIndex(0);
        }
        w->reset();
    }
};

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
