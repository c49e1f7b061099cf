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

SystemFacts windowsFacts(quint32 platform, quint32 major, quint32 minor)
{
    SystemFacts f;
    f.kind = SystemFacts::Kind::Windows;
    f.windows = {platform, major, minor};
    return f;
}
} // namespace

class TestHostFacts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowsTable_data();
    void windowsTable();
    void failedCallIsUnidentified();
    void platformOutsideTableLeavesBoth();
    void getWindowsFromAnyHost_data();
    void getWindowsFromAnyHost();
    void thisHostNamesItself();

    void trimNull_data();
    void trimNull();
    void macString_data();
    void macString();
    void listingTwoAdaptersEthernetFirst();
    void listingEthernetSecondKeepsIndex();
    void listingNoAdaptersIsEmpty();
    void listingNoEthernetHasHeaderOnly();
    void listingDescriptionCutAtNul();
    void hostListingMatchesHostRecords();
};

void TestHostFacts::windowsTable_data()
{
    QTest::addColumn<uint>("platform");
    QTest::addColumn<uint>("major");
    QTest::addColumn<uint>("minor");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("support");
    QTest::newRow("platform 0") << 0u << 3u << 10u << u"Win32s on Windows 3.1"_s << 0;
    QTest::newRow("platform 1 minor 0") << 1u << 4u << 0u << u"Windows 95"_s << 0;
    QTest::newRow("platform 1 minor 90") << 1u << 4u << 90u << u"Windows Me"_s << 0;
    QTest::newRow("platform 1 minor 10") << 1u << 4u << 10u << u"Windows 98"_s << 0;
    QTest::newRow("platform 2 major 3") << 2u << 3u << 51u << u"Windows NT 3.5"_s << 0;
    QTest::newRow("platform 2 major 4") << 2u << 4u << 0u << u"Windows NT 4.0"_s << 0;
    QTest::newRow("platform 2 5.0") << 2u << 5u << 0u << u"Windows 2000"_s << 0;
    QTest::newRow("platform 2 5.1") << 2u << 5u << 1u << u"Windows XP"_s << 1;
    QTest::newRow("platform 2 5.2") << 2u << 5u << 2u << u"Windows Server 2003"_s << 0;
    QTest::newRow("platform 2 6.0") << 2u << 6u << 0u << u"Windows Vista/Server 2008"_s << 0;
    QTest::newRow("platform 2 6.1") << 2u << 6u << 1u << u"Windows 7/Server 2008 R2"_s << 2;
    QTest::newRow("platform 2 6.2") << 2u << 6u << 2u << u"Windows 8/Server 20XX"_s << 2;
    QTest::newRow("platform 2 6.3") << 2u << 6u << 3u << u"Windows NT"_s << 0;
    QTest::newRow("platform 2 5.3") << 2u << 5u << 3u << u"Windows NT"_s << 0;
    QTest::newRow("platform 2 10.0") << 2u << 10u << 0u << u"Windows NT"_s << 0;
    QTest::newRow("platform 2 major 2") << 2u << 2u << 0u << u"Windows NT"_s << 0;
}

void TestHostFacts::windowsTable()
{
    QFETCH(uint, platform);
    QFETCH(uint, major);
    QFETCH(uint, minor);
    QFETCH(QString, name);
    QFETCH(int, support);
    // Start from values the table must overwrite.
    QString gotName = u"before"_s;
    qint16 gotSupport = 7;
    windowsVersionName(WindowsVersionRecord{platform, major, minor}, gotName, gotSupport);
    QCOMPARE(gotName, name);
    QCOMPARE(int(gotSupport), support);
}

void TestHostFacts::failedCallIsUnidentified()
{
    QString name = u"before"_s;
    qint16 support = 2;
    windowsVersionName(std::nullopt, name, support);
    QCOMPARE(name, u"Unable to Identify Windows Op Version"_s);
    QCOMPARE(support, qint16(0));

    FakeHost failing({SystemFacts::Kind::WindowsCallFailed, {}, {}});
    name.clear();
    support = 2;
    GetWindows(failing, name, support);
    QCOMPARE(name, u"Unable to Identify Windows Op Version"_s);
    QCOMPARE(support, qint16(0));
}

void TestHostFacts::platformOutsideTableLeavesBoth()
{
    QString name;
    qint16 support = 0;
    windowsVersionName(WindowsVersionRecord{3, 6, 1}, name, support);
    QVERIFY(name.isEmpty());
    QCOMPARE(support, qint16(0));

    name = u"kept"_s;
    support = 5;
    GetWindows(FakeHost(windowsFacts(7, 5, 1)), name, support);
    QCOMPARE(name, u"kept"_s);
    QCOMPARE(support, qint16(5));
}

void TestHostFacts::getWindowsFromAnyHost_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<uint>("platform");
    QTest::addColumn<uint>("major");
    QTest::addColumn<uint>("minor");
    QTest::addColumn<QString>("pretty");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("support");
    const int windows = int(SystemFacts::Kind::Windows);
    const int other = int(SystemFacts::Kind::OtherSystem);
    QTest::newRow("xp") << windows << 2u << 5u << 1u << QString() << u"Windows XP"_s << 1;
    QTest::newRow("windows 7") << windows << 2u << 6u << 1u << QString() << u"Windows 7/Server 2008 R2"_s
                               << 2;
    QTest::newRow("windows 2000") << windows << 2u << 5u << 0u << QString() << u"Windows 2000"_s << 0;
    QTest::newRow("debian") << other << 0u << 0u << 0u << u"Debian GNU/Linux 12 (bookworm)"_s
                            << u"Debian GNU/Linux 12 (bookworm)"_s << 2;
    QTest::newRow("macos") << other << 0u << 0u << 0u << u"macOS Sonoma (14.4)"_s << u"macOS Sonoma (14.4)"_s
                           << 2;
}

