// The five operations on port configuration records, and the count of the rows
// that use a map number (in either table).
//
// Failure path A: connecting and opening the query (Session::open). Failure
// path B: the row work. The read, the write and the append tell the operator
// of either in a message box; the map number, the count and the delete fail
// silently. None of them writes an error record.

#include "Database.h"
#include "Outcome.h"

#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace zelmar::db {

namespace {

const QString colMapPORT = u"mapPORT"_s;
const QString colMapNUM = u"mapNUM"_s;
const QString colPortNAME = u"portNAME"_s;
const QString colUOM = u"UOM"_s;
const QString colUnitSCALE = u"unitSCALE"_s;
const QString colAcTIVE = u"acTIVE"_s;
const QString colRange = u"Range"_s;
const QString colMinSPEC = u"minSPEC"_s;
const QString colMaxSPEC = u"maxSPEC"_s;
const QString colNumAVG = u"numAVG"_s;
const QString colMspeed = u"mspeed"_s;
const QString colTimeDELAY = u"timeDELAY"_s;
const QString colSsON = u"ssON"_s;
const QString colSsTOL = u"ssTOL"_s;
const QString colSsMAXT = u"ssMAXT"_s;
const QString colSsREQD = u"ssREQD"_s;

enum class Failure
{
    None,
    Connect, // path A
    Rows,    // path B
};

void tell(Dialogs* dialogs, Failure failure)
{
    if (!dialogs || failure == Failure::None)
        return;
    if (failure == Failure::Connect)
        dialogs->message(u"Error: Unable to Connect to the Tarvik Port Config DB."_s,
                         u"Error Code 1005. Program will be using DEFAULT configuration values"_s);
    else
        dialogs->message(
            u"Error: Error reading in Tarvik Port Config DB. Please check and correct configuration."_s,
            u"Error Code 1006. Program will be using DEFAULT configuration values"_s);
}

// The slot of port k, or -1 when k lies outside the 49 slots (a failure of the row work).
int slotOf(qint16 port)
{
    return port >= 1 && port <= portSlots ? port - 1 : -1;
}

// The fourteen value arrays of the callers.
struct PortValues
{
    const PortArray<QString>& portNAME;
    const PortArray<qint16>& UOM;
    const PortArray<qint16>& unitSCALE;
    const PortArray<qint16>& acTIVE;
    const PortArray<float>& minSPEC;
    const PortArray<float>& maxSPEC;
    const PortArray<float>& timeDELAY;
    const PortArray<qint16>& numAVG;
    const PortArray<qint16>& mspeed;
    const PortArray<qint16>& Range;
    const PortArray<qint16>& ssON;
    const PortArray<float>& ssTOL;
    const PortArray<float>& ssMAXT;
    const PortArray<qint16>& ssREQD;

