#pragma once

#include "SheetModel.h"
#include "SummaryInput.h"

#include <QStringList>

namespace zelmar {

// The printable one-page summary of a part number: the PN block in rows 1 to 12, the
// port table headed in row 14 with port k on row 14 + k, fitted to one landscape
// letter page. Pure: the same input gives the same sheet.
SheetModel buildSummarySheet(const SummaryInput& input, const QString& sheetName);

// The name of a new summary sheet for `pn` beside the sheets already in the workbook:
// the PN, cut to 25 characters, then one pass over the sheets in order in which each
// sheet that bears the name so far appends " R" and its number (1-based). A workbook
// holds sheet names regardless of case, refuses some characters and names over 31
// characters; those are made good here so that the name never makes an export fail.
QString summarySheetName(const QString& pn, const QStringList& sheetNames);

// The number format of a Min or Max Spec cell, by the value's size.
QString specNumberFormat(double v);

} // namespace zelmar
