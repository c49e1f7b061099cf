// REVIEW, UPDATE MySQL, CREATE NEW PN and DELETE RECORD against a database on the test
// server: after each action the rows it should change are checked, and every other row
// must be byte-identical.
#include "Colors.h"
#include "EditorOnDb.h"

#include <QCheckBox>
#include <QComboBox>
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

// The rows of a table outside one port map (or, for snPN, other than one part number).
QList<QVariantList> others(EditorOnDb& e, const QString& table, const QString& where)
{
    return e.tdb.rows(u"SELECT * FROM "_s + table + u" WHERE NOT ("_s + where + u") ORDER BY id"_s);
}

// Three PNs: AA-1 (map 1, 4 ports), BB-2 (map 2, 3 ports, the default PN) and CC-3 (map 41, 2 ports).
bool seed(EditorOnDb& e, const QString& a1Columns = {})
{
    const QString a1 = a1Columns.contains(u"snACTIVE"_s)
                           ? a1Columns
                           : u"snACTIVE = 1"_s + (a1Columns.isEmpty() ? QString() : u", "_s + a1Columns);
    return e.ok() && e.addPN(u"AA-1"_s, 1, u"snNAME = 'first', "_s + a1) &&
           e.addPN(u"BB-2"_s, 2, u"pnDEFAULT = 1, snVALID = 1"_s) && e.addPN(u"CC-3"_s, 41) &&
           e.addPorts(1, 4) && e.addPorts(2, 3) && e.addPorts(41, 2);
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void review_data();
    void review();
    void update_data();
    void update();
    void updateWithTheRecordGone();
    void create_data();
    void create();
    void remove_data();
    void remove();
    void programEndStopsWrites_data();
    void programEndStopsWrites();
};

void TestCommands::review_data()
{
    QTest::addColumn<bool>("update");
    QTest::addColumn<QString>("a1");    // A-1's record columns
    QTest::addColumn<QString>("ports"); // port rows of map 1 changed before
    QTest::addColumn<int>("stationPorts");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QList<double>>("waits");
    QTest::addColumn<int>("portShown");
    QTest::addColumn<QString>("typed"); // over the list before the click

    const QString equalPort2 =
        u"minSPEC = 50, maxSPEC = 50, unitSCALE = 2 WHERE mapPORT = 1 AND mapNUM = 2"_s;
    QTest::newRow("REVIEW: PN not active passes despite a bad port")
        << false << u"snACTIVE = 0"_s << equalPort2 << 8 << u"SUCCESS: Current PN Configuration is VALID"_s
        << QList<double>{2.5} << 0 << QString();
    QTest::newRow("REVIEW: max = min on port 2")
        << false << QString() << equalPort2 << 8 << u"ERROR PORT (2) Config: Max Spec <= Min Spec"_s
        << QList<double>{3.0} << 1 << QString();
    QTest::newRow("UPDATE: max = min on port 2")
        << true << QString() << equalPort2 << 8 << u"ERROR PORT [2] Config: Max Spec < Min Spec"_s
        << QList<double>{1.5, 1.5} << 1 << QString();
    QTest::newRow("REVIEW: PN active with no ports")
        << false << QString() << QString() << 0 << u"ERROR: No ACTIVE ports in the Port Config"_s
        << QList<double>{1.0, 1.0, 1.0} << -1 << QString();
    QTest::newRow("REVIEW: identical R and R serial numbers")
        << false << u"snBARCODE = 1, snFORMAT = 'A#', reqRANDR = 1, snGOOD = 'A1', snBAD = 'A1'"_s
        << QString() << 8 << u"ERR: Good and Bad R&R SN are the same"_s << QList<double>{3.0} << 0
        << QString();
    QTest::newRow("REVIEW: R and R differing in case only")
        << false << u"snBARCODE = 1, snFORMAT = '-', reqRANDR = 1, snGOOD = 'ab', snBAD = 'AB'"_s << QString()
        << 8 << u"SUCCESS: Current PN Configuration is VALID"_s << QList<double>{2.5} << 0 << QString();
    QTest::newRow("UPDATE: good SN off the format")
        << true << u"snBARCODE = 1, snFORMAT = 'A#', reqRANDR = 1, snGOOD = 'B1', snBAD = 'A2'"_s << QString()
        << 8 << u"ERROR: Good R&R SN is an incorrect format"_s << QList<double>{3.0} << 0 << QString();
    QTest::newRow("UPDATE: renamed through the save to an existing PN")
        << true << QString() << QString() << 8 << u"ERROR: Updated PN string already exists"_s
        << QList<double>{3.0} << 0 << u"BB-2"_s;
}

