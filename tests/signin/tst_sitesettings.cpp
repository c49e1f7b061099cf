// The site's central-server setting: the value rules, and reading the file
// where QSettings finds it.
#include "Profile.h"
#include "SiteSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;
using signin::checkServerValue;

class TestSiteSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void serverValues_data();
    void serverValues();
    void readingTheFile_data();
    void readingTheFile();
    void caFile_data();
    void caFile();
};

void TestSiteSettings::serverValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("host"); // empty: refused
    QTest::addColumn<int>("port");
    const auto ok = [](const char* name, const QString& value, const QString& host, int port) {
        QTest::newRow(name) << QVariant(value) << host << port;
    };
    const auto bad = [](const char* name, const QVariant& value) {
        QTest::newRow(name) << value << QString() << 0;
    };
    ok("ipv4", u"10.0.0.5"_s, u"10.0.0.5"_s, 3306);
    ok("ipv4 and port", u"10.0.0.5:3307"_s, u"10.0.0.5"_s, 3307);
    ok("name", u"central-db.example.com"_s, u"central-db.example.com"_s, 3306);
    ok("name and port", u"central_db:33060"_s, u"central_db"_s, 33060);
    ok("blanks around", u"  10.0.0.5:3306 "_s, u"10.0.0.5"_s, 3306);
    ok("highest port", u"db:65535"_s, u"db"_s, 65535);
    ok("ipv6 in brackets", u"[fd00::5]"_s, u"fd00::5"_s, 3306);
    ok("ipv6 in brackets and port", u"[fd00::5]:3310"_s, u"fd00::5"_s, 3310);
    ok("bare ipv6", u"fd00::5"_s, u"fd00::5"_s, 3306);
    bad("empty", u""_s);
    bad("port 0", u"db:0"_s);
    bad("port 65536", u"db:65536"_s);
    bad("port beyond any integer", u"db:99999999999999999999"_s);
    bad("port not a number", u"db:mysql"_s);
    bad("port missing", u"db:"_s);
    bad("two ports", u"10.0.0.5:3306:3307"_s);
    bad("url", u"mysql://10.0.0.5"_s);
    bad("blank inside", u"central db"_s);
    bad("ipv4 part too large", u"10.0.0.500"_s);
    bad("ipv4 with three parts", u"10.0.5"_s);
    bad("ipv4 in brackets", u"[10.0.0.5]"_s);
    bad("bracket not closed", u"[fd00::5"_s);
    bad("text after bracket", u"[fd00::5]3306"_s);
    bad("not an ipv6", u"[fd00::5::6]"_s);
    bad("a list (comma in the file)", QVariant(QStringList{u"10.0.0.5"_s, u"10.0.0.6"_s}));
}

void TestSiteSettings::serverValues()
{
    QFETCH(QVariant, value);
    QFETCH(QString, host);
    QFETCH(int, port);
    const signin::ServerValue checked = checkServerValue(value);
    QCOMPARE(checked.ok, !host.isEmpty());
    QCOMPARE(checked.problem.isEmpty(), checked.ok);
    if (!checked.ok)
        return;
    // What passes reaches the connection as the same host and port.
    const db::ServerAddress address = db::parseServer(checked.server);
    QVERIFY(address.valid);
    QCOMPARE(address.host, host);
    QCOMPARE(address.port, port);
    QCOMPARE(checked.server, value.toString().trimmed());
}

void TestSiteSettings::readingTheFile_data()
{
    // The contents of Quarrix/Zelmar.conf in the first and the second folder
    // of XDG_CONFIG_DIRS; a null text: no file.
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("server");    // the server of the run; empty: none may be used
    QTest::addColumn<int>("fileNamed");     // 0 none, 1 or 2: the folder whose file is named
    QTest::addColumn<QString>("inMessage"); // the value the message quotes
    QTest::newRow("no file: built in") << QString() << QString() << u"built-in:3306"_s << 0 << QString();
    QTest::newRow("file without the value: built in")
        << u"[other]\nkey=1\n"_s << QString() << u"built-in:3306"_s << 0 << QString();
    QTest::newRow("value in the second folder")
        << QString() << u"[central]\nserver = 10.9.8.7:3307\n"_s << u"10.9.8.7:3307"_s << 2 << QString();
    QTest::newRow("the first folder wins")
        << u"[central]\nserver=10.0.0.1\n"_s << u"[central]\nserver=10.0.0.2\n"_s << u"10.0.0.1"_s << 1
        << QString();
    QTest::newRow("port out of range: no server")
        << QString() << u"[central]\nserver=10.0.0.5:70000\n"_s << QString() << 2 << u"10.0.0.5:70000"_s;
    QTest::newRow("malformed file: no server")
        << u"[central\nserver=10.0.0.5\n"_s << QString() << QString() << 1 << QString();
}

