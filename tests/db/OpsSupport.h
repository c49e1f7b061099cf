#pragma once

// What the tests of the part-number and port operations share: the five
// profile strings of a test database (or of a dead server), the error records
// it holds, and a count of the statements an account sends.

#include "Database.h"
#include "TestServer.h"

#include <QPair>
#include <QSqlQuery>
#include <QThread>

namespace zelmar::test {

// The four connection strings of every operation.
struct Target
{
    QString server;
    QString database;
    QString user;
    QString password;
};

inline Target targetOf(const TestDatabase& tdb)
{
    const db::Profile p = tdb.profile();
    return {p.server, p.database, p.user, p.password};
}

// The same database on a loopback port where nothing listens.
inline Target deadTarget(const TestDatabase& tdb)
{
    Target t = targetOf(tdb);
    t.server = QStringLiteral("127.0.0.1:") + QString::number(deadPort());
    return t;
}

// (Routine, Summary) of every error record, in the order written.
inline QList<QPair<QString, QString>> errorRecords(TestDatabase& tdb)
{
    QList<QPair<QString, QString>> out;
    const QList<QVariantList> rows =
        tdb.rows(QStringLiteral("SELECT Routine, Summary FROM zSQL ORDER BY id"));
    for (const QVariantList& row : rows)
        out.append({row.value(0).toString(), row.value(1).toString()});
    return out;
}

// A trigger that makes every save of the given kind (INSERT, UPDATE or DELETE)
// on a table fail when `condition` (over NEW or OLD) holds.
inline bool failingTrigger(TestDatabase& tdb, const QString& table, const QString& event,
                           const QString& condition = QStringLiteral("TRUE"))
{
    return tdb.exec(
        QStringLiteral("CREATE TRIGGER fail_") + event.toLower() + QStringLiteral(" BEFORE ") + event +
        QStringLiteral(" ON `") + table + QStringLiteral("` FOR EACH ROW IF ") + condition +
        QStringLiteral(" THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused by test'; END IF"));
}

// An account of its own on the test database, whose statements the server
// counts (per-user statistics): what one operation costs in statements.
class CountedAccount
{
public:
    explicit CountedAccount(TestDatabase& tdb)
        : m_tdb(tdb)
    {
        m_user = QStringLiteral("c_") + tdb.name().right(14);
        m_ok = tdb.exec(QStringLiteral("SET GLOBAL userstat = 1")) &&
               tdb.exec(QStringLiteral("CREATE USER '") + m_user +
                        QStringLiteral("'@'127.0.0.1' IDENTIFIED BY 'pw'")) &&
               tdb.exec(QStringLiteral("GRANT ALL ON `") + tdb.name() + QStringLiteral("`.* TO '") + m_user +
                        QStringLiteral("'@'127.0.0.1'"));
    }
    ~CountedAccount()
    {
        m_tdb.exec(QStringLiteral("DROP USER IF EXISTS '") + m_user + QStringLiteral("'@'127.0.0.1'"));
    }
    CountedAccount(const CountedAccount&) = delete;
    CountedAccount& operator=(const CountedAccount&) = delete;

    bool ok() const { return m_ok; }
    Target target() const
    {
        Target t = targetOf(m_tdb);
        t.user = m_user;
        t.password = QStringLiteral("pw");
        return t;
    }
    struct Counts
    {
        qint64 select = 0;
        qint64 update = 0; // INSERT, UPDATE and DELETE
        qint64 other = 0;
        qint64 total() const { return select + update + other; }
    };
    // The server folds a connection's statements into the statistics just after it
    // answers them: read until two reads 50 ms apart agree.
    Counts counts()
    {
        Counts last = read();
        for (int i = 0; i < 20; ++i) {
            QThread::msleep(50);
            const Counts now = read();
            if (now.select == last.select && now.update == last.update && now.other == last.other)
                return now;
            last = now;
        }
        return last;
    }

private:
    Counts read()
    {
        Counts c;
        const QList<QVariantList> rows =
            m_tdb.rows(QStringLiteral("SELECT SELECT_COMMANDS, UPDATE_COMMANDS, OTHER_COMMANDS FROM "
                                      "information_schema.USER_STATISTICS WHERE USER = ?"),
                       {m_user});
        if (!rows.isEmpty()) {
            c.select = rows[0].value(0).toLongLong();
            c.update = rows[0].value(1).toLongLong();
            c.other = rows[0].value(2).toLongLong();
        }
        return c;
    }

    TestDatabase& m_tdb;
    QString m_user;
    bool m_ok = false;
};

} // namespace zelmar::test
