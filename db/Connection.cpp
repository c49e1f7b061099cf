#include "Connection.h"

#include "ActionBudget.h"
#include "HostLookup.h"

#include <QAtomicInteger>
#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <mysql.h>

#include <cmath>

using namespace Qt::StringLiterals;

namespace zelmar::db {

namespace {
QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return u"zelmar-db-"_s + QString::number(counter.fetchAndAddRelaxed(1) + 1);
}
} // namespace

Connection::Connection(const Profile& profile, const Timeouts& timeouts)
    : m_name(nextConnectionName())
    , m_profile(profile)
    , m_timeouts(timeouts)
{
    if (m_timeouts.budget)
        m_timeouts.budget->enter();
}

Connection::~Connection()
{
    // Off the watchdog's list before the socket is closed and its number can be reused.
    if (m_watchTicket != 0)
        m_timeouts.budget->unwatch(m_watchTicket);
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
    if (m_timeouts.budget)
        m_timeouts.budget->leave();
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

qintptr socketOf(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "MYSQL*") != 0 && qstrcmp(handle.typeName(), "st_mysql*") != 0))
        return -1;
    MYSQL* mysql = *static_cast<MYSQL* const*>(handle.data());
    return mysql ? qintptr(mysql_get_socket(mysql)) : -1;
}
} // namespace

QString Connection::driverOptions(const Timeouts& timeouts)
{
    // SSL_CIPHER with an empty value switches TLS on where the server offers it
    // and stays plain otherwise; CLIENT_FOUND_ROWS makes a save report the rows
    // it matched, not the rows it changed.
    return u"MYSQL_OPT_CONNECT_TIMEOUT="_s + QString::number(timeouts.connect) +
           u";MYSQL_OPT_READ_TIMEOUT="_s + QString::number(timeouts.read) + u";MYSQL_OPT_WRITE_TIMEOUT="_s +
           QString::number(timeouts.write) + u";CLIENT_FOUND_ROWS;SSL_CIPHER="_s;
}

bool Connection::open()
{
    const ServerAddress address = parseServer(m_profile.server);
    if (!address.valid) {
        m_error = u"Invalid server address: "_s + m_profile.server;
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(u"QMYSQL"_s)) {
        m_error = u"The MySQL driver of Qt is not installed"_s;
        return false;
    }
    ActionBudget* budget = m_timeouts.budget.get();
    if (budget && budget->exhausted()) {
        m_error = u"No time left for this action: the server did not answer in time"_s;
        return false;
    }
    const Timeouts timeouts = capped(m_timeouts);
    const std::optional<QString> host = lookUpHost(address.host, std::chrono::seconds(timeouts.connect));
    if (!host) {
        m_error = u"The server name could not be resolved in time: "_s + address.host;
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QMYSQL"_s, m_name);
    db.setHostName(*host);
    db.setPort(address.port);
    db.setDatabaseName(m_profile.database);
    db.setUserName(m_profile.user);
    db.setPassword(m_profile.password);
    db.setConnectOptions(driverOptions(timeouts));
    QElapsedTimer clock;
    clock.start();
    if (!db.open()) {
        m_error = db.lastError().text();
        // A server that let the whole connect timeout pass has not answered at all.
        if (budget)
            budget->noteAnswered(clock.elapsed() < qint64(timeouts.connect) * 1000 - 250);
        return false;
    }
    if (budget) {
        budget->noteAnswered(true);
        const qintptr socket = socketOf(db);
        if (socket >= 0)
            m_watchTicket = budget->watch(socket);
    }
    return true;
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

bool Connection::transaction()
{
    QSqlDatabase db = database();
    if (!db.isOpen() || !db.transaction()) {
        m_error = db.isOpen() ? db.lastError().text() : u"The connection is not open"_s;
        return false;
    }
    return true;
}

bool Connection::commit()
{
    QSqlDatabase db = database();
    if (!db.isOpen() || !db.commit()) {
        m_error = db.isOpen() ? db.lastError().text() : u"The connection is not open"_s;
        return false;
    }
    return true;
}

void Connection::rollback()
{
    QSqlDatabase db = database();
    if (db.isOpen())
        db.rollback();
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'`', u"``"_s);
    return u'`' + quoted + u'`';
}

} // namespace zelmar::db
