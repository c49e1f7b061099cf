// Every statement the program sends must be one of the forms that the README
// lists as accepted by MySQL 5.5 to 8.x and MariaDB 10.x. A private server with
// its general log on records what every database procedure of the program sends
// (part numbers, ports, error records, sign-in), over tables with and without a
// primary key; each statement of the program's own account is matched against
// the list.

#include "Account.h"
#include "Database.h"
#include "InternetProbe.h"
#include "OpsSupport.h"
#include "PrivateServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using D = db::Database;

namespace {

// One accepted form: how the README writes it, and the pattern a sent statement must match whole.
struct Form
{
    QString readme;
    QString pattern;
};

const QString ident = uR"(`(?:[^`]|``)+`)"_s;
// One column of a saved row's WHERE: its key value, or in a table without a key every fetched value.
const QString term =
    u"(?:%1 <=> \\?|%1 = \\?|%1 IS NULL|"
    u"%1 = \\? AND CAST\\(CONVERT\\(%1 USING utf8mb4\\) AS BINARY\\) = CAST\\(\\? AS BINARY\\))"_s.arg(ident);

QList<Form> forms()
{
    return {
        {u"Select * FROM `t` [WHERE c=?]"_s, u"Select \\* FROM %1(?: WHERE \\w+=\\?)?"_s.arg(ident)},
        {u"Select * FROM `t` USE INDEX () WHERE `partNUM` = ? OR `partNUM` IS NULL"_s,
         u"Select \\* FROM %1 USE INDEX \\(\\) WHERE `partNUM` = \\? OR `partNUM` IS NULL"_s.arg(ident)},
        {u"Select * FROM `t` USE INDEX () WHERE NOT (CAST(`c` AS BINARY) <=> '0')"_s,
         u"Select \\* FROM %1 USE INDEX \\(\\) WHERE NOT \\(CAST\\(%1 AS BINARY\\) <=> '0'\\)"_s.arg(ident)},
        {u"INSERT INTO `t` (`c`,...) VALUES (?,...)"_s,
         u"INSERT INTO %1 \\(%1(?:,%1)*\\) VALUES \\(\\?(?:,\\?)*\\)"_s.arg(ident)},
        {u"UPDATE `t` SET `c`=?,... WHERE <row> [LIMIT 1]"_s,
         u"UPDATE %1 SET %1=\\?(?:,%1=\\?)* WHERE %2(?: AND %2)*(?: LIMIT 1)?"_s.arg(ident, term)},
        {u"DELETE FROM `t` WHERE <row> [LIMIT 1]"_s,
         u"DELETE FROM %1 WHERE %2(?: AND %2)*(?: LIMIT 1)?"_s.arg(ident, term)},
        {u"START TRANSACTION"_s, u"START TRANSACTION"_s},
        {u"COMMIT"_s, u"COMMIT"_s},
        {u"ROLLBACK"_s, u"ROLLBACK"_s},
    };
}

struct Entry
{
    QString thread;
    QString command;
    QString argument;
};

// The general log: "[date time]\t<spaces>id Command\targument", a statement's further lines
// carried on lines of their own.
QList<Entry> readLog(const QString& path)
{
    QList<Entry> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    static const QRegularExpression start(
        uR"(^(?:\d{6}\s+\d{1,2}:\d\d:\d\d)?\t\s*(\d+) ([A-Z][A-Za-z ]*)\t(.*)$)"_s);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = start.match(line);
        if (m.hasMatch())
            out.append({m.captured(1), m.captured(2), m.captured(3)});
        else if (!out.isEmpty())
            out.last().argument += u'\n' + line;
    }
    return out;
}

class NoInternet : public InternetProbe
{
public:
    void checkINTERNET(qint16& connected) override { connected = 1; }
};

} // namespace

class TestSqlForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyStatementIsAListedForm();
    void everyFormIsInTheReadme();
};

