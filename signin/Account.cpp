#include "Account.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zelmar::signin {

db::Query operatorCodeQuery(const QString& table, const QString& userCode)
{
    return {table, u" WHERE Operator_Code=?"_s, {userCode}};
}

LookupError lookupError(int code)
{
    switch (code) {
    case 0:
        return {u"Error: Your computer is NOT connected to Internet. Please correct!"_s,
                u"Error Code 00: See Tarvik™ User's Guide"_s};
    case 1:
        return {u"Error: MySQL ODBC driver not installed or Network Port 3306 Blocked"_s,
                u"Error Code 01: See Tarvik™ User's Guide"_s};
    case 2:
        return {u"Error: Unable to Access User Verification Database. Ensure your computer is connected to "
                u"Internet."_s,
                u"Error Code 02: See Tarvik™ User's Guide"_s};
    default:
        return {
            u"Error: Issues with Reading User Verification Database. Ensure your computer is connected to "
            u"Internet."_s,
            u"Error Code 03: See Tarvik™ User's Guide"_s};
    }
}

ExitStatus lookupErrorStatus(int code)
{
    return ExitStatus(int(ExitStatus::ErrorCode00) + std::clamp(code, 0, 3));
}

CentralAccounts::CentralAccounts(const db::Database& database, Dialogs& dialogs, ProgramEnd& programEnd,
                                 InternetProbe& internet)
    : m_database(database)
    , m_dialogs(dialogs)
    , m_programEnd(programEnd)
    , m_internet(internet)
{}

void CentralAccounts::fail(int code)
{
    const LookupError error = lookupError(code);
    m_dialogs.message(error.text, error.title);
    m_programEnd.endWithError(lookupErrorStatus(code));
}

void CentralAccounts::SQL_readCUSTinfo(const QString& UserCode, QString& Operator_Initials, QString& Company,
                                       qint16& tARV, qint16& numPORTS, const QString& server,
                                       const QString& database, const QString& table, const QString& user,
                                       const QString& password, QString& ipPORT, qint16& runMODE,
                                       QString& custDB, QString& custUSER, QString& custUSER_PW,
                                       QString& configTABLE, QString& snTABLE, QString& outputTABLE,
                                       QString& overallTABLE, QString& imageTABLE, float& ver_min2,
                                       qint16& result)
{
    // Connection. Its failure is explained by the Internet probe.
    db::Connection connection(m_database.profile(server, database, user, password), m_database.timeouts());
    if (!connection.open()) {
        qint16 connected = 0;
        m_internet.checkINTERNET(connected);
        fail(connected == 1 ? 1 : 0);
        return;
    }

    // The query, with the code bound as a value.
    db::Recordset rs(connection);
    if (!rs.open(operatorCodeQuery(table, UserCode))) {
        fail(2);
        return;
    }

    // Count, first row, the columns in their order.
    if (rs.recordCount() <= 0) {
        result = 1;
        return;
    }
    const bool read = rs.moveFirst() && rs.readText(u"Operator_Initials"_s, Operator_Initials) &&
                      rs.readText(u"Company"_s, Company) && rs.readInt16(u"tARV"_s, tARV) &&
                      rs.readInt16(u"numPORTS"_s, numPORTS) && rs.readText(u"ipPORT"_s, ipPORT) &&
                      rs.readInt16(u"runMODE"_s, runMODE) && rs.readText(u"custDB"_s, custDB) &&
                      rs.readText(u"custUSER"_s, custUSER) && rs.readText(u"custUSER_PW"_s, custUSER_PW) &&
                      rs.readText(u"configTABLE"_s, configTABLE) && rs.readText(u"snTABLE"_s, snTABLE) &&
                      rs.readText(u"outputTABLE"_s, outputTABLE) &&
                      rs.readText(u"overallTABLE"_s, overallTABLE) &&
                      rs.readText(u"imageTABLE"_s, imageTABLE) && rs.readSingle(u"ver_min2"_s, ver_min2);
    if (!read) {
        fail(3);
        return;
    }
    result = 0;
    // The recordset and the connection close as they go out of scope.
}

void CentralAccounts::SQL_readCUSTinfo(const QString& UserCode, AccountValues& a, const QString& server,
                                       const QString& database, const QString& table, const QString& user,
                                       const QString& password, qint16& result)
{
    SQL_readCUSTinfo(UserCode, a.Operator_Initials, a.Company, a.tARV, a.numPORTS, server, database, table,
                     user, password, a.ipPORT, a.runMODE, a.custDB, a.custUSER, a.custUSER_PW, a.configTABLE,
                     a.snTABLE, a.outputTABLE, a.overallTABLE, a.imageTABLE, a.ver_min2, result);
}

void CentralAccounts::SQL_writeLOGIN(const QString& server, const QString& database, const QString& table,
                                     const QString& user, const QString& password, qint16 Login,
                                     const QString& UserCode, const QString& operatorName,
                                     const QString& companyName, const QString& macList,
                                     const QString& progVer, qint16& result)
{
    result = 1;
    db::Session session(m_database.profile(server, database, user, password), m_database.timeouts());
    if (!session.open(db::appendOnly(table)))
        return;
    db::Recordset& rs = session.rows();
    rs.addNew();
    const bool set = rs.setField(u"Login"_s, Login) && rs.setField(u"User_Code"_s, UserCode) &&
                     rs.setField(u"Company_Name"_s, companyName) && rs.setField(u"proGRAM"_s, u"Zelmar"_s) &&
                     rs.setField(u"Operator_Name"_s, operatorName) && rs.setField(u"MAC_ID"_s, macList) &&
                     rs.setField(u"progVER"_s, progVer);
    if (!set || !rs.update())
        return;
    result = 0;
}

} // namespace zelmar::signin
