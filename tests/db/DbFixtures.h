#pragma once

// What the database tests share: calls with a whole profile, the part-number fields and
// port arrays, table contents as comparable text, and the fourteen operations as uniform
// calls over a seeded database, for the tables of every failure path.

#include "Database.h"
#include "PartNumberList.h"
#include "TestServer.h"

#include <QTest>

namespace zelmar::test {

// Calls an operation with a profile's four strings and a table before its own arguments.
struct Caller
{
    db::Database database;
    db::Profile profile;
    QString table;
    template<typename Op, typename... Args>
    void operator()(Op op, Args&&... args)
    {
        (database.*op)(profile.server, profile.database, profile.user, profile.password, table, args...);
    }
};

// As text, so that the integer widths of the driver do not matter.
inline QStringList texts(const QVariantList& row)
{
    QStringList out;
    for (const QVariant& v : row)
        out.append(v.isNull() ? u"NULL"_s : v.toString());
    return out;
}

// Every row of a query, each as one line joined by "|".
inline QStringList lines(TestDatabase& tdb, const QString& sql, const QVariantList& values = {})
{
    QStringList out;
    for (const QVariantList& row : tdb.rows(sql, values))
        out.append(texts(row).join(u'|'));
    return out;
}

// "Routine|Summary" of every error record, in the order written.
inline QStringList errorRecords(TestDatabase& tdb)
{
    return lines(tdb, u"SELECT Routine, Summary FROM zSQL ORDER BY id"_s);
}

inline bool execAll(TestDatabase& tdb, const QStringList& statements)
{
    for (const QString& sql : statements)
        if (!tdb.exec(sql))
            return false;
    return true;
}

// Turns `column` of the rows `where` selects into `value`, changing the column's type first when given.
inline QStringList spoil(const QString& table, const QString& column, const QString& value,
                         const QString& type = QString(), const QString& where = u"id = 2"_s)
{
    QStringList out;
    if (!type.isEmpty())
        out.append(u"ALTER TABLE `%1` MODIFY `%2` %3"_s.arg(table, column, type));
    return out << u"UPDATE `%1` SET `%2` = %3 WHERE %4"_s.arg(table, column, value, where);
}

// A trigger that refuses every save of the given kind (INSERT, UPDATE or DELETE) for which `condition` holds.
inline QString refusal(const QString& table, const QString& event, const QString& condition = u"TRUE"_s)
{
    return QStringLiteral("CREATE TRIGGER fail_%1 BEFORE %2 ON `%3` FOR EACH ROW IF %4 THEN "
                          "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused by test'; END IF")
        .arg(event.toLower(), event, table, condition);
}

// The thirteen fields that SQL_readPNinfo fills, in its order, and the calls that carry them.
struct PnFields
{
    QString snNAME = u"old"_s; // values no read gives, to tell fields read from those left alone
    qint16 pnDEFAULT = -1, mapPORT = -2, snACTIVE = -3, snBARCODE = -4;
    qint32 snEXTENDER = -5;
    QString snFORMAT = u"old"_s;
    qint16 snLENGTH = -6, autoMEASURE = -7;
    float autoTIME = -8.5f;
    qint16 reqRANDR = -9;
    QString snGOOD = u"old"_s, snBAD = u"old"_s;

    QStringList texts() const
    {
        return test::texts({snNAME, pnDEFAULT, mapPORT, snACTIVE, snBARCODE, snEXTENDER, snFORMAT, snLENGTH,
                            autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD});
    }
    void read(Caller& c, const QString& pn, qint16& iERROR)
    {
        c(&db::Database::SQL_readPNinfo, pn, snNAME, pnDEFAULT, mapPORT, snACTIVE, snBARCODE, snEXTENDER,
          snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD, iERROR);
    }
    void writeinfo(Caller& c, const QString& oldPN, QString& newPN, qint16& map, qint16& iERROR) const
    {
        c(&db::Database::SQL_writeinfo, oldPN, newPN, snNAME, pnDEFAULT, snACTIVE, snBARCODE, snEXTENDER,
          snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD, map, iERROR);
    }
    void writenewPN(Caller& c, const QString& errorPN, const QString& pn, qint16 map, qint16& iERROR) const
    {
        c(&db::Database::SQL_writenewPN, errorPN, pn, snNAME, pnDEFAULT, snACTIVE, snBARCODE, snEXTENDER,
          snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD, map, iERROR);
    }
};

// What the editor writes; snEXTENDER and mapPORT are the caller's, which the writes ignore.
inline const PnFields edited{u"New name"_s, 0, 55,       0,       1, 424242, u"ZZ-##"_s, 5, 1,
                             0.75f,         1, u"G-2"_s, u"B-2"_s};

// The fifteen per-port arrays of the editor.
struct Ports
{
    db::PortArray<qint16> mapNUM{}, UOM{}, unitSCALE{}, acTIVE{}, numAVG{}, mspeed{}, Range{}, ssON{},
        ssREQD{};
    db::PortArray<QString> portNAME;
    db::PortArray<float> minSPEC{}, maxSPEC{}, timeDELAY{}, ssTOL{}, ssMAXT{};

