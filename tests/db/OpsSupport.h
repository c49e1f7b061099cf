#pragma once

// What the tests of the part-number and port operations share: the profile of
// a dead server, calls with a whole profile, the error records and rows of a
// test database, refusing triggers, and a count of the statements an account
// sends.

#include "Database.h"
#include "TestServer.h"

#include <QPair>
#include <QTest>
#include <QThread>

#include <functional>
#include <utility>

// A fresh test database named `tdb`, or the test stops here.
#define ZELMAR_TEST_DB(tdb)                                                                                  \
    zelmar::test::TestDatabase tdb;                                                                          \
    QVERIFY2(tdb.ok(), qPrintable(tdb.error()))

namespace zelmar::test {

// The same database on a loopback port where nothing listens.
inline db::Profile deadProfile(const TestDatabase& tdb)
{
    db::Profile p = tdb.profile();
    p.server = QStringLiteral("127.0.0.1:") + QString::number(deadPort());
    return p;
}

// Calls an operation with a profile's four strings and a table before its own arguments.
class Caller
{
public:
    Caller(const db::Profile& profile, const QString& table, Dialogs* dialogs = nullptr)
        : m_database(dialogs)
        , m_profile(profile)
        , m_table(table)
    {}
    template<typename Op, typename... Args>
    void operator()(Op op, Args&&... args)
    {
        (m_database.*op)(m_profile.server, m_profile.database, m_profile.user, m_profile.password, m_table,
                         std::forward<Args>(args)...);
    }

private:
    db::Database m_database;
    db::Profile m_profile;
    QString m_table;
};

// Pairs of texts: (Routine, Summary) of error records, (text, title) of message boxes.
using Records = QList<QPair<QString, QString>>;

// Every error record, in the order written.
inline Records errorRecords(TestDatabase& tdb)
{
    Records out;
    for (const QVariantList& row : tdb.rows(QStringLiteral("SELECT Routine, Summary FROM zSQL ORDER BY id")))
        out.append({row.value(0).toString(), row.value(1).toString()});
    return out;
}

inline Records shownOf(const ScriptedDialogs& dialogs)
{
    Records out;
    for (const auto& s : dialogs.shown)
        out.append({s.text, s.title});
    return out;
}

// As text, so that the integer widths of the driver do not matter.
inline QStringList texts(const QVariantList& row)
{
    QStringList out;
    for (const QVariant& v : row)
        out.append(v.isNull() ? QStringLiteral("NULL") : v.toString());
    return out;
}

// Every row of a table in id order, each as one line of the given columns joined by "|".
inline QStringList tableTexts(TestDatabase& tdb, const QString& table,
                              const QString& columns = QStringLiteral("*"))
{
    QStringList out;
    for (const QVariantList& row :
         tdb.rows(QStringLiteral("SELECT %1 FROM `%2` ORDER BY id").arg(columns, table)))
        out.append(texts(row).join(u'|'));
    return out;
}

inline bool execAll(TestDatabase& tdb, const QStringList& statements)
{
    for (const QString& sql : statements)
        if (!tdb.exec(sql))
            return false;
    return true;
}

// Statements that turn `column` of the row with id 2 into `value`, changing the column's type first
// when `type` is given.
inline QStringList spoil(const QString& table, const QString& column, const QString& value,
                         const QString& type = QString())
{
    QStringList out;
    if (!type.isEmpty())
        out.append(QStringLiteral("ALTER TABLE `%1` MODIFY `%2` %3").arg(table, column, type));
    return out << QStringLiteral("UPDATE `%1` SET `%2` = %3 WHERE id = 2").arg(table, column, value);
}

// A trigger that makes every save of the given kind (INSERT, UPDATE or DELETE)
// on a table fail when `condition` (over NEW or OLD) holds.
inline QString refusal(const QString& table, const QString& event,
                       const QString& condition = QStringLiteral("TRUE"))
{
    return QStringLiteral("CREATE TRIGGER fail_") + event.toLower() + QStringLiteral(" BEFORE ") + event +
           QStringLiteral(" ON `") + table + QStringLiteral("` FOR EACH ROW IF ") + condition +
           QStringLiteral(" THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused by test'; END IF");
}

// An account of its own on the test database, whose statements the server
// counts (per-user statistics): what one operation costs in statements.
class CountedAccount
{
public:
    explicit CountedAccount(TestDatabase& tdb)
        : m_tdb(tdb)
        , m_user(QStringLiteral("c_") + tdb.name().right(14))
    {
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
    db::Profile profile() const
    {
        db::Profile p = m_tdb.profile();
        p.user = m_user;
        p.password = QStringLiteral("pw");
        return p;
    }
    struct Counts
    {
        qint64 select = 0;
        qint64 update = 0; // INSERT, UPDATE and DELETE
    };
    // The statements `call` sends, printed under `name`.
    Counts measure(const char* name, const std::function<void()>& call)
    {
        const Counts before = settled();
        call();
        const Counts after = settled();
        const Counts d{after.select - before.select, after.update - before.update};
        qInfo("%s: %lld select, %lld insert/update/delete", name, d.select, d.update);
        return d;
    }

private:
    // The server folds a connection's statements into the statistics just after it
    // answers them: read until two reads 50 ms apart agree.
    Counts settled()
    {
        Counts last = read();
        for (int i = 0; i < 20; ++i) {
            QThread::msleep(50);
            const Counts now = read();
            if (now.select == last.select && now.update == last.update)
                return now;
            last = now;
        }
        return last;
    }
    Counts read()
    {
        const QVariantList row =
            m_tdb
                .rows(QStringLiteral("SELECT SELECT_COMMANDS, UPDATE_COMMANDS FROM "
                                     "information_schema.USER_STATISTICS WHERE USER = ?"),
                      {m_user})
                .value(0);
        return {row.value(0).toLongLong(), row.value(1).toLongLong()};
    }

    TestDatabase& m_tdb;
    QString m_user;
    bool m_ok = false;
};

} // namespace zelmar::test