void TestSqlForms::everyStatementIsAListedForm()
{
    test::PrivateServer server({u"--general-log=1"_s, u"--general-log-file={dir}/general.log"_s});
    QVERIFY2(server.ok(), qPrintable(server.error()));
    const QString app = u"zelmar_app"_s;
    const QString appPassword = u"app-pw"_s;
    {
        test::TestDatabase customer({u"customer.sql"_s}, server.info());
        QVERIFY2(customer.ok(), qPrintable(customer.error()));
        test::TestDatabase central({u"central.sql"_s}, server.info());
        QVERIFY2(central.ok(), qPrintable(central.error()));
        QVERIFY(customer.exec(u"CREATE USER '%1'@'127.0.0.1' IDENTIFIED BY '%2'"_s.arg(app, appPassword)));
        QVERIFY(customer.exec(u"GRANT ALL ON `%1`.* TO '%2'@'127.0.0.1'"_s.arg(customer.name(), app)));
        QVERIFY(customer.exec(u"GRANT ALL ON `%1`.* TO '%2'@'127.0.0.1'"_s.arg(central.name(), app)));
        // A customer's keyless MyISAM copy of both tables, with a column the program does not know
        // (NULL in every row), so that saves and deletes find rows by every value.
        for (const QString& t : {u"snPN"_s, u"portCONFIG"_s}) {
            QVERIFY(customer.exec(u"CREATE TABLE `%1_nokey` LIKE `%1`"_s.arg(t)));
            QVERIFY(customer.exec(u"ALTER TABLE `%1_nokey` DROP COLUMN id, "
                                  u"ADD note VARCHAR(10) NULL, ENGINE=MyISAM"_s.arg(t)));
        }
        QVERIFY(central.exec(u"INSERT INTO Customers (Operator_Code, custDB) VALUES ('OP1', 'x')"_s));

        db::Profile profile = customer.profile();
        profile.user = app;
        profile.password = appPassword;
        test::ScriptedDialogs dialogs;
        for (const QString& suffix : {QString(), u"_nokey"_s}) {
            test::Caller pn(profile, u"snPN"_s + suffix, &dialogs);
            test::Caller ports(profile, u"portCONFIG"_s + suffix, &dialogs);
            qint16 iERROR = 0, count = 0, numPN = 0, map = 0, newMAP = 0;
            QString name = u"n"_s, format = u"F"_s, good = u"G"_s, bad = u"B"_s;
            qint16 a = 1, b = 0, c = 1, e = 5, f = 0, g = 0;
            qint32 ext = 0;
            float t = 0.05f;
            for (const QString& p : {u"AB-1"_s, u"ab-1"_s, u"CD-2"_s})
                pn(&D::SQL_writenewPN, p, p, name, a, c, b, ext, format, e, f, t, g, good, bad, qint16(3),
                   iERROR);
            db::PnList list;
            pn(&D::SQL_readPNlist, list, numPN);
            QCOMPARE(numPN, qint16(3));
            for (const QString& p : {u"AB-1"_s, u"ZZ-9"_s})
                pn(&D::SQL_readPNinfo, p, name, a, map, c, b, ext, format, e, f, t, g, good, bad, iERROR);
            pn(&D::SQL_checkPN, u"AB-1"_s, count, u"x"_s);
            QString renamed = u"AB-2"_s;
            pn(&D::SQL_writeinfo, u"AB-1"_s, renamed, name, qint16(1), c, b, ext, format, e, f, t, g, good,
               bad, map, iERROR);
            QCOMPARE(iERROR, qint16(0));
            pn(&D::SQL_writePNdef, iERROR);
            pn(&D::SQL_updatePN, u"AB-2"_s, u"AB-3"_s, qint16(1), iERROR);
            QCOMPARE(iERROR, qint16(0));
            pn(&D::SQL_updatePN, u"ZZ-9"_s, u"ZZ-9"_s, qint16(1), iERROR);
            for (const QString& p : {u"CD-2"_s, u"ZZ-9"_s})
                pn(&D::SQL_delPN, p, map, iERROR);

            db::PortArray<qint16> mapNUM{}, UOM{}, unitSCALE{}, acTIVE{}, numAVG{}, mspeed{}, Range{}, ssON{},
                ssREQD{};
            db::PortArray<float> minSPEC{}, maxSPEC{}, timeDELAY{}, ssTOL{}, ssMAXT{};
            db::PortArray<QString> portNAME{};
            for (int i = 0; i < db::portSlots; ++i) {
                mapNUM[size_t(i)] = qint16(i + 1);
                minSPEC[size_t(i)] = 16777216.0f;
            }
            qint16 numPORTS = 8;
            ports(&D::SQL_readnewMAP, newMAP, iERROR);
            ports(&D::SQL_writenewPORTS, newMAP, numPORTS, mapNUM, portNAME, UOM, unitSCALE, acTIVE, minSPEC,
                  maxSPEC, timeDELAY, numAVG, mspeed, Range, ssON, ssTOL, ssMAXT, ssREQD, iERROR);
            QCOMPARE(iERROR, qint16(0));
            ports(&D::SQL_readnewMAP, newMAP, iERROR);
            ports(&D::SQL_readPORTinfo, qint16(1), numPORTS, mapNUM, portNAME, UOM, unitSCALE, acTIVE,
                  minSPEC, maxSPEC, timeDELAY, numAVG, mspeed, Range, ssON, ssTOL, ssMAXT, ssREQD);
            ports(&D::SQL_writePORTinfo, qint16(1), numPORTS, mapNUM, portNAME, UOM, unitSCALE, acTIVE,
                  minSPEC, maxSPEC, timeDELAY, numAVG, mspeed, Range, ssON, ssTOL, ssMAXT, ssREQD, iERROR);
            QCOMPARE(iERROR, qint16(0));
            ports(&D::SQL_delPORTS, qint16(1), iERROR);
            QCOMPARE(iERROR, qint16(0));
            // An append refused part-way (port 3's name is longer than its column): rolled back.
            // A refusing trigger would put its own statement into the log under the program's
            // connection.
            portNAME[2] = u"a name far longer than fifteen"_s;
            ports(&D::SQL_writenewPORTS, qint16(9), numPORTS, mapNUM, portNAME, UOM, unitSCALE, acTIVE,
                  minSPEC, maxSPEC, timeDELAY, numAVG, mspeed, Range, ssON, ssTOL, ssMAXT, ssREQD, iERROR);
            QCOMPARE(iERROR, qint16(1));
        }

        // Sign-in: the account lookup and the sign-in record.
        NoInternet internet;
        test::RecordingProgramEnd end;
        db::Database database;
        signin::CentralAccounts accounts(database, dialogs, end, internet);
        db::AccountValues account;
        qint16 result = -1;
        accounts.SQL_readCUSTinfo(u"OP1"_s, account, profile.server, central.name(), u"Customers"_s, app,
                                  appPassword, result);
        QCOMPARE(result, qint16(0));
        accounts.SQL_writeLOGIN(profile.server, central.name(), u"CustLogin"_s, app, appPassword, 1, u"OP1"_s,
                                u"o"_s, u"c"_s, u"m"_s, u"1.2.0"_s, result);
        QCOMPARE(result, qint16(0));

        // The log is written as statements arrive; a marker from the admin shows it has caught up.
        QVERIFY(customer.exec(u"SELECT 'zelmar-log-marker'"_s));
    }

    QList<Entry> log;
    QElapsedTimer waited;
    waited.start();
    do {
        log = readLog(server.path(u"general.log"_s));
        if (std::any_of(log.cbegin(), log.cend(),
                        [](const Entry& e) { return e.argument.contains(u"zelmar-log-marker"_s); }))
            break;
        QThread::msleep(50);
    } while (waited.elapsed() < 5000);

    QList<QRegularExpression> patterns;
    for (const Form& form : forms())
        patterns.append(QRegularExpression(u"\\A(?:"_s + form.pattern + u")\\z"_s));
    QSet<QString> appThreads;
    int checked = 0;
    QStringList outside;
    for (const Entry& e : std::as_const(log)) {
        if (e.command == u"Connect"_s && e.argument.startsWith(app + u'@'))
            appThreads.insert(e.thread);
        if (!appThreads.contains(e.thread) || (e.command != u"Query"_s && e.command != u"Prepare"_s))
            continue;
        ++checked;
        const QString sql = e.argument.trimmed();
        if (std::none_of(patterns.cbegin(), patterns.cend(),
                         [&](const QRegularExpression& p) { return p.match(sql).hasMatch(); }))
            outside.append(sql);
    }
    outside.removeDuplicates();
    qInfo("%d statements of the program checked on %lld connections", checked, qint64(appThreads.size()));
    // The workload above opens dozens of connections; finding none means the log was not read.
    QVERIFY2(appThreads.size() > 40, qPrintable(QString::number(appThreads.size())));
    QVERIFY2(outside.isEmpty(), qPrintable(u"Forms outside the list:\n"_s + outside.join(u'\n')));
}

void TestSqlForms::everyFormIsInTheReadme()
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

QTEST_GUILESS_MAIN(TestSqlForms)
#include "tst_sqlforms.moc"
