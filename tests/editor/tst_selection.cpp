// Picking part numbers and ports, renaming, gathering and the option boxes, against a
// database on the test server; and the event safety of the editor's handlers.
#include "Colors.h"
#include "EditorOnDb.h"
#include "PortStorage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::EditorOnDb;
using test::hourIsUp;
using test::putText;

namespace {

const QString waiting = u"Waiting for User Input"_s;

} // namespace

class TestSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadShowsTheRecordAndPort1();
    void loadingAnotherPNKeepsItsPortsAsRead();
    void loadFailureLeavesNoPN();
    void pickDuringTheLoadMessageIsIgnored();
    void scaleChange_data();
    void scaleChange();
    void storageBounds_data();
    void storageBounds();
    void portSwitchKeepsUnchangedSwitches();
    void rename_data();
    void rename();
    void renamedBeyondTheList();
    void erasedOrSameTextKeepsThePN();
    void readcurPARAM();
    void randrNeedsScanning();
    void lockingIsNoLeave();
    void clickDuringAFlashActsOnce();
    void programEndStopsHandlers_data();
    void programEndStopsHandlers();
};

void TestSelection::loadShowsTheRecordAndPort1()
{
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"AB-100"_s, 7,
                    u"snNAME = 'Widget', snEXTENDER = 42, autoMEASURE = 1, autoTIME = 45, reqRANDR = 0, "
                    u"snGOOD = 'G1', pnDEFAULT = 1"_s));
    QVERIFY(e.addPorts(7, 3));
    const auto before = e.rows(u"snPN"_s);
    e.list();
    QVERIFY(e.load(u"AB-100"_s));
    FormMainTestMenu* w = e.w.get();

    // Scanning off: the PN and its counter as eight digits.
    QCOMPARE(w->txtsnFORMAT->text(), u"AB-100 00000042"_s);
    QCOMPARE(w->lblsnLEN->text(), u"15"_s);
    QVERIFY(!w->txtsnFORMAT->isEnabled());
    QCOMPARE(backColor(w->txtsnFORMAT), colors::menuBar);
    QCOMPARE(w->txtautoTIME->text(), u"45"_s);
    QVERIFY(w->txtautoTIME->isEnabled());
    QVERIFY(w->chkpnDEFAULT->isChecked());
    QCOMPARE(w->txtGOODSN->text(), u"G1"_s);
    QVERIFY(!w->txtGOODSN->isEnabled());
    // Port 1 shown; the station's 8 ports lowered to the map's 3 rows.
    QCOMPARE(w->cur.numPORTS, qint16(3));
    QCOMPARE(w->lstPORT->count(), 3);
    QCOMPARE(w->lstPORT->currentIndex(), 0);
    QCOMPARE(w->txtPort->text(), u"M7 P1"_s);
    // The result was shown green for 2.5 s; then the window is usable.
    QCOMPARE(e.pause.waits, QList<double>{2.5});
    QCOMPARE(w->txtStatus->text(), waiting);
    QCOMPARE(backColor(w->txtStatus), colors::white);
    QVERIFY(w->btnUPDATE->isEnabled() && w->txtsnNAME->isEnabled());
    // A load writes nothing.
    QCOMPARE(e.rows(u"snPN"_s), before);
}

