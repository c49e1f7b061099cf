#include "TestServer.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTcpServer>
#include <QUuid>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace zelmar::test {

namespace {
ServerInfo fromEnvironment(const char* portVariable)
{
    ServerInfo info;
    info.port = qEnvironmentVariableIntValue(portVariable);
    info.user = qEnvironmentVariable("ZELMAR_TEST_USER");
    info.password = qEnvironmentVariable("ZELMAR_TEST_PASSWORD");
    return info;
}
} // namespace

ServerInfo tlsServer()
{
    return fromEnvironment("ZELMAR_TEST_PORT");
}

ServerInfo plainServer()
{
    return fromEnvironment("ZELMAR_TEST_PLAIN_PORT");
}

int deadPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 1;
    const int port = probe.serverPort();
    probe.close();
    return port;
}

TestDatabase::TestDatabase(const QStringList& schemaFiles, const ServerInfo& server)
    : m_server(server)
{
    if (!server.valid()) {
        m_error = u"No test server: run the tests through scripts/test"_s;
        return;
    }
    const QString suffix = QUuid::createUuid().toString(QUuid::Id128).left(20);
    m_name = u"zt_"_s + suffix;
    m_connection = u"zelmar-test-admin-"_s + suffix;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QMYSQL"_s, m_connection);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.user);
        db.setPassword(server.password);
        db.setConnectOptions(u"MYSQL_OPT_CONNECT_TIMEOUT=5;MYSQL_OPT_READ_TIMEOUT=20"_s);
        if (!db.open()) {
            m_error = db.lastError().text();
            return;
        }
        QSqlQuery q(db);
        if (!q.exec(u"CREATE DATABASE `"_s + m_name +
                    u"` CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci"_s) ||
            !q.exec(u"USE `"_s + m_name + u'`')) {
            m_error = q.lastError().text();
            return;
        }
    }
    m_ok = std::all_of(schemaFiles.begin(), schemaFiles.end(), [this](const QString& f) { return load(f); });
}

TestDatabase::~TestDatabase()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    if (QSqlDatabase::database(m_connection, false).isOpen())
        exec(u"DROP DATABASE IF EXISTS `"_s + m_name + u'`');
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

db::Profile TestDatabase::profile() const
{
    return db::Profile{QString(), m_server.serverValue(), m_name, m_server.user, m_server.password};
}

bool TestDatabase::load(const QString& schemaFile)
{
    QFile file(QStringLiteral(ZELMAR_SQL_DIR) + u'/' + schemaFile);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = u"Cannot read "_s + file.fileName();
        return false;
    }
    // A statement ends with the line that ends with ';'.
    QString statement;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().startsWith(u"--"_s))
            continue;
        statement += line + u'\n';
        if (line.trimmed().endsWith(u';') && !exec(std::exchange(statement, {}).trimmed().chopped(1)))
            return false;
    }
    return true;
}

bool TestDatabase::exec(const QString& sql, const QVariantList& values)
{
    bool ok = false;
    rows(sql, values, &ok);
    return ok;
}

QList<QVariantList> TestDatabase::rows(const QString& sql, const QVariantList& values, bool* ok)
{
    QList<QVariantList> out;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    const bool prepared = q.prepare(sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!prepared || !q.exec()) {
        m_error = q.lastError().text() + u" in: "_s + sql;
        qWarning("%s", qPrintable(m_error));
        return out;
    }
    if (ok)
        *ok = true;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row.append(q.value(i));
        out.append(row);
    }
    return out;
}

} // namespace zelmar::test
