#pragma once

// The thirteen database operations as uniform calls over a seeded test database,
// for the fault matrices: each call gives its status (or -1 where it has none) and
// a text of what it handed back.

#include "Database.h"
#include "OpsSupport.h"
#include "TestServer.h"

#include <functional>

namespace zelmar::test {

struct OpResult
{
    int status = -1;
    QString out;
};

struct FaultOp
{
    const char* name;
    std::function<OpResult(db::Database&, const db::Profile&)> call;
    bool writes;
    const char* routine; // of its error record; nullptr: it writes none
    bool box;            // tells its failures in a message box
    // Saved row by row by design: a failed attempt may leave part of its work done.
    bool rowByRow;
    // Statements that make a column it reads NULL or out of range; empty: it reads none.
    QStringList spoil;
};

// Three part numbers, PN-A to PN-C, with maps 1 to 3 of four ports each.
inline bool seedFaultData(TestDatabase& tdb)
{
    for (int m = 1; m <= 3; ++m) {
        const QString pn = QStringLiteral("PN-") + QChar(u'A' + m - 1);
        if (!tdb.exec(QStringLiteral("INSERT INTO snPN (partNUM, snNAME, pnDEFAULT, mapPORT, snVALID) "
                                     "VALUES (?, ?, ?, ?, 1)"),
                      QVariantList{pn, QString(QStringLiteral("Name ") + pn), m == 2 ? 1 : 0, m}))
            return false;
        for (int k = 1; k <= 4; ++k) {
            if (!tdb.exec(
                    QStringLiteral("INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, minSPEC, maxSPEC) "
                                   "VALUES (?, ?, ?, ?, ?)"),
                    QVariantList{m, k, QStringLiteral("M%1P%2").arg(m).arg(k), 1.5 * k, 100.0 * k + m}))
                return false;
        }
    }
    return true;
}

// What the part-number and port tables hold, as comparable text (ids left out, port
// rows in key order so that a doubled row shows as one line more).
inline QStringList faultState(TestDatabase& tdb)
{
    QStringList out =
        tableTexts(tdb, QStringLiteral("snPN"),
                   QStringLiteral("partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, "
                                  "snFORMAT, snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD"));
    for (const QVariantList& row :
         tdb.rows(QStringLiteral("SELECT mapPORT, mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, "
                                 "minSPEC + 0E0, maxSPEC + 0E0, numAVG, ssON FROM portCONFIG "
                                 "ORDER BY mapPORT, mapNUM, id")))
        out.append(texts(row).join(u'|'));
    return out;
}

struct FaultPorts
{
    db::PortArray<qint16> mapNUM{}, UOM{}, unitSCALE{}, acTIVE{}, numAVG{}, mspeed{}, Range{}, ssON{},
        ssREQD{};
    db::PortArray<QString> portNAME;
    db::PortArray<float> minSPEC{}, maxSPEC{}, timeDELAY{}, ssTOL{}, ssMAXT{};

