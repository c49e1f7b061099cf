#pragma once

#include "SheetModel.h"
#include "SpreadsheetViewer.h"
#include "SummaryInput.h"

#include <QString>
#include <QStringList>

namespace zelmar::test {

// A part number of `ports` ports whose values run through the pick lists and spec sizes
// (scripts/export-picture draws it for the README).
inline SummaryInput samplePart(int ports, const QString& pn = QStringLiteral("AB-100"))
{
    SummaryInput in;
    in.curPN = pn;
    in.snNAME = QStringLiteral("HARNESS 12 WAY");
    in.pnDEFAULT = 1;
    in.snACTIVE = 1;
    in.snEXTENDER = 42;
    in.snFORMAT = QStringLiteral("AB-####");
    in.autoMEASURE = 1;
    in.autoTIME = 20.0f;
    in.numPORTS = qint16(ports);
    const float specs[] = {0.5f, 12.0f, 250.0f, 2500.0f, 120000.0f};
    for (int i = 0; i < ports; ++i) {
        in.portNAME[i] = QStringLiteral("PORT ") + QString::number(i + 1);
        in.UOM[i] = 1;
        in.unitSCALE[i] = qint16(i % 4 + 1);
        in.acTIVE[i] = qint16(i % 5 != 4);
        in.minSPEC[i] = specs[i % 5];
        in.maxSPEC[i] = specs[i % 5] * 4;
        in.timeDELAY[i] = 0.25f;
        in.Range[i] = qint16(i % 8);
        in.numAVG[i] = 2;
        in.mspeed[i] = qint16(i % 3 + 1);
        in.ssON[i] = 1;
        in.ssTOL[i] = 0.05f;
        in.ssMAXT[i] = 2.0f;
        in.ssREQD[i] = qint16(i % 2);
    }
    return in;
}

// Records the workbooks it was asked to show; a desktop without an application for
// them, or whose launcher fails, when told to.
class FakeViewer : public SpreadsheetViewer
{
public:
    bool hasApplication() override { return !noApplication; }
    bool open(const QString& path) override
    {
        opened << path;
        return !refuse;
    }
    QStringList opened;
    bool noApplication = false;
    bool refuse = false;
};

// A cell of a sheet by its A1 reference (columns A to Z); an empty cell when the sheet has none.
inline Cell cellAt(const SheetModel& sheet, const QString& ref)
{
    const Cell* cell = sheet.find(ref.mid(1).toInt() - 1, ref.at(0).unicode() - u'A');
    return cell ? *cell : Cell{};
}

} // namespace zelmar::test
