// The editor against a database on the test server: loading, renaming, REVIEW, UPDATE MySQL,
// CREATE NEW PN and DELETE RECORD (what each writes, every other row as it was, also with the
// connection broken at each statement), every handler stopped by the program's end.
#include "EditorOnDb.h"
#include "FaultProxy.h"
#include "FindPartNumber.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTest>

#include <algorithm>
#include <bit>
#include <utility>

using namespace Qt::StringLiterals;
using namespace zelmar;
using test::EditorOnDb;
using test::FaultProxy;
using test::putText;

enum class Action
{
    Review,
    Update,
    Create,
    CreateFromWindow,
    Delete,
    Load,
    Rename,
};
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(zelmar::test::FaultProxy::Fault)

namespace {

// The rows of both tables but those the two conditions pick.
QList<QVariantList> rest(EditorOnDb& e, const QString& pns, const QString& ports)
{
    return e.tdb.rows(u"SELECT * FROM snPN WHERE NOT ("_s + pns + u") ORDER BY id"_s) +
           e.tdb.rows(u"SELECT * FROM portCONFIG WHERE NOT ("_s + ports + u") ORDER BY id"_s);
}

// The seeded records as a save without edits leaves them (scanning off: the PN and its counter).
bool asSaved(EditorOnDb& e)
{
    return e.seed() && e.tdb.exec(u"UPDATE snPN SET snVALID = 1, snFORMAT = CONCAT(partNUM, ' 00000000'), "
                                  u"snLENGTH = CHAR_LENGTH(partNUM) + 9"_s);
}

// As the operator does: UPDATE with the description and port 3's minimum (in unity) edited;
// CREATE of NEW-1 from defaults or from the window's values; DELETE answered Yes; the first PN picked; AB-2
// typed over the list and left.
void run(EditorOnDb& e, Action action)
{
    FormMainTestMenu* w = e.w.get();
    e.dialogs.inputAnswers = {u"NEW-1"_s};
    e.dialogs.yesNoAnswers = {action != Action::Create, true};
    if (action == Action::Update) {
        test::putText(w->txtsnNAME, u"edited"_s);
        w->lstPORT->setCurrentIndex(2);
        w->lstsCALE->setCurrentIndex(1);
        test::putText(w->txtMinSpec, u"12.5"_s);
        w->lstPORT->setCurrentIndex(0);
        w->btnUPDATE_Click();
    } else if (action == Action::Rename) {
        e.typeOverList(u"AB-2"_s);
        w->lsttestPN_LostFocus();
    } else if (action == Action::Review) {
        w->btnREVIEW_Click();
    } else if (action == Action::Create || action == Action::CreateFromWindow) {
        w->btnADD_Click();
    } else if (action == Action::Delete) {
        w->btnDELETE_Click();
    } else {
        w->lsttestPN->setCurrentIndex(0);
    }
}

// The limits of a map's ports, min and max port by port, as the bits of the single floats stored.
QList<quint32> limitBits(EditorOnDb& e, int map)
{
    QList<quint32> bits;
    for (const QVariantList& r : e.tdb.rows(
             u"SELECT minSPEC + 0E0, maxSPEC + 0E0 FROM portCONFIG WHERE mapPORT = ? ORDER BY mapNUM"_s,
             {map}))
        bits << std::bit_cast<quint32>(r[0].toFloat()) << std::bit_cast<quint32>(r[1].toFloat());
    return bits;
}

} // namespace

