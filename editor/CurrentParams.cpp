#include "CurrentParams.h"

#include <algorithm>
#include <utility>

namespace zelmar {

int usablePorts(int numPORTS)
{
    return std::clamp(numPORTS, 0, db::portSlots);
}

void CurrentParams::defPORT()
{
    const int n = usablePorts(numPORTS);
    for (int k = 1; k <= n; ++k) {
        const int i = k - 1;
        mapNUM[i] = qint16(k);
        portNAME[i] = QStringLiteral("PORT ") + QString::number(k);
        UOM[i] = 1;
        unitSCALE[i] = 2;
        acTIVE[i] = 1;
        minSPEC[i] = 1.0f;
        maxSPEC[i] = 1000.0f;
        timeDELAY[i] = 0.25f;
        Range[i] = 0;
        numAVG[i] = 2;
        mspeed[i] = 2;
        ssON[i] = 1;
        ssTOL[i] = 0.05f;
        ssMAXT[i] = 2.0f;
        ssREQD[i] = 0;
    }
}

void CurrentParams::defPN()
{
    snNAME = QStringLiteral("PN DESCRIPTION");
    pnDEFAULT = 0;
    snACTIVE = 1;
    snBARCODE = 0;
    snEXTENDER = 0;
    snFORMAT.clear();
    snLENGTH = qint16((curPN + QLatin1Char(' ')).size() + 9);
    autoMEASURE = 0;
    autoTIME = 20.0f;
    reqRANDR = 0;
    snGOOD.clear();
    snBAD.clear();
    // curPN and snPATTERN are left as they are.
}

void CurrentParams::showWindowHolding(const QString& name)
{
    const qsizetype all = pnNAMES.size();
    // Past the last name: the last page.
    const qsizetype at = std::min(pnNAMES.lowerBound(name), std::max<qsizetype>(all - 1, 0));
    const qsizetype first = at - at % db::pnListSlots;
    numPN = qint16(std::min<qsizetype>(all - first, db::pnListSlots));
    for (int i = 1; i <= numPN; ++i)
        pnLIST[std::size_t(i)] = pnNAMES.at(first + i - 1);
}

void bSORT(db::PnList& pvarArray, int numPN)
{
    const int n = std::min(numPN, db::pnListSlots);
    if (n < 2)
        return;
    int upper = n - 1; // last i compared with i + 1 in this pass
    bool swapped = true;
    while (swapped && upper >= 1) {
        swapped = false;
        for (int i = 1; i <= upper; ++i) {
            // QString's operator< compares UTF-16 code units: character codes, case-sensitive.
            if (pvarArray[i + 1] < pvarArray[i]) {
                std::swap(pvarArray[i], pvarArray[i + 1]);
                swapped = true;
            }
        }
        --upper;
    }
}

} // namespace zelmar
