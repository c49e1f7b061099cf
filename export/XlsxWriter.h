#pragma once

#include "SheetModel.h"

#include <QString>

#include <vector>

namespace zelmar {

// Writes sheets into one workbook file with libxlsxwriter. The file at `path` is
// created or truncated; the caller chooses a path that nobody else can plant.
class XlsxWriter
{
public:
    // The sheet at index `active` is the one on show when the workbook is opened.
    bool write(const std::vector<SheetModel>& sheets, const QString& path, std::size_t active);
    // Why the last write failed.
    QString errorString() const { return m_error; }

private:
    QString m_error;
};

} // namespace zelmar