void TestSelection::loadingAnotherPNKeepsItsPortsAsRead()
{
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"A-1"_s, 1) && e.addPN(u"B-2"_s, 2));
    QVERIFY(e.addPorts(1, 5) && e.addPorts(2, 5));
    e.list();
    QVERIFY(e.load(u"A-1"_s));
    FormMainTestMenu* w = e.w.get();
    // Port 4 of A shown and edited, not switched away from.
    w->lstPORT->setCurrentIndex(3);
    putText(w->txtPort, u"edited"_s);
    putText(w->txtMinSpec, u"77"_s);
    w->chkssON->setChecked(!w->chkssON->isChecked());

    QVERIFY(e.load(u"B-2"_s));
    const QList<QVariantList> port4 = e.tdb.rows(
        u"SELECT portNAME, minSPEC, maxSPEC, ssON, unitSCALE FROM portCONFIG WHERE mapPORT = 2 AND mapNUM = 4"_s);
    QCOMPARE(w->cur.portNAME[3], port4[0][0].toString());
    QCOMPARE(w->cur.minSPEC[3], port4[0][1].toFloat());
    QCOMPARE(w->cur.maxSPEC[3], port4[0][2].toFloat());
    QCOMPARE(w->cur.ssON[3], qint16(port4[0][3].toInt()));
    QCOMPARE(w->cur.unitSCALE[3], qint16(port4[0][4].toInt()));
    QCOMPARE(w->lstPORT->currentIndex(), 0);
    QCOMPARE(w->txtPort->text(), u"M2 P1"_s);
}

void TestSelection::loadFailureLeavesNoPN()
{
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"A-1"_s, 1) && e.addPN(u"GONE-1"_s, 2) && e.addPorts(1, 2));
    e.list();
    QVERIFY(e.load(u"A-1"_s));
    // Deleted by someone else after the list was read.
    QVERIFY(e.tdb.exec(u"DELETE FROM snPN WHERE partNUM = 'GONE-1'"_s));
    e.dialogs.shown.clear();
    QVERIFY(!e.load(u"GONE-1"_s));
    FormMainTestMenu* w = e.w.get();
    QCOMPARE(e.dialogs.shown.size(), 1);
    QCOMPARE(e.dialogs.shown[0].text, u"ERROR: Unable to read reqd parameters for PN [GONE-1]"_s);
    QCOMPARE(w->cur.pnLOADED, qint16(0));
    QCOMPARE(w->cur.curPNidx, qint16(-1));
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    QCOMPARE(w->lsttestPN->currentText(), QString());
    QVERIFY(w->lsttestPN->isEnabled() && !w->txtsnNAME->isEnabled());
    QVERIFY(w->btnADD->isEnabled() && !w->btnUPDATE->isEnabled());
    QCOMPARE(w->txtPort->text(), u"Port Description"_s);
    // The next pick loads normally: no flag was left set.
    QVERIFY(e.load(u"A-1"_s));
}

void TestSelection::pickDuringTheLoadMessageIsIgnored()
{
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"A-1"_s, 1) && e.addPN(u"B-2"_s, 2) && e.addPorts(1, 3) && e.addPorts(2, 3));
    e.list();
    FormMainTestMenu* w = e.w.get();
    int loads = 0;
    e.pause.during = [&](double seconds) {
        if (seconds == 2.5 && loads++ == 0)
            w->lsttestPN->setCurrentIndex(1); // the operator picks B while A's result shows
    };
    QVERIFY(e.load(u"A-1"_s));
    QCOMPARE(loads, 1);
    QCOMPARE(w->lsttestPN->currentIndex(), 0);
    QCOMPARE(w->cur.curPNidx, qint16(0));
    QCOMPARE(w->txtPort->text(), u"M1 P1"_s);
    QCOMPARE(w->cur.portNAME[1], u"M1 P2"_s);
    // A later pick loads as usual.
    QVERIFY(e.load(u"B-2"_s));
}

void TestSelection::scaleChange_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("after");
    QTest::newRow("unity to kilo") << 1 << 2 << u"1500"_s << u"1.5000"_s;
    QTest::newRow("milli to mega") << 0 << 3 << u"2000"_s << u"0.0000"_s;
    QTest::newRow("kilo to milli") << 2 << 0 << u"0.25"_s << u"250,000"_s;
    QTest::newRow("not a number reads as the replacement") << 1 << 0 << u"x"_s << u"0.0000"_s;
}