void TestSiteSettings::readingTheFile()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, server);
    QFETCH(int, fileNamed);
    QFETCH(QString, inMessage);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList folders{dir.filePath(u"one"_s), dir.filePath(u"two"_s)};
    const QStringList contents{first, second};
    QStringList files;
    for (int i = 0; i < 2; ++i) {
        files << folders[i] + u"/Quarrix/Zelmar.conf"_s;
        if (contents[i].isNull())
            continue;
        QVERIFY(QDir().mkpath(folders[i] + u"/Quarrix"_s));
        QFile file(files[i]);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents[i].toUtf8());
    }
    qputenv("XDG_CONFIG_DIRS", folders.join(u':').toLocal8Bit());

    signin::CentralServer builtIn;
    builtIn.server = u"built-in:3306"_s;
    builtIn.database = u"tARV"_s;
    const signin::SiteCentralServer site = signin::siteCentralServer(builtIn);
    qunsetenv("XDG_CONFIG_DIRS");

    QCOMPARE(site.problem.isEmpty(), !server.isEmpty());
    QCOMPARE(site.file, fileNamed == 0 ? QString() : files[fileNamed - 1]);
    QCOMPARE(site.central.database, u"tARV"_s);
    if (site.problem.isEmpty()) {
        QCOMPARE(site.central.server, server);
        QCOMPARE(site.fromSite, fileNamed != 0);
        return;
    }
    // The message names the file and quotes the value.
    const QString text = signin::siteSettingText(site);
    QVERIFY2(text.contains(site.file), qPrintable(text));
    QVERIFY2(text.contains(inMessage), qPrintable(text));
    QVERIFY(!site.fromSite);
}

void TestSiteSettings::caFile_data()
{
    QTest::addColumn<QString>("value"); // "<dir>" stands for the test's folder; null: no value
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("usable");
    QTest::newRow("none: no check") << QString() << false << true;
    QTest::newRow("a readable file") << u"<dir>/ca.pem"_s << true << true;
    QTest::newRow("a relative path") << u"ca.pem"_s << true << false;
    QTest::newRow("a file that is not there") << u"<dir>/none.pem"_s << true << false;
    QTest::newRow("a folder") << u"<dir>"_s << true << false;
}

void TestSiteSettings::caFile()
{
    QFETCH(QString, value);
    QFETCH(bool, named);
    QFETCH(bool, usable);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile ca(dir.filePath(u"ca.pem"_s));
    QVERIFY(ca.open(QIODevice::WriteOnly));
    ca.close();
    QVERIFY(QDir().mkpath(dir.filePath(u"etc/Quarrix"_s)));
    const QString conf = dir.filePath(u"etc/Quarrix/Zelmar.conf"_s);
    QFile file(conf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (!value.isNull())
        file.write((u"[tls]\nca_file="_s + QString(value).replace(u"<dir>"_s, dir.path()) + u'\n').toUtf8());
    file.close();
    qputenv("XDG_CONFIG_DIRS", dir.filePath(u"etc"_s).toLocal8Bit());
    const signin::SiteCaFile site = signin::siteCaFile();
    qunsetenv("XDG_CONFIG_DIRS");
    QCOMPARE(site.problem.isEmpty(), usable);
    QCOMPARE(site.path.isEmpty(), !named);
    QCOMPARE(site.file, named ? conf : QString());
    if (!usable)
        QVERIFY(signin::siteCaText(site).contains(conf));
}

QTEST_GUILESS_MAIN(TestSiteSettings)
#include "tst_sitesettings.moc"
