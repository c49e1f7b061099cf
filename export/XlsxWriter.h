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
    bool write(const std::vector<SheetModel>& sheets, const QString& path);
    // Why the last write failed.
    QString errorString() const { return m_error; }

private:
    QString m_error;
};

} // namespace zelmar