    // The values of slot i in the record's column order.
    Recordset::Fields of(size_t i) const
    {
        return {{colPortNAME, portNAME[i]},   {colUOM, UOM[i]},       {colUnitSCALE, unitSCALE[i]},
                {colAcTIVE, acTIVE[i]},       {colRange, Range[i]},   {colMinSPEC, minSPEC[i]},
                {colMaxSPEC, maxSPEC[i]},     {colNumAVG, numAVG[i]}, {colMspeed, mspeed[i]},
                {colTimeDELAY, timeDELAY[i]}, {colSsON, ssON[i]},     {colSsTOL, ssTOL[i]},
                {colSsMAXT, ssMAXT[i]},       {colSsREQD, ssREQD[i]}};
    }
    PortRowValues row(size_t i) const
    {
        return {portNAME[i], UOM[i],    unitSCALE[i], acTIVE[i], Range[i], minSPEC[i], maxSPEC[i],
                numAVG[i],   mspeed[i], timeDELAY[i], ssON[i],   ssTOL[i], ssMAXT[i],  ssREQD[i]};
    }
};

// The current row as stored (a value that cannot be read as 0 or empty).
PortRowValues storedRow(Recordset& rs)
{
    PortRowValues v;
    rs.readText(colPortNAME, v.portNAME);
    rs.readInt16(colUOM, v.UOM);
    rs.readInt16(colUnitSCALE, v.unitSCALE);
    rs.readInt16(colAcTIVE, v.acTIVE);
    rs.readInt16(colRange, v.Range);
    rs.readSingle(colMinSPEC, v.minSPEC);
    rs.readSingle(colMaxSPEC, v.maxSPEC);
    rs.readInt16(colNumAVG, v.numAVG);
    rs.readInt16(colMspeed, v.mspeed);
    rs.readSingle(colTimeDELAY, v.timeDELAY);
    rs.readInt16(colSsON, v.ssON);
    rs.readSingle(colSsTOL, v.ssTOL);
    rs.readSingle(colSsMAXT, v.ssMAXT);
    rs.readInt16(colSsREQD, v.ssREQD);
    return v;
}

// The values of slot i that the current row does not hold already: all a save needs to write.
Recordset::Fields changedValues(Recordset& rs, const PortValues& values, size_t i)
{
    Recordset::Fields changed;
    for (const auto& field : values.of(i))
        if (!rs.holds(field.first, field.second))
            changed.append(field);
    return changed;
}

// The fetched rows of a port map that differ from the slots of their own mapNUM, with what
// differs, and (with `history`) the changes of part number `pn` as they will be recorded. False
// when a row names no slot (a failure of the row work).
bool changedRows(Recordset& rs, const PortValues& values, QList<Recordset::RowEdits>& changes,
                 const QString& pn = QString(), QList<HistoryRow>* history = nullptr)
{
    changes.clear();
    if (!rs.moveFirst())
        return false;
    for (int row = 0; !rs.eof(); rs.moveNext(), ++row) {
        qint16 k = 0;
        const int slot = rs.readInt16(colMapNUM, k) ? slotOf(k) : -1;
        if (slot < 0)
            return false;
        const Recordset::Fields changed = changedValues(rs, values, size_t(slot));
        if (!changed.isEmpty()) {
            changes.append({row, changed});
            if (history)
                *history += portChanges(pn, k, storedRow(rs), values.row(size_t(slot)));
        }
    }
    return true;
}

// Every fetched row goes, together where the table allows.
bool removeAll(Recordset& rs)
{
    QList<int> rows;
    for (int row = 0; row < rs.recordCount(); ++row)
        rows.append(row);
    return rs.deleteRows(rows);
}

// The slots 0..numPORTS-1 whose port (mapNUM) the fetched rows of the map do not hold yet.
// False when a row is not one of those ports, or holds one twice: rows of another make.
bool missingSlots(Recordset& rs, const PortArray<qint16>& mapNUM, qint16 numPORTS,
                  std::vector<size_t>& missing)
{
    missing.clear();
    const int count = qBound(0, int(numPORTS), portSlots);
    std::vector<bool> held(size_t(count), false);
    if (rs.recordCount() > 0 && rs.moveFirst()) {
        for (; !rs.eof(); rs.moveNext()) {
            qint16 k = 0;
            if (!rs.readInt16(colMapNUM, k))
                return false;
            bool placed = false;
            for (int i = 0; i < count && !placed; ++i) {
                if (!held[size_t(i)] && mapNUM[size_t(i)] == k)
                    held[size_t(i)] = placed = true;
            }
            if (!placed)
                return false;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!held[size_t(i)])
            missing.push_back(size_t(i));
    }
    return true;
}

} // namespace

