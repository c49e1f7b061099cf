// The eight operations on part-number records.
//
// Every operation opens its own Session (connection, then one query: the first
// failure stage), works on the fetched rows (the second stage), lets the Session
// go and only then writes its error record, over a connection of its own
// (SQL_writeERROR), into the database that has just failed.

#include "Database.h"
#include "Outcome.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace zelmar::db {

namespace {

const QString colPartNUM = u"partNUM"_s;
const QString colSnNAME = u"snNAME"_s;
const QString colPnDEFAULT = u"pnDEFAULT"_s;
const QString colMapPORT = u"mapPORT"_s;
const QString colSnACTIVE = u"snACTIVE"_s;
const QString colSnVALID = u"snVALID"_s;
const QString colSnBARCODE = u"snBARCODE"_s;
const QString colSnEXTENDER = u"snEXTENDER"_s;
const QString colSnFORMAT = u"snFORMAT"_s;
const QString colSnLENGTH = u"snLENGTH"_s;
const QString colAutoMEASURE = u"autoMEASURE"_s;
const QString colAutoTIME = u"autoTIME"_s;
const QString colReqRANDR = u"reqRANDR"_s;
const QString colSnGOOD = u"snGOOD"_s;
const QString colSnBAD = u"snBAD"_s;

QString notFound(const QString& pn, int ie)
{
    return u"Part # not found "_s + pn + u" IE = "_s + QString::number(ie);
}

// A record named exactly `pn` (the server's comparison may be wider) that points to map `mapPORT`.
bool isRecord(Recordset& rs, const QString& pn, qint16 mapPORT)
{
    return holdsText(rs, colPartNUM, pn) && holdsInt16(rs, colMapPORT, mapPORT);
}

// The values of the current row that a save writes, as stored (one that cannot be read as 0 or empty).
PnValues storedValues(Recordset& rs)
{
    PnValues v;
    rs.readText(colPartNUM, v.curPN);
    rs.readText(colSnNAME, v.snNAME);
    rs.readInt16(colPnDEFAULT, v.pnDEFAULT);
    rs.readInt16(colSnACTIVE, v.snACTIVE);
    rs.readInt16(colSnBARCODE, v.snBARCODE);
    rs.readText(colSnFORMAT, v.snFORMAT);
    rs.readInt16(colSnLENGTH, v.snLENGTH);
    rs.readInt16(colAutoMEASURE, v.autoMEASURE);
    rs.readSingle(colAutoTIME, v.autoTIME);
    rs.readInt16(colReqRANDR, v.reqRANDR);
    rs.readText(colSnGOOD, v.snGOOD);
    rs.readText(colSnBAD, v.snBAD);
    return v;
}

} // namespace

void Database::SQL_readPNlist(const QString& server, const QString& database, const QString& user,
                              const QString& password, const QString& table, PnList& pnLIST, qint16& numPN)
{
    // No status and no error record: a failure simply ends the walk where it is.
    // The rows stream past: only the first 100 names are kept, however large the table.
    Session session(profile(server, database, user, password), m_timeouts);
    if (!session.openStream(wholeTable(table)))
        return; // numPN as the caller had it
    numPN = 0;
    Recordset& rs = session.rows();
    if (!rs.moveFirst())
        return; // an empty table: numPN = 0
    while (!rs.eof()) {
        // The count is a 16-bit Integer: a row past what it holds is an overflow, and a failure.
        if (numPN == std::numeric_limits<qint16>::max())
            return;
        ++numPN; // counts the row even when reading it fails below
        if (numPN <= pnListSlots && !rs.readText(colPartNUM, pnLIST[size_t(numPN)]))
            return;
        rs.moveNext();
    }
}

