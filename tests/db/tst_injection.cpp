// Texts that try to change a query, through every place where a text reaches one:
// the User Code, part numbers (created, renamed, looked up, deleted, without the
// window's string rules), serial-number texts, descriptions, and the table names of
// the account row. Each text is stored and read back exactly or refused as a whole;
// nothing changes but what the operation itself is to change.

#include "Account.h"
#include "FaultOps.h"
#include "SigninFixtures.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {

QList<QPair<const char*, QString>> corpus()
{
    const QChar nul(u'\0');
    return {
        {"quote", u"'"_s},
        {"two quotes", u"''"_s},
        {"or true", u"' OR '1'='1"_s},
        {"or true comment", u"' OR 1=1 -- "_s},
        {"name then comment", u"PN-A' -- "_s},
        {"name then hash", u"PN-A'#"_s},
        {"drop table", u"x'; DROP TABLE portCONFIG; --"_s},
        {"double quote", u"\""_s},
        {"double quote or", u"\" OR \"\"=\""_s},
        {"backslash", u"\\"_s},
        {"escaped quote", u"\\'"_s},
        {"backslashes delete", u"\\\\'; DELETE FROM snPN; --"_s},
        {"nul inside", u"PN-A"_s + nul + u"tail"_s},
        {"nul alone", QString(nul)},
        {"nul quote", QString(nul) + u"' OR 1=1 #"_s},
        {"block comment", u"/* c */"_s},
        {"open comment", u"PN-A/*"_s},
        {"close comment", u"*/"_s},
        {"line comment", u"-- "_s},
        {"hash", u"#"_s},
        {"semicolon", u";"_s},
        {"second statement", u"; SELECT 1"_s},
        {"union", u"' UNION SELECT partNUM FROM snPN -- "_s},
        {"union all", u"1 UNION ALL SELECT NULL,NULL"_s},
        {"backtick", u"`"_s},
        {"backtick where", u"snPN` WHERE 1=1 -- "_s},
        {"percent", u"%"_s},
        {"underscore", u"PN-_"_s},
        {"placeholder", u"?"_s},
        {"placeholders quoted", u"?'?"_s},
        {"named placeholder", u":name"_s},
        {"hex", u"0x50"_s},
        {"char function", u"CHAR(80)"_s},
        {"control characters", u"a\r\n\tb"_s},
        {"long", QString(300, u'A')},
        {"long quotes", QString(100, u'\'')},
        {"umlauts", u"ÄÖÜ-ß"_s},
        {"emoji", u"PN-\U0001F600"_s},
        {"zero width", u"PN\u200B-A"_s},
    };
}

// Rows of the tables that an operation on `touched` must leave alone, and the table list.
QStringList untouched(test::TestDatabase& tdb, const QString& touchedPN, int touchedMap)
{
    QStringList out;
    for (const QVariantList& row : tdb.rows(u"SHOW TABLES"_s))
        out.append(row.value(0).toString());
    for (const QVariantList& row :
         tdb.rows(u"SELECT * FROM snPN WHERE BINARY partNUM <> BINARY ? ORDER BY id"_s, {touchedPN}))
        out.append(test::texts(row).join(u'|'));
    for (const QVariantList& row :
         tdb.rows(u"SELECT * FROM portCONFIG WHERE mapPORT <> ? ORDER BY id"_s, {touchedMap}))
        out.append(test::texts(row).join(u'|'));
    return out;
}

} // namespace

class TestInjection : public QObject
{
    Q_OBJECT
    std::unique_ptr<test::TestDatabase> m_customer;
    std::unique_ptr<test::TestDatabase> m_central;

private Q_SLOTS:
    void initTestCase()
    {
        // The server without TLS: a connection costs less, and the texts travel the same.
        m_customer =
            std::make_unique<test::TestDatabase>(QStringList{u"customer.sql"_s}, test::plainServer());
        QVERIFY2(m_customer->ok(), qPrintable(m_customer->error()));
        m_central = std::make_unique<test::TestDatabase>(QStringList{u"central.sql"_s}, test::plainServer());
        QVERIFY2(m_central->ok(), qPrintable(m_central->error()));
        test::AccountRow account;
        account.code = u"DEMO1"_s;
        test::addAccount(*m_central, account);
    }
    void cleanupTestCase()
    {
        m_customer.reset();
        m_central.reset();
    }