void TestCommands::review()
{
    QFETCH(bool, update);
    QFETCH(QString, a1);
    QFETCH(QString, ports);
    QFETCH(int, stationPorts);
    QFETCH(QString, status);
    QFETCH(QList<double>, waits);
    QFETCH(int, portShown);
    QFETCH(QString, typed);
    EditorOnDb e(stationPorts);
    QVERIFY2(seed(e, a1), qPrintable(e.tdb.error()));
    if (!ports.isEmpty())
        QVERIFY(e.tdb.exec(u"UPDATE portCONFIG SET "_s + ports));
    e.list();
    QVERIFY(e.load(u"AA-1"_s));
    FormMainTestMenu* w = e.w.get();
    const auto pns = e.rows(u"snPN"_s);
    const auto rows = e.rows(u"portCONFIG"_s);
    e.pause.waits.clear();
    QStringList seen;
    e.pause.during = [&](double) {
        seen << w->txtStatus->text();
    };
    if (!typed.isEmpty())
        e.typeOverList(typed);

    if (update)
        w->btnUPDATE_Click();
    else
        w->btnREVIEW_Click();

    QCOMPARE(seen.value(0), status);
    QCOMPARE(e.pause.waits, waits);
    QCOMPARE(w->lstPORT->currentIndex(), portShown);
    QCOMPARE(w->txtStatus->text(), waiting);
    QVERIFY(w->btnUPDATE->isEnabled());
    QCOMPARE(w->txtsnNAME->isEnabled(), typed.isEmpty()); // fields follow the list's selection
    if (stationPorts == 0)
        QCOMPARE(backColor(w->chkACTIVE), colors::buttonFace);
    // Nothing was written.
    QCOMPARE(e.rows(u"snPN"_s), pns);
    QCOMPARE(e.rows(u"portCONFIG"_s), rows);
    QVERIFY(e.dialogs.shown.isEmpty());
}

void TestCommands::update_data()
{
    QTest::addColumn<bool>("makeDefault");
    QTest::addColumn<QString>("newName"); // typed over the list before the click; empty: none
    QTest::newRow("without Default PN") << false << QString();
    QTest::newRow("with Default PN") << true << QString();
    QTest::newRow("renamed through the save") << false << u"AA-100"_s;
}

void TestCommands::update()
{
    QFETCH(bool, makeDefault);
    QFETCH(QString, newName);
    EditorOnDb e;
    QVERIFY2(seed(e), qPrintable(e.tdb.error()));
    // A port whose shown text is rounded: 1013 ohms shows 0.0010 in mega.
    QVERIFY(e.tdb.exec(
        u"UPDATE portCONFIG SET unitSCALE = 4, minSPEC = 1013 WHERE mapPORT = 1 AND mapNUM = 4"_s));
    e.list();
    QVERIFY(e.load(u"AA-1"_s));
    FormMainTestMenu* w = e.w.get();
    const auto otherPNs = others(e, u"snPN"_s, u"partNUM = 'AA-1' OR partNUM = 'BB-2'"_s);
    const auto otherPorts = others(e, u"portCONFIG"_s, u"mapPORT = 1 AND mapNUM = 3"_s);
    const auto b2 = e.tdb.rows(u"SELECT * FROM snPN WHERE partNUM = 'BB-2'"_s);

    // Edits: the description, and port 3's minimum in unity.
    putText(w->txtsnNAME, u"edited"_s);
    w->chkpnDEFAULT->setChecked(makeDefault);
    w->lstPORT->setCurrentIndex(2);
    w->lstsCALE->setCurrentIndex(1);
    putText(w->txtMinSpec, u"12.5"_s);
    w->lstPORT->setCurrentIndex(0);
    if (!newName.isEmpty())
        e.typeOverList(newName);
    QStringList seen;
    e.pause.during = [&](double) {
        seen << w->txtStatus->text();
    };

    w->btnUPDATE_Click();

    QCOMPARE(seen.last(), u"SUCCESS: PN Configuration was updated"_s);
    const QString name = newName.isEmpty() ? u"AA-1"_s : newName;
    QCOMPARE(e.tdb.rows(u"SELECT partNUM, snNAME, pnDEFAULT, mapPORT, snVALID FROM snPN WHERE mapPORT = 1"_s),
             (QList<QVariantList>{{name, u"edited"_s, makeDefault ? 1 : 0, 1, 1}}));
    QCOMPARE(e.tdb.rows(u"SELECT minSPEC, unitSCALE FROM portCONFIG WHERE mapPORT = 1 AND mapNUM = 3"_s),
             (QList<QVariantList>{{12.5, 2}}));
    // Every other port row, the rounded one included, and every other record as it was;
    // B-2 loses its default mark only when A-1 takes it.
    QCOMPARE(others(e, u"portCONFIG"_s, u"mapPORT = 1 AND mapNUM = 3"_s), otherPorts);
    QCOMPARE(others(e, u"snPN"_s, u"partNUM = 'AA-1' OR partNUM = '"_s + name + u"' OR partNUM = 'BB-2'"_s),
             otherPNs);
    QCOMPARE(e.tdb.scalar(u"SELECT pnDEFAULT FROM snPN WHERE partNUM = 'BB-2'"_s).toInt(),
             makeDefault ? 0 : 1);
    if (!makeDefault)
        QCOMPARE(e.tdb.rows(u"SELECT * FROM snPN WHERE partNUM = 'BB-2'"_s), b2);
    // The window goes on with the PN under its name, selected and usable.
    QCOMPARE(w->cur.curPN, name);
    QCOMPARE(w->lsttestPN->currentText(), name);
    QVERIFY(w->lsttestPN->currentIndex() >= 0);
    QVERIFY(w->txtsnNAME->isEnabled() && w->btnUPDATE->isEnabled());
    QCOMPARE(w->txtStatus->text(), waiting);
}