void Database::SQL_readPNinfo(const QString& server, const QString& database, const QString& user,
                              const QString& password, const QString& table, const QString& pn,
                              QString& snNAME, qint16& pnDEFAULT, qint16& mapPORT, qint16& snACTIVE,
                              qint16& snBARCODE, qint32& snEXTENDER, QString& snFORMAT, qint16& snLENGTH,
                              qint16& autoMEASURE, float& autoTIME, qint16& reqRANDR, QString& snGOOD,
                              QString& snBAD, qint16& iERROR)
{
    bool ok = false;
    bool found = true;
    {
        // The server's comparison of partNUM with pn decides (its collation applies).
        Session session(profile(server, database, user, password), m_timeouts);
        if (session.open(onePartNumber(table, pn))) {
            Recordset& rs = session.rows();
            if (rs.recordCount() < 1) {
                found = false;
                ok = true;
            } else {
                // Each field goes straight into its argument; the first failure stops the reads.
                ok = rs.moveFirst() && rs.readText(colSnNAME, snNAME) &&
                     rs.readInt16(colPnDEFAULT, pnDEFAULT) && rs.readInt16(colMapPORT, mapPORT) &&
                     rs.readInt16(colSnACTIVE, snACTIVE) && rs.readInt16(colSnBARCODE, snBARCODE) &&
                     rs.readInt32(colSnEXTENDER, snEXTENDER) && rs.readText(colSnFORMAT, snFORMAT) &&
                     rs.readInt16(colSnLENGTH, snLENGTH) && rs.readInt16(colAutoMEASURE, autoMEASURE) &&
                     rs.readSingle(colAutoTIME, autoTIME) && rs.readInt16(colReqRANDR, reqRANDR) &&
                     rs.readText(colSnGOOD, snGOOD) && rs.readText(colSnBAD, snBAD);
                if (ok && reqRANDR != 0 && reqRANDR != 1)
                    reqRANDR = 0;
            }
        }
    }
    if (!ok) {
        iERROR = 1;
        SQL_writeERROR(server, database, user, password, errorTable, u"SQL_readPNinfo"_s, notFound(pn, 2));
    } else if (!found) {
        iERROR = 1;
        SQL_writeERROR(server, database, user, password, errorTable, u"SQL_readPNinfo"_s, notFound(pn, 1));
    } else {
        iERROR = 0;
    }
}

void Database::SQL_checkPN(const QString& server, const QString& database, const QString& user,
                           const QString& password, const QString& table, const QString& pn, qint16& count,
                           const QString& callerName)
{
    Q_UNUSED(callerName)
    // The server's comparison of partNUM with pn decides (its collation applies).
    countRows(profile(server, database, user, password), m_timeouts, onePartNumber(table, pn), count);
}

