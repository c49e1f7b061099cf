#pragma once

#include <QString>

#include <map>
#include <utility>
#include <variant>
#include <vector>

namespace zelmar {

// A worksheet as plain data: what a writer puts into a workbook file. Rows and
// columns count from 0 (row 0 is the spreadsheet's row 1, column 0 its column A).

enum class HAlign
{
    General,
    Left,
    Center
};
enum class VAlign
{
    Bottom,
    Center
};

struct CellStyle
{
    QString fontName; // empty: the workbook's default font
    bool bold = false;
    double fontSize = 0; // points; 0: the default size
    HAlign horizontal = HAlign::General;
    VAlign vertical = VAlign::Bottom;
    bool wrap = false;
    bool border = false;  // a thin continuous line on the left, right, top and bottom edge
    QString numberFormat; // empty: General

    bool operator==(const CellStyle&) const = default;
};

// An empty value leaves the cell blank (it still carries its style).
using CellValue = std::variant<std::monostate, QString, double>;

struct Cell
{
    CellValue value;
    CellStyle style;
};

struct CellRange
{
    int firstRow, firstCol, lastRow, lastCol;
};

struct PageSetup
{
    QString header; // with the spreadsheet's header codes (&L, &R, &D, ...)
    QString footer;
    double leftMargin = 0.7, rightMargin = 0.7, topMargin = 0.75, bottomMargin = 0.75; // inches
    double headerMargin = 0.3, footerMargin = 0.3;
    bool centerHorizontally = false;
    bool centerVertically = false;
    bool landscape = false;
    int paperSize = 0; // the spreadsheet's code: 1 letter; 0 the printer's default
    int fitWide = 0;   // pages wide and tall; 0 and 0: print at 100 %
    int fitTall = 0;
};

struct SheetModel
{
    QString name;
    std::map<std::pair<int, int>, Cell> cells; // by (row, column)
    std::vector<CellRange> merges;
    std::map<int, double> rowHeights;   // points
    std::map<int, double> columnWidths; // the spreadsheet's character units
    PageSetup page;

    Cell& at(int row, int col) { return cells[{row, col}]; }
    const Cell* find(int row, int col) const
    {
        const auto it = cells.find({row, col});
        return it == cells.end() ? nullptr : &it->second;
    }
};

} // namespace zelmar