Database::PortRead
Database::SQL_readPORTinfo(const QString& server, const QString& database, const QString& user,
                           const QString& password, const QString& table, qint16 mapPort, qint16& numPORTS,
                           PortArray<qint16>& mapNUM, PortArray<QString>& portNAME, PortArray<qint16>& UOM,
                           PortArray<qint16>& unitSCALE, PortArray<qint16>& acTIVE, PortArray<float>& minSPEC,
                           PortArray<float>& maxSPEC, PortArray<float>& timeDELAY, PortArray<qint16>& numAVG,
                           PortArray<qint16>& mspeed, PortArray<qint16>& Range, PortArray<qint16>& ssON,
                           PortArray<float>& ssTOL, PortArray<float>& ssMAXT, PortArray<qint16>& ssREQD)
{
    Failure failure = Failure::None;
    bool noRows = false;
    {
        Session session(profile(server, database, user, password), m_timeouts);
        if (!session.open(onePortMap(table, mapPort))) {
            failure = Failure::Connect;
        } else if (!session.rows().moveFirst()) {
            failure = Failure::Rows;
            noRows = true;
        } else {
            Recordset& rs = session.rows();
            const int n = rs.recordCount();
            for (int row = 0; row < n; ++row) {
                // Each row lands at the slot its own mapNUM names, in whatever order the rows come;
                // a later row with the same mapNUM wins. Elements already read stay written.
                qint16 k = 0;
                const int slot = rs.readInt16(colMapNUM, k) ? slotOf(k) : -1;
                if (slot < 0) {
                    failure = Failure::Rows;
                    break;
                }
                const auto i = size_t(slot);
                mapNUM[i] = k;
                const bool read =
                    rs.readText(colPortNAME, portNAME[i]) && rs.readInt16(colUOM, UOM[i]) &&
                    rs.readInt16(colUnitSCALE, unitSCALE[i]) && rs.readInt16(colAcTIVE, acTIVE[i]) &&
                    rs.readInt16(colRange, Range[i]) && rs.readSingle(colMinSPEC, minSPEC[i]) &&
                    rs.readSingle(colMaxSPEC, maxSPEC[i]) && rs.readInt16(colNumAVG, numAVG[i]) &&
                    rs.readInt16(colMspeed, mspeed[i]) && rs.readSingle(colTimeDELAY, timeDELAY[i]) &&
                    rs.readInt16(colSsON, ssON[i]) && rs.readSingle(colSsTOL, ssTOL[i]) &&
                    rs.readSingle(colSsMAXT, ssMAXT[i]) && rs.readInt16(colSsREQD, ssREQD[i]);
                if (!read) {
                    failure = Failure::Rows;
                    break;
                }
                rs.moveNext();
            }
            // Lowered only after a complete read.
            if (failure == Failure::None && n < numPORTS)
                numPORTS = qint16(n);
        }
    }
    tell(dialogs(), failure);
    if (failure == Failure::None)
        return PortRead::Whole;
    return noRows ? PortRead::NoRows : PortRead::Failed;
}

