#pragma once

// What the sign-in tests share: a host with any facts, a scripted Internet probe, a
// private running-copy scope and rows of the central account tables.
#include "HostSystem.h"
#include "InternetProbe.h"
#include "TestServer.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTest>

namespace zelmar::test {

using namespace Qt::StringLiterals;

class FakeHost : public HostSystem
{
public:
    SystemFacts facts() const override { return value; }
    SystemFacts value;
};

inline SystemFacts windowsFacts(quint32 platform, quint32 major, quint32 minor)
{
    return {SystemFacts::Kind::Windows, {platform, major, minor}, {}};
}

class FakeInternet : public InternetProbe
{
public:
    void checkINTERNET(qint16& connected) override
    {
        ++calls;
        connected = answer;
    }
    qint16 answer = 1;
    int calls = 0;
};

// A running-copy scope of its own, so that a real copy or a parallel test is never found.
inline QString privateScope()
{
    return u"test-%1-%2"_s.arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate());
}

// One row of the central Customers table; the table's defaults stand for the other columns.
struct AccountRow
{
    QString code;
    QString initials;
    QString company = u"Acme"_s;
    int tARV = 1;
    int numPORTS = 8;
    QString ipPORT = u"10.0.0.5:3306"_s;
    QString custDB = u"custdb"_s;
    QString custUSER = u"custuser"_s;
    QString custUSER_PW = u"custpw"_s;
    double ver_min2 = 1.0;
};

inline void addAccount(TestDatabase& central, const AccountRow& a, const QString& table = u"Customers"_s)
{
    // An empty text goes to the server as '', never as NULL.
    const auto text = [](const QString& value) {
        return value.isNull() ? u""_s : value;
    };
    QVERIFY(central.exec(
        u"INSERT INTO "_s + table +
            u" (Operator_Code, Operator_Initials, Company, tARV, numPORTS, ipPORT, custDB, custUSER, "
            u"custUSER_PW, ver_min2) VALUES (?,?,?,?,?,?,?,?,?,?)"_s,
        {text(a.code), text(a.initials), a.company, a.tARV, a.numPORTS, a.ipPORT, a.custDB, a.custUSER,
         a.custUSER_PW, a.ver_min2}));
}

// The seven columns of every sign-in record, oldest first.
inline QList<QVariantList> loginRecords(TestDatabase& central)
{
    return central.rows(u"SELECT Login, User_Code, Company_Name, proGRAM, Operator_Name, MAC_ID, progVER "
                        u"FROM CustLogin ORDER BY id"_s);
}

} // namespace zelmar::test
