// Picking part numbers and ports, renaming and gathering against a database on the test
// server; the port fields and option boxes without one; click and focus safety.
#include "EditorOnDb.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::EditorOnDb;
using test::putText;

namespace {

// The window without a database for 4 ports, the defaults of port 1 on show.
struct Bare
{
    test::ScriptedDialogs dialogs;
    test::RecordingPause pause;
    test::RecordingProgramEnd end;
    FormMainTestMenu w{&dialogs, &pause, &end, nullptr};
    Bare()
    {
        w.setnumPORTS(4);
        w.blankFIELDS();
        w.lockFIELDS();
        w.cur.defPORT();
        w.setupPORTS(0, 0, u"test"_s);
    }
};

} // namespace

class TestSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Another pick during a load's result is ignored. A short map read first hides no port of
    // the next PN, which shows its own values, not those on show before; a load writes
    // nothing. A record gone after the list was read: one box naming it, no PN, and the next
    // pick loads.
    void load()
    {
        EditorOnDb e;
        QVERIFY2(e.seed() && e.tdb.exec(u"UPDATE snPN SET snEXTENDER = 42"_s), qPrintable(e.tdb.error()));
        FormMainTestMenu* w = e.w.get();
        e.pause.during = [&](double) {
            w->lsttestPN->setCurrentIndex(0);
        };
        QVERIFY(e.load(u"BB-2"_s));
        QCOMPARE(e.selection(), e.loaded(u"BB-2"_s));
        QCOMPARE(w->lstPORT->count(), 3); // the station's 8 lowered to the map's rows
        w->lstPORT->setCurrentIndex(1);
        putText(w->txtPort, u"edited"_s);
        putText(w->txtMinSpec, u"77"_s);
        e.pause.during = nullptr;
        const auto before = e.snapshot();
        QVERIFY(e.load(u"AA-1"_s));
        QCOMPARE(w->lstPORT->count(), 4);
        QCOMPARE(w->txtPort->text(), u"M1 P1"_s);
        QCOMPARE(w->cur.portNAME[1], u"M1 P2"_s);
        QCOMPARE(w->cur.minSPEC[1], 21.0f);
        QCOMPARE(w->txtsnFORMAT->text(), u"AA-1 00000042"_s); // scanning off: the PN and its counter
        QCOMPARE(w->lblsnLEN->text(), u"13"_s);
        QCOMPARE(e.snapshot(), before);

        QVERIFY(e.tdb.exec(u"DELETE FROM snPN WHERE partNUM = 'CC-3'"_s));
        QVERIFY(!e.load(u"CC-3"_s));
        QCOMPARE(e.dialogs.shown.size(), 1);
        QVERIFY(e.dialogs.shown[0].text.endsWith(u" PN [CC-3]"_s));
        QCOMPARE(e.selection(), e.loaded(QString()));
        QVERIFY(e.load(u"AA-1"_s));
    }

    void scaleChange_data()
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

    // The limit on show re-expressed in the new scale; nothing changes in memory.
    void scaleChange()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, shown);
        Bare b;
        b.w.lstsCALE->setCurrentIndex(from);
        putText(b.w.txtMinSpec, shown);
        b.w.lstsCALE->setCurrentIndex(to);
        QTEST(b.w.txtMinSpec->text(), "after");
        QCOMPARE(b.w.cur.curSCALE, qint16(to));
        QCOMPARE(b.w.cur.minSPEC[0], 1.0f);
    }

    void storageBounds_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("stored");
        const auto row = [](const char* name, const char* field, const QString& text, double stored) {
            QTest::newRow(name) << QString::fromLatin1(field) << text << stored;
        };
        row("tolerance 0.5 % stores 0.01", "txtssTOL", u"0.5"_s, 0.01);
        row("tolerance 150 % stores 1.0", "txtssTOL", u"150"_s, 1.0);
        row("tolerance 5 % stores 0.05", "txtssTOL", u"5"_s, double(0.05f));
        row("averages 30 store 1", "txtAVG", u"30"_s, 1.0);
        row("averages 2.5 store 2 (half to even)", "txtAVG", u"2.5"_s, 2.0);
        row("averages 3.5 store 4", "txtAVG", u"3.5"_s, 4.0);
        row("delay 61 stores 0.25", "txtTDLY", u"61"_s, 0.25);
        row("delay 60 passes", "txtTDLY", u"60"_s, 60.0);
        row("delay not a number stores 0.25", "txtTDLY", u"abc"_s, 0.25);
        row("wait 1 stores 2", "txtssMAXT", u"1"_s, 2.0);
        row("wait 12 stores 10", "txtssMAXT", u"12"_s, 10.0);
        row("max 1 in mega stores 1000000", "txtMaxSpec", u"1"_s, 1000000.0);
        row("min not a number stores the replacement 0", "txtMinSpec", u"--"_s, 0.0);
        row("huge max keeps the stored value", "txtMaxSpec", u"1e300"_s, 1000.0);
    }

    // What a port switch stores from the fields, shown in mega, into the port left.
    void storageBounds()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(double, stored);
        Bare b;
        const CurrentParams& c = b.w.cur;
        b.w.lstsCALE->setCurrentIndex(3);
        putText(b.w.findChild<QLineEdit*>(field), text);
        b.w.lstPORT->setCurrentIndex(1);
        const QHash<QString, double> port1 = {
            {u"txtssTOL"_s, c.ssTOL[0]},   {u"txtAVG"_s, c.numAVG[0]},      {u"txtTDLY"_s, c.timeDELAY[0]},
            {u"txtssMAXT"_s, c.ssMAXT[0]}, {u"txtMaxSpec"_s, c.maxSPEC[0]}, {u"txtMinSpec"_s, c.minSPEC[0]}};
        QCOMPARE(float(port1.value(field)), float(stored));
        QCOMPARE(c.unitSCALE[0], qint16(4));
        QCOMPARE(b.w.txtPort->text(), u"PORT 2"_s); // the chosen port on show
    }

    // Any non-zero switch shows ticked and survives a switch that left its box alone;
    // changed by the operator it is 0, and 1 when ticked again.
    void portSwitchKeepsUnchangedSwitches()
    {
        Bare b;
        CurrentParams& c = b.w.cur;
        c.ssON[0] = 2;
        c.ssREQD[0] = 3;
        c.ssON[1] = 2;
        b.w.setupPORTS(0, 0, u"test"_s);
        QVERIFY(b.w.chkssON->isChecked() && b.w.chkssREQD->isChecked());
        b.w.lstPORT->setCurrentIndex(1);
        QCOMPARE(c.ssON[0], qint16(2));
        QCOMPARE(c.ssREQD[0], qint16(3));
        b.w.chkssON->setChecked(false);
        b.w.lstPORT->setCurrentIndex(2);
        QCOMPARE(c.ssON[1], qint16(0));
        b.w.lstPORT->setCurrentIndex(1);
        b.w.chkssON->setChecked(true);
        b.w.lstPORT->setCurrentIndex(0);
        QCOMPARE(c.ssON[1], qint16(1));
    }

    void rename_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("goneFirst"); // the record deleted by someone else first
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QString>("after"); // the PN loaded after it
        QTest::newRow("accepted") << u"AA-101"_s << true << false << 1 << u"AA-101"_s;
        QTest::newRow("refused by the rules: an existing PN") << u"BB-2"_s << true << false << 1 << u"AA-1"_s;
        QTest::newRow("answered No") << u"AA-101"_s << false << false << 1 << u"AA-1"_s;
        QTest::newRow("failing twice at the server") << u"AA-101"_s << true << true << 2 << u"AA-1"_s;
        QTest::newRow("erased") << QString() << true << false << 0 << u"AA-1"_s;
        QTest::newRow("its own name typed again") << u"AA-1"_s << true << false << 0 << u"AA-1"_s;
    }

    // A text typed over the loaded PN: renamed and loaded under the new name after a Yes,
    // else the loaded PN selected again; the ports stay with their map.
    void rename()
    {
        QFETCH(QString, typed);
        QFETCH(bool, yes);
        QFETCH(bool, goneFirst);
        QFETCH(QString, after);
        EditorOnDb e;
        QVERIFY2(e.seed() && e.load(u"AA-1"_s), qPrintable(e.tdb.error()));
        QVERIFY(!goneFirst || e.tdb.exec(u"DELETE FROM snPN WHERE partNUM = 'AA-1'"_s));
        const auto ports = e.rows(u"portCONFIG"_s);
        const auto pns = e.rows(u"snPN"_s);
        e.dialogs.yesNoAnswers = {yes};
        e.typeOverList(typed);
        e.w->lsttestPN_LostFocus();

        QTEST(int(e.dialogs.shown.size()), "boxes");
        QVERIFY(e.dialogs.shown.isEmpty() ||
                e.dialogs.shown[0].text == u"Update PN from [AA-1] to ["_s + typed + u"]?"_s);
        QCOMPARE(e.selection(), e.loaded(after));
        QCOMPARE(e.w->cur.renameSTEP, qint16(0));
        QCOMPARE(e.w->cur.skipCLICK, qint16(0));
        QCOMPARE(e.rows(u"portCONFIG"_s), ports);
        if (after == u"AA-1"_s) {
            QCOMPARE(e.rows(u"snPN"_s), pns);
            QVERIFY(yes || e.seen.contains(u"RESULT: PN restored to [AA-1]"_s));
            return;
        }
        QCOMPARE(e.tdb.rows(u"SELECT partNUM, snVALID FROM snPN WHERE mapPORT = 1"_s),
                 (QList<QVariantList>{{after, 1}}));
        QCOMPARE(e.w->lsttestPN->count(), 3);
        QVERIFY(e.seen.contains(u"PN string updated from [AA-1] to [AA-101]"_s));
    }

    // The record moved behind the first 100 by someone else while the rename shows its
    // result: the no-PN state, saying where the PN went; never every button off.
    void renamedBeyondTheList()
    {
        EditorOnDb e;
        QVERIFY2(e.seed(), qPrintable(e.tdb.error()));
        for (int i = 0; i < 98; ++i)
            QVERIFY(e.addPN(u"A-%1"_s.arg(i, 3, 10, QChar(u'0')), 2));
        e.list();
        QVERIFY(e.load(u"CC-3"_s));
        e.dialogs.yesNoAnswers = {true};
        e.pause.during = [&](double seconds) {
            if (seconds == 1.5)
                e.tdb.exec(u"UPDATE snPN SET id = id + 1000 WHERE partNUM = 'ZZ-2'"_s);
        };
        e.typeOverList(u"ZZ-2"_s);
        e.w->lsttestPN_LostFocus();
        QCOMPARE(e.tdb.scalar(u"SELECT COUNT(*) FROM snPN WHERE partNUM = 'ZZ-2'"_s).toInt(), 1);
        QCOMPARE(e.selection(), e.loaded(QString()));
        QVERIFY(e.w->txtStatus->text().startsWith(u"RESULT: PN renamed to [ZZ-2]"_s));
        QVERIFY(e.w->btnADD->isEnabled() && e.w->btnQUIT->isEnabled() && e.w->lsttestPN->isEnabled());
    }

    // The gather's port pass stops at the first port without a range, names it and shows it.
    void readcurPARAM()
    {
        EditorOnDb e;
        QVERIFY2(e.seed(), qPrintable(e.tdb.error()));
        QVERIFY(e.tdb.exec(u"UPDATE portCONFIG SET minSPEC = 500, maxSPEC = 500 WHERE mapNUM IN (3, 4)"_s));
        QVERIFY(e.load(u"AA-1"_s));
        e.w->lstPORT->setCurrentIndex(1);
        e.seen.clear();
        qint16 iERROR = 0;
        e.w->readcurPARAM(iERROR);
        QCOMPARE(iERROR, qint16(1));
        QCOMPARE(e.seen, QStringList{u"ERROR PORT (3) Config: Max Spec <= Min Spec"_s});
        QCOMPARE(e.w->lstPORT->currentIndex(), 2);
    }

    // R and R needs scanning: refused without it, the status put back; unscanning keeps it
    // ticked but inactive.
    void randrNeedsScanning()
    {
        Bare b;
        b.w.txtStatus->setText(u"as before"_s);
        b.w.chkRANDR->setChecked(true);
        QVERIFY(!b.w.chkRANDR->isChecked() && !b.w.txtGOODSN->isEnabled());
        QCOMPARE(b.w.txtStatus->text(), u"as before"_s);
        b.w.chksnBARCODE->setChecked(true);
        b.w.chkRANDR->setChecked(true);
        QVERIFY(b.w.txtGOODSN->isEnabled() && b.w.txtBADSN->isEnabled());
        b.w.chksnBARCODE->setChecked(false);
        QVERIFY(b.w.chkRANDR->isChecked() && !b.w.chkRANDR->isEnabled() && !b.w.txtGOODSN->isEnabled());
        QCOMPARE(b.pause.waits.size(), 1);
    }

    // Locking the fields is no leave of the field with the focus; unlocking gives the focus
    // to the part-number list.
    void lockingIsNoLeave()
    {
        Bare b;
        b.w.cur.pnLOADED = 1;
        const QSignalBlocker quiet(b.w.lsttestPN); // listed and selected, not loaded
        b.w.lsttestPN->addItem(u"A-1"_s);
        b.w.unlockFIELDS();
        QVERIFY(test::showAndActivate(&b.w));
        b.w.txtTDLY->setFocus();
        QTRY_VERIFY(b.w.txtTDLY->hasFocus());
        putText(b.w.txtTDLY, u"45"_s);
        b.w.lockFIELDS();
        QCoreApplication::processEvents();
        QCOMPARE(b.w.txtTDLY->text(), u"45"_s);
        QVERIFY(b.pause.waits.isEmpty());
        b.w.unlockFIELDS();
        QTRY_VERIFY(b.w.lsttestPN->hasFocus());
    }

    // The operator releases the button while the field left flashes: the click acts once.
    void clickDuringAFlashActsOnce()
    {
        test::ScriptedDialogs dialogs;
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
        pause.during = [&](double) {
            QTest::mouseRelease(w.btnREVIEW, Qt::LeftButton);
        };
        QTest::mousePress(w.btnREVIEW, Qt::LeftButton);
        QTRY_COMPARE(w.ran(u"btnREVIEW_Click"_s), 1);
        QCOMPARE(w.txtTDLY->text(), u"30.00"_s); // corrected during the flash
        QVERIFY(!w.btnREVIEW->isDown());
        QCoreApplication::processEvents();
        QCOMPARE(w.ran(u"btnREVIEW_Click"_s), 1);
    }
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