void Database::SQL_writePORTinfo(
    const QString& server, const QString& database, const QString& user, const QString& password,
    const QString& table, qint16 mapPort, qint16 numPORTS, const PortArray<qint16>& mapNUM,
    const PortArray<QString>& portNAME, const PortArray<qint16>& UOM, const PortArray<qint16>& unitSCALE,
    const PortArray<qint16>& acTIVE, const PortArray<float>& minSPEC, const PortArray<float>& maxSPEC,
    const PortArray<float>& timeDELAY, const PortArray<qint16>& numAVG, const PortArray<qint16>& mspeed,
    const PortArray<qint16>& Range, const PortArray<qint16>& ssON, const PortArray<float>& ssTOL,
    const PortArray<float>& ssMAXT, const PortArray<qint16>& ssREQD, qint16& iERROR)
{
    // Passed by the callers and not used: each existing row is rewritten from the slot of its own mapNUM.
    Q_UNUSED(numPORTS)
    Q_UNUSED(mapNUM)
    iERROR = 1;
    const PortValues values{portNAME, UOM,    unitSCALE, acTIVE, minSPEC, maxSPEC, timeDELAY,
                            numAVG,   mspeed, Range,     ssON,   ssTOL,   ssMAXT,  ssREQD};
    Failure failure = Failure::None;
    bool sent = false;
    QList<HistoryRow> history;
    // Written in the save's transaction (rows stored one by one): committed with the change or not at all.
    bool historyWithChange = false;
    {
        Session session(profile(server, database, user, password), m_timeouts);
        session.rows().setBeforeCommit(
            [&] { return historyBeforeCommit(session.connection(), history, historyWithChange); });
        QList<Recordset::RowEdits> changes;
        if (!session.open(onePortMap(table, mapPort))) {
            failure = Failure::Connect;
        } else if (!changedRows(session.rows(), values, changes, m_savePN, &history)) {
            failure = Failure::Rows; // a map without rows (none is appended), or a row of no port
        } else if (!session.rows().updateRows(changes)) {
            // Only the rows whose stored values differ are written, all of them together.
            failure = Failure::Rows;
            sent = true;
            // Rolled back on an open link; after a lost one the history shares the change's fate.
            if (!session.connection().linkLost())
                historyWithChange = false;
        } else {
            iERROR = 0;
        }
    }
    if (sent) {
        // Stored though the answer was lost? Then every row holds its port's values.
        const Outcome outcome =
            findOutcome(profile(server, database, user, password), m_timeouts, onePortMap(table, mapPort),
                        [&](Recordset& rs) -> std::optional<bool> {
                            QList<Recordset::RowEdits> left;
                            return changedRows(rs, values, left) && left.isEmpty();
                        });
        if (outcome == Outcome::Done) {
            failure = Failure::None;
            iERROR = 0;
        }
    }
    if (failure == Failure::None && !historyWithChange)
        recordHistory(server, database, user, password, history);
    tell(dialogs(), failure);
}

void Database::SQL_writenewPORTS(
    const QString& server, const QString& database, const QString& user, const QString& password,
    const QString& table, qint16 mapPort, qint16 numPORTS, const PortArray<qint16>& mapNUM,
    const PortArray<QString>& portNAME, const PortArray<qint16>& UOM, const PortArray<qint16>& unitSCALE,
    const PortArray<qint16>& acTIVE, const PortArray<float>& minSPEC, const PortArray<float>& maxSPEC,
    const PortArray<float>& timeDELAY, const PortArray<qint16>& numAVG, const PortArray<qint16>& mspeed,
    const PortArray<qint16>& Range, const PortArray<qint16>& ssON, const PortArray<float>& ssTOL,
    const PortArray<float>& ssMAXT, const PortArray<qint16>& ssREQD, qint16& iERROR)
{
    iERROR = 1;
    Failure failure = Failure::None;
    bool sent = false;
    std::vector<size_t> missing; // slots whose row the map does not hold yet
    {
        // The map's rows as they are: a new map has none, unless an earlier attempt of this
        // same call stored them and its answer was lost. Rows already there are not appended
        // again, so the caller's second attempt never doubles a map.
        Session session(profile(server, database, user, password), m_timeouts);
        if (!session.open(onePortMap(table, mapPort))) {
            failure = Failure::Connect;
        } else if (numPORTS < 1) {
            iERROR = 0; // nothing to append
        } else if (numPORTS > portSlots) {
            // Slot numPORTS-1 lies beyond the arrays. Appending the first 49 rows would
            // only be rolled back below, so nothing is sent.
            failure = Failure::Rows;
        } else if (!missingSlots(session.rows(), mapNUM, numPORTS, missing)) {
            failure = Failure::Rows; // the map holds rows of another make: not touched
        } else if (missing.empty()) {
            iERROR = 0; // complete already
        } else {
            // Stored row by row, a failure part-way would leave a half map behind. The rows of one
            // map go in one statement, which a transactional table stores whole or not at all, and
            // success is reported only when all numPORTS rows are stored.
            const PortValues values{portNAME, UOM,    unitSCALE, acTIVE, minSPEC, maxSPEC, timeDELAY,
                                    numAVG,   mspeed, Range,     ssON,   ssTOL,   ssMAXT,  ssREQD};
            QList<Recordset::Fields> rows;
            for (const size_t slot : missing)
                rows.append(Recordset::Fields{{colMapPORT, mapPort}, {colMapNUM, mapNUM[slot]}} +
                            values.of(slot));
            if (session.rows().appendRows(rows)) {
                iERROR = 0;
            } else {
                failure = Failure::Rows; // after the open every failure is path B
                sent = true;
            }
        }
    }
    if (sent) {
        // Whether the rows were stored though the answer was lost: a complete map is a success; a
        // part of one (a table without transactions, stopped part-way) is removed again, so that
        // the map is either whole or empty of this call's rows.
        Session check(profile(server, database, user, password), m_timeouts);
        std::vector<size_t> stillMissing;
        if (check.openAfterLostAnswer(onePortMap(table, mapPort)) &&
            missingSlots(check.rows(), mapNUM, numPORTS, stillMissing)) {
            if (stillMissing.empty()) {
                failure = Failure::None;
                iERROR = 0;
            } else if (stillMissing.size() < size_t(numPORTS)) {
                removeAll(check.rows());
            }
        }
    }
    tell(dialogs(), failure);
}