void TestSelection::scaleChange()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, shown);
    QFETCH(QString, after);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EditorOnDb e(4, {});
    FormMainTestMenu* w = e.w.get();
    w->cur.defPORT();
    w->setupPORTS(0, 0, u"test"_s);
    w->lstsCALE->setCurrentIndex(from);
    putText(w->txtMinSpec, shown);
    w->lstsCALE->setCurrentIndex(to);
    QCOMPARE(w->txtMinSpec->text(), after);
    QCOMPARE(w->cur.curSCALE, qint16(to));
    // Re-expressing changes nothing in memory.
    QCOMPARE(w->cur.minSPEC[0], 1.0f);
}

void TestSelection::storageBounds_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("stored");
    QTest::newRow("tolerance 0.5 % stores 0.01") << u"txtssTOL"_s << u"0.5"_s << 0.01;
    QTest::newRow("tolerance 150 % stores 1.0") << u"txtssTOL"_s << u"150"_s << 1.0;
    QTest::newRow("tolerance 5 % stores 0.05") << u"txtssTOL"_s << u"5"_s << double(0.05f);
    QTest::newRow("averages 30 store 1") << u"txtAVG"_s << u"30"_s << 1.0;
    QTest::newRow("averages 2.5 store 2 (half to even)") << u"txtAVG"_s << u"2.5"_s << 2.0;
    QTest::newRow("averages 3.5 store 4") << u"txtAVG"_s << u"3.5"_s << 4.0;
    QTest::newRow("delay 61 stores 0.25") << u"txtTDLY"_s << u"61"_s << 0.25;
    QTest::newRow("delay 60 passes") << u"txtTDLY"_s << u"60"_s << 60.0;
    QTest::newRow("wait 1 stores 2") << u"txtssMAXT"_s << u"1"_s << 2.0;
    QTest::newRow("wait 12 stores 10") << u"txtssMAXT"_s << u"12"_s << 10.0;
    QTest::newRow("max 1 in mega stores 1000000") << u"txtMaxSpec"_s << u"1"_s << 1000000.0;
    QTest::newRow("min not a number stores the replacement 0") << u"txtMinSpec"_s << u"--"_s << 0.0;
    QTest::newRow("delay not a number stores 0.25") << u"txtTDLY"_s << u"abc"_s << 0.25;
    QTest::newRow("huge max keeps the stored value") << u"txtMaxSpec"_s << u"1e300"_s << 1000.0;
}

void TestSelection::storageBounds()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(double, stored);
    EditorOnDb e(4, {});
    FormMainTestMenu* w = e.w.get();
    w->cur.defPORT();
    w->setupPORTS(0, 0, u"test"_s);
    w->lstsCALE->setCurrentIndex(3); // mega
    putText(w->findChild<QLineEdit*>(field), text);
    w->lstPORT->setCurrentIndex(1);

    const QHash<QString, double> slot0 = {
        {u"txtssTOL"_s, w->cur.ssTOL[0]},     {u"txtAVG"_s, w->cur.numAVG[0]},
        {u"txtTDLY"_s, w->cur.timeDELAY[0]},  {u"txtssMAXT"_s, w->cur.ssMAXT[0]},
        {u"txtMaxSpec"_s, w->cur.maxSPEC[0]}, {u"txtMinSpec"_s, w->cur.minSPEC[0]}};
    QCOMPARE(float(slot0.value(field)), float(stored));
    QCOMPARE(w->cur.unitSCALE[0], qint16(4));
    QVERIFY(std::isfinite(w->cur.maxSPEC[0]) && std::isfinite(w->cur.minSPEC[0]));
    // Port 2 is shown, as stored.
    QCOMPARE(w->txtPort->text(), u"PORT 2"_s);
}

