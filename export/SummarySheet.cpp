#include "SummarySheet.h"

#include <QStringView>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

constexpr int columns = 15;            // A to O
constexpr int formattedRows = 100;     // rows 1 to 100 are centred vertically
constexpr qsizetype maxSheetName = 31; // what a workbook accepts
constexpr int headingRow = 13;         // row 14

// The value a single-precision number was entered as (0.1, not 0.100000001490116).
CellValue number(float f)
{
    if (!std::isfinite(f))
        return {}; // a workbook cannot hold it; the cell stays blank
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text - 1, f).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

QString choose(bool on, const QString& yes, const QString& no)
{
    return on ? yes : no;
}

QString enabled(int flag)
{
    return choose(flag == 1, u"Enabled"_s, u"Disabled"_s);
}

QString scaleName(int code)
{
    switch (code) {
    case 1:
        return u"milli"_s;
    case 2:
        return u"unity"_s;
    case 3:
        return u"kilo"_s;
    default:
        return u"mega"_s;
    }
}

QString rangeName(int code)
{
    static const QStringList names = {u"Autorange"_s, u"0-200"_s, u"0-2K"_s, u"0-20K"_s,
                                      u"0-200K"_s,    u"0-2M"_s,  u"0-20M"_s};
    return code >= 0 && code < names.size() ? names[code] : u"0-100M"_s;
}

QString speedName(int code)
{
    return code == 1 ? u"SLOW"_s : code == 2 ? u"MEDIUM"_s : u"FAST"_s;
}

// The serial counter as at least 8 digits with leading zeros. A counter of more
// digits is shown whole rather than cut to its last 8.
QString counterText(qint32 n)
{
    const QString digits = QString::number(qAbs(qint64(n))).rightJustified(n < 0 ? 7 : 8, u'0');
    return n < 0 ? u'-' + digits : digits;
}

CellStyle calibri12(bool bold)
{
    CellStyle s;
    s.fontName = u"Calibri"_s;
    s.bold = bold;
    s.fontSize = 12;
    s.vertical = VAlign::Center;
    return s;
}

} // namespace

QString specNumberFormat(double v)
{
    if (v < 10)
        return u"0.0000"_s;
    if (v < 100)
        return u"0.000"_s;
    if (v < 1000)
        return u"0.00"_s;
    if (v < 10000)
        return u"#,##0.0"_s;
    return u"###,###,##0"_s;
}

QString summarySheetName(const QString& pn, const QStringList& sheetNames)
{
    QString name = pn.size() > 24 ? pn.left(25) : pn;
    for (QChar& c : name) {
        if (QStringView(u"[]:*?/\\").contains(c))
            c = u'_';
    }
    if (name.startsWith(u'\''))
        name[0] = u'_';
    if (name.endsWith(u'\''))
        name[name.size() - 1] = u'_';
    if (name.isEmpty())
        name = u"Sheet"_s;
    const auto taken = [&](const QString& candidate) {
        return std::any_of(sheetNames.begin(), sheetNames.end(), [&](const QString& sheet) {
            return sheet.compare(candidate, Qt::CaseInsensitive) == 0;
        });
    };
    const QString base = name;
    // The pass, repeated only in the rare case that its result still clashes (a PN
    // that is itself named like an earlier result, or differs only in case).
    for (bool clashed = true; clashed;) {
        clashed = false;
        for (int i = 0; i < sheetNames.size(); ++i) {
            if (sheetNames[i].compare(name, Qt::CaseInsensitive) == 0) {
                name += u" R"_s + QString::number(i + 1);
                clashed = true;
            }
        }
    }
    // Each export of the same PN appends once more; past the workbook's 31 characters the
    // sheet would be refused and the export fail, so the PN gives way to one free number.
    if (name.size() > maxSheetName) {
        for (qsizetype n = sheetNames.size() + 1;; ++n) {
            const QString suffix = u" R"_s + QString::number(n);
            name = base.left(maxSheetName - suffix.size()) + suffix;
            if (!taken(name))
                break;
        }
    }
    return name;
}

