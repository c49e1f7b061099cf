#pragma once

#include "PartNumberList.h"
#include "PartNumberValues.h"
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
struct CurrentParams : db::PnValues, db::PortTable
{
    // The PN values (curPN is the loaded part number) and the port table come from the
    // bases; numPORTS is the station's port count from the operator's account, capped at
    // db::portSlots by FormMainTestMenu::setnumPORTS.
    QString snPATTERN; // built by ConvertSerialNumber

    // ---- PN list: slots 1..numPN used, slot 0 unused ----
    // The list shows at most 100 of the table's part numbers: a window over all of them,
    // which pnNAMES holds sorted.
    db::PnList pnLIST{};
    qint16 numPN = 0;
    db::PartNumberNames pnNAMES;
    // The window of pnNAMES into pnLIST(1..numPN): the page of 100 that holds `name`, or
    // that would hold it when the table has no such part number.
    void showWindowHolding(const QString& name);

    // ---- Selection state (set at the start of each run) ----
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

    // No PN loaded, selected or shown; the next pick of the list loads.
    void forgetSelection()
    {
        pnLOADED = 0;
        skipCLICK = 0;
        curSCALE = -1;
        curPORT = -1;
        curPNidx = -1;
    }

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