void TestSelection::portSwitchKeepsUnchangedSwitches()
{
    EditorOnDb e(4, {});
    FormMainTestMenu* w = e.w.get();
    w->cur.defPORT();
    w->cur.ssON[0] = 2;
    w->cur.ssREQD[0] = 3;
    w->cur.ssON[1] = 2;
    w->setupPORTS(0, 0, u"test"_s);
    // Any non-zero value shows ticked, and survives a switch that left the boxes alone.
    QVERIFY(w->chkssON->isChecked() && w->chkssREQD->isChecked());
    w->lstPORT->setCurrentIndex(1);
    QCOMPARE(w->cur.ssON[0], qint16(2));
    QCOMPARE(w->cur.ssREQD[0], qint16(3));
    // Changed by the operator: 0, and 1 when ticked again.
    w->chkssON->setChecked(false);
    w->lstPORT->setCurrentIndex(2);
    QCOMPARE(w->cur.ssON[1], qint16(0));
    w->lstPORT->setCurrentIndex(1);
    w->chkssON->setChecked(true);
    w->lstPORT->setCurrentIndex(0);
    QCOMPARE(w->cur.ssON[1], qint16(1));
}

void TestSelection::rename_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("goneFirst"); // the record was deleted by someone else first
    QTest::addColumn<QString>("loadedAfter");
    QTest::addColumn<QString>("message"); // the message box after the question, if any
    QTest::newRow("accepted") << u"AB-101"_s << true << false << u"AB-101"_s << QString();
    QTest::newRow("refused by the rules: an existing PN")
        << u"CD-200"_s << true << false << u"AB-100"_s << QString();
    QTest::newRow("refused by the rules: lower case")
        << u"ab-101"_s << true << false << u"AB-100"_s << QString();
    QTest::newRow("answered No") << u"AB-101"_s << false << false << u"AB-100"_s << QString();
    QTest::newRow("failing twice at the server")
        << u"AB-101"_s << true << true << u"AB-100"_s
        << u"ERROR: Unable to update PN string in DB. Reverting to prior PN"_s;
}

void TestSelection::rename()
{
    QFETCH(QString, typed);
    QFETCH(bool, yes);
    QFETCH(bool, goneFirst);
    QFETCH(QString, loadedAfter);
    QFETCH(QString, message);
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"CD-200"_s, 2) && e.addPN(u"AB-100"_s, 1, u"snVALID = 0"_s));
    QVERIFY(e.addPorts(1, 3) && e.addPorts(2, 3));
    e.list();
    QVERIFY(e.load(u"AB-100"_s));
    FormMainTestMenu* w = e.w.get();
    if (goneFirst)
        QVERIFY(e.tdb.exec(u"DELETE FROM snPN WHERE partNUM = 'AB-100'"_s));
    const auto before = e.rows(u"snPN"_s);
    const auto ports = e.rows(u"portCONFIG"_s);
    e.dialogs.shown.clear();
    e.dialogs.yesNoAnswers = {yes};
    QStringList seen;
    e.pause.during = [&](double) {
        seen << w->txtStatus->text();
    };

    e.typeOverList(typed);
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    w->lsttestPN_LostFocus();

    QCOMPARE(e.dialogs.shown.value(0).text, u"Update PN from [AB-100] to ["_s + typed + u"]?"_s);
    QCOMPARE(e.dialogs.shown.size(), message.isEmpty() ? 1 : 2);
    if (!message.isEmpty())
        QCOMPARE(e.dialogs.shown[1].text, message);
    QCOMPARE(w->cur.curPN, loadedAfter);
    QCOMPARE(w->lsttestPN->currentText(), loadedAfter);
    QCOMPARE(w->lsttestPN->itemText(w->lsttestPN->currentIndex()), loadedAfter);
    QCOMPARE(w->cur.renameSTEP, qint16(0));
    QCOMPARE(w->cur.skipCLICK, qint16(0));
    QCOMPARE(w->txtStatus->text(), waiting);
    QVERIFY(w->btnUPDATE->isEnabled() && w->txtsnNAME->isEnabled());
    QCOMPARE(e.rows(u"portCONFIG"_s), ports); // the ports stay with their map
    if (loadedAfter == typed) {
        QCOMPARE(e.tdb.rows(u"SELECT partNUM, mapPORT, snVALID FROM snPN ORDER BY partNUM"_s),
                 (QList<QVariantList>{{u"AB-101"_s, 1, 1}, {u"CD-200"_s, 2, 0}}));
        QCOMPARE(w->lsttestPN->count(), 2);
        QVERIFY(seen.contains(u"PN string updated from [AB-100] to [AB-101]"_s));
    } else {
        QCOMPARE(e.rows(u"snPN"_s), before);
        if (!yes)
            QVERIFY(seen.contains(u"RESULT: PN restored to [AB-100]"_s));
    }
}

