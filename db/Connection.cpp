#include "Connection.h"

#include <QAtomicInteger>
#include <QSqlError>

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
{}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

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
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QMYSQL"_s, m_name);
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setDatabaseName(m_profile.database);
    db.setUserName(m_profile.user);
    db.setPassword(m_profile.password);
    db.setConnectOptions(driverOptions(m_timeouts));
    if (!db.open()) {
        m_error = db.lastError().text();
        return false;
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