class TestEditorDb : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Another pick, or a new name typed and left, during a load's result is ignored. A short
    // map read first hides no port of the next PN, which shows its own values, not those on
    // show before; a load writes nothing. Port rows not readable whole: no PN, and the next
    // pick loads.
    void load()
    {
        EditorOnDb e;
        QVERIFY2(e.seed() && e.tdb.exec(u"UPDATE snPN SET snEXTENDER = 42"_s), qPrintable(e.tdb.error()));
        FormMainTestMenu* w = e.w.get();
        bool first = true;
        e.pause.during = [&](double) {
            if (std::exchange(first, false)) {
                w->lsttestPN->setCurrentIndex(0);
                run(e, Action::Rename); // answered Yes
            }
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

        // BB-2's third port unreadable: no PN, rather than BB-2 with AA-1's ports 3 and 4.
        QVERIFY(e.tdb.exec(u"ALTER TABLE portCONFIG MODIFY portNAME VARCHAR(15) NULL"_s) &&
                e.tdb.exec(u"UPDATE portCONFIG SET portNAME = NULL WHERE mapPORT = 2 AND mapNUM = 3"_s));
        QVERIFY(!e.load(u"BB-2"_s));
        QCOMPARE(e.selection(), e.loaded(QString()));

        // CC-3 without port rows, as a creation that failed half-way leaves it: loaded with
        // the defaults, not AA-1's ports, so that it can still be deleted.
        QVERIFY(e.load(u"AA-1"_s) && e.tdb.exec(u"DELETE FROM portCONFIG WHERE mapPORT = 41"_s));
        QVERIFY(e.load(u"CC-3"_s));
        QCOMPARE(w->txtPort->text(), u"PORT 1"_s);
        e.dialogs.yesNoAnswers = {true};
        w->btnDELETE_Click();
        QCOMPARE(e.tdb.scalar(u"SELECT COUNT(*) FROM snPN WHERE partNUM = 'CC-3'"_s).toInt(), 0);
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
        QVERIFY2(asSaved(e) && e.load(u"AA-1"_s), qPrintable(e.tdb.error()));
        QVERIFY(!goneFirst || e.tdb.exec(u"DELETE FROM snPN WHERE partNUM = 'AA-1'"_s));
        const auto ports = e.rows(u"portCONFIG"_s);
        const auto pns = e.rows(u"snPN"_s);
        e.dialogs.yesNoAnswers = {yes};
        // UPDATE clicked during the first pause (where the window lets it) saves no name not confirmed.
        bool first = true;
        e.pause.during = [&, recorded = e.pause.during](double seconds) {
            recorded(seconds);
            if (std::exchange(first, false))
                e.w->btnUPDATE->click();
        };
        e.typeOverList(typed);
        e.w->lsttestPN_LostFocus();

        QTEST(int(e.dialogs.shown.size()), "boxes");
        QVERIFY(e.dialogs.shown.isEmpty() ||
                e.dialogs.shown[0].text == u"Update PN from [AA-1] to ["_s + typed + u"]?"_s);
        QCOMPARE(e.selection(), e.loaded(after));
        QCOMPARE(e.rows(u"portCONFIG"_s), ports);
        if (after == u"AA-1"_s) {
            QCOMPARE(e.rows(u"snPN"_s), pns);
            return;
        }
        QCOMPARE(e.tdb.rows(u"SELECT partNUM, snVALID FROM snPN WHERE mapPORT = 1"_s),
                 (QList<QVariantList>{{after, 1}}));
        QCOMPARE(e.w->lsttestPN->count(), 3);
    }

    void review_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("setup"); // after the seed
        QTest::addColumn<int>("stationPorts");
        QTest::addColumn<QString>("typed"); // over the list before the click
        QTest::addColumn<QString>("told");  // how the status of the last pause starts
        QTest::addColumn<QList<double>>("waits");
        const QString port2 =
            u"UPDATE portCONFIG SET minSPEC = 50, maxSPEC = 50, unitSCALE = 2 WHERE mapNUM IN (2, 3)"_s;
        const QString randr = u"UPDATE snPN SET snBARCODE = 1, reqRANDR = 1, snFORMAT = "_s;
        const auto row = [](const char* name, Action action, const QString& setup, const QString& told,
                            const QList<double>& waits, const QString& typed = {}, int stationPorts = 8) {
            QTest::newRow(name) << action << setup << stationPorts << typed << told << waits;
        };
        row("REVIEW: max = min on ports 2 and 3, the first told", Action::Review, port2, u"ERROR PORT (2) "_s,
            {3.0});
        row("UPDATE: max = min on ports 2 and 3, the first told", Action::Update, port2, u"ERROR PORT [2] "_s,
            {1.5, 1.5});
        row("CREATE from the window: max = min on ports 2 and 3, the first told", Action::CreateFromWindow,
            port2, u"ERROR PORT (2) "_s, {4.0});
        row("REVIEW: PN not active passes despite a bad port", Action::Review,
            port2 + u"; UPDATE snPN SET snACTIVE = 0"_s, u"SUCCESS"_s, {2.5});
        row("REVIEW: identical R and R serial numbers", Action::Review,
            randr + u"'A#', snGOOD = 'A1', snBAD = 'A1'"_s, u"ERR"_s, {3.0});
        row("REVIEW: R and R differing in case only", Action::Review,
            randr + u"'-', snGOOD = 'ab', snBAD = 'AB'"_s, u"SUCCESS"_s, {2.5});
        row("UPDATE: good SN off the format", Action::Update, randr + u"'A#', snGOOD = 'B1', snBAD = 'A2'"_s,
            u"ERR"_s, {3.0});
        row("REVIEW: PN active with no ports", Action::Review, {}, u"ERROR"_s, {1.0, 1.0, 1.0}, {}, 0);
        row("UPDATE: renamed through the save to an existing PN", Action::Update, {}, u"ERR"_s, {3.0},
            u"BB-2"_s);
    }

    // Passed or refused, nothing is written.
    void review()
    {
        QFETCH(Action, action);
        QFETCH(QString, setup);
        QFETCH(int, stationPorts);
        QFETCH(QString, typed);
        QFETCH(QString, told);
        EditorOnDb e(stationPorts);
        QVERIFY2(e.seed(), qPrintable(e.tdb.error()));
        for (const QString& sql : setup.split(u"; "_s, Qt::SkipEmptyParts))
            QVERIFY(e.tdb.exec(sql));
        QVERIFY(e.load(u"AA-1"_s));
        const auto before = e.snapshot();
        e.pause.waits.clear();
        if (!typed.isEmpty())
            e.typeOverList(typed);
        run(e, action);
        QVERIFY2(e.seen.last().startsWith(told), qPrintable(e.seen.last()));
        QTEST(e.pause.waits, "waits");
        QCOMPARE(e.snapshot(), before);
    }

    void update_data()
    {
        QTest::addColumn<bool>("makeDefault");
        QTest::addColumn<QString>("name"); // typed over the list before the click
        QTest::newRow("with Default PN: BB-2 loses its mark") << true << u"AA-1"_s;
        QTest::newRow("renamed through the save") << false << u"AA-100"_s;
    }

    // AA-1's record and port 3 written; every other row as it was; the PN on show under its name.
    void update()
    {
        QFETCH(bool, makeDefault);
        QFETCH(QString, name);
        EditorOnDb e;
        QVERIFY2(e.seed() && e.load(u"AA-1"_s), qPrintable(e.tdb.error()));
        const QString pns = makeDefault ? u"mapPORT IN (1, 2)"_s : u"mapPORT = 1"_s;
        const QString port3 = u"mapPORT = 1 AND mapNUM = 3"_s;
        const auto before = rest(e, pns, port3);
        e.w->chkpnDEFAULT->setChecked(makeDefault);
        if (name != u"AA-1"_s)
            e.typeOverList(name);
        run(e, Action::Update);
        QCOMPARE(
            e.tdb.rows(u"SELECT partNUM, snNAME, p.pnDEFAULT, snVALID, minSPEC, unitSCALE, (SELECT pnDEFAULT "
                       u"FROM snPN WHERE mapPORT = 2) FROM snPN p JOIN portCONFIG USING (mapPORT) WHERE "_s +
                       port3),
            (QList<QVariantList>{{name, u"edited"_s, int(makeDefault), 1, 12.5, 2, int(!makeDefault)}}));
        QCOMPARE(rest(e, pns, port3), before);
        QCOMPARE(e.selection(), e.loaded(name));
    }

    void saveKeepsEveryLimit_data()
    {
        QTest::addColumn<int>("unitSCALE");
        QTest::addColumn<QList<double>>("limits"); // min and max of ports 1 to 4, shown in range
        QTest::newRow("milli") << 1 << QList<double>{12.3456789, 98765.4, 0.05, 12345.6,
                                                     1e-7,       0.05,    1e-7, 12.3456789};
        QTest::newRow("unity") << 2 << QList<double>{12345.6,    98765.4,  1e-7, 0.05,
                                                     12.3456789, 12345678, 0.05, 16777216};
        QTest::newRow("kilo") << 3 << QList<double>{12345.6, 12345678,   0.05,     98765.4,
                                                    1e-7,    12.3456789, 12345678, 16777216};
        QTest::newRow("mega") << 4 << QList<double>{1e-7,       12345678, 0.05,    16777216,
                                                    12.3456789, 98765.4,  12345.6, 1.23456e10};
    }

    // Saved without an edit (REVIEW and UPDATE, then UPDATE after a port switch) and copied
    // by CREATE from the window: every limit keeps its bits, however the field rounds it, and
    // so do the automatic-measurement interval (shown without decimals) and the stored serial
    // format (with scanning off the field shows the PN and its counter instead).
    void saveKeepsEveryLimit()
    {
        QFETCH(int, unitSCALE);
        QFETCH(QList<double>, limits);
        EditorOnDb e(4);
        QVERIFY2(
            e.seed() &&
                e.tdb.exec(u"UPDATE snPN SET snVALID = 1, snBARCODE = 0, snFORMAT = 'AA-####', snLENGTH = 7, "
                           u"autoMEASURE = 1, autoTIME = 20.5"_s),
            qPrintable(e.tdb.error()));
        for (int k = 1; k <= 4; ++k)
            QVERIFY(e.tdb.exec(
                u"UPDATE portCONFIG SET unitSCALE = ?, minSPEC = ?, maxSPEC = ? WHERE mapPORT = 1 AND mapNUM = ?"_s,
                {unitSCALE, limits[2 * k - 2], limits[2 * k - 1], k}));
        const QList<quint32> expected = limitBits(e, 1);
        QVERIFY(e.load(u"AA-1"_s));
        const auto before = e.snapshot();
        e.w->btnREVIEW_Click();
        e.w->btnUPDATE_Click();
        QCOMPARE(limitBits(e, 1), expected);
        e.w->lstPORT->setCurrentIndex(2);
        e.w->btnUPDATE_Click();
        QCOMPARE(limitBits(e, 1), expected);
        QCOMPARE(e.snapshot(), before);
        e.dialogs.inputAnswers = {u"NEW-1"_s};
        e.dialogs.yesNoAnswers = {true};
        e.w->btnADD_Click();
        QCOMPARE(limitBits(e, 42), expected);
    }

    // A station of one port never leaves the port on show: its edits are saved all the same,
    // by CREATE from the window, then by UPDATE.
    void onePortStation()
    {
        EditorOnDb e(1);
        QVERIFY2(e.seed() && e.tdb.exec(u"UPDATE portCONFIG SET unitSCALE = 2"_s) && e.load(u"AA-1"_s),
                 qPrintable(e.tdb.error()));
        const QString created = u"SELECT portNAME, minSPEC, maxSPEC FROM portCONFIG WHERE mapPORT = 42"_s;
        putText(e.w->txtPort, u"edited"_s);
        putText(e.w->txtMinSpec, u"3.5"_s);
        putText(e.w->txtMaxSpec, u"777.25"_s);
        e.dialogs.inputAnswers = {u"NEW-1"_s};
        e.dialogs.yesNoAnswers = {true};
        e.w->btnADD_Click();
        QCOMPARE(e.tdb.rows(created), (QList<QVariantList>{{u"edited"_s, 3.5, 777.25}}));
        putText(e.w->txtMinSpec, u"4.5"_s);
        e.w->btnUPDATE_Click();
        QCOMPARE(e.tdb.rows(created), (QList<QVariantList>{{u"edited"_s, 4.5, 777.25}}));
        // Inactive, the port pass checks no port: the one on show is kept all the same.
        e.w->chksnACTIVE->setChecked(false);
        putText(e.w->txtMaxSpec, u"888"_s);
        e.w->btnUPDATE_Click();
        QCOMPARE(e.tdb.rows(created), (QList<QVariantList>{{u"edited"_s, 4.5, 888.0}}));
    }

    void create_data()
    {
        QTest::addColumn<QString>("shown"); // the PN loaded first, if any
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<bool>>("yesNo");
        QTest::addColumn<QString>("other"); // done by another operator while the first question is up
        QTest::addColumn<QVariantList>(
            "created"); // NEW-1's map, snVALID, pnDEFAULT, snNAME, ports, AA-1's among them
        const auto row = [](const char* name, const QString& shown, const QString& answer,
                            const QList<bool>& yesNo, const QVariantList& created = {},
                            const QString& other = {}) {
            QTest::newRow(name) << shown << answer << yesNo << other << created;
        };
        const QString aa = u"AA-1"_s, bb = u"BB-2"_s, pn = u"NEW-1"_s;
        const QVariantList defaults{42, 1, 0, u"PN DESCRIPTION"_s, 8, 0},
            map43{43, 1, 0, u"PN DESCRIPTION"_s, 8, 0};
        row("from the window's values", aa, pn, {true}, {42, 1, 0, u"first"_s, 4, 4});
        row("from defaults", aa, pn, {false, true}, defaults);
        row("no PN loaded: defaults only", {}, pn, {true}, defaults);
        row("the loaded PN's own name", aa, aa, {});
        row("an existing PN", aa, bb, {});
        row("cancelled", aa, {}, {});
        row("No to both questions", aa, pn, {false, false});
        row("record refused, from defaults", bb, pn, {false, true}, {},
            u"CREATE TRIGGER refuse BEFORE INSERT ON snPN FOR EACH ROW SIGNAL SQLSTATE '45000'"_s);
        row("map 42 taken by a record", bb, pn, {false, true}, map43,
            u"INSERT INTO snPN SET partNUM = 'OTHER', mapPORT = 42"_s);
        row("map 42 taken by a port row", bb, pn, {false, true}, map43,
            u"INSERT INTO portCONFIG SET mapPORT = 42, mapNUM = 1"_s);
    }

    // A record and ports of a new map, from the window (never as the default PN) or from
    // defaults for every port of the station, then loaded; what existed untouched. A map taken
    // since it was read is not shared; a record write refused twice gives the PN on show back
    // as loaded, so that an UPDATE without edits changes nothing.
    void create()
    {
        QFETCH(QString, shown);
        QFETCH(QString, answer);
        QFETCH(QList<bool>, yesNo);
        QFETCH(QString, other);
        QFETCH(QVariantList, created);
        EditorOnDb e;
        QVERIFY2(asSaved(e) && (shown.isEmpty() || e.load(shown)), qPrintable(e.tdb.error()));
        e.w->chkpnDEFAULT->setChecked(true);
        const QString pns = u"partNUM IN ('NEW-1', 'OTHER')"_s, ports = u"mapPORT >= 42"_s;
        const auto before = rest(e, pns, ports);
        e.dialogs.inputAnswers = {answer};
        e.dialogs.yesNoAnswers = yesNo;
        e.dialogs.whileShown = [&](const test::ScriptedDialogs::Shown& box) {
            if (box.kind == u"yesno"_s && !other.isEmpty())
                QVERIFY(e.tdb.exec(std::exchange(other, QString())));
        };
        e.w->btnADD_Click();
        QCOMPARE(e.dialogs.shown.size(), 1 + yesNo.size());
        QCOMPARE(rest(e, pns, ports), before);
        QCOMPARE(
            e.tdb
                .rows(u"SELECT mapPORT, snVALID, pnDEFAULT, snNAME, (SELECT COUNT(*) FROM portCONFIG p WHERE "
                      u"p.mapPORT = s.mapPORT), (SELECT COUNT(*) FROM portCONFIG n JOIN portCONFIG o USING "
                      u"(mapNUM, portNAME, unitSCALE, minSPEC, maxSPEC, numAVG, ssTOL) WHERE n.mapPORT = "
                      u"s.mapPORT AND o.mapPORT = 1) FROM snPN s WHERE partNUM = 'NEW-1'"_s)
                .value(0),
            created);
        QCOMPARE(e.selection(), e.loaded(created.isEmpty() ? shown : answer));
        if (shown == u"BB-2"_s && created.isEmpty()) {
            e.w->btnUPDATE_Click();
            QCOMPARE(rest(e, pns, ports), before);
        }
    }

    void remove_data()
    {
        QTest::addColumn<QString>("meanwhile"); // by someone else, after the load
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("told");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QVariantList>("left"); // AA-1's records and the port rows of map 1
        const QString none, gone = u"DELETE FROM snPN WHERE partNUM = 'AA-1'"_s;
        const QVariantList portsLeft{0, 5};
        QTest::newRow("the loaded PN")
            << none << true << u"Part number [AA-1] was deleted"_s << colors::green << QVariantList{0, 0};
        QTest::newRow("deleted meanwhile: its ports stay")
            << gone << true << u"ERROR: Part number [AA-1] was not found - nothing was deleted"_s
            << colors::red << portsLeft;
        QTest::newRow("port rows refused: told so")
            << u"CREATE TRIGGER refuse BEFORE DELETE ON portCONFIG FOR EACH ROW SIGNAL SQLSTATE '45000'"_s
            << true << u"ERROR: Part number [AA-1] was deleted, its port rows were not"_s << colors::red
            << portsLeft;
        QTest::newRow("answered No") << none << false << QString() << colors::yellow << QVariantList{1, 5};
    }

    // The record and the port rows of its map, a doubled one included; a stray row of map 0 stays.
    void remove()
    {
        QFETCH(QString, meanwhile);
        QFETCH(bool, yes);
        QFETCH(QString, told);
        EditorOnDb e;
        QVERIFY2(e.seed(), qPrintable(e.tdb.error()));
        QVERIFY(e.tdb.exec(u"INSERT INTO portCONFIG (mapPORT, mapNUM) VALUES (1, 2), (0, 1)"_s));
        QVERIFY(e.load(u"AA-1"_s));
        QVERIFY(meanwhile.isEmpty() || e.tdb.exec(meanwhile));
        const auto before = rest(e, u"partNUM = 'AA-1'"_s, u"mapPORT = 1"_s);
        e.seen.clear();
        e.colours.clear();
        e.dialogs.yesNoAnswers = {yes};
        e.w->btnDELETE_Click();
        QCOMPARE(e.seen.value(0).left(told.size()), told);
        QTEST(e.colours.value(0), "colour");
        QCOMPARE(rest(e, u"partNUM = 'AA-1'"_s, u"mapPORT = 1"_s), before);
        QTEST(e.tdb
                  .rows(u"SELECT (SELECT COUNT(*) FROM snPN WHERE partNUM = 'AA-1'), "
                        u"(SELECT COUNT(*) FROM portCONFIG WHERE mapPORT = 1)"_s)
                  .value(0),
              "left");
        QCOMPARE(e.selection(), e.loaded(yes ? QString() : u"AA-1"_s));
    }

    void wholeTable_data()
    {
        QTest::addColumn<Action>("action"); // after PN-152 is picked through the find
        QTest::addColumn<QString>("holds"); // the part number loaded after it
        QTest::newRow("picked on page 2, UPDATE") << Action::Update << u"PN-152"_s;
        QTest::newRow("renamed onto page 1") << Action::Rename << u"AB-2"_s;
        QTest::newRow("created on page 1 from page 2") << Action::Create << u"NEW-1"_s;
    }

    // 160 part numbers: the list shows the page of 100 (in character-code order, lower case
    // after upper) that holds the PN picked through the find or made by the action.
    void wholeTable()
    {
        QFETCH(Action, action);
        QFETCH(QString, holds);
        EditorOnDb e;
        QVERIFY2(e.seed() && e.addPorts(252, 4), qPrintable(e.tdb.error()));
        QStringList names{u"AA-1"_s, u"BB-2"_s, u"CC-3"_s};
        for (int i = 156; i >= 0; --i) {
            names << (i % 3 ? u"PN-%1"_s : u"pn-%1"_s).arg(i, 3, 10, QChar(u'0'));
            QVERIFY(e.addPN(names.last(), 100 + i));
        }
        e.list();
        FormMainTestMenu* w = e.w.get();
        QVERIFY(test::showAndActivate(w));
        QTest::keySequence(w, QKeySequence::Find);
        QPointer<FindPartNumber> find;
        QTRY_VERIFY((find = w->findChild<FindPartNumber*>()) && find->isVisible());
        // Every part number holding the text, case counting, in list order.
        QTest::keyClicks(find->txtFIND, u"N-15"_s);
        QStringList found, matches = names.filter(u"N-15"_s);
        std::sort(matches.begin(), matches.end());
        for (int i = 0; i < find->lstFOUND->count(); ++i)
            found << find->lstFOUND->item(i)->text();
        QCOMPARE(found, matches);
        QTest::keyClick(find->txtFIND, Qt::Key_Down);
        QTest::keyClick(find->txtFIND, Qt::Key_Return);
        QTRY_VERIFY(!find);
        QTRY_COMPARE(e.selection(), e.loaded(u"PN-152"_s));
        run(e, action);

        if (action == Action::Rename)
            names.replace(names.indexOf(u"PN-152"_s), holds);
        else if (action == Action::Create)
            names << holds;
        std::sort(names.begin(), names.end());
        const qsizetype at = names.indexOf(holds);
        QStringList shown;
        for (int i = 0; i < w->lsttestPN->count(); ++i)
            shown << w->lsttestPN->itemText(i);
        QCOMPARE(shown, names.mid(at - at % 100, 100));
        QCOMPARE(e.selection(), e.loaded(holds));
    }

    void programEndStops_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("when"); // a box's kind, or "pause"
        QTest::addColumn<bool>("locked");  // the window not given back
        QTest::newRow("load: its result") << Action::Load << u"pause"_s << true;
        QTest::newRow("rename: the question") << Action::Rename << u"yesno"_s << false;
        QTest::newRow("rename: its result") << Action::Rename << u"pause"_s << true;
        QTest::newRow("UPDATE: a field's flash in the port pass") << Action::Update << u"pause"_s << true;
        QTest::newRow("CREATE: the input box") << Action::Create << u"input"_s << true;
        QTest::newRow("CREATE: the parameters question") << Action::Create << u"yesno"_s << true;
        QTest::newRow("DELETE: the question") << Action::Delete << u"yesno"_s << true;
    }

    // The hour runs out during a pause or box: the handler stops before its next step and
    // writes nothing more.
    void programEndStops()
    {
        QFETCH(Action, action);
        QFETCH(QString, when);
        EditorOnDb e;
        QVERIFY2(e.seed(), qPrintable(e.tdb.error()));
        // 45 s passes the storage bounds but not the entry bounds: the port pass flashes it.
        QVERIFY(e.tdb.exec(u"UPDATE portCONFIG SET timeDELAY = 45 WHERE mapPORT = 1 AND mapNUM = 3"_s));
        QVERIFY(action == Action::Load || e.load(u"AA-1"_s));
        const auto before = e.snapshot();
        e.pause.during = [&](double) {
            if (when == u"pause"_s)
                test::hourIsUp(e.w.get());
        };
        e.dialogs.whileShown = [&](const test::ScriptedDialogs::Shown& box) {
            if (box.kind == when)
                test::hourIsUp(e.w.get());
        };
        run(e, action);
        QCOMPARE(e.end.ends, 1);
        QTEST(!e.w->btnADD->isEnabled(), "locked");
        if (action != Action::Rename || when != u"pause"_s) // else the rename was written before it
            QCOMPARE(e.snapshot(), before);
    }

    void brokenConnection_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<FaultProxy::Fault>("fault");
        QTest::addColumn<bool>("delivered");
        for (const auto& [mode, fault, delivered] :
             {std::tuple{"statement lost", FaultProxy::Fault::Cut, false},
              std::tuple{"reply lost", FaultProxy::Fault::Cut, true},
              std::tuple{"silent after the last", FaultProxy::Fault::Stall, true}}) {
            for (const auto& [name, action] :
                 {std::pair{"UPDATE", Action::Update}, std::pair{"CREATE", Action::Create},
                  std::pair{"DELETE", Action::Delete}})
                QTest::addRow("%s, %s", name, mode) << action << fault << delivered;
        }
    }

    // The connection cut at each statement in turn (the statement lost, or only its reply), or
    // silent after the last: with each write tried twice and lost answers looked into, the
    // database ends as undisturbed (no doubled port rows, no other PN touched), told the same.
    void brokenConnection()
    {
        QFETCH(Action, action);
        QFETCH(FaultProxy::Fault, fault);
        QFETCH(bool, delivered);
        EditorOnDb e(4);
        FaultProxy proxy(e.tdb.server());
        QVERIFY2(e.ok() && proxy.ok(), qPrintable(e.tdb.error()));
        e.w->account.ipPORT = proxy.serverValue();
        const auto runWith = [&](const FaultProxy::Plan& plan) {
            proxy.setPlan({});
            e.dialogs.shown.clear();
            const bool ready = e.tdb.exec(u"TRUNCATE snPN"_s) && e.tdb.exec(u"TRUNCATE portCONFIG"_s) &&
                               e.seed() && e.load(u"AA-1"_s);
            e.seen.clear();
            proxy.setPlan(plan);
            run(e, action);
            e.seen << e.w->txtStatus->text();
            return ready ? e.tdb.rows(
                               u"SELECT partNUM, snNAME, mapPORT, snVALID FROM snPN ORDER BY partNUM"_s) +
                               e.tdb.rows(u"SELECT mapPORT, mapNUM, portNAME, minSPEC + 0E0 FROM portCONFIG "
                                          u"ORDER BY mapPORT, mapNUM, id"_s)
                         : QList<QVariantList>();
        };
        const auto after = runWith({});
        const int statements = proxy.statements();
        const QStringList told = e.seen.mid(e.seen.size() - 2);
        QVERIFY(!after.isEmpty());
        // The action's own write went through the proxy, so that the faults below meet it.
        const QString write = action == Action::Create   ? u"INSERT"_s
                              : action == Action::Delete ? u"DELETE"_s
                                                         : u"UPDATE"_s;
        QVERIFY2(statements > 0 && !proxy.sent().filter(write).isEmpty(),
                 qPrintable(proxy.sent().join(u'\n')));
        for (int k = fault == FaultProxy::Fault::Stall ? statements : 1; k <= statements; ++k) {
            const auto state = runWith({fault, k, delivered});
            const QByteArray at = "statement " + QByteArray::number(k) + " of " +
                                  QByteArray::number(statements) + ": " + e.seen.join(u" / "_s).toUtf8();
            QVERIFY2(proxy.triggered() && state == after, at.constData());
            // Read again after a creation, the new PN may be told as created but not listed, or unreadable.
            bool createdTold = e.seen.last().contains(u"[NEW-1] was created"_s);
            for (const auto& box : e.dialogs.shown)
                createdTold = createdTold || box.text.contains(u"[NEW-1]"_s);
            QVERIFY2(e.seen.mid(e.seen.size() - 2) == told || (action == Action::Create && createdTold),
                     at.constData());
        }
    }
};

QTEST_MAIN(TestEditorDb)
#include "tst_editordb.moc"
