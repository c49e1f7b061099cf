// Texts that try to change a query: part numbers and their texts (created, read back, counted,
// deleted, without the window's string rules) and the table names of the account row. Each is
// stored and read back exactly or refused whole; nothing else changes. That every value travels as
// a bound parameter is tst_faults' check of the statement forms.

#include "DbFixtures.h"

using namespace Qt::StringLiterals;
using namespace zelmar;
using D = db::Database;

namespace {

// The rows of the tables that an operation on `pn` and `map` must leave alone, and the table list.
QStringList untouched(test::TestDatabase& tdb, const QString& pn, int map)
{
    return test::lines(tdb, u"SHOW TABLES"_s) +
           test::lines(tdb, u"SELECT * FROM snPN WHERE BINARY partNUM <> BINARY ? ORDER BY id"_s, {pn}) +
           test::lines(tdb, u"SELECT * FROM portCONFIG WHERE mapPORT <> ? ORDER BY id"_s, {map});
}

} // namespace

class TestInjection : public QObject
{
    Q_OBJECT
    // The server without TLS: a connection costs less, and the texts travel the same.
    test::TestDatabase m_customer{QStringList{u"customer.sql"_s}, test::plainServer()};

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_customer.ok(), qPrintable(m_customer.error())); }

    void everyPlace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored"); // else refused whole
        const QChar nul(u'\0');
        const QList<std::tuple<const char*, QString, bool>> corpus = {
            {"quote", u"'"_s, true},
            {"or true", u"' OR '1'='1"_s, true},
            {"name then comment", u"PN-A' -- "_s, true},
            {"drop table, past the column's 25: refused", u"x'; DROP TABLE portCONFIG; --"_s, false},
            {"escaped quote", u"\\'"_s, true},
            {"backslashes delete", u"\\\\'; DELETE FROM snPN; --"_s, true},
            {"nul inside", u"PN-A"_s + nul + u"tail"_s, true},
            {"union, past the column's 25: refused", u"' UNION SELECT partNUM FROM snPN -- "_s, false},
            {"backtick where", u"snPN` WHERE 1=1 -- "_s, true},
            {"control characters", u"a\r\n\tb"_s, true},
            {"beyond ASCII", u"ÄÖÜ-ß\U0001F600\u200B"_s, true},
        };
        for (const auto& [name, text, stored] : corpus)
            QTest::newRow(name) << text << stored;
    }
    void everyPlace()
    {
        QFETCH(QString, text);
        test::TestDatabase& tdb = m_customer;
        QVERIFY(test::seedFaultData(tdb));
        test::Caller pn{db::Database(), tdb.profile(), u"snPN"_s};

        // A new part number whose texts are all the payload, read back, counted and deleted again.
        const QStringList others = untouched(tdb, text, 9);
        test::PnFields f{text, 0,     1, 1,    0,   0, text, qint16(qMin<qsizetype>(text.size(), 99)),
                         0,    20.0f, 1, text, text};
        qint16 e = 9, count = -1, map = -1;
        f.writenewPN(pn, text, text, 9, e);
        QCOMPARE(untouched(tdb, text, 9), others);
        const bool stored = e == 0;
        QTEST(stored, "stored");
        test::PnFields read;
        read.read(pn, text, e);
        f.mapPORT = 9;
        QCOMPARE(read.texts(), stored ? f.texts() : test::PnFields().texts());
        QCOMPARE(e, qint16(stored ? 0 : 1));
        pn(&D::SQL_checkPN, text, count, u"test"_s);
        QCOMPARE(count, qint16(stored ? 1 : 0));
        pn(&D::SQL_delPN, text, map, e);
        QCOMPARE(QList<qint16>({e, map}), QList<qint16>({0, qint16(stored ? 9 : -1)}));
        QCOMPARE(untouched(tdb, u"(none)"_s, 9), others); // its row gone too

        // The payload as the account's table names: every operation fails and changes nothing.
        const QStringList all = untouched(tdb, u"(none)"_s, -1);
        test::Caller port{db::Database(), tdb.profile(), text};
        pn.table = text;
        db::PnList list;
        qint16 num = -7;
        pn(&D::SQL_readPNlist, list, num);
        QCOMPARE(num, qint16(-7));
        qint16 e1 = 9, e2 = 9, e3 = 9;
        pn(&D::SQL_writePNdef, e1);
        pn(&D::SQL_delPN, u"PN-B"_s, map, e2);
        test::Ports::of(4, 0).write(port, &D::SQL_writenewPORTS, 9, 4, e3);
        QCOMPARE(QList<qint16>({e1, e2, e3}), QList<qint16>(3, 1));
        QCOMPARE(untouched(tdb, u"(none)"_s, -1), all);
    }
};

QTEST_GUILESS_MAIN(TestInjection)
#include "tst_injection.moc"
