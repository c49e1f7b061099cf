#pragma once

#include "Shapes.h"

#include <QString>
#include <QtGlobal>

namespace zelmar {

// What one part-number summary shows: the PN values as stored and the port table as
// held by the editor. Port k lives in slot k-1; slots 0..numPORTS-1 are shown.
struct SummaryInput
{
    QString curPN;
    QString snNAME;
    qint16 pnDEFAULT = 0;
    qint16 snACTIVE = 0;
    qint16 snBARCODE = 0;
    qint32 snEXTENDER = 0;
    QString snFORMAT;
    qint16 autoMEASURE = 0;
    float autoTIME = 0.0f;
    qint16 reqRANDR = 0;
    QString snGOOD;
    QString snBAD;

    qint16 numPORTS = 0; // a count outside 0..49 is clamped
    db::PortArray<QString> portNAME{};
    db::PortArray<qint16> UOM{};
    db::PortArray<qint16> unitSCALE{};
    db::PortArray<qint16> acTIVE{};
    db::PortArray<float> minSPEC{}; // ohms
    db::PortArray<float> maxSPEC{}; // ohms
    db::PortArray<float> timeDELAY{};
    db::PortArray<qint16> Range{};
    db::PortArray<qint16> numAVG{};
    db::PortArray<qint16> mspeed{};
    db::PortArray<qint16> ssON{};
    db::PortArray<float> ssTOL{}; // fraction
    db::PortArray<float> ssMAXT{};
    db::PortArray<qint16> ssREQD{};
};

} // namespace zelmar
