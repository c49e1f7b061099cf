#pragma once

// A MariaDB server of one test's own, started through scripts/mariadb.sh on a
// free loopback port with whatever options the test needs (a general log, say),
// and stopped again by its PID. Global settings changed there touch nobody else.

#include "TestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/types.h>

namespace zelmar::test {

class PrivateServer
{
public:
    // `options` go to mariadbd as they are; every path in them may use {dir}, the server's own folder.
    explicit PrivateServer(const QStringList& options = {})
    {
        if (!m_dir.isValid()) {
            m_error = QStringLiteral("no temporary folder");
            return;
        }
        QStringList opts;
        for (QString o : options)
            opts.append(QStringLiteral("'") + o.replace(QStringLiteral("{dir}"), m_dir.path()) +
                        QStringLiteral("'"));
        m_info.user = QStringLiteral("zelmar_test");
        m_info.password = QStringLiteral("t") + QString::number(QCoreApplication::applicationPid());
        const QString script =
            QStringLiteral(
                "set -e; source '%1/mariadb.sh'; mariadb_init '%2'; "
                "mariadb_start '%2/data' '%2/run' %3; echo \"$MARIADB_PORT $MARIADB_PID\" > '%2/server'; "
                "mariadb_sql \"CREATE USER '%4'@'127.0.0.1' IDENTIFIED BY '%5'; "
                "GRANT ALL PRIVILEGES ON *.* TO '%4'@'127.0.0.1' WITH GRANT OPTION;\"")
                .arg(QStringLiteral(ZELMAR_SCRIPTS_DIR), m_dir.path(), opts.join(u' '), m_info.user,
                     m_info.password);
        QProcess bash;
        bash.setStandardOutputFile(m_dir.filePath(QStringLiteral("start.log")));
        bash.setStandardErrorFile(m_dir.filePath(QStringLiteral("start.log")), QIODevice::Append);
        bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
        const bool done = bash.waitForFinished(60000);
        QFile server(m_dir.filePath(QStringLiteral("server")));
        if (server.open(QIODevice::ReadOnly)) {
            const QStringList parts = QString::fromLatin1(server.readAll()).split(u' ');
            m_info.port = parts.value(0).trimmed().toInt();
            m_pid = parts.value(1).trimmed().toLongLong();
        }
        if (!done || bash.exitCode() != 0 || m_pid <= 0) {
            QFile log(m_dir.filePath(QStringLiteral("start.log")));
            log.open(QIODevice::ReadOnly);
            m_error = QStringLiteral("private server did not start: ") + QString::fromUtf8(log.readAll());
            m_info.port = 0;
        }
    }
    ~PrivateServer()
    {
        if (m_pid <= 0)
            return;
        ::kill(pid_t(m_pid), SIGTERM);
        for (int i = 0; i < 200 && ::kill(pid_t(m_pid), 0) == 0; ++i)
            QThread::msleep(50);
        if (::kill(pid_t(m_pid), 0) == 0)
            ::kill(pid_t(m_pid), SIGKILL);
    }
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    bool ok() const { return m_info.valid(); }
    QString error() const { return m_error; }
    const ServerInfo& info() const { return m_info; }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/zelmar-private-XXXXXX")};
    ServerInfo m_info;
    qint64 m_pid = 0;
    QString m_error;
};

} // namespace zelmar::test
