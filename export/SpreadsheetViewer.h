#pragma once

#include <QString>

namespace zelmar {

// The desktop's spreadsheet application, which shows a workbook file to the operator
// (who prints or saves from there).
class SpreadsheetViewer
{
public:
    virtual ~SpreadsheetViewer() = default;
    // Whether the desktop has an application for workbook files. A launcher that starts
    // says nothing about that: without one it may hand the file to a web browser.
    virtual bool hasApplication() = 0;
    // Shows the workbook file; false when no application could be started for it.
    virtual bool open(const QString& path) = 0;
};

} // namespace zelmar
