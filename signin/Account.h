#pragma once

#include "Database.h"
#include "Interaction.h"
#include "InternetProbe.h"
#include "SigninValues.h"

#include <QString>

namespace zelmar::signin {

// The lookup's query: every column of the account table, rows whose
// Operator_Code equals the code, the code bound as a value.
db::Query operatorCodeQuery(const QString& table, const QString& userCode);

// The four messages of a failed lookup.
struct LookupError
{
    QString text;
    QString title;
};
LookupError lookupError(int code); // 0 to 3
// The exit status of the program's end after that message (Error Code 00 to 03).
ExitStatus lookupErrorStatus(int code);

// The account lookup and the sign-in record on the central
// database. What the two procedures need besides their own arguments is
// given once here: the data layer (its driver clause and bounds), the message
// boxes, the program end and the Internet probe.
class CentralAccounts
{
public:
    CentralAccounts(const db::Database& database, Dialogs& dialogs, ProgramEnd& programEnd,
                    InternetProbe& internet);

    // Looks the code up. Found: every out value is read, in the account row's order,
    // and result = 0. No row: result = 1 and the out values keep what they held.
    // A failure to connect, query or read shows its message (Error Code
    // 00 to 03) and ends the program through ProgramEnd; the caller sees
    // ProgramEnd::hasEnded() and returns. The result flag is then left as it was.
    void SQL_readCUSTinfo(const QString& UserCode, QString& Operator_Initials, QString& Company, qint16& tARV,
                          qint16& numPORTS, const QString& server, const QString& database,
                          const QString& table, const QString& user, const QString& password, QString& ipPORT,
                          qint16& runMODE, QString& custDB, QString& custUSER, QString& custUSER_PW,
                          QString& configTABLE, QString& snTABLE, QString& outputTABLE, QString& overallTABLE,
                          QString& imageTABLE, float& ver_min2, qint16& result);

    // The same lookup with the account values in one struct.
    void SQL_readCUSTinfo(const QString& UserCode, AccountValues& account, const QString& server,
                          const QString& database, const QString& table, const QString& user,
                          const QString& password, qint16& result);

    // Appends one sign-in record; result = 0 when stored, 1 on any failure,
    // without a message and without a retry.
    void SQL_writeLOGIN(const QString& server, const QString& database, const QString& table,
                        const QString& user, const QString& password, qint16 Login, const QString& UserCode,
                        const QString& operatorName, const QString& companyName, const QString& macList,
                        const QString& progVer, qint16& result);

private:
    void fail(int code);

    const db::Database& m_database;
    Dialogs& m_dialogs;
    ProgramEnd& m_programEnd;
    InternetProbe& m_internet;
};

} // namespace zelmar::signin