void TestCommands::updateWithTheRecordGone()
{
    EditorOnDb e;
    QVERIFY2(seed(e), qPrintable(e.tdb.error()));
    e.list();
    QVERIFY(e.load(u"AA-1"_s));
    FormMainTestMenu* w = e.w.get();
    QVERIFY(e.tdb.exec(u"DELETE FROM snPN WHERE partNUM = 'AA-1'"_s));
    const auto ports = e.rows(u"portCONFIG"_s);
    w->chkpnDEFAULT->setChecked(true);
    w->btnUPDATE_Click();
    // One box; no port written; the default marks cleared first stay cleared.
    QCOMPARE(e.dialogs.shown.size(), 1);
    QCOMPARE(e.dialogs.shown[0].text, u"Error encountered when update PN parameters"_s);
    QCOMPARE(e.rows(u"portCONFIG"_s), ports);
    QCOMPARE(e.tdb.scalar(u"SELECT SUM(pnDEFAULT) FROM snPN"_s).toInt(), 0);
    QVERIFY(w->txtsnNAME->isEnabled() && w->btnUPDATE->isEnabled());
}

void TestCommands::create_data()
{
    QTest::addColumn<bool>("loadFirst");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QList<bool>>("yesNo");
    QTest::addColumn<bool>("emptyPortTable");
    QTest::addColumn<int>("map");   // of the new record; 0: nothing created
    QTest::addColumn<int>("ports"); // rows of the new map
    QTest::newRow("from the window's values") << true << u"NEW-1"_s << QList<bool>{true} << false << 42 << 4;
    QTest::newRow("from defaults") << true << u"NEW-2"_s << QList<bool>{false, true} << false << 42 << 8;
    QTest::newRow("no PN loaded: defaults only")
        << false << u"NEW-3"_s << QList<bool>{true} << false << 42 << 8;
    QTest::newRow("empty port table: map 1") << false << u"NEW-4"_s << QList<bool>{true} << true << 1 << 8;
    QTest::newRow("the loaded PN's own name") << true << u"AA-1"_s << QList<bool>{} << false << 0 << 0;
    QTest::newRow("an existing PN") << true << u"BB-2"_s << QList<bool>{} << false << 0 << 0;
    QTest::newRow("cancelled") << true << QString() << QList<bool>{} << false << 0 << 0;
    QTest::newRow("No to both questions")
        << true << u"NEW-5"_s << QList<bool>{false, false} << false << 0 << 0;
}