void Database::SQL_writeinfo(const QString& server, const QString& database, const QString& user,
                             const QString& password, const QString& table, const QString& oldPN,
                             QString& newPN, const QString& snNAME, qint16 pnDEFAULT, qint16 snACTIVE,
                             qint16 snBARCODE, qint32 snEXTENDER, const QString& snFORMAT, qint16 snLENGTH,
                             qint16 autoMEASURE, float autoTIME, qint16 reqRANDR, const QString& snGOOD,
                             const QString& snBAD, qint16& mapPORT, qint16& iERROR)
{
    Q_UNUSED(snEXTENDER) // never taken from the caller: the stored value stays
    // Kept apart from newPN, which the caller may have passed as the same variable.
    const QString summary = notFound(oldPN, 2);
    bool ok = false;
    bool sent = false;
    QList<HistoryRow> changes;
    {
        Session session(profile(server, database, user, password), m_timeouts);
        // An empty selection fails at the move to the first row: nothing is written.
        if (session.open(onePartNumber(table, oldPN)) && session.rows().moveFirst()) {
            Recordset& rs = session.rows();
            PnValues stored = storedValues(rs);
            // Taken off with the other part numbers' marks in this same save: it only stays.
            if (m_ownMarkCleared && stored.curPN == m_savePN)
                stored.pnDEFAULT = 1;
            bool set = true;
            const bool rename = newPN != oldPN && !newPN.isEmpty();
            if (!rename) {
                if (newPN.isEmpty())
                    newPN = oldPN;
            } else {
                set = rs.setField(colPartNUM, newPN); // a rename
            }
            set = set && rs.setField(colSnNAME, snNAME) && rs.setField(colPnDEFAULT, pnDEFAULT) &&
                  rs.setField(colSnACTIVE, snACTIVE) && rs.setField(colSnVALID, 0) &&
                  rs.setField(colSnBARCODE, snBARCODE) && rs.setField(colSnFORMAT, snFORMAT) &&
                  rs.setField(colSnLENGTH, snLENGTH) && rs.setField(colAutoMEASURE, autoMEASURE) &&
                  rs.setField(colAutoTIME, autoTIME) && rs.setField(colReqRANDR, reqRANDR) &&
                  rs.setField(colSnGOOD, snGOOD) && rs.setField(colSnBAD, snBAD);
            // mapPORT is read from the row as fetched, before the save; it stays written if the save fails.
            if (set && rs.readInt16(colMapPORT, mapPORT)) {
                const PnValues written{rename ? newPN : stored.curPN,
                                       snNAME,
                                       pnDEFAULT,
                                       snACTIVE,
                                       snBARCODE,
                                       0,
                                       snFORMAT,
                                       snLENGTH,
                                       autoMEASURE,
                                       autoTIME,
                                       reqRANDR,
                                       snGOOD,
                                       snBAD};
                changes = pnChanges(stored, written);
                iERROR = 0;
                ok = rs.update(); // one save for the whole row
                sent = !ok;
            }
        }
    }
    if (sent) {
        // The save may have been stored though its answer was lost: then it is no failure, and a
        // second attempt would no longer find a renamed record under its old name.
        const QString name = newPN;
        ok = findOutcome(profile(server, database, user, password), m_timeouts, onePartNumber(table, name),
                         [&](Recordset& rs) -> std::optional<bool> {
                             return anyRow(rs, [&](Recordset& r) {
                                 return isRecord(r, name, mapPORT) && holdsInt16(r, colSnVALID, 0) &&
                                        holdsText(r, colSnNAME, snNAME) &&
                                        holdsInt16(r, colPnDEFAULT, pnDEFAULT) &&
                                        holdsInt16(r, colSnACTIVE, snACTIVE) &&
                                        holdsInt16(r, colSnBARCODE, snBARCODE) &&
                                        holdsText(r, colSnFORMAT, snFORMAT) &&
                                        holdsInt16(r, colSnLENGTH, snLENGTH) &&
                                        holdsInt16(r, colAutoMEASURE, autoMEASURE) &&
                                        holdsSingle(r, colAutoTIME, autoTIME) &&
                                        holdsInt16(r, colReqRANDR, reqRANDR) &&
                                        holdsText(r, colSnGOOD, snGOOD) && holdsText(r, colSnBAD, snBAD);
                             });
                         }) == Outcome::Done;
    }
    if (!ok) {
        iERROR = 1;
        SQL_writeERROR(server, database, user, password, errorTable, u"SQL_writeinfo"_s, summary);
        // The mark taken with the others is not given back by this attempt: that is stored.
        recordOwnMarkCleared(server, database, user, password, {});
        return;
    }
    m_ownMarkCleared = false;
    m_savePN = newPN; // the port rows that follow are those of the name stored
    recordHistory(server, database, user, password, changes);
}

void Database::SQL_writePNdef(const QString& server, const QString& database, const QString& user,
                              const QString& password, const QString& table, qint16& iERROR)
{
    iERROR = 0;
    bool ok = false;
    QList<HistoryRow> changes;
    QString unsure; // the part number whose mark went out without an answer
    {
        // The walk of the whole table, less the rows that read as 0 (which it would pass over
        // unchanged), filtered on the server: one query, then one save per record that carries the mark.
        Session session(profile(server, database, user, password), m_timeouts);
        if (session.open(nonZeroWalk(table, colPnDEFAULT))) {
            Recordset& rs = session.rows();
            ok = true;
            if (rs.recordCount() > 0) {
                ok = rs.moveFirst();
                while (ok && !rs.eof()) {
                    qint16 mark = 0;
                    ok = rs.readInt16(colPnDEFAULT, mark);
                    if (ok && mark == 1) {
                        QString name = u""_s;
                        rs.readText(colPartNUM, name);
                        ok = rs.setField(colPnDEFAULT, 0) && rs.update();
                        if (!ok)
                            unsure = name;
                        else if (name == m_savePN)
                            m_ownMarkCleared = true;
                        else
                            addChange(changes, name, 0, colPnDEFAULT, qint16(1), qint16(0));
                    }
                    if (ok)
                        rs.moveNext();
                }
            }
        }
    }
    // A mark taken though the answer was lost is recorded all the same; the second attempt passes it
    // by. Only a record of exactly that name tells: the server's comparison may find others.
    if (!unsure.isNull() &&
        findOutcome(profile(server, database, user, password), m_timeouts, onePartNumber(table, unsure),
                    [&](Recordset& rs) -> std::optional<bool> {
                        return anyRow(rs, [&](Recordset& r) {
                            return holdsText(r, colPartNUM, unsure) && holdsInt16(r, colPnDEFAULT, 0);
                        });
                    }) == Outcome::Done) {
        if (unsure == m_savePN)
            m_ownMarkCleared = true;
        else
            addChange(changes, unsure, 0, colPnDEFAULT, qint16(1), qint16(0));
    }
    // The marks taken before a failure are stored all the same, the save's own too: no record
    // follows that would set it again.
    if (ok)
        recordHistory(server, database, user, password, changes);
    else
        recordOwnMarkCleared(server, database, user, password, changes);
    if (ok) {
        iERROR = 0;
    } else {
        iERROR = 1;
        SQL_writeERROR(server, database, user, password, errorTable, u"SQL_writePNdef"_s,
                       u"Error encountered"_s);
    }
}

