#pragma once

#include "ActionBudget.h"
#include "Connection.h"
#include "History.h"
#include "Interaction.h"
#include "Profile.h"
#include "Recordset.h"
#include "Shapes.h"

#include <QString>

#include <functional>
#include <memory>

namespace zelmar::db {

class PartNumberNames;

// The program's database procedures. Each call opens its own connection,
// does its work on one fetched result, closes everything and reports through
// its by-reference arguments; nothing is thrown and nothing survives a call.
class Database
{
public:
    explicit Database(Dialogs* dialogs = nullptr, const Timeouts& timeouts = {});

    // The DRIVER clause that heads every connection string, set once at start.
    QString odbcDRIVER;
    // The site's CA file for every connection (see Profile::caFile); empty: none.
    QString caFile;
    // Who signs the change history of the run, and whether the database keeps one; set at sign-in.
    HistoryAuthor history;

    Profile profile(const QString& server, const QString& database, const QString& user,
                    const QString& password) const;
    // The part number that the save under way is for, and for a creation the one it is made
    // from (empty: none): the history rows of the save name them.
    void beginSave(const QString& pn, const QString& sourcePN = QString());

    // Appends one error record; silent on its own failure.
    void SQL_writeERROR(const QString& server, const QString& database, const QString& user,
                        const QString& password, const QString& table, const QString& routine,
                        const QString& summary);

    // Part-number records; `table` is the account's snTABLE.
    // Lists the part numbers in row order into slots 1..100; `numPN` counts every row.
    void SQL_readPNlist(const QString& server, const QString& database, const QString& user,
                        const QString& password, const QString& table, PnList& pnLIST, qint16& numPN);
    void SQL_readPNinfo(const QString& server, const QString& database, const QString& user,
                        const QString& password, const QString& table, const QString& pn, QString& snNAME,
                        qint16& pnDEFAULT, qint16& mapPORT, qint16& snACTIVE, qint16& snBARCODE,
                        qint32& snEXTENDER, QString& snFORMAT, qint16& snLENGTH, qint16& autoMEASURE,
                        float& autoTIME, qint16& reqRANDR, QString& snGOOD, QString& snBAD, qint16& iERROR);
    // `callerName` is passed by the callers and not used.
    void SQL_checkPN(const QString& server, const QString& database, const QString& user,
                     const QString& password, const QString& table, const QString& pn, qint16& count,
                     const QString& callerName);
    // `snEXTENDER` is passed by the callers and not used: the stored value stays.
    void SQL_writeinfo(const QString& server, const QString& database, const QString& user,
                       const QString& password, const QString& table, const QString& oldPN, QString& newPN,
                       const QString& snNAME, qint16 pnDEFAULT, qint16 snACTIVE, qint16 snBARCODE,
                       qint32 snEXTENDER, const QString& snFORMAT, qint16 snLENGTH, qint16 autoMEASURE,
                       float autoTIME, qint16 reqRANDR, const QString& snGOOD, const QString& snBAD,
                       qint16& mapPORT, qint16& iERROR);
    void SQL_writePNdef(const QString& server, const QString& database, const QString& user,
                        const QString& password, const QString& table, qint16& iERROR);
    void SQL_updatePN(const QString& server, const QString& database, const QString& user,
                      const QString& password, const QString& table, const QString& oldPN,
                      const QString& newPN, qint16 snVALID, qint16& iERROR);
    // `errorPN` goes into the error summary, `pn` into the record; `snEXTENDER` is not used (0 is stored).
    void SQL_writenewPN(const QString& server, const QString& database, const QString& user,
                        const QString& password, const QString& table, const QString& errorPN,
                        const QString& pn, const QString& snNAME, qint16 pnDEFAULT, qint16 snACTIVE,
                        qint16 snBARCODE, qint32 snEXTENDER, const QString& snFORMAT, qint16 snLENGTH,
                        qint16 autoMEASURE, float autoTIME, qint16 reqRANDR, const QString& snGOOD,
                        const QString& snBAD, qint16 mapPORT, qint16& iERROR);
    void SQL_delPN(const QString& server, const QString& database, const QString& user,
                   const QString& password, const QString& table, const QString& pn, qint16& mapPORT,
                   qint16& iERROR);