    void everyPlace_data()
    {
        QTest::addColumn<QString>("text");
        for (const auto& [name, text] : corpus())
            QTest::newRow(name) << text;
    }

    void everyPlace()
    {
        QFETCH(QString, text);
        test::TestDatabase& tdb = *m_customer;
        QVERIFY(test::execAll(tdb, {u"TRUNCATE snPN"_s, u"TRUNCATE portCONFIG"_s}) &&
                test::seedFaultData(tdb));
        test::ScriptedDialogs dialogs;
        db::Database d(&dialogs);
        const db::Profile p = tdb.profile();
        const auto pnRow = [&](const QString& pn) {
            return tdb.rows(
                u"SELECT partNUM, snNAME, snFORMAT, snGOOD, snBAD FROM snPN WHERE BINARY partNUM = BINARY ?"_s,
                {pn});
        };

        // A new part number whose texts are all the payload.
        const QStringList others = untouched(tdb, text, 9);
        qint16 e = 9;
        d.SQL_writenewPN(p.server, p.database, p.user, p.password, u"snPN"_s, text, text, text, 0, 1, 1, 0,
                         text, qint16(qMin<qsizetype>(text.size(), 99)), 0, 20.0f, 1, text, text, 9, e);
        QCOMPARE(untouched(tdb, text, 9), others);
        const bool stored = e == 0;
        const QList<QVariantList> expected =
            stored ? QList<QVariantList>{QVariantList{text, text, text, text, text}} : QList<QVariantList>();
        QCOMPARE(pnRow(text), expected);
        if (stored) {
            QString name, format, good, bad;
            qint16 def = 0, map = 0, active = 0, barcode = 0, length = 0, autoM = 0, randr = 0, status = 9;
            qint32 ext = 0;
            float autoT = 0;
            d.SQL_readPNinfo(p.server, p.database, p.user, p.password, u"snPN"_s, text, name, def, map,
                             active, barcode, ext, format, length, autoM, autoT, randr, good, bad, status);
            QCOMPARE(status, qint16(0));
            QCOMPARE(QStringList({name, format, good, bad}), QStringList({text, text, text, text}));
            QCOMPARE(map, qint16(9));
        }
        qint16 count = -1;
        d.SQL_checkPN(p.server, p.database, p.user, p.password, u"snPN"_s, text, count, u"test"_s);
        QCOMPARE(count, qint16(stored ? 1 : 0));
        // Deleted again: exactly that record.
        qint16 map = -1;
        e = 9;
        d.SQL_delPN(p.server, p.database, p.user, p.password, u"snPN"_s, text, map, e);
        QCOMPARE(e, qint16(0));
        QCOMPARE(map, qint16(stored ? 9 : -1));
        QVERIFY(pnRow(text).isEmpty());
        QCOMPARE(untouched(tdb, text, 9), others);

        // A rename to the payload through the save, and back through the validity mark.
        const QStringList besidesA = untouched(tdb, u"PN-A"_s, 1);
        QString newPN = text;
        qint16 mapA = 0;
        d.SQL_writeinfo(p.server, p.database, p.user, p.password, u"snPN"_s, u"PN-A"_s, newPN, u"Renamed"_s,
                        0, 1, 0, 0, QString(), 0, 0, 20.0f, 0, QString(), QString(), mapA, e);
        if (e == 0) {
            QCOMPARE(pnRow(text).size(), 1);
            d.SQL_updatePN(p.server, p.database, p.user, p.password, u"snPN"_s, text, u"PN-A"_s, 1, e);
            QCOMPARE(e, qint16(0));
        }
        QCOMPARE(pnRow(u"PN-A"_s).size(), 1);
        QCOMPARE(untouched(tdb, u"PN-A"_s, 1), besidesA);

        // Port descriptions.
        test::FaultPorts ports = test::FaultPorts::edited();
        for (int i = 0; i < 4; ++i)
            ports.portNAME[size_t(i)] = text;
        const QStringList besidesMap2 = untouched(tdb, QString(), 2);
        d.SQL_writePORTinfo(p.server, p.database, p.user, p.password, u"portCONFIG"_s, 2, 4, ports.mapNUM,
                            ports.portNAME, ports.UOM, ports.unitSCALE, ports.acTIVE, ports.minSPEC,
                            ports.maxSPEC, ports.timeDELAY, ports.numAVG, ports.mspeed, ports.Range,
                            ports.ssON, ports.ssTOL, ports.ssMAXT, ports.ssREQD, e);
        QCOMPARE(untouched(tdb, QString(), 2), besidesMap2);
        QStringList names;
        for (const QVariantList& row :
             tdb.rows(u"SELECT portNAME FROM portCONFIG WHERE mapPORT = 2 ORDER BY id"_s))
            names.append(row.value(0).toString());
        QCOMPARE(names,
                 e == 0 ? QStringList(4, text) : QStringList({u"M2P1"_s, u"M2P2"_s, u"M2P3"_s, u"M2P4"_s}));

        // The payload as the account's table names: every operation fails and changes nothing.
        const QStringList all = untouched(tdb, QString(), -1);
        const QString t = text;
        db::PnList list;
        qint16 num = -7;
        d.SQL_readPNlist(p.server, p.database, p.user, p.password, t, list, num);
        QCOMPARE(num, qint16(-7));
        d.SQL_writePNdef(p.server, p.database, p.user, p.password, t, e);
        QCOMPARE(e, qint16(1));
        d.SQL_delPN(p.server, p.database, p.user, p.password, t, u"PN-B"_s, map, e);
        QCOMPARE(e, qint16(1));
        d.SQL_writenewPORTS(p.server, p.database, p.user, p.password, t, 9, 4, ports.mapNUM, ports.portNAME,
                            ports.UOM, ports.unitSCALE, ports.acTIVE, ports.minSPEC, ports.maxSPEC,
                            ports.timeDELAY, ports.numAVG, ports.mspeed, ports.Range, ports.ssON, ports.ssTOL,
                            ports.ssMAXT, ports.ssREQD, e);
        QCOMPARE(e, qint16(1));
        QCOMPARE(untouched(tdb, QString(), -1), all);
    }