void TestCommands::create()
{
    QFETCH(bool, loadFirst);
    QFETCH(QString, answer);
    QFETCH(QList<bool>, yesNo);
    QFETCH(bool, emptyPortTable);
    QFETCH(int, map);
    QFETCH(int, ports);
    EditorOnDb e;
    QVERIFY2(seed(e), qPrintable(e.tdb.error()));
    if (emptyPortTable)
        QVERIFY(e.tdb.exec(u"DELETE FROM portCONFIG"_s));
    e.list();
    FormMainTestMenu* w = e.w.get();
    if (loadFirst) {
        QVERIFY(e.load(u"AA-1"_s));
        w->chkpnDEFAULT->setChecked(true); // never carried into a new PN
    }
    const auto pns = e.rows(u"snPN"_s);
    const auto portRows = e.rows(u"portCONFIG"_s);
    e.dialogs.inputAnswers = {answer};
    e.dialogs.yesNoAnswers = yesNo;
    QStringList seen;
    e.pause.during = [&](double) {
        seen << w->txtStatus->text();
    };

    w->btnADD_Click();

    QCOMPARE(e.dialogs.shown.size(), 1 + yesNo.size());
    if (map == 0) {
        QCOMPARE(e.rows(u"snPN"_s), pns);
        QCOMPARE(e.rows(u"portCONFIG"_s), portRows);
        if (answer == u"AA-1"_s)
            QCOMPARE(seen.value(0), u"New Part Number already exists"_s);
        QCOMPARE(w->txtStatus->text(), waiting);
        QCOMPARE(w->cur.pnLOADED, qint16(loadFirst ? 1 : 0));
        QVERIFY(w->btnADD->isEnabled());
        return;
    }
    // What existed is untouched.
    QCOMPARE(e.tdb.rows(u"SELECT * FROM snPN WHERE partNUM <> ? ORDER BY id"_s, {answer}), pns);
    QCOMPARE(e.tdb.rows(u"SELECT * FROM portCONFIG WHERE mapPORT <> ? ORDER BY id"_s, {map}), portRows);
    const bool fromWindow = loadFirst && yesNo.value(0);
    QCOMPARE(
        e.tdb.rows(u"SELECT mapPORT, snVALID, pnDEFAULT, snNAME, snEXTENDER FROM snPN WHERE partNUM = ?"_s,
                   {answer}),
        (QList<QVariantList>{{map, 1, 0, fromWindow ? u"first"_s : u"PN DESCRIPTION"_s, 0}}));
    QCOMPARE(e.tdb.scalar(u"SELECT COUNT(*) FROM portCONFIG WHERE mapPORT = ?"_s, {map}).toInt(), ports);
    if (fromWindow) {
        // The ports as the window held them: those of A-1's map, under the new map.
        const QString cols =
            u"mapNUM, portNAME, unitSCALE, minSPEC, maxSPEC, numAVG, ssTOL FROM portCONFIG WHERE mapPORT = "_s;
        QCOMPARE(e.tdb.rows(u"SELECT "_s + cols + QString::number(map) + u" ORDER BY mapNUM"_s),
                 e.tdb.rows(u"SELECT "_s + cols + u"1 ORDER BY mapNUM"_s));
    } else {
        QCOMPARE(e.tdb.rows(u"SELECT portNAME FROM portCONFIG WHERE mapPORT = ? AND mapNUM = 8"_s, {map}),
                 (QList<QVariantList>{{u"PORT 8"_s}}));
    }
    // The new PN is loaded from the list.
    QCOMPARE(w->cur.curPN, answer);
    QCOMPARE(w->cur.pnLOADED, qint16(1));
    QCOMPARE(w->lsttestPN->currentText(), answer);
    QVERIFY(seen.contains(u"Part Number ["_s + answer + u"] was loaded"_s));
}

void TestCommands::remove_data()
{
    QTest::addColumn<bool>("goneFirst");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("told");
    QTest::newRow("the loaded PN") << false << true << u"Part number [AA-1] was deleted"_s;
    QTest::newRow("deleted meanwhile by someone else")
        << true << true << u"ERROR: Part number [AA-1] was not found - nothing was deleted"_s;
    QTest::newRow("answered No") << false << false << u"Delete Part Number process was cancelled"_s;
}

