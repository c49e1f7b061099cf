#include "Connection.h"

#include <QFile>

#include <mysql.h>

using namespace Qt::StringLiterals;

namespace zelmar::db {

Connection::Connection(const Profile& profile, const Timeouts& timeouts)
    : m_profile(profile)
    , m_timeouts(timeouts)
{}

Connection::~Connection()
{
    if (m_mysql)
        mysql_close(m_mysql);
}

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
    MYSQL* mysql = mysql_init(nullptr);
    if (!mysql) {
        m_error = u"The client library could not start a connection"_s;
        return false;
    }
    const unsigned connect = unsigned(m_timeouts.connect);
    const unsigned read = unsigned(m_timeouts.read);
    const unsigned write = unsigned(m_timeouts.write);
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
    const QByteArray host = address.host.toUtf8();
    const QByteArray user = m_profile.user.toUtf8();
    const QByteArray password = m_profile.password.toUtf8();
    const QByteArray database = m_profile.database.toUtf8();
    // CLIENT_FOUND_ROWS: a save reports the rows it matched, not the rows it changed.
    if (!mysql_real_connect(mysql, host.constData(), user.constData(), password.constData(),
                            database.isEmpty() ? nullptr : database.constData(), unsigned(address.port),
                            nullptr, CLIENT_FOUND_ROWS)) {
        m_error = QString::fromUtf8(mysql_error(mysql));
        mysql_close(mysql);
        return false;
    }
    m_mysql = mysql;
    return true;
}

bool Connection::transaction()
{
    if (!m_mysql) {
        m_error = u"The connection is not open"_s;
        return false;
    }
    static const char begin[] = "START TRANSACTION";
    return mysql_real_query(m_mysql, begin, sizeof begin - 1) == 0 || fail();
}

bool Connection::commit()
{
    if (!m_mysql) {
        m_error = u"The connection is not open"_s;
        return false;
    }
    return mysql_commit(m_mysql) == 0 || fail();
}

void Connection::rollback()
{
    if (m_mysql)
        mysql_rollback(m_mysql);
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'`', u"``"_s);
    return u'`' + quoted + u'`';
}

} // namespace zelmar::db