SheetModel buildSummarySheet(const SummaryInput& in, const QString& sheetName)
{
    SheetModel s;
    s.name = sheetName;
    const int ports = std::clamp<int>(in.numPORTS, 0, db::portSlots);

    // Rows 1 to 100 of every column are centred vertically.
    for (int r = 0; r < formattedRows; ++r)
        for (int c = 0; c < columns; ++c)
            s.at(r, c).style.vertical = VAlign::Center;

    // PN block: label in A:B, value in C:E.
    const QString na = u"N/A"_s;
    const QList<std::pair<QString, CellValue>> block = {
        {u"Part Number"_s, in.curPN},
        {u"Description"_s, in.snNAME},
        {u"Default PN"_s, enabled(in.pnDEFAULT)},
        {u"PN Active"_s, choose(in.snACTIVE == 1, u"Active"_s, u"Inactive"_s)},
        {u"Scan Bar Code"_s, enabled(in.snBARCODE)},
        {u"SN Format"_s, choose(in.snBARCODE == 1, in.snFORMAT, na)},
        {u"SN Extender"_s, choose(in.snBARCODE == 1, na, in.curPN + u' ' + counterText(in.snEXTENDER))},
        {u"Auto Measure"_s, enabled(in.autoMEASURE)},
        {u"Auto Time (seconds)"_s, number(in.autoTIME)},
        {u"R & R Configured"_s, enabled(in.reqRANDR)},
        {u"Good SN"_s, choose(in.reqRANDR == 1, in.snGOOD, na)},
        {u"Bad SN"_s, choose(in.reqRANDR == 1, in.snBAD, na)},
    };
    for (int r = 0; r < int(block.size()); ++r) {
        s.merges.push_back({r, 0, r, 1});
        s.merges.push_back({r, 2, r, 4});
        s.rowHeights[r] = 28;
        Cell& label = s.at(r, 0);
        label.style = calibri12(true);
        label.value = block[r].first;
        s.at(r, 2).value = block[r].second;
    }
    Cell& autoTime = s.at(8, 2);
    autoTime.style.numberFormat = u"0.00"_s;
    autoTime.style.horizontal = HAlign::Left;
    s.rowHeights[12] = 40;

    const double widths[columns] = {5, 25, 10, 10, 8, 10, 10.25, 10.25, 10.5, 15, 12, 11, 10, 10, 12};
    for (int c = 0; c < columns; ++c)
        s.columnWidths[c] = widths[c];

    // Port table: the heading row and one row per port, every cell bordered.
    const QStringList headings = {u"Port #"_s,
                                  u"Description"_s,
                                  u"Unit Scale"_s,
                                  u"UOM"_s,
                                  u"Port Active"_s,
                                  u"Range"_s,
                                  u"Min Spec"_s,
                                  u"Max Spec"_s,
                                  u"Number of Averages"_s,
                                  u"Measurement Speed"_s,
                                  u"Time Delay (sec)"_s,
                                  u"Stability Algorithm"_s,
                                  u"SS Tol (%)"_s,
                                  u"SS Max Wait (sec)"_s,
                                  u"Stability Required"_s};
    s.rowHeights[headingRow] = 34;
    for (int c = 0; c < columns; ++c) {
        Cell& h = s.at(headingRow, c);
        h.style = calibri12(true);
        h.style.wrap = true;
        h.style.horizontal = HAlign::Center;
        h.style.border = true;
        h.value = headings[c];
    }
    for (int k = 1; k <= ports; ++k) {
        const int i = k - 1;
        const int r = headingRow + k;
        s.rowHeights[r] = 24;
        const CellValue minSpec = number(in.minSPEC[i]);
        const CellValue maxSpec = number(in.maxSPEC[i]);
        const std::pair<CellValue, QString> row[columns] = {
            {double(k), {}},
            {in.portNAME[i], {}},
            {scaleName(in.unitSCALE[i]), {}},
            {in.UOM[i] == 1 ? CellValue(u"ohms"_s) : CellValue(), {}},
            {choose(in.acTIVE[i] == 1, u"Active"_s, u"InActive"_s), {}},
            {rangeName(in.Range[i]), {}},
            {minSpec, specNumberFormat(double(in.minSPEC[i]))},
            {maxSpec, specNumberFormat(double(in.maxSPEC[i]))},
            {double(in.numAVG[i]), u"0"_s},
            {speedName(in.mspeed[i]), {}},
            {number(in.timeDELAY[i]), u"0.00"_s},
            {enabled(in.ssON[i]), {}},
            {number(in.ssTOL[i] * 100.0f), u"0.00"_s},
            {number(in.ssMAXT[i]), u"0.00"_s},
            {enabled(in.ssREQD[i]), {}},
        };
        for (int c = 0; c < columns; ++c) {
            Cell& cell = s.at(r, c);
            cell.style = calibri12(false);
            cell.style.horizontal = HAlign::Center;
            cell.style.border = true;
            cell.style.numberFormat = row[c].second;
            cell.value = row[c].first;
        }
    }

    PageSetup& p = s.page;
    // The font-style form of the bold code: &"Bold" would name a font called Bold.
    p.header = u"&L&\"-,Bold\"&12NOTE: Tarvik\u00AE Part Number Parameter Summary"
               u"&R&\"-,Bold\"&12printed on &D at &T"_s;
    p.footer.clear();
    p.leftMargin = p.rightMargin = 0.75;
    p.topMargin = p.bottomMargin = 1.0;
    p.headerMargin = p.footerMargin = 0.5;
    p.centerHorizontally = true;
    p.centerVertically = false;
    p.landscape = true;
    p.paperSize = 1;
    p.fitWide = p.fitTall = 1;
    return s;
}

} // namespace zelmar