    // Port configuration records; `table` is the account's configTABLE.
    // Port k lives in slot k-1 of every array. Anything but Whole: the operator has been told;
    // after Failed the slots mix what was read with what they held, after NoRows (a map no row
    // carries, as a failed creation leaves it) they are as they were.
    enum class PortRead
    {
        Whole,
        NoRows,
        Failed,
    };
    PortRead SQL_readPORTinfo(const QString& server, const QString& database, const QString& user,
                              const QString& password, const QString& table, qint16 mapPort, qint16& numPORTS,
                              PortArray<qint16>& mapNUM, PortArray<QString>& portNAME, PortArray<qint16>& UOM,
                              PortArray<qint16>& unitSCALE, PortArray<qint16>& acTIVE,
                              PortArray<float>& minSPEC, PortArray<float>& maxSPEC,
                              PortArray<float>& timeDELAY, PortArray<qint16>& numAVG,
                              PortArray<qint16>& mspeed, PortArray<qint16>& Range, PortArray<qint16>& ssON,
                              PortArray<float>& ssTOL, PortArray<float>& ssMAXT, PortArray<qint16>& ssREQD);
    // `numPORTS` and `mapNUM` are passed by the callers and not used: each row is
    // rewritten from the slots of its own mapNUM.
    void SQL_writePORTinfo(const QString& server, const QString& database, const QString& user,
                           const QString& password, const QString& table, qint16 mapPort, qint16 numPORTS,
                           const PortArray<qint16>& mapNUM, const PortArray<QString>& portNAME,
                           const PortArray<qint16>& UOM, const PortArray<qint16>& unitSCALE,
                           const PortArray<qint16>& acTIVE, const PortArray<float>& minSPEC,
                           const PortArray<float>& maxSPEC, const PortArray<float>& timeDELAY,
                           const PortArray<qint16>& numAVG, const PortArray<qint16>& mspeed,
                           const PortArray<qint16>& Range, const PortArray<qint16>& ssON,
                           const PortArray<float>& ssTOL, const PortArray<float>& ssMAXT,
                           const PortArray<qint16>& ssREQD, qint16& iERROR);
    void SQL_writenewPORTS(const QString& server, const QString& database, const QString& user,
                           const QString& password, const QString& table, qint16 mapPort, qint16 numPORTS,
                           const PortArray<qint16>& mapNUM, const PortArray<QString>& portNAME,
                           const PortArray<qint16>& UOM, const PortArray<qint16>& unitSCALE,
                           const PortArray<qint16>& acTIVE, const PortArray<float>& minSPEC,
                           const PortArray<float>& maxSPEC, const PortArray<float>& timeDELAY,
                           const PortArray<qint16>& numAVG, const PortArray<qint16>& mspeed,
                           const PortArray<qint16>& Range, const PortArray<qint16>& ssON,
                           const PortArray<float>& ssTOL, const PortArray<float>& ssMAXT,
                           const PortArray<qint16>& ssREQD, qint16& iERROR);
    void SQL_readnewMAP(const QString& server, const QString& database, const QString& user,
                        const QString& password, const QString& table, qint16& newMAP, qint16& iERROR);
    void SQL_delPORTS(const QString& server, const QString& database, const QString& user,
                      const QString& password, const QString& table, qint16 mapPort, qint16& iERROR);
    // The rows of `table` (part-number or port table) that use map `mapPort`; on failure
    // `count` keeps its value. No status, no message, no error record.
    void SQL_checkMAP(const QString& server, const QString& database, const QString& user,
                      const QString& password, const QString& table, qint16 mapPort, qint16& count);

    Dialogs* dialogs() const { return m_dialogs; }
    const Timeouts& timeouts() const { return m_timeouts; }
    // Where the calls that wait on a server run from now on (not owned; none: where they are made).
    void setWaiter(Waiter* waiter) { m_timeouts.waiter = waiter; }
    // The operator action that this object's operations draw on (never null).
    ActionBudget* budget() const { return m_timeouts.budget.get(); }

private:
    // The history rows of a change that was stored; a failure to write them leaves an error record.
    void recordHistory(const QString& server, const QString& database, const QString& user,
                       const QString& password, const QList<HistoryRow>& rows);
    // `rows` and, when the save's own default mark was taken and its record will not set it
    // again, that change too.
    void recordOwnMarkCleared(const QString& server, const QString& database, const QString& user,
                              const QString& password, QList<HistoryRow> rows);
    // The history rows of a save inside its transaction, before the COMMIT. False when the
    // transaction is gone (a lost link, a deadlock); `written`: the rows go with the change.
    bool historyBeforeCommit(Connection& connection, const QList<HistoryRow>& rows, bool& written);

    Dialogs* m_dialogs;
    Timeouts m_timeouts;
    QString m_savePN;
    QString m_sourcePN;
    // The save's own default mark was cleared with the others, to be set again by its record.
    bool m_ownMarkCleared = false;

public:
    // Every part number of the table (`table` is the account's snTABLE), sorted by character
    // code, in one walk (PartNumberList.cpp). iERROR 0 when every row was read.
    void SQL_readPNnames(const QString& server, const QString& database, const QString& user,
                         const QString& password, const QString& table, PartNumberNames& names,
                         qint16& iERROR);
};

// The fixed name of the error table.
inline const QString errorTable = QStringLiteral("zSQL");

// Opens a connection and one query over it: the first failure stage of every operation.
// The second stage is the row work on `rows`. Inside an operator action the sessions to one
// profile share the action's connection; one whose link was lost is closed at the end of the
// session, so that the next (a caller's second attempt) connects anew.
class Session
{
public:
    Session(const Profile& profile, const Timeouts& timeouts);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    bool open(const Query& query);
    // As open, after the statement whose answer was lost (sent over the connection opened
    // last) has finished on the server, so that the rows show what it did.
    bool openAfterLostAnswer(const Query& query);
    // The rows one by one as they arrive, none kept beyond a chunk: a read-only walk (see Recordset).
    bool openStream(const Query& query);
    Recordset& rows() { return m_rows; }
    // For more statements on the same connection (the change history of a save).
    Connection& connection() { return *m_connection; }
    QString errorText() const;

private:
    bool connect();
    bool start(const std::function<bool()>& openRows, unsigned long awaitThread = 0);
    std::shared_ptr<ActionBudget> m_budget;
    std::shared_ptr<Connection> m_connection;
    Recordset m_rows;
    QString m_error;
};

// The number of rows `query` finds, into `count`; a failure, or a number that does not fit the
// Integer count, leaves `count` as it was.
void countRows(const Profile& profile, const Timeouts& timeouts, const Query& query, qint16& count);

} // namespace zelmar::db
