#pragma once

#include "Shapes.h"

#include <QString>
#include <QtGlobal>

namespace zelmar {

// The current-parameter set: the in-memory copy of the part
// number on show, its port table, the sorted part-number list and the
// selection state of the editor. A plain value with no widgets, so that it can
// be tested alone; the editor window owns one (FormMainTestMenu::cur).
//
// Names and types follow the stored columns: 16-bit integers are qint16, single floats
// are float, the 32-bit integer is qint32.
struct CurrentParams
{
    // ---- Port table: 49 slots, port k (1-based) in slot k-1 ----
    // Number of ports of the station, from the operator's account. Never above
    // db::portSlots (49): FormMainTestMenu::setnumPORTS caps it.
    qint16 numPORTS = 0;

    db::PortArray<qint16> mapNUM{};
    db::PortArray<QString> portNAME{};
    db::PortArray<qint16> UOM{};
    db::PortArray<qint16> unitSCALE{}; // 1 milli, 2 unity, 3 kilo, 4 mega
    db::PortArray<qint16> acTIVE{};
    db::PortArray<float> minSPEC{};   // ohms
    db::PortArray<float> maxSPEC{};   // ohms
    db::PortArray<float> timeDELAY{}; // seconds
    db::PortArray<qint16> Range{};    // lstRANGE index, 0-based
    db::PortArray<qint16> numAVG{};
    db::PortArray<qint16> mspeed{}; // lstSPEED index + 1
    db::PortArray<qint16> ssON{};
    db::PortArray<float> ssTOL{};  // fraction; the window shows percent
    db::PortArray<float> ssMAXT{}; // seconds
    db::PortArray<qint16> ssREQD{};

    // ---- PN values ----
    QString curPN;
    QString snNAME;
    qint16 pnDEFAULT = 0;
    qint16 snACTIVE = 0;
    qint16 snBARCODE = 0;
    qint32 snEXTENDER = 0;
    QString snFORMAT;
    qint16 snLENGTH = 0;
    qint16 autoMEASURE = 0;
    float autoTIME = 0.0f;
    qint16 reqRANDR = 0;
    QString snGOOD;
    QString snBAD;
    QString snPATTERN; // built by ConvertSerialNumber

    // ---- PN list: slots 1..numPN used, slot 0 unused ----
    db::PnList pnLIST{};
    qint16 numPN = 0;

    // ---- Selection state (start values step 1) ----
    qint16 curPNidx = -1;  // lsttestPN index of the loaded PN; -1 none
    qint16 pnLOADED = 0;   // 1 after a successful load
    qint16 curPORT = -1;   // port index shown in the port fields; -1 none
    qint16 newPORT = -1;   // lstPORT index just chosen
    qint16 curSCALE = -1;  // lstsCALE index the min/max fields are expressed in; -1 not set
    qint16 skipCLICK = 0;  // non-zero: the next lsttestPN click only clears it
    qint16 renameSTEP = 0; // 0 idle, -1 confirming, 1..7 renaming

    // ---- Export state, read by displayBTN and QUIT ----
    qint16 xlOPEN = 0;   // 1 while an export holds the spreadsheet application
    qint16 xlSTATUS = 0; // 2: opening the spreadsheet application failed

    // Slots 0..numPORTS-1 of every port array get the defaults.
    void defPORT();
    // The PN values get their defaults; snLENGTH from the curPN held now.
    void defPN();
};

// The number of port slots that a count of ports may touch: numPORTS clamped to 0..49.
int usablePorts(int numPORTS);

// bSORT: ascending exchange sort of slots 1..numPN of pvarArray, in
// place, by character code (case-sensitive; upper case before lower case,
// digits before letters). numPN of 0 or 1 does nothing; a count above 100 is
// treated as 100 so that no slot beyond the list is touched.
void bSORT(db::PnList& pvarArray, int numPN);

} // namespace zelmar