    // Port k of 1..n with values from seed + k, the other slots with values no row holds; the
    // values of two seeds differ in every column, and the floats are short binary fractions, which
    // print alike as float and as the double the table gives back.
    static Ports of(int n, int seed)
    {
        Ports p;
        for (size_t i = 0; i < db::portSlots; ++i) {
            const int k = int(i) + 1, s = k <= n ? seed + k : -k;
            p.mapNUM[i] = qint16(k <= n ? k : -1);
            p.portNAME[i] = u"Port "_s + QString::number(s);
            int column = 0;
            for (auto* whole :
                 {&p.UOM, &p.unitSCALE, &p.acTIVE, &p.Range, &p.numAVG, &p.mspeed, &p.ssON, &p.ssREQD})
                (*whole)[i] = qint16(s * 10 + ++column);
            p.minSPEC[i] = float(s) * 0.5f;
            p.maxSPEC[i] = float(s) * 10.25f;
            p.timeDELAY[i] = float(s) * 0.125f;
            p.ssTOL[i] = float(s) / 64;
            p.ssMAXT[i] = float(s) + 0.75f;
        }
        return p;
    }
    // The fourteen values of slot i in the table's column order.
    QStringList slot(size_t i) const
    {
        return texts({portNAME[i], UOM[i], unitSCALE[i], acTIVE[i], Range[i], minSPEC[i], maxSPEC[i],
                      numAVG[i], mspeed[i], timeDELAY[i], ssON[i], ssTOL[i], ssMAXT[i], ssREQD[i]});
    }
    // SQL_writePORTinfo and SQL_writenewPORTS take the same arguments.
    template<typename Op>
    void write(Caller& c, Op op, qint16 map, qint16 numPORTS, qint16& iERROR) const
    {
        c(op, map, numPORTS, mapNUM, portNAME, UOM, unitSCALE, acTIVE, minSPEC, maxSPEC, timeDELAY, numAVG,
          mspeed, Range, ssON, ssTOL, ssMAXT, ssREQD, iERROR);
    }
};

struct Call
{
    QString pn = {};    // the part number it works on
    QString newPN = {}; // the new name; for SQL_writenewPN the part number its error record names
    qint16 value = 0;   // snVALID for SQL_updatePN, mapPORT for SQL_writenewPN, else the map
    qint16 num = 4;     // numPORTS
    Ports ports = Ports::of(4, 50);
};

// What an operation hands back by reference; what it leaves alone keeps its start value.
struct Outputs
{
    PnFields fields;
    db::PnList list;
    qint16 num = -1, count = -1, map = -1, iERROR = 9;
    QString newPN;
    Ports ports = Ports::of(0, 0);

