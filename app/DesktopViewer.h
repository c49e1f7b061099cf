#pragma once

#include "SpreadsheetViewer.h"

namespace zelmar {

// Shows a workbook with the application that the desktop opens spreadsheets with.
class DesktopViewer : public SpreadsheetViewer
{
public:
    bool hasApplication() override;
    bool open(const QString& path) override;
};

} // namespace zelmar
