#include "Database.h"

#include "ActionBudget.h"

#include <limits>

#include <mysql.h>

using namespace Qt::StringLiterals;

namespace zelmar::db {

Database::Database(Dialogs* dialogs, const Timeouts& timeouts)
    : m_dialogs(dialogs)
    , m_timeouts(timeouts)
{
    if (!m_timeouts.budget)
        m_timeouts.budget = std::make_shared<ActionBudget>();
}

Profile Database::profile(const QString& server, const QString& database, const QString& user,
                          const QString& password) const
{
    return Profile{odbcDRIVER, server, database, user, password, caFile};
}

Session::Session(const Profile& profile, const Timeouts& timeouts)
    : m_budget(timeouts.budget)
    , m_connection(m_budget ? m_budget->connectionFor(profile, timeouts)
                            : std::make_shared<Connection>(profile, timeouts))
    , m_rows(*m_connection)
{}

Session::~Session()
{
    // What a lost link left on the server (a statement running on, an open transaction) is not
    // this connection's any more.
    m_rows.close();
    if (m_connection->linkLost())
        m_connection->close();
}

bool Session::connect()
{
    if (m_connection->isOpen() || m_connection->open())
        return true;
    m_error = m_connection->errorText();
    return false;
}

bool Session::start(const std::function<bool()>& openRows, unsigned long awaitThread)
{
    const bool reused = m_connection->isOpen();
    for (int attempt = 0;; ++attempt) {
        if (!connect())
            return false;
        // Not learnt in time: the rows are read all the same, as they stand. A statement on this
        // same connection has ended, whatever became of its answer.
        if (awaitThread != 0 && awaitThread != mysql_thread_id(m_connection->handle()))
            m_connection->awaitIdle(awaitThread);
        if (openRows())
            return true;
        // The server may have closed a connection held since earlier in the action (an operator who
        // takes his time over a box): the query, which changes nothing, goes once more on a new one.
        if (!reused || attempt > 0 || !m_connection->linkLost()) {
            m_error = m_rows.errorText();
            return false;
        }
        m_rows.close();
        m_connection->close();
    }
}

bool Session::open(const Query& query)
{
    return start([&] { return m_rows.open(query); });
}

bool Session::openAfterLostAnswer(const Query& query)
{
    return start([&] { return m_rows.open(query); }, m_budget ? m_budget->lastThread() : 0);
}

bool Session::openStream(const Query& query)
{
    return start([&] { return m_rows.openStream(query); });
}

QString Session::errorText() const
{
    return m_error.isEmpty() ? m_rows.errorText() : m_error;
}

void Database::SQL_writeERROR(const QString& server, const QString& database, const QString& user,
                              const QString& password, const QString& table, const QString& routine,
                              const QString& summary)
{
    // A server that has just not answered at all would only cost the same wait again,
    // and with the action's time spent there is none left to wait.
    if (m_timeouts.budget->serverSilent() || m_timeouts.budget->exhausted())
        return;
    Session session(profile(server, database, user, password), m_timeouts);
    if (!session.open(appendOnly(table)))
        return;
    Recordset& rs = session.rows();
    rs.addNew();
    if (!rs.setField(u"Routine"_s, routine) || !rs.setField(u"Summary"_s, summary))
        return;
    rs.update();
}

void countRows(const Profile& profile, const Timeouts& timeouts, const Query& query, qint16& count)
{
    Session session(profile, timeouts);
    if (!session.open(query))
        return;
    const int rows = session.rows().recordCount();
    if (rows <= std::numeric_limits<qint16>::max())
        count = qint16(rows);
}

} // namespace zelmar::db