void TestCommands::remove()
{
    QFETCH(bool, goneFirst);
    QFETCH(bool, yes);
    QFETCH(QString, told);
    EditorOnDb e;
    QVERIFY2(seed(e), qPrintable(e.tdb.error()));
    // A doubled port row of map 1 goes with the others; a stray row of map 0 never does.
    QVERIFY(e.tdb.exec(u"INSERT INTO portCONFIG (mapPORT, mapNUM) VALUES (1, 2), (0, 1)"_s));
    e.list();
    QVERIFY(e.load(u"AA-1"_s));
    FormMainTestMenu* w = e.w.get();
    if (goneFirst)
        QVERIFY(e.tdb.exec(u"DELETE FROM snPN WHERE partNUM = 'AA-1'"_s));
    const auto otherPNs = others(e, u"snPN"_s, u"partNUM = 'AA-1'"_s);
    const auto otherPorts = others(e, u"portCONFIG"_s, u"mapPORT = 1"_s);
    const int map1 = e.tdb.scalar(u"SELECT COUNT(*) FROM portCONFIG WHERE mapPORT = 1"_s).toInt();
    e.dialogs.yesNoAnswers = {yes};
    QList<QPair<QString, quint32>> seen;
    e.pause.during = [&](double) {
        seen.append({w->txtStatus->text(), backColor(w->txtStatus)});
    };

    w->btnDELETE_Click();

    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].first, told);
    QCOMPARE(seen[0].second, yes ? (goneFirst ? colors::red : colors::green) : colors::yellow);
    QCOMPARE(others(e, u"snPN"_s, u"partNUM = 'AA-1'"_s), otherPNs);
    QCOMPARE(others(e, u"portCONFIG"_s, u"mapPORT = 1"_s), otherPorts);
    const bool deleted = yes && !goneFirst;
    QCOMPARE(e.tdb.scalar(u"SELECT COUNT(*) FROM portCONFIG WHERE mapPORT = 1"_s).toInt(),
             deleted ? 0 : map1);
    QCOMPARE(e.tdb.scalar(u"SELECT COUNT(*) FROM snPN WHERE partNUM = 'AA-1'"_s).toInt(),
             yes || goneFirst ? 0 : 1);
    QCOMPARE(w->txtStatus->text(), waiting);
    if (yes) {
        QCOMPARE(w->cur.pnLOADED, qint16(0));
        QCOMPARE(w->lsttestPN->count(), 2);
        QCOMPARE(w->lsttestPN->currentIndex(), -1);
        QVERIFY(w->btnADD->isEnabled() && !w->btnDELETE->isEnabled());
    } else {
        QCOMPARE(w->cur.pnLOADED, qint16(1));
        QVERIFY(w->btnDELETE->isEnabled());
    }
}

void TestCommands::programEndStopsWrites_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("when");
    QTest::newRow("UPDATE: during a field's flash in the port pass") << u"update"_s << u"flash"_s;
    QTest::newRow("CREATE: during the input box") << u"create"_s << u"input"_s;
    QTest::newRow("CREATE: during the parameters question") << u"create"_s << u"yesno"_s;
    QTest::newRow("DELETE: during the question") << u"delete"_s << u"yesno"_s;
}

void TestCommands::programEndStopsWrites()
{
    QFETCH(QString, command);
    QFETCH(QString, when);
    EditorOnDb e;
    QVERIFY2(seed(e), qPrintable(e.tdb.error()));
    // A stored delay of 45 s passes the storage bounds but not the entry bounds: the
    // port pass flashes it.
    QVERIFY(e.tdb.exec(u"UPDATE portCONFIG SET timeDELAY = 45 WHERE mapPORT = 1 AND mapNUM = 3"_s));
    e.list();
    QVERIFY(e.load(u"AA-1"_s));
    FormMainTestMenu* w = e.w.get();
    putText(w->txtsnNAME, u"edited"_s);
    const auto pns = e.rows(u"snPN"_s);
    const auto ports = e.rows(u"portCONFIG"_s);
    e.pause.during = [&](double) {
        if (when == u"flash"_s)
            hourIsUp(w);
    };
    e.dialogs.whileShown = [&](const test::ScriptedDialogs::Shown& box) {
        if (box.kind == when)
            hourIsUp(w);
    };
    e.dialogs.inputAnswers = {u"NEW-9"_s};
    e.dialogs.yesNoAnswers = {true, true};
    if (command == u"update"_s)
        w->btnUPDATE_Click();
    else if (command == u"create"_s)
        w->btnADD_Click();
    else
        w->btnDELETE_Click();
    QCOMPARE(e.end.ends, 1);
    QCOMPARE(e.rows(u"snPN"_s), pns);
    QCOMPARE(e.rows(u"portCONFIG"_s), ports);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