    // Ports 1..4 with values unlike the seeded ones.
    static FaultPorts edited()
    {
        FaultPorts p;
        for (int k = 1; k <= 4; ++k) {
            const auto i = size_t(k - 1);
            p.mapNUM[i] = qint16(k);
            p.portNAME[i] = QStringLiteral("New%1").arg(k);
            p.UOM[i] = 2;
            p.unitSCALE[i] = 3;
            p.acTIVE[i] = 1;
            p.Range[i] = qint16(k);
            p.minSPEC[i] = 0.5f * float(k);
            p.maxSPEC[i] = 50.0f * float(k);
            p.numAVG[i] = 3;
            p.mspeed[i] = 1;
            p.timeDELAY[i] = 0.25f;
            p.ssON[i] = 0;
            p.ssTOL[i] = 0.125f;
            p.ssMAXT[i] = 4;
            p.ssREQD[i] = 0;
        }
        return p;
    }
    QString text(int n) const
    {
        QStringList out;
        for (int i = 0; i < n; ++i)
            out.append(texts({mapNUM[size_t(i)], portNAME[size_t(i)], minSPEC[size_t(i)], maxSPEC[size_t(i)]})
                           .join(u','));
        return out.join(u';');
    }
};

inline QList<FaultOp> faultOps()
{
    using D = db::Database;
    const QString pnT = QStringLiteral("snPN");
    const QString portT = QStringLiteral("portCONFIG");
    const auto alter = [](const QString& table, const QString& column, const QString& type,
                          const QString& value, const QString& where) {
        return QStringList{
            QStringLiteral("ALTER TABLE %1 MODIFY `%2` %3").arg(table, column, type),
            QStringLiteral("UPDATE %1 SET `%2` = %3 WHERE %4").arg(table, column, value, where)};
    };
    const QString pnB = QStringLiteral("partNUM = 'PN-B'");
    return {
        {"readPNlist",
         [=](D& d, const db::Profile& p) {
             db::PnList list;
             qint16 num = -1;
             d.SQL_readPNlist(p.server, p.database, p.user, p.password, pnT, list, num);
             return OpResult{-1, QString::number(num) + u':' + list[1] + u',' + list[2] + u',' + list[3]};
         },
         false,
         nullptr,
         false,
         false,
         {}},
        {"readPNinfo",
         [=](D& d, const db::Profile& p) {
             QString name = QStringLiteral("x"), format, good, bad;
             qint16 def = -1, map = -1, active = -1, barcode = -1, length = -1, autoM = -1, randr = -1, e = 9;
             qint32 ext = -1;
             float autoT = -1;
             d.SQL_readPNinfo(p.server, p.database, p.user, p.password, pnT, QStringLiteral("PN-B"), name,
                              def, map, active, barcode, ext, format, length, autoM, autoT, randr, good, bad,
                              e);
             return OpResult{e, name + u',' + QString::number(map) + u',' + QString::number(length)};
         },
         false, "SQL_readPNinfo", false, false,
         alter(pnT, QStringLiteral("snLENGTH"), QStringLiteral("INT"), QStringLiteral("40000"), pnB)},
        {"checkPN",
         [=](D& d, const db::Profile& p) {
             qint16 count = -1;
             d.SQL_checkPN(p.server, p.database, p.user, p.password, pnT, QStringLiteral("PN-C"), count,
                           QStringLiteral("test"));
             return OpResult{-1, QString::number(count)};
         },
         false,
         nullptr,
         false,
         false,
         {}},
        {"writeinfo",
         [=](D& d, const db::Profile& p) {
             QString newPN = QStringLiteral("PN-B2");
             qint16 map = -1, e = 9;
             d.SQL_writeinfo(p.server, p.database, p.user, p.password, pnT, QStringLiteral("PN-B"), newPN,
                             QStringLiteral("Saved"), 0, 1, 1, 0, QStringLiteral("AB-##"), 5, 1, 2.5f, 0,
                             QString(), QString(), map, e);
             return OpResult{e, QString::number(map)};
         },
         true, "SQL_writeinfo", false, false,
         alter(pnT, QStringLiteral("mapPORT"), QStringLiteral("INT"), QStringLiteral("40000"), pnB)},
        {"writePNdef",
         [=](D& d, const db::Profile& p) {
             qint16 e = 9;
             d.SQL_writePNdef(p.server, p.database, p.user, p.password, pnT, e);
             return OpResult{e, QString()};
         },
         true, "SQL_writePNdef", false, true,
         alter(pnT, QStringLiteral("pnDEFAULT"), QStringLiteral("INT"), QStringLiteral("40000"),
               QStringLiteral("partNUM = 'PN-A'"))},
        {"updatePN",
         [=](D& d, const db::Profile& p) {
             qint16 e = 9;
             d.SQL_updatePN(p.server, p.database, p.user, p.password, pnT, QStringLiteral("PN-C"),
                            QStringLiteral("PN-C2"), 0, e);
             return OpResult{e, QString()};
         },
         true, "SQL_updatePN", false, false,
         alter(pnT, QStringLiteral("partNUM"), QStringLiteral("VARCHAR(25) NULL"), QStringLiteral("NULL"),
               pnB)},
        {"writenewPN",
         [=](D& d, const db::Profile& p) {
             qint16 e = 9;
             d.SQL_writenewPN(p.server, p.database, p.user, p.password, pnT, QStringLiteral("PN-D"),
                              QStringLiteral("PN-D"), QStringLiteral("New"), 0, 1, 0, 0, QString(), 0, 0,
                              20.0f, 0, QString(), QString(), 9, e);
             return OpResult{e, QString()};
         },
         true,
         "SQL_writenewPN",
         false,
         false,
         {}},
        {"delPN",
         [=](D& d, const db::Profile& p) {
             qint16 map = -1, e = 9;
             d.SQL_delPN(p.server, p.database, p.user, p.password, pnT, QStringLiteral("PN-B"), map, e);
             return OpResult{e, QString::number(map)};
         },
         true, "SQL_delPN", false, false,
         alter(pnT, QStringLiteral("mapPORT"), QStringLiteral("INT"), QStringLiteral("40000"), pnB)},
        {"readPORTinfo",
         [=](D& d, const db::Profile& p) {
             FaultPorts ports;
             qint16 n = 8;
             d.SQL_readPORTinfo(p.server, p.database, p.user, p.password, portT, 2, n, ports.mapNUM,
                                ports.portNAME, ports.UOM, ports.unitSCALE, ports.acTIVE, ports.minSPEC,
                                ports.maxSPEC, ports.timeDELAY, ports.numAVG, ports.mspeed, ports.Range,
                                ports.ssON, ports.ssTOL, ports.ssMAXT, ports.ssREQD);
             return OpResult{-1, QString::number(n) + u'/' + ports.text(4)};
         },
         false, nullptr, true, false,
         alter(portT, QStringLiteral("minSPEC"), QStringLiteral("FLOAT NULL"), QStringLiteral("NULL"),
               QStringLiteral("mapPORT = 2 AND mapNUM = 3"))},
        {"writePORTinfo",
         [=](D& d, const db::Profile& p) {
             const FaultPorts ports = FaultPorts::edited();
             qint16 e = 9;
             d.SQL_writePORTinfo(p.server, p.database, p.user, p.password, portT, 2, 4, ports.mapNUM,
                                 ports.portNAME, ports.UOM, ports.unitSCALE, ports.acTIVE, ports.minSPEC,
                                 ports.maxSPEC, ports.timeDELAY, ports.numAVG, ports.mspeed, ports.Range,
                                 ports.ssON, ports.ssTOL, ports.ssMAXT, ports.ssREQD, e);
             return OpResult{e, QString()};
         },
         true, nullptr, true, true,
         alter(portT, QStringLiteral("mapNUM"), QStringLiteral("INT"), QStringLiteral("60"),
               QStringLiteral("mapPORT = 2 AND mapNUM = 3"))},
        {"writenewPORTS",
         [=](D& d, const db::Profile& p) {
             const FaultPorts ports = FaultPorts::edited();
             qint16 e = 9;
             d.SQL_writenewPORTS(p.server, p.database, p.user, p.password, portT, 9, 4, ports.mapNUM,
                                 ports.portNAME, ports.UOM, ports.unitSCALE, ports.acTIVE, ports.minSPEC,
                                 ports.maxSPEC, ports.timeDELAY, ports.numAVG, ports.mspeed, ports.Range,
                                 ports.ssON, ports.ssTOL, ports.ssMAXT, ports.ssREQD, e);
             return OpResult{e, QString()};
         },
         true,
         nullptr,
         true,
         false,
         {}},
        {"readnewMAP",
         [=](D& d, const db::Profile& p) {
             qint16 map = -1, e = 9;
             d.SQL_readnewMAP(p.server, p.database, p.user, p.password, portT, map, e);
             return OpResult{e, QString::number(map)};
         },
         false, nullptr, false, false,
         alter(portT, QStringLiteral("mapPORT"), QStringLiteral("INT"), QStringLiteral("40000"),
               QStringLiteral("mapNUM = 2"))},
        {"delPORTS",
         [=](D& d, const db::Profile& p) {
             qint16 e = 9;
             d.SQL_delPORTS(p.server, p.database, p.user, p.password, portT, 2, e);
             return OpResult{e, QString()};
         },
         true,
         nullptr,
         false,
         true,
         {}},
    };
}

} // namespace zelmar::test