    // The User Code: looked up, never found by a payload, and written into the sign-in record as it is.
    void userCode_data() { everyPlace_data(); }
    void userCode()
    {
        QFETCH(QString, text);
        test::TestDatabase& central = *m_central;
        QVERIFY(central.exec(u"TRUNCATE CustLogin"_s));
        test::ScriptedDialogs dialogs;
        test::RecordingProgramEnd end;
        test::FakeInternet internet;
        db::Database d(&dialogs);
        signin::CentralAccounts accounts(d, dialogs, end, internet);
        const test::ServerInfo& s = central.server();
        const QStringList before = test::tableTexts(central, u"Customers"_s);

        db::AccountValues values;
        qint16 result = 9;
        accounts.SQL_readCUSTinfo(text, values, s.serverValue(), central.name(), u"Customers"_s, s.user,
                                  s.password, result);
        QCOMPARE(result, qint16(1));
        QCOMPARE(end.ends, 0);
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(values, db::AccountValues());

        accounts.SQL_writeLOGIN(s.serverValue(), central.name(), u"CustLogin"_s, s.user, s.password, 0, text,
                                u"Op"_s, u"Co"_s, u"mac"_s, u"V1.2.0"_s, result);
        const QList<QVariantList> logins = central.rows(u"SELECT User_Code FROM CustLogin"_s);
        QCOMPARE(logins.size(), result == 0 ? 1 : 0);
        if (result == 0)
            QCOMPARE(logins.value(0).value(0).toString(), text);
        QCOMPARE(test::tableTexts(central, u"Customers"_s), before);
    }
};

QTEST_GUILESS_MAIN(TestInjection)
#include "tst_injection.moc"