void TestSelection::renamedBeyondTheList()
{
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"ZZ-1"_s, 1) && e.addPorts(1, 2));
    for (int i = 0; i < 100; ++i)
        QVERIFY(e.addPN(u"A-%1"_s.arg(i, 3, 10, QChar(u'0')), 2));
    e.list();
    QVERIFY(e.load(u"ZZ-1"_s));
    FormMainTestMenu* w = e.w.get();
    e.dialogs.yesNoAnswers = {true};
    // Someone else's change moves the record behind the first 100 while the rename shows its result.
    e.pause.during = [&](double seconds) {
        if (seconds == 1.5)
            e.tdb.exec(u"UPDATE snPN SET id = id + 1000 WHERE partNUM = 'ZZ-2'"_s);
    };
    e.typeOverList(u"ZZ-2"_s);
    w->lsttestPN_LostFocus();
    QCOMPARE(e.tdb.scalar(u"SELECT COUNT(*) FROM snPN WHERE partNUM = 'ZZ-2'"_s).toInt(), 1);
    // The no-PN state, saying where the PN went; never every button off.
    QCOMPARE(w->cur.pnLOADED, qint16(0));
    QCOMPARE(w->lsttestPN->currentIndex(), -1);
    QVERIFY(w->txtStatus->text().startsWith(u"RESULT: PN renamed to [ZZ-2]"_s));
    QVERIFY(w->btnADD->isEnabled() && w->btnQUIT->isEnabled() && w->lsttestPN->isEnabled());
    QCOMPARE(w->cur.renameSTEP, qint16(0));
}

void TestSelection::erasedOrSameTextKeepsThePN()
{
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"A-1"_s, 1) && e.addPN(u"B-2"_s, 2) && e.addPorts(2, 2));
    e.list();
    QVERIFY(e.load(u"B-2"_s));
    FormMainTestMenu* w = e.w.get();
    const auto before = e.rows(u"snPN"_s);
    for (const QString& typed : {QString(), u"B-2"_s}) {
        w->lsttestPN->lineEdit()->selectAll();
        QTest::keyClick(w->lsttestPN, Qt::Key_Backspace);
        QTest::keyClicks(w->lsttestPN, typed);
        QCOMPARE(w->lsttestPN->currentIndex(), -1);
        w->lsttestPN_LostFocus();
        QVERIFY(e.dialogs.shown.isEmpty());
        QCOMPARE(w->lsttestPN->currentIndex(), 1);
        QCOMPARE(w->lsttestPN->currentText(), u"B-2"_s);
        QCOMPARE(w->cur.pnLOADED, qint16(1));
        QCOMPARE(w->cur.skipCLICK, qint16(0));
    }
    QCOMPARE(e.rows(u"snPN"_s), before);
}