void Database::SQL_readnewMAP(const QString& server, const QString& database, const QString& user,
                              const QString& password, const QString& table, qint16& newMAP, qint16& iERROR)
{
    bool ok = false;
    qint16 largest = 0;
    {
        Session session(profile(server, database, user, password), m_timeouts);
        if (session.open(wholeTable(table))) {
            Recordset& rs = session.rows();
            // An empty table has no map in use, so the new map number is 1: failing here
            // would make the first part number of a new station impossible to create.
            ok = true;
            if (rs.recordCount() > 0) {
                ok = rs.moveFirst();
                while (ok && !rs.eof()) {
                    qint16 map = 0;
                    ok = rs.readInt16(colMapPORT, map);
                    if (ok && map > largest)
                        largest = map;
                    rs.moveNext();
                }
            }
        }
    }
    // One more than the largest Integer does not exist: still a failure.
    if (ok && largest == std::numeric_limits<qint16>::max())
        ok = false;
    if (ok) {
        newMAP = qint16(largest + 1);
        iERROR = 0;
    } else {
        iERROR = 1; // newMAP keeps its value; no message
    }
}

void Database::SQL_delPORTS(const QString& server, const QString& database, const QString& user,
                            const QString& password, const QString& table, qint16 mapPort, qint16& iERROR)
{
    bool ok = false;
    bool sent = false;
    {
        Session session(profile(server, database, user, password), m_timeouts);
        // A map without rows fails at the move to the first row. Its rows go in one statement where
        // the table has a key, which a transactional table carries out whole or not at all.
        if (session.open(onePortMap(table, mapPort)) && session.rows().moveFirst()) {
            ok = removeAll(session.rows());
            sent = !ok;
        }
    }
    // The delete may have gone through though its answer was lost: a map that is
    // gone is no failure (and a second attempt would fail on the empty map).
    if (sent)
        ok = findOutcome(profile(server, database, user, password), m_timeouts, onePortMap(table, mapPort),
                         [](Recordset& rs) -> std::optional<bool> { return rs.recordCount() == 0; }) ==
             Outcome::Done;
    iERROR = ok ? 0 : 1; // silent either way
}

void Database::SQL_checkMAP(const QString& server, const QString& database, const QString& user,
                            const QString& password, const QString& table, qint16 mapPort, qint16& count)
{
    countRows(profile(server, database, user, password), m_timeouts, onePortMap(table, mapPort), count);
}

} // namespace zelmar::db
