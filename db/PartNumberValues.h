#pragma once

#include "Shapes.h"

#include <QString>
#include <QtGlobal>

namespace zelmar::db {

// The values of one part-number record as the program holds them, named after the
// columns they mirror. 16-bit integers are qint16, single floats float.
struct PnValues
{
    QString curPN; // partNUM
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
};

// The port table of one part number: port k (1-based) in slot k-1 of every array.
struct PortTable
{
    // Number of ports shown and saved; never above portSlots (49).
    qint16 numPORTS = 0;

    PortArray<qint16> mapNUM{};
    PortArray<QString> portNAME{};
    PortArray<qint16> UOM{};
    PortArray<qint16> unitSCALE{}; // 1 milli, 2 unity, 3 kilo, 4 mega
    PortArray<qint16> acTIVE{};
    PortArray<float> minSPEC{};   // ohms
    PortArray<float> maxSPEC{};   // ohms
    PortArray<float> timeDELAY{}; // seconds
    PortArray<qint16> Range{};    // range list index, 0-based
    PortArray<qint16> numAVG{};
    PortArray<qint16> mspeed{}; // speed list index + 1
    PortArray<qint16> ssON{};
    PortArray<float> ssTOL{};  // fraction; the editor shows percent
    PortArray<float> ssMAXT{}; // seconds
    PortArray<qint16> ssREQD{};
};

} // namespace zelmar::db
