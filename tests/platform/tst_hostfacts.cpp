#include "Adapters.h"
#include "HostSystem.h"

#include <QSysInfo>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zelmar;

namespace {
class FakeHost : public HostSystem
{
public:
    explicit FakeHost(SystemFacts facts)
        : m_facts(std::move(facts))
    {}
    SystemFacts facts() const override { return m_facts; }

private:
    SystemFacts m_facts;
};
} // namespace

class TestHostFacts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void getWindows_data();
    void getWindows();
    void thisHostNamesItself();
    void macString_data();
    void macString();
    void listing_data();
    void listing();
    void hostListingLeavesLoopbackOut();
};

void TestHostFacts::getWindows_data()
{
    QTest::addColumn<SystemFacts>("facts");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("support");
    const auto win = [](quint32 platform, quint32 major, quint32 minor) {
        return SystemFacts{SystemFacts::Kind::Windows, {platform, major, minor}, {}};
    };
    QTest::newRow("platform 0") << win(0, 3, 10) << u"Win32s on Windows 3.1"_s << 0;
    QTest::newRow("platform 1 minor 0") << win(1, 4, 0) << u"Windows 95"_s << 0;
    QTest::newRow("platform 1 minor 90") << win(1, 4, 90) << u"Windows Me"_s << 0;
    QTest::newRow("platform 1 other minor") << win(1, 4, 10) << u"Windows 98"_s << 0;
    QTest::newRow("platform 2 major 3") << win(2, 3, 51) << u"Windows NT 3.5"_s << 0;
    QTest::newRow("platform 2 major 4") << win(2, 4, 0) << u"Windows NT 4.0"_s << 0;
    QTest::newRow("platform 2 5.0") << win(2, 5, 0) << u"Windows 2000"_s << 0;
    QTest::newRow("platform 2 5.1 is class 1") << win(2, 5, 1) << u"Windows XP"_s << 1;
    QTest::newRow("platform 2 5.2") << win(2, 5, 2) << u"Windows Server 2003"_s << 0;
    QTest::newRow("platform 2 6.0") << win(2, 6, 0) << u"Windows Vista/Server 2008"_s << 0;
    QTest::newRow("platform 2 6.1 is class 2") << win(2, 6, 1) << u"Windows 7/Server 2008 R2"_s << 2;
    QTest::newRow("platform 2 6.2 is class 2") << win(2, 6, 2) << u"Windows 8/Server 20XX"_s << 2;
    QTest::newRow("platform 2 6.3 falls to NT") << win(2, 6, 3) << u"Windows NT"_s << 0;
    QTest::newRow("platform 2 5.3 falls to NT") << win(2, 5, 3) << u"Windows NT"_s << 0;
    QTest::newRow("platform 2 10.0 falls to NT") << win(2, 10, 0) << u"Windows NT"_s << 0;
    QTest::newRow("call fails") << SystemFacts{SystemFacts::Kind::WindowsCallFailed, {}, {}}
                                << u"Unable to Identify Windows Op Version"_s << 0;
    QTest::newRow("unknown platform keeps both values") << win(7, 5, 1) << u"before"_s << 7;
    QTest::newRow("other system names itself, class 2")
        << SystemFacts{SystemFacts::Kind::OtherSystem, {}, u"Debian GNU/Linux 12 (bookworm)"_s}
        << u"Debian GNU/Linux 12 (bookworm)"_s << 2;
}

void TestHostFacts::getWindows()
{
    QFETCH(SystemFacts, facts);
    QFETCH(QString, name);
    QFETCH(int, support);
    // Start from values the table must overwrite.
    QString gotName = u"before"_s;
    qint16 gotSupport = 7;
    GetWindows(FakeHost(facts), gotName, gotSupport);
    QCOMPARE(gotName, name);
    QCOMPARE(int(gotSupport), support);
}

void TestHostFacts::thisHostNamesItself()
{
#ifdef Q_OS_WIN
    QSKIP("The Windows version service answers here");
#else
    QString name;
    qint16 support = 0;
    GetWindows(QtHostSystem(), name, support);
    QVERIFY(!name.isEmpty());
    QCOMPARE(name, QSysInfo::prettyProductName());
    QCOMPARE(support, qint16(2));
#endif
}

void TestHostFacts::macString_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QString>("expected");
    QTest::newRow("byte 0x0A as 0A") << QByteArray::fromHex("0A0B0C0D0E0F") << u"0A-0B-0C-0D-0E-0F"_s;
    QTest::newRow("upper-case digits") << QByteArray::fromHex("abcdef010203") << u"AB-CD-EF-01-02-03"_s;
    QTest::newRow("eight bytes show six")
        << QByteArray::fromHex("FFEEDDCCBBAA9988") << u"FF-EE-DD-CC-BB-AA"_s;
    QTest::newRow("short padded with 00") << QByteArray::fromHex("0A0B") << u"0A-0B-00-00-00-00"_s;
}

void TestHostFacts::macString()
{
    QFETCH(QByteArray, address);
    QFETCH(QString, expected);
    QCOMPARE(MACstring(address), expected);
}

void TestHostFacts::listing_data()
{
    QTest::addColumn<QList<AdapterRecord>>("records");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two adapters, Ethernet at index 0")
        << QList<AdapterRecord>{{u"Intel(R) Ethernet"_s, QByteArray::fromHex("001A2B0A4D5E"), true},
                                {u"Wireless"_s, QByteArray::fromHex("112233445566"), false}}
        << u"2 Adapter(s):\r\n\r\n[0] Intel(R) Ethernet\r\n\t00-1A-2B-0A-4D-5E\r\n"_s;
    QTest::newRow("others count in the index")
        << QList<AdapterRecord>{{u"wlan0"_s, QByteArray::fromHex("112233445566"), false},
                                {u"eth0"_s, QByteArray::fromHex("0A"), true},
                                {u"eth1"_s, QByteArray::fromHex("A0B0C0D0E0F0"), true}}
        << u"3 Adapter(s):\r\n\r\n[1] eth0\r\n\t0A-00-00-00-00-00\r\n\r\n[2] eth1\r\n\tA0-B0-C0-D0-E0-F0\r\n"_s;
    QTest::newRow("description cut at its NUL")
        << QList<AdapterRecord>{{u"eth0"_s + QChar(0) + u"garbage"_s, QByteArray::fromHex("010203040506"),
                                 true}}
        << u"1 Adapter(s):\r\n\r\n[0] eth0\r\n\t01-02-03-04-05-06\r\n"_s;
    QTest::newRow("no Ethernet: header only")
        << QList<AdapterRecord>{{u"tun0"_s, QByteArray(), false}} << u"1 Adapter(s):\r\n"_s;
    QTest::newRow("no adapters: empty") << QList<AdapterRecord>{} << QString();
}

void TestHostFacts::listing()
{
    QFETCH(QList<AdapterRecord>, records);
    QFETCH(QString, expected);
    QCOMPARE(adapterListing(records), expected);
}

void TestHostFacts::hostListingLeavesLoopbackOut()
{
    const QList<AdapterRecord> records = hostAdapters();
    QCOMPARE(GetMACadr(), adapterListing(records));
    for (const AdapterRecord& record : records)
        QVERIFY2(record.description != u"lo"_s, "loopback is not a record");
}

QTEST_GUILESS_MAIN(TestHostFacts)
#include "tst_hostfacts.moc"