void Database::SQL_updatePN(const QString& server, const QString& database, const QString& user,
                            const QString& password, const QString& table, const QString& oldPN,
                            const QString& newPN, qint16 snVALID, qint16& iERROR)
{
    bool ok = false;
    bool sent = false;
    {
        // The walk of the whole table, in table order; the comparison is the program's, exact to
        // the character (case and blanks count). The server only leaves out rows that cannot
        // match: its comparison under the column's collation holds for every exact match, and
        // rows with a NULL part number stay in, as the walk stops at them.
        Session session(profile(server, database, user, password), m_timeouts);
        if (session.open(partNumberWalk(table, oldPN)) && session.rows().moveFirst()) {
            Recordset& rs = session.rows();
            bool found = false;
            bool readable = true;
            while (!rs.eof()) {
                QString stored;
                if (!rs.readText(colPartNUM, stored)) {
                    readable = false;
                    break;
                }
                if (stored == oldPN) {
                    found = true;
                    break;
                }
                rs.moveNext();
            }
            if (readable && found) {
                const bool rename = newPN != oldPN && !newPN.isEmpty();
                ok = !rename || rs.setField(colPartNUM, newPN);
                qint16 storedValid = 0;
                if (ok && !rs.readInt16(colSnVALID, storedValid)) {
                    // The rename is saved before snVALID is read: an unreadable
                    // snVALID still leaves the rename saved.
                    if (rename)
                        rs.update();
                    ok = false;
                }
                if (ok && storedValid != snVALID)
                    ok = rs.setField(colSnVALID, snVALID);
                // The rename and the new mark go out in one save; with nothing to change no save is sent.
                if (ok) {
                    ok = rs.update();
                    sent = !ok;
                }
            }
        }
    }
    if (sent) {
        // Stored though its answer was lost? A second attempt would not find a renamed record.
        const QString name = newPN != oldPN && !newPN.isEmpty() ? newPN : oldPN;
        ok = findOutcome(profile(server, database, user, password), m_timeouts, onePartNumber(table, name),
                         [&](Recordset& rs) -> std::optional<bool> {
                             return anyRow(rs, [&](Recordset& r) {
                                 return holdsText(r, colPartNUM, name) && holdsInt16(r, colSnVALID, snVALID);
                             });
                         }) == Outcome::Done;
    }
    if (ok) {
        iERROR = 0;
        // snVALID is bookkeeping, not a value of the configuration.
        if (newPN != oldPN && !newPN.isEmpty())
            recordHistory(server, database, user, password, {renameRow(oldPN, newPN)});
    } else {
        iERROR = 1;
        SQL_writeERROR(server, database, user, password, errorTable, u"SQL_updatePN"_s, notFound(oldPN, 2));
    }
}