void TestSelection::readcurPARAM()
{
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"A-1"_s, 1, u"snACTIVE = 1, snBARCODE = 1, snFORMAT = 'A#', snNAME = 'd'"_s));
    QVERIFY(e.addPorts(1, 5));
    // Ports 3 and 5 have no range; port 3 is named.
    QVERIFY(e.tdb.exec(
        u"UPDATE portCONFIG SET unitSCALE = 2, minSPEC = 500, maxSPEC = 500 WHERE mapNUM IN (3, 5)"_s));
    e.list();
    QVERIFY(e.load(u"A-1"_s));
    FormMainTestMenu* w = e.w.get();
    w->lstPORT->setCurrentIndex(1);
    e.pause.waits.clear();
    QStringList seen;
    e.pause.during = [&](double) {
        seen << w->txtStatus->text();
    };
    qint16 iERROR = 0;
    w->readcurPARAM(iERROR);
    QCOMPARE(iERROR, qint16(1));
    QCOMPARE(seen, QStringList{u"ERROR PORT (3) Config: Max Spec <= Min Spec"_s});
    QCOMPARE(e.pause.waits, QList<double>{4.0});
    QCOMPARE(w->lstPORT->currentIndex(), 2);
    QCOMPARE(backColor(w->txtMaxSpec), colors::white);

    // PN not active: no port is checked, and the PN values are gathered.
    w->chksnACTIVE->setChecked(false);
    putText(w->txtsnNAME, u"new text"_s);
    w->readcurPARAM(iERROR);
    QCOMPARE(iERROR, qint16(0));
    QCOMPARE(w->cur.snNAME, u"new text"_s);
    QCOMPARE(w->cur.pnDEFAULT, qint16(0));
    QCOMPARE(w->lstPORT->currentIndex(), 2);
    // Scanning required with an empty description: 1 without a message.
    putText(w->txtsnNAME, QString());
    seen.clear();
    w->readcurPARAM(iERROR);
    QCOMPARE(iERROR, qint16(1));
    QVERIFY(seen.isEmpty());
}

void TestSelection::randrNeedsScanning()
{
    EditorOnDb e(4, {});
    FormMainTestMenu* w = e.w.get();
    w->txtStatus->setText(u"as before"_s);
    QList<QPair<QString, quint32>> seen;
    e.pause.during = [&](double) {
        seen.append({w->txtStatus->text(), backColor(w->chkRANDR)});
    };
    w->chkRANDR->setChecked(true);
    QCOMPARE(seen,
             (QList<QPair<QString, quint32>>{{u"ERROR: SN Scanning must be enabled first"_s, colors::red}}));
    QCOMPARE(e.pause.waits, QList<double>{4.0});
    QVERIFY(!w->chkRANDR->isChecked());
    QCOMPARE(backColor(w->chkRANDR), colors::menuBar);
    QCOMPARE(w->txtStatus->text(), u"as before"_s);
    QVERIFY(!w->txtGOODSN->isEnabled());

    // With scanning: at once, no message; unscanning keeps R and R ticked but inactive.
    w->chksnBARCODE->setChecked(true);
    w->chkRANDR->setChecked(true);
    QCOMPARE(e.pause.waits.size(), 1);
    QVERIFY(w->txtGOODSN->isEnabled() && w->txtBADSN->isEnabled());
    w->chksnBARCODE->setChecked(false);
    QVERIFY(w->chkRANDR->isChecked());
    for (QWidget* f : std::initializer_list<QWidget*>{w->txtsnFORMAT, w->chkRANDR, w->txtGOODSN, w->txtBADSN})
        QVERIFY2(!f->isEnabled() && backColor(f) == colors::menuBar, qPrintable(f->objectName()));
    w->chksnBARCODE->setChecked(true);
    QVERIFY(w->txtGOODSN->isEnabled() && w->chkRANDR->isEnabled());
}

void TestSelection::lockingIsNoLeave()
{
    EditorOnDb e(4, {});
    FormMainTestMenu* w = e.w.get();
    w->cur.pnLOADED = 1;
    w->cur.defPORT();
    w->setupPORTS(0, 0, u"test"_s);
    {
        const QSignalBlocker blocker(w->lsttestPN);
        w->lsttestPN->addItem(u"A-1"_s);
        w->lsttestPN->setCurrentIndex(0);
    }
    w->unlockFIELDS();
    QVERIFY(test::showAndActivate(w));
    w->txtTDLY->setFocus();
    QTRY_VERIFY(w->txtTDLY->hasFocus());
    putText(w->txtTDLY, u"45"_s);
    w->lockFIELDS();
    QCoreApplication::processEvents();
    QCOMPARE(w->txtTDLY->text(), u"45"_s);
    QCOMPARE(backColor(w->txtTDLY), colors::white);
    QVERIFY(e.pause.waits.isEmpty());
    // Unlocking gives the focus to the part-number list.
    w->unlockFIELDS();
    QTRY_VERIFY(w->lsttestPN->hasFocus());
}

