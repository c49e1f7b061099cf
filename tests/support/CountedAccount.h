#pragma once

#include "TestServer.h"

#include <QThread>

namespace zelmar::test {

// An account of its own on a test database, whose statements the server counts (per-user
// statistics): what one operation costs in statements.
class CountedAccount
{
public:
    explicit CountedAccount(TestDatabase& tdb)
        : m_tdb(tdb)
        , m_user(QStringLiteral("c_") + tdb.name().right(14))
    {
        m_ok = tdb.exec(QStringLiteral("SET GLOBAL userstat = 1")) &&
               tdb.exec(QStringLiteral("CREATE USER '%1'@'127.0.0.1' IDENTIFIED BY 'pw'").arg(m_user)) &&
               tdb.exec(QStringLiteral("GRANT ALL ON `%1`.* TO '%2'@'127.0.0.1'").arg(tdb.name(), m_user));
    }
    ~CountedAccount() { m_tdb.exec(QStringLiteral("DROP USER IF EXISTS '%1'@'127.0.0.1'").arg(m_user)); }
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
    // The server counts a statement just after it answers it: read until two reads 50 ms apart agree.
    Counts settled()
    {
        Counts last{-1, -1};
        for (int i = 0; i < 20; ++i) {
            const QVariantList row =
                m_tdb
                    .rows(QStringLiteral("SELECT SELECT_COMMANDS, UPDATE_COMMANDS FROM "
                                         "information_schema.USER_STATISTICS WHERE USER = ?"),
                          {m_user})
                    .value(0);
            const Counts now{row.value(0).toLongLong(), row.value(1).toLongLong()};
            if (now.select == last.select && now.update == last.update)
                break;
            last = now;
            QThread::msleep(50);
        }
        return last;
    }

    TestDatabase& m_tdb;
    QString m_user;
    bool m_ok = false;
};

} // namespace zelmar::test