void Database::SQL_writenewPN(const QString& server, const QString& database, const QString& user,
                              const QString& password, const QString& table, const QString& errorPN,
                              const QString& pn, const QString& snNAME, qint16 pnDEFAULT, qint16 snACTIVE,
                              qint16 snBARCODE, qint32 snEXTENDER, const QString& snFORMAT, qint16 snLENGTH,
                              qint16 autoMEASURE, float autoTIME, qint16 reqRANDR, const QString& snGOOD,
                              const QString& snBAD, qint16 mapPORT, qint16& iERROR)
{
    Q_UNUSED(snEXTENDER) // a new record always starts with 0
    bool ok = false;
    bool sent = false;
    {
        // No duplicate check: the callers check first. A record of this name with this
        // (new) map number is this call's own, stored by an attempt whose answer was lost:
        // it is not appended twice.
        Session session(profile(server, database, user, password), m_timeouts);
        Recordset& rs = session.rows();
        if (!session.open(onePartNumber(table, pn))) {
            // failure: nothing was sent
        } else if (anyRow(rs, [&](Recordset& r) { return isRecord(r, pn, mapPORT); })) {
            iERROR = 0;
            ok = true;
        } else {
            rs.addNew();
            ok = rs.setField(colPartNUM, pn) && rs.setField(colSnNAME, snNAME) &&
                 rs.setField(colPnDEFAULT, pnDEFAULT) && rs.setField(colMapPORT, mapPORT) &&
                 rs.setField(colSnACTIVE, snACTIVE) && rs.setField(colSnBARCODE, snBARCODE) &&
                 rs.setField(colSnEXTENDER, QVariant(0)) && rs.setField(colSnVALID, 0) &&
                 rs.setField(colSnFORMAT, snFORMAT) && rs.setField(colSnLENGTH, snLENGTH) &&
                 rs.setField(colAutoMEASURE, autoMEASURE) && rs.setField(colAutoTIME, autoTIME) &&
                 rs.setField(colReqRANDR, reqRANDR) && rs.setField(colSnGOOD, snGOOD) &&
                 rs.setField(colSnBAD, snBAD);
            if (ok) {
                iERROR = 0;
                ok = rs.update();
                sent = !ok;
            }
        }
    }
    if (sent) {
        ok = findOutcome(profile(server, database, user, password), m_timeouts, onePartNumber(table, pn),
                         [&](Recordset& rs) -> std::optional<bool> {
                             return anyRow(rs, [&](Recordset& r) { return isRecord(r, pn, mapPORT); });
                         }) == Outcome::Done;
    }
    if (!ok) {
        iERROR = 1;
        SQL_writeERROR(server, database, user, password, errorTable, u"SQL_writenewPN"_s,
                       u"Part # was "_s + errorPN + u" IE = 2"_s);
        return;
    }
    recordHistory(server, database, user, password, {createRow(pn, mapPORT, m_sourcePN)});
}

void Database::SQL_delPN(const QString& server, const QString& database, const QString& user,
                         const QString& password, const QString& table, const QString& pn, qint16& mapPORT,
                         qint16& iERROR)
{
    bool ok = false;
    bool found = true;
    int before = 0;
    bool sent = false;
    {
        // The server's comparison of partNUM with pn decides (its collation applies).
        Session session(profile(server, database, user, password), m_timeouts);
        if (session.open(onePartNumber(table, pn))) {
            Recordset& rs = session.rows();
            before = rs.recordCount();
            if (before < 1) {
                found = false; // not a failure: nothing deleted, mapPORT untouched
                ok = true;
            } else {
                // Only the first row goes, even when more rows carry the same part number.
                ok = rs.moveFirst() && rs.readInt16(colMapPORT, mapPORT);
                sent = ok && !rs.deleteCurrent();
                ok = ok && !sent;
            }
        }
    }
    if (sent) {
        // Deleted though the answer was lost? Then the record is gone and its map is to go too.
        ok = findOutcome(profile(server, database, user, password), m_timeouts, onePartNumber(table, pn),
                         [&](Recordset& rs) -> std::optional<bool> { return rs.recordCount() < before; }) ==
             Outcome::Done;
    }
    if (!ok) {
        iERROR = 1;
        SQL_writeERROR(server, database, user, password, errorTable, u"SQL_delPN"_s, notFound(pn, 2));
    } else {
        iERROR = 0;
        if (!found)
            SQL_writeERROR(server, database, user, password, errorTable, u"SQL_delPN"_s, notFound(pn, 1));
        else
            recordHistory(server, database, user, password, {deleteRow(pn, mapPORT)});
    }
}

} // namespace zelmar::db