    int status() const { return iERROR == 9 ? -1 : iERROR; } // -1: the operation has none
    QString text() const
    {
        QStringList out = fields.texts() << list[1] << list[2] << list[3] << newPN;
        out << texts({num, count, map});
        for (size_t i = 0; i < 4; ++i)
            out << QString::number(ports.mapNUM[i]) + ports.slot(i).join(u',');
        return out.join(u';');
    }
};

// What a save does with its change history: the rows on a connection of the save's, then the
// error record when they were not written.
inline db::HistoryWrite writeHistory(Caller& c, const QList<db::HistoryRow>& rows, db::HistoryAuthor& who)
{
    const db::Profile& p = c.profile;
    db::Connection connection(p, c.database.timeouts());
    if (!connection.open())
        return db::HistoryWrite::Failed;
    const db::HistoryWrite written = db::writeHistory(connection, p, c.database.timeouts(), who, rows);
    if (written == db::HistoryWrite::Failed)
        db::recordMissingHistory(c.database, p.server, p.database, p.user, p.password, rows);
    return written;
}

inline Outputs call(const QByteArray& name, Caller& c, const Call& a)
{
    using D = db::Database;
    Outputs o;
    o.newPN = a.newPN;
    o.num = a.num;
    if (name == "readPNlist")
        c(&D::SQL_readPNlist, o.list, o.num);
    else if (name == "readPNnames") {
        db::PartNumberNames names;
        c(&D::SQL_readPNnames, names, o.iERROR);
        for (qsizetype i = 0; i < std::min<qsizetype>(names.size(), 3); ++i)
            o.list[size_t(i + 1)] = names.at(i);
    } else if (name == "readPNinfo")
        o.fields.read(c, a.pn, o.iERROR);
    else if (name == "checkPN")
        c(&D::SQL_checkPN, a.pn, o.count, u"test"_s);
    else if (name == "writeinfo")
        edited.writeinfo(c, a.pn, o.newPN, o.map, o.iERROR);
    else if (name == "writePNdef")
        c(&D::SQL_writePNdef, o.iERROR);
    else if (name == "updatePN")
        c(&D::SQL_updatePN, a.pn, a.newPN, a.value, o.iERROR);
    else if (name == "writenewPN")
        edited.writenewPN(c, a.newPN, a.pn, a.value, o.iERROR);
    else if (name == "delPN")
        c(&D::SQL_delPN, a.pn, o.map, o.iERROR);
    else if (name == "readPORTinfo") {
        Ports& p = o.ports;
        c(&D::SQL_readPORTinfo, a.value, o.num, p.mapNUM, p.portNAME, p.UOM, p.unitSCALE, p.acTIVE, p.minSPEC,
          p.maxSPEC, p.timeDELAY, p.numAVG, p.mspeed, p.Range, p.ssON, p.ssTOL, p.ssMAXT, p.ssREQD);
    } else if (name == "writePORTinfo")
        a.ports.write(c, &D::SQL_writePORTinfo, a.value, a.num, o.iERROR);
    else if (name == "writenewPORTS")
        a.ports.write(c, &D::SQL_writenewPORTS, a.value, a.num, o.iERROR);
    else if (name == "writeHISTORY") {
        db::HistoryAuthor who{u"OP1"_s, u"AB"_s, u"Acme"_s, db::HistoryTable::Present};
        const QString name = a.pn + u"2"_s;
        o.iERROR =
            writeHistory(c, {db::renameRow(a.pn, name), {u"UPDATE"_s, name, 3, u"ssTOL"_s, u"1"_s, u"2"_s}},
                         who) == db::HistoryWrite::Written
                ? 0
                : 1;
    } else if (name == "readnewMAP")
        c(&D::SQL_readnewMAP, o.map, o.iERROR);
    else if (name == "checkMAP")
        c(&D::SQL_checkMAP, a.value, o.count);
    else
        c(&D::SQL_delPORTS, a.value, o.iERROR);
    return o;
}

struct FaultOp
{
    const char* name;
    const char* table;
    // "w": it writes; "b": it tells its failures in a message box; "r": it saves row by row,
    // so that a failed attempt may leave part of its work done.
    QString traits;
    QString record;    // "Routine|Summary" of its error record when the table is missing; empty: none
    QStringList spoil; // makes a value it reads or writes unusable; empty: none
    Call args;
    bool has(char16_t trait) const { return traits.contains(trait); }
};

// Three part numbers, PN-A to PN-C, with maps 1 to 3 of four ports each.
inline bool seedFaultData(TestDatabase& tdb)
{
    bool ok = execAll(tdb, {u"TRUNCATE snPN"_s, u"TRUNCATE portCONFIG"_s, u"TRUNCATE zSQL"_s,
                            u"DROP TABLE IF EXISTS zHISTORY"_s}) &&
              tdb.load(u"history.sql"_s);
    for (int m = 1; ok && m <= 3; ++m) {
        const QString pn = u"PN-"_s + QChar(u'A' + m - 1);
        ok = tdb.exec(
            u"INSERT INTO snPN (partNUM, snNAME, pnDEFAULT, mapPORT, snVALID) VALUES (?, ?, ?, ?, 1)"_s,
            {pn, QString(u"Name "_s + pn), m == 2 ? 1 : 0, m});
        for (int k = 1; ok && k <= 4; ++k)
            ok = tdb.exec(
                u"INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, minSPEC, maxSPEC) VALUES (?, ?, ?, ?, ?)"_s,
                {m, k, u"M%1P%2"_s.arg(m).arg(k), 1.5 * k, 100.0 * k + m});
    }
    return ok;
}

// What the part-number and port tables hold (ids left out, port rows in key order), and the history.
inline QStringList faultState(TestDatabase& tdb, bool history = true)
{
    return lines(tdb, u"SELECT partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, snFORMAT, "
                      u"snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD FROM snPN ORDER BY id"_s) +
           lines(tdb, u"SELECT mapPORT, mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, minSPEC + 0E0, "
                      u"maxSPEC + 0E0, numAVG, ssON FROM portCONFIG ORDER BY mapPORT, mapNUM, id"_s) +
           (history ? lines(tdb, u"SELECT Operator_Code, action, partNUM, mapNUM, field, oldVALUE, newVALUE "
                                 u"FROM zHISTORY "
                                 u"ORDER BY id"_s)
                    : QStringList());
}

inline QList<FaultOp> faultOps()
{
    const auto big = [](const QString& table, const QString& column, const QString& where) {
        return spoil(table, column, u"40000"_s, u"INT"_s, where);
    };
    const QString pn = u"snPN"_s, port = u"portCONFIG"_s, pnB = u"partNUM = 'PN-B'"_s;
    const QString port23 = u"mapPORT = 2 AND mapNUM = 3"_s, notFound = u"|Part # not found PN-B IE = 2"_s;
    const Call b{u"PN-B"_s}, map2{.value = 2};
    return {
        FaultOp("readPNlist", "snPN", {}, {}, {}, {}),
        FaultOp("readPNinfo", "snPN", {}, u"SQL_readPNinfo"_s + notFound, big(pn, u"snLENGTH"_s, pnB), b),
        FaultOp("checkPN", "snPN", {}, {}, {}, {u"PN-C"_s}),
        FaultOp("writeinfo", "snPN", u"w"_s, u"SQL_writeinfo"_s + notFound, big(pn, u"mapPORT"_s, pnB),
                {u"PN-B"_s, u"PN-B2"_s}),
        FaultOp("writePNdef", "snPN", u"wr"_s, u"SQL_writePNdef|Error encountered"_s,
                big(pn, u"pnDEFAULT"_s, u"partNUM = 'PN-A'"_s), {}),
        FaultOp("updatePN", "snPN", u"w"_s, u"SQL_updatePN|Part # not found PN-C IE = 2"_s,
                spoil(pn, u"partNUM"_s, u"NULL"_s, u"VARCHAR(25) NULL"_s, pnB), {u"PN-C"_s, u"PN-C2"_s}),
        // The record names the part number the caller gives for it, not the one stored.
        FaultOp("writenewPN", "snPN", u"w"_s, u"SQL_writenewPN|Part # was PN-E IE = 2"_s,
                spoil(pn, u"snFORMAT"_s, u"''"_s, u"VARCHAR(4)"_s, u"FALSE"_s), {u"PN-D"_s, u"PN-E"_s, 9}),
        FaultOp("delPN", "snPN", u"w"_s, u"SQL_delPN"_s + notFound, big(pn, u"mapPORT"_s, pnB), b),
        FaultOp("readPORTinfo", "portCONFIG", u"b"_s, {},
                spoil(port, u"minSPEC"_s, u"NULL"_s, u"FLOAT NULL"_s, port23), {.value = 2, .num = 8}),
        FaultOp("writePORTinfo", "portCONFIG", u"wb"_s, {},
                spoil(port, u"mapNUM"_s, u"60"_s, u"INT"_s, port23), map2),
        FaultOp("writenewPORTS", "portCONFIG", u"wb"_s, {},
                spoil(port, u"portNAME"_s, u"''"_s, u"VARCHAR(6)"_s, u"FALSE"_s), {.value = 9}),
        // A missing history table is silent: no error record.
        FaultOp("writeHISTORY", "zHISTORY", u"w"_s, {}, {}, b),
        FaultOp("readnewMAP", "portCONFIG", {}, {}, big(port, u"mapPORT"_s, u"mapNUM = 2"_s), {}),
        FaultOp("delPORTS", "portCONFIG", u"w"_s, {}, {}, map2),
        FaultOp("checkMAP", "snPN", {}, {}, {}, map2),
        FaultOp("readPNnames", "snPN", {}, {}, {}, {}),
    };
}

// Runs an operation; gives its status (-1: it has none) and a text of what it handed back.
inline std::pair<int, QString> run(const FaultOp& op, Caller& c)
{
    c.table = QString::fromLatin1(op.table);
    const Outputs o = call(op.name, c, op.args);
    return {o.status(), o.text()};
}

} // namespace zelmar::test
