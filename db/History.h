#pragma once

#include "PartNumberValues.h"
#include "Profile.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace zelmar::db {

class Connection;
class Database;

// The change history of the customer's database: one row per stored value that an action
// changed, kept in a table of the site's choosing to create (sql/history.sql). Where the
// table does not exist nothing is recorded and nothing is reported.

inline const QString historyTable = QStringLiteral("zHISTORY");
// The rows the history window shows, newest first.
inline constexpr int historyShown = 500;

enum class HistoryTable
{
    Missing, // not in the customer's database: nothing is recorded
    Present,
    Unknown, // could not be asked: the writes try, and a missing table stays silent
};

// Who signs the history rows of the run, and whether the customer's database keeps a
// history. Set once per sign-in.
struct HistoryAuthor
{
    QString Operator_Code;
    QString Operator_Initials;
    QString Company;
    HistoryTable table = HistoryTable::Missing;
};

// One recorded change. A null QString stands for NULL (field of a CREATE or DELETE row, a
// value there is none of); the texts of a change are never null, an empty text is ''.
struct HistoryRow
{
    QString action; // UPDATE, CREATE, DELETE or RENAME
    QString partNUM;
    qint16 mapNUM = 0; // the port; 0 for a value of the part number's record
    QString field;     // the column as named in the configuration tables
    QString oldVALUE;
    QString newVALUE;

    bool operator==(const HistoryRow&) const = default;
};

// A row as read back.
struct HistoryEntry
{
    QString changedAT; // the server's time, as the server writes it
    QString Operator_Code;
    QString Operator_Initials;
    QString Company;
    HistoryRow change;
};

// The values of one port row, in the table's column order.
struct PortRowValues
{
    QString portNAME;
    qint16 UOM = 0;
    qint16 unitSCALE = 0;
    qint16 acTIVE = 0;
    qint16 Range = 0;
    float minSPEC = 0.0f;
    float maxSPEC = 0.0f;
    qint16 numAVG = 0;
    qint16 mspeed = 0;
    float timeDELAY = 0.0f;
    qint16 ssON = 0;
    float ssTOL = 0.0f;
    float ssMAXT = 0.0f;
    qint16 ssREQD = 0;

    // Slot `slot` (port slot + 1) of the port arrays.
    static PortRowValues of(const PortTable& ports, int slot);
};

// ---- What an action changed: values as stored before against values as written ----

// The text a stored value is recorded as: the shortest decimal that reads back to the same
// single-precision number (12345.6, 3000, 0.05, 1e-07), whole numbers in decimal, texts as
// they are (an empty one as '', never NULL).
QString historyText(float value);
QString historyText(qint16 value);
QString historyText(const QString& value);

// One UPDATE row for `field` when the value written differs from the one stored (floats
// compared bit for bit, texts exactly), none when it was written unchanged.
void addChange(QList<HistoryRow>& rows, const QString& partNUM, qint16 mapNUM, const QString& field,
               qint16 stored, qint16 written);
void addChange(QList<HistoryRow>& rows, const QString& partNUM, qint16 mapNUM, const QString& field,
               float stored, float written);
void addChange(QList<HistoryRow>& rows, const QString& partNUM, qint16 mapNUM, const QString& field,
               const QString& stored, const QString& written);

// The part number's record: a RENAME row when curPN changed, then one UPDATE row per column
// that a save writes (snEXTENDER and snVALID are none of them), all under the name written.
QList<HistoryRow> pnChanges(const PnValues& stored, const PnValues& written);
// One port row, port `mapNUM` of part number `partNUM`.
QList<HistoryRow> portChanges(const QString& partNUM, qint16 mapNUM, const PortRowValues& stored,
                              const PortRowValues& written);

// The one row of a creation (with the part number it was made from, when it was), a
// deletion and a rename.
HistoryRow createRow(const QString& partNUM, qint16 mapPORT, const QString& sourcePN = QString());
HistoryRow deleteRow(const QString& partNUM, qint16 mapPORT);
HistoryRow renameRow(const QString& oldPN, const QString& newPN);

// ---- The table ----

// Whether the customer's database has the history table; one round trip after the connect.
HistoryTable findHistoryTable(const Profile& profile, const Timeouts& timeouts);

enum class HistoryWrite
{
    Written,
    Skipped, // nothing to write, or no table (learnt into author.table)
    Failed,  // the rows are not (or not all) stored
    Aborted, // inside a transaction: the server ended the whole transaction with the statement
};

// Appends `rows`, signed by `author`, with the server's time, on the caller's open connection,
// a statement per 500 rows. An answer lost on the way is checked over a new connection, so
// Written and Failed are what is stored. Inside the caller's transaction (`inTransaction`) the
// rows go in one statement, stored whole or not at all with the transaction, and a lost answer
// is not checked: the transaction went with the link.
HistoryWrite writeHistory(Connection& connection, const Profile& profile, const Timeouts& timeouts,
                          HistoryAuthor& author, const QList<HistoryRow>& rows, bool inTransaction = false);

// The error record of rows that were not written after a change that was stored.
inline const QString historyRoutine = QStringLiteral("SQL_writeHISTORY");
QString historyMissing(const QList<HistoryRow>& rows);
void recordMissingHistory(Database& database, const QString& server, const QString& databaseName,
                          const QString& user, const QString& password, const QList<HistoryRow>& rows);

// The last historyShown rows of `partNUM`, newest first. False when they cannot be read.
bool readHistory(const Profile& profile, const Timeouts& timeouts, const QString& partNUM,
                 QList<HistoryEntry>& entries);

} // namespace zelmar::db