void TestSelection::clickDuringAFlashActsOnce()
{
    test::FakeDialogs dialogs;
    test::RecordingPause pause;
    test::RecordingProgramEnd end;
    test::ProbeWindow w(&dialogs, &pause, &end);
    w.cur.pnLOADED = 1;
    w.displayBTN(0);
    QVERIFY(test::showAndActivate(&w));
    w.txtTDLY->setEnabled(true);
    w.txtTDLY->setFocus();
    QTRY_VERIFY(w.txtTDLY->hasFocus());
    QTest::keyClicks(w.txtTDLY, u"45"_s);
    // The operator releases the button while the corrected field flashes.
    pause.during = [&](double) {
        QTest::mouseRelease(w.btnREVIEW, Qt::LeftButton);
    };
    QTest::mousePress(w.btnREVIEW, Qt::LeftButton);
    QTRY_COMPARE(w.ran(u"btnREVIEW_Click"_s), 1);
    QCOMPARE(pause.waits.value(0), 3.0); // the click came during the field's flash
    QCOMPARE(w.txtTDLY->text(), u"30.00"_s);
    QVERIFY(!w.btnREVIEW->isDown());
    QCoreApplication::processEvents();
    QCOMPARE(w.ran(u"btnREVIEW_Click"_s), 1);
}

void TestSelection::programEndStopsHandlers_data()
{
    QTest::addColumn<QString>("during");
    QTest::newRow("the load message") << u"load"_s;
    QTest::newRow("the rename question") << u"question"_s;
    QTest::newRow("the rename result") << u"renamed"_s;
    QTest::newRow("the R and R flash") << u"randr"_s;
}

void TestSelection::programEndStopsHandlers()
{
    QFETCH(QString, during);
    EditorOnDb e;
    QVERIFY2(e.ok(), qPrintable(e.tdb.error()));
    QVERIFY(e.addPN(u"A-1"_s, 1) && e.addPorts(1, 2));
    e.list();
    FormMainTestMenu* w = e.w.get();
    if (during != u"load"_s)
        QVERIFY(e.load(u"A-1"_s));
    e.pause.during = [&](double seconds) {
        if ((during == u"load"_s && seconds == 2.5) || (during == u"renamed"_s && seconds == 1.5) ||
            (during == u"randr"_s && seconds == 4.0))
            hourIsUp(w);
    };
    e.dialogs.whileShown = [&](const test::ScriptedDialogs::Shown& box) {
        if (during == u"question"_s && box.kind == u"yesno"_s)
            hourIsUp(w);
    };
    e.dialogs.yesNoAnswers = {true};
    const auto before = e.rows(u"snPN"_s);

    if (during == u"load"_s) {
        w->lsttestPN->setCurrentIndex(0);
        QVERIFY(!w->btnADD->isEnabled()); // the load stopped before giving the window back
    } else if (during == u"randr"_s) {
        w->chkRANDR->setChecked(true);
        QVERIFY(w->chkRANDR->isChecked()); // stopped before its correction
    } else {
        e.typeOverList(u"AB-2"_s);
        w->lsttestPN_LostFocus();
        if (during == u"question"_s)
            QCOMPARE(e.rows(u"snPN"_s), before); // nothing written after the question
        else
            QCOMPARE(w->lsttestPN->count(), 1); // the list was not read again
    }
    QCOMPARE(e.end.ends, 1);
}

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
