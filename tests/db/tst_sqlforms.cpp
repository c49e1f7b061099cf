// Every statement the program sends must be one of the forms that the README lists as
// accepted by MySQL 5.5 to 8.x and MariaDB 10.x. A private server with its general log on
// records what every database operation sends (done, and failing on a bad value) over
// tables with and without a primary key, and the sign-in; each statement of the program's
// own account is matched against the list.

#include "Account.h"
#include "DbFixtures.h"
#include "InternetProbe.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {

// A MariaDB server of this test's own, with its general log on, stopped again by its PID:
// a global setting changed there touches nobody else.
struct PrivateServer
{
    QTemporaryDir dir{QDir::tempPath() + u"/zelmar-private-XXXXXX"_s};
    test::ServerInfo info{u"127.0.0.1"_s, 0, u"zelmar_test"_s, u"pw"_s};
    qint64 pid = 0;
    PrivateServer()
    {
        const QString script =
            u"set -e; source '%1/mariadb.sh'; mariadb_init '%2'; mariadb_start '%2/data' "
            u"'%2/run' --general-log=1 '--general-log-file=%2/general.log'; "
            u"echo $MARIADB_PORT $MARIADB_PID > '%2/server'; mariadb_sql \"CREATE USER "
            u"'zelmar_test'@'127.0.0.1' IDENTIFIED BY 'pw'; GRANT ALL PRIVILEGES ON *.* TO "
            u"'zelmar_test'@'127.0.0.1' WITH GRANT OPTION;\""_s.arg(QStringLiteral(ZELMAR_SCRIPTS_DIR),
                                                                    dir.path());
        QProcess bash;
        bash.setProcessChannelMode(QProcess::ForwardedChannels);
        bash.start(u"bash"_s, {u"-c"_s, script});
        const bool started = bash.waitForFinished(60000) && bash.exitCode() == 0;
        QFile server(dir.filePath(u"server"_s));
        if (server.open(QIODevice::ReadOnly)) {
            const QStringList parts = QString::fromLatin1(server.readAll()).simplified().split(u' ');
            pid = parts.value(1).toLongLong();
            info.port = started ? parts.value(0).toInt() : 0;
        }
    }
    ~PrivateServer()
    {
        if (pid <= 0)
            return;
        ::kill(pid_t(pid), SIGTERM);
        for (int i = 0; i < 200 && ::kill(pid_t(pid), 0) == 0; ++i)
            QThread::msleep(50);
        if (::kill(pid_t(pid), 0) == 0)
            ::kill(pid_t(pid), SIGKILL);
    }
};

class NoInternet : public InternetProbe
{
public:
    void checkINTERNET(qint16& connected) override { connected = 1; }
};

// One accepted form: how the README writes it, and the pattern a sent statement must match whole.
struct Form
{
    QString readme;
    QString pattern;
};

QList<Form> forms()
{
    const QString id = uR"(`(?:[^`]|``)+`)"_s;
    // One column of a saved row's WHERE: its key value, or in a table without a key every fetched value.
    const QString term =
        u"(?:%1 <=> \\?|%1 = \\?|%1 IS NULL|"
        u"%1 = \\? AND CAST\\(CONVERT\\(%1 USING utf8mb4\\) AS BINARY\\) = CAST\\(\\? AS BINARY\\))"_s.arg(
            id);
    return {
        {u"Select * FROM `t` [WHERE c=?]"_s, u"Select \\* FROM %1(?: WHERE \\w+=\\?)?"_s.arg(id)},
        {u"Select * FROM `t` USE INDEX () WHERE `partNUM` = ? OR `partNUM` IS NULL"_s,
         u"Select \\* FROM %1 USE INDEX \\(\\) WHERE `partNUM` = \\? OR `partNUM` IS NULL"_s.arg(id)},
        {u"Select * FROM `t` USE INDEX () WHERE NOT (CAST(`c` AS BINARY) <=> '0')"_s,
         u"Select \\* FROM %1 USE INDEX \\(\\) WHERE NOT \\(CAST\\(%1 AS BINARY\\) <=> '0'\\)"_s.arg(id)},
        {u"INSERT INTO `t` (`c`,...) VALUES (?,...)"_s,
         u"INSERT INTO %1 \\(%1(?:,%1)*\\) VALUES \\(\\?(?:,\\?)*\\)"_s.arg(id)},
        {u"UPDATE `t` SET `c`=?,... WHERE <row> [LIMIT 1]"_s,
         u"UPDATE %1 SET %1=\\?(?:,%1=\\?)* WHERE %2(?: AND %2)*(?: LIMIT 1)?"_s.arg(id, term)},
        {u"DELETE FROM `t` WHERE <row> [LIMIT 1]"_s,
         u"DELETE FROM %1 WHERE %2(?: AND %2)*(?: LIMIT 1)?"_s.arg(id, term)},
        {u"START TRANSACTION"_s, u"START TRANSACTION"_s},
        {u"COMMIT"_s, u"COMMIT"_s},
        {u"ROLLBACK"_s, u"ROLLBACK"_s},
    };
}

// The general log: "[date time]\t<spaces>id Command\targument", further lines of a statement on
// lines of their own. Gives (thread, command, argument) triples.
QList<QStringList> readLog(const QString& path)
{
    QList<QStringList> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    static const QRegularExpression start(
        uR"(^(?:\d{6}\s+\d{1,2}:\d\d:\d\d)?\t\s*(\d+) ([A-Z][A-Za-z ]*)\t(.*)$)"_s);
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QRegularExpressionMatch m = start.match(line);
        if (m.hasMatch())
            out.append({m.captured(1), m.captured(2), m.captured(3)});
        else if (!out.isEmpty())
            out.last()[2] += u'\n' + line;
    }
    return out;
}

} // namespace

class TestSqlForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyStatementIsAListedForm()
    {
        PrivateServer server;
        QVERIFY2(server.info.valid(), "the private server did not start");
        const QString app = u"zelmar_app"_s;
        {
            test::TestDatabase central({u"central.sql"_s}, server.info);
            QVERIFY2(central.ok(), qPrintable(central.error()));
            QVERIFY(central.exec(u"CREATE USER '%1'@'127.0.0.1' IDENTIFIED BY 'app-pw'"_s.arg(app)));
            QVERIFY(central.exec(u"GRANT ALL ON *.* TO '%1'@'127.0.0.1'"_s.arg(app)));
            QVERIFY(central.exec(u"INSERT INTO Customers (Operator_Code, custDB) VALUES ('OP1', 'x')"_s));
            for (const bool keyless : {false, true}) {
                test::TestDatabase customer({u"customer.sql"_s}, server.info);
                QVERIFY2(customer.ok(), qPrintable(customer.error()));
                // A customer's keyless MyISAM tables, with a column the program does not know (NULL
                // in every row), so that saves and deletes find rows by every value.
                for (const QString& t : {u"snPN"_s, u"portCONFIG"_s})
                    QVERIFY(!keyless || customer.exec(u"ALTER TABLE `%1` DROP COLUMN id, "
                                                      u"ADD note VARCHAR(10) NULL, ENGINE=MyISAM"_s.arg(t)));
                test::Caller caller{db::Database(), customer.profile(), QString()};
                caller.profile.user = app;
                caller.profile.password = u"app-pw"_s;
                for (const test::FaultOp& op : test::faultOps()) {
                    // Done, and failing on a bad value: error records and a rolled-back append.
                    QVERIFY(test::seedFaultData(customer));
                    QVERIFY(test::run(op, caller).first != 1);
                    QVERIFY(test::seedFaultData(customer) && test::execAll(customer, op.spoil));
                    test::run(op, caller);
                }
            }
            test::ScriptedDialogs dialogs;
            test::RecordingProgramEnd end;
            NoInternet internet;
            db::Database database;
            signin::CentralAccounts accounts(database, dialogs, end, internet);
            const QString at = server.info.serverValue();
            db::AccountValues account;
            qint16 result = -1;
            accounts.SQL_readCUSTinfo(u"OP1"_s, account, at, central.name(), u"Customers"_s, app, u"app-pw"_s,
                                      result);
            QCOMPARE(result, qint16(0));
            accounts.SQL_writeLOGIN(at, central.name(), u"CustLogin"_s, app, u"app-pw"_s, 1, u"OP1"_s, u"o"_s,
                                    u"c"_s, u"m"_s, u"1.2.0"_s, result);
            QCOMPARE(result, qint16(0));
            // The log is written as statements arrive; a marker from the admin shows it has caught up.
            QVERIFY(central.exec(u"SELECT 'zelmar-log-marker'"_s));
        }

        QList<QStringList> log;
        const auto caughtUp = [&] {
            log = readLog(server.dir.filePath(u"general.log"_s));
            return std::any_of(log.cbegin(), log.cend(),
                               [](const QStringList& e) { return e[2].contains(u"zelmar-log-marker"_s); });
        };
        for (int i = 0; i < 100 && !caughtUp(); ++i)
            QThread::msleep(50);
        QList<QRegularExpression> patterns;
        for (const Form& form : forms())
            patterns.append(QRegularExpression(u"\\A(?:"_s + form.pattern + u")\\z"_s));
        QSet<QString> appThreads;
        QStringList outside;
        for (const QStringList& e : std::as_const(log)) {
            if (e[1] == u"Connect"_s && e[2].startsWith(app + u'@'))
                appThreads.insert(e[0]);
            const QString sql = e[2].trimmed();
            if (appThreads.contains(e[0]) && (e[1] == u"Query"_s || e[1] == u"Prepare"_s) &&
                std::none_of(patterns.cbegin(), patterns.cend(),
                             [&](const QRegularExpression& p) { return p.match(sql).hasMatch(); }))
                outside.append(sql);
        }
        outside.removeDuplicates();
        // The workload opens dozens of connections; finding none means the log was not read.
        QVERIFY2(appThreads.size() > 40, qPrintable(QString::number(appThreads.size())));
        QVERIFY2(outside.isEmpty(), qPrintable(u"Forms outside the list:\n"_s + outside.join(u'\n')));
    }

    void everyFormIsInTheReadme()
    {
        QFile readme(QStringLiteral(ZELMAR_SOURCE_DIR) + u"/README.md"_s);
        QVERIFY(readme.open(QIODevice::ReadOnly));
        // The first cell of each table row, without its code marks.
        QSet<QString> listed;
        for (const QString& line : QString::fromUtf8(readme.readAll()).split(u'\n')) {
            if (!line.startsWith(u'|'))
                continue;
            QString cell = line.section(u'|', 1, 1).trimmed();
            while (cell.startsWith(u'`') && cell.endsWith(u'`') && cell.size() > 1)
                cell = cell.mid(1, cell.size() - 2).trimmed();
            listed.insert(cell);
        }
        for (const Form& form : forms())
            QVERIFY2(listed.contains(form.readme), qPrintable(form.readme));
    }
};

QTEST_GUILESS_MAIN(TestSqlForms)
#include "tst_sqlforms.moc"