void TestHostFacts::getWindowsFromAnyHost()
{
    QFETCH(int, kind);
    QFETCH(uint, platform);
    QFETCH(uint, major);
    QFETCH(uint, minor);
    QFETCH(QString, pretty);
    QFETCH(QString, name);
    QFETCH(int, support);
    SystemFacts facts;
    facts.kind = SystemFacts::Kind(kind);
    facts.windows = {platform, major, minor};
    facts.prettyName = pretty;
    QString gotName;
    qint16 gotSupport = 0;
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
    QCOMPARE(name, QSysInfo::prettyProductName());
    QVERIFY(!name.isEmpty());
    QCOMPARE(support, qint16(2));
#endif
}

void TestHostFacts::trimNull_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no nul") << u"Realtek PCIe"_s << u"Realtek PCIe"_s;
    QTest::newRow("nul then rubbish") << (u"eth0"_s + QChar(0) + u"xyz"_s) << u"eth0"_s;
    QTest::newRow("nul first") << (QString(QChar(0)) + u"abc"_s) << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestHostFacts::trimNull()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TrimNULL(text), expected);
}

void TestHostFacts::macString_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QString>("expected");
    QTest::newRow("six bytes") << QByteArray::fromHex("001A2B3C4D5E") << u"00-1A-2B-3C-4D-5E"_s;
    QTest::newRow("byte 0x0A") << QByteArray::fromHex("0A0A0A0A0A0A") << u"0A-0A-0A-0A-0A-0A"_s;
    QTest::newRow("lower digits go upper") << QByteArray::fromHex("abcdef010203") << u"AB-CD-EF-01-02-03"_s;
    QTest::newRow("eight bytes show six")
        << QByteArray::fromHex("FFEEDDCCBBAA9988") << u"FF-EE-DD-CC-BB-AA"_s;
    QTest::newRow("short padded with 00") << QByteArray::fromHex("0A0B") << u"0A-0B-00-00-00-00"_s;
    QTest::newRow("empty") << QByteArray() << u"00-00-00-00-00-00"_s;
}

void TestHostFacts::macString()
{
    QFETCH(QByteArray, address);
    QFETCH(QString, expected);
    QCOMPARE(MACstring(address), expected);
}

void TestHostFacts::listingTwoAdaptersEthernetFirst()
{
    const QList<AdapterRecord> records{
        {u"Intel(R) Ethernet Connection"_s, QByteArray::fromHex("001A2B0A4D5E"), true},
        {u"Wireless Adapter"_s, QByteArray::fromHex("112233445566"), false},
    };
    QCOMPARE(adapterListing(records),
             u"2 Adapter(s):\r\n\r\n[0] Intel(R) Ethernet Connection\r\n\t00-1A-2B-0A-4D-5E\r\n"_s);
}

void TestHostFacts::listingEthernetSecondKeepsIndex()
{
    const QList<AdapterRecord> records{
        {u"wlan0"_s, QByteArray::fromHex("112233445566"), false},
        {u"eth0"_s, QByteArray::fromHex("0A"), true},
        {u"eth1"_s, QByteArray::fromHex("A0B0C0D0E0F0"), true},
    };
    QCOMPARE(adapterListing(records), u"3 Adapter(s):\r\n"
                                      u"\r\n[1] eth0\r\n\t0A-00-00-00-00-00\r\n"
                                      u"\r\n[2] eth1\r\n\tA0-B0-C0-D0-E0-F0\r\n"_s);
}

void TestHostFacts::listingNoAdaptersIsEmpty()
{
    QCOMPARE(adapterListing({}), QString());
    QVERIFY(adapterListing({}).isNull() || adapterListing({}).isEmpty());
}

void TestHostFacts::listingNoEthernetHasHeaderOnly()
{
    const QList<AdapterRecord> records{{u"tun0"_s, QByteArray(), false}};
    QCOMPARE(adapterListing(records), u"1 Adapter(s):\r\n"_s);
}

void TestHostFacts::listingDescriptionCutAtNul()
{
    const QList<AdapterRecord> records{
        {u"eth0"_s + QChar(0) + u"garbage"_s, QByteArray::fromHex("010203040506"), true}};
    QCOMPARE(adapterListing(records), u"1 Adapter(s):\r\n\r\n[0] eth0\r\n\t01-02-03-04-05-06\r\n"_s);
}

void TestHostFacts::hostListingMatchesHostRecords()
{
    // Whatever this machine has: every non-loopback interface is a record.
    const QList<AdapterRecord> records = hostAdapters();
    const QString listing = GetMACadr();
    QCOMPARE(listing, adapterListing(records));
    if (records.isEmpty()) {
        QVERIFY(listing.isEmpty());
        return;
    }
    QVERIFY(listing.startsWith(QString::number(records.size()) + u" Adapter(s):\r\n"_s));
    for (const AdapterRecord& record : records)
        QVERIFY2(record.description != u"lo"_s, "loopback is not a record");
}

QTEST_GUILESS_MAIN(TestHostFacts)
#include "tst_hostfacts.moc"
