#include "Connection.h"

#include "ActionBudget.h"
#include "HostLookup.h"
#include "Interaction.h"

#include <QElapsedTimer>
#include <QFile>

#include <errmsg.h>
#include <mysql.h>

#include <chrono>
#include <cmath>
#include <thread>

using namespace Qt::StringLiterals;

namespace zelmar::db {

Connection::Connection(const Profile& profile, const Timeouts& timeouts)
    : m_profile(profile)
    , m_timeouts(timeouts)
{}

Connection::~Connection()
{
    close();
}

void Connection::close()
{
    // Off the watchdog's list before the socket is closed and its number can be reused.
    if (m_watchTicket != 0)
        m_timeouts.budget->unwatch(m_watchTicket);
    m_watchTicket = 0;
    if (m_mysql)
        mysql_close(m_mysql);
    m_mysql = nullptr;
}

unsigned Connection::exchange(const std::function<unsigned()>& call)
{
    ActionBudget* budget = m_timeouts.budget.get();
    if (budget)
        budget->callStarted();
    unsigned code = 0;
    if (m_timeouts.waiter)
        m_timeouts.waiter->run([&] { code = call(); });
    else
        code = call();
    const bool answered = code == 0 || code < CR_MIN_ERROR;
    if (!answered)
        m_linkLost = true;
    if (budget)
        budget->callEnded(answered);
    return code;
}

namespace {
// Each wait capped by what the action has left, in whole seconds and at least one
// (the client library takes 0 as no bound at all).
Timeouts capped(const Timeouts& timeouts)
{
    Timeouts out = timeouts;
    if (!timeouts.budget)
        return out;
    if (const auto left = timeouts.budget->remaining()) {
        const int seconds = qMax(1, int(std::ceil(double(left->count()) / 1000.0)));
        out.connect = qMin(out.connect, seconds);
        out.read = qMin(out.read, seconds);
        out.write = qMin(out.write, seconds);
    }
    return out;
}
} // namespace

bool Connection::fail()
{
    m_error = QString::fromUtf8(mysql_error(m_mysql));
    return false;
}

bool Connection::open()
{
    const ServerAddress address = parseServer(m_profile.server);
    if (!address.valid) {
        m_error = u"Invalid server address: "_s + m_profile.server;
        return false;
    }
    ActionBudget* budget = m_timeouts.budget.get();
    if (budget && budget->exhausted()) {
        m_error = u"No time left for this action: the server did not answer in time"_s;
        return false;
    }
    const Timeouts timeouts = capped(m_timeouts);
    close();
    m_linkLost = false;
    MYSQL* mysql = nullptr;
    QElapsedTimer clock;
    clock.start();
    // The name's lookup and the connect are one call: a name that cannot be resolved in time
    // has not been answered either.
    const unsigned code = exchange([&]() -> unsigned {
        const std::optional<QString> resolved =
            lookUpHost(address.host, std::chrono::seconds(timeouts.connect));
        if (!resolved) {
            m_error = u"The server name could not be resolved in time: "_s + address.host;
            return CR_UNKNOWN_HOST;
        }
        mysql = mysql_init(nullptr);
        if (!mysql) {
            m_error = u"The client library could not start a connection"_s;
            return CR_OUT_OF_MEMORY;
        }
        const unsigned connect = unsigned(timeouts.connect);
        const unsigned read = unsigned(timeouts.read);
        const unsigned write = unsigned(timeouts.write);
        mysql_optionsv(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &connect);
        mysql_optionsv(mysql, MYSQL_OPT_READ_TIMEOUT, &read);
        mysql_optionsv(mysql, MYSQL_OPT_WRITE_TIMEOUT, &write);
        // Chosen in the handshake: no statement of its own.
        mysql_optionsv(mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4");
        // Without a site CA: TLS where the server offers it, plain otherwise, and the server's
        // certificate is not checked. The client library then loads the system's whole CA bundle
        // on every TLS connect (some 35 ms here) although it verifies nothing. With a site CA:
        // TLS is required and the certificate verified against that one file, which is cheap.
        const QByteArray caFile = QFile::encodeName(m_profile.caFile);
        const my_bool useTls = 1;
        const my_bool verify = caFile.isEmpty() ? 0 : 1;
        mysql_optionsv(mysql, MYSQL_OPT_SSL_ENFORCE, &useTls);
        mysql_optionsv(mysql, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
        if (!caFile.isEmpty())
            mysql_optionsv(mysql, MYSQL_OPT_SSL_CA, caFile.constData());
        // The address looked up within the action's bound; the name itself where the
        // certificate must be checked against it.
        const QByteArray host = (caFile.isEmpty() ? *resolved : address.host).toUtf8();
        const QByteArray user = m_profile.user.toUtf8();
        const QByteArray password = m_profile.password.toUtf8();
        const QByteArray database = m_profile.database.toUtf8();
        // CLIENT_FOUND_ROWS: a save reports the rows it matched, not the rows it changed.
        if (mysql_real_connect(mysql, host.constData(), user.constData(), password.constData(),
                               database.isEmpty() ? nullptr : database.constData(), unsigned(address.port),
                               nullptr, CLIENT_FOUND_ROWS))
            return 0;
        m_error = QString::fromUtf8(mysql_error(mysql));
        const unsigned failed = mysql_errno(mysql);
        mysql_close(mysql);
        mysql = nullptr;
        return failed != 0 ? failed : CR_UNKNOWN_ERROR;
    });
    if (code != 0) {
        // A server that let the whole connect timeout pass has not answered at all.
        if (budget)
            budget->noteAnswered(clock.elapsed() < qint64(timeouts.connect) * 1000 - 250);
        return false;
    }
    m_linkLost = false;
    m_mysql = mysql;
    if (budget) {
        budget->noteAnswered(true);
        budget->noteThread(mysql_thread_id(mysql));
        const auto socket = mysql_get_socket(mysql);
        if (qintptr(socket) >= 0)
            m_watchTicket = budget->watch(qintptr(socket));
    }
    return true;
}

bool Connection::transaction()
{
    if (!m_mysql) {
        m_error = u"The connection is not open"_s;
        return false;
    }
    static const char begin[] = "START TRANSACTION";
    return exchange([this] {
               return mysql_real_query(m_mysql, begin, sizeof begin - 1) == 0 ? 0u : mysql_errno(m_mysql);
           }) == 0 ||
           fail();
}

bool Connection::commit()
{
    if (!m_mysql) {
        m_error = u"The connection is not open"_s;
        return false;
    }
    return exchange([this] { return mysql_commit(m_mysql) == 0 ? 0u : mysql_errno(m_mysql); }) == 0 || fail();
}

void Connection::rollback()
{
    if (m_mysql)
        exchange([this] { return mysql_rollback(m_mysql) == 0 ? 0u : mysql_errno(m_mysql); });
}

bool Connection::awaitIdle(unsigned long thread)
{
    static const char sql[] =
        "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = ? AND COMMAND <> 'Sleep'";
    MYSQL_STMT* stmt = m_mysql ? mysql_stmt_init(m_mysql) : nullptr;
    if (!stmt)
        return false;
    unsigned long long id = thread;
    long long busy = 1;
    MYSQL_BIND param{};
    param.buffer_type = MYSQL_TYPE_LONGLONG;
    param.buffer = &id;
    param.is_unsigned = 1;
    MYSQL_BIND result{};
    result.buffer_type = MYSQL_TYPE_LONGLONG;
    result.buffer = &busy;
    bool idle = false;
    // Polled within its own bound; each poll that is answered is progress.
    exchange([&]() -> unsigned {
        if (mysql_stmt_prepare(stmt, sql, sizeof sql - 1) != 0 || mysql_stmt_bind_param(stmt, &param) != 0 ||
            mysql_stmt_bind_result(stmt, &result) != 0)
            return mysql_stmt_errno(stmt);
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::seconds(capped(m_timeouts).read);
        while (mysql_stmt_execute(stmt) == 0 && mysql_stmt_store_result(stmt) == 0 &&
               mysql_stmt_fetch(stmt) == 0) {
            mysql_stmt_free_result(stmt);
            if (busy == 0) {
                idle = true;
                return 0;
            }
            if (std::chrono::steady_clock::now() >= deadline)
                return 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return mysql_stmt_errno(stmt);
    });
    mysql_stmt_close(stmt);
    return idle;
}

void clientThreadStarted()
{
    mysql_thread_init();
}

void clientThreadEnding()
{
    mysql_thread_end();
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'`', u"``"_s);
    return u'`' + quoted + u'`';
}

} // namespace zelmar::db
