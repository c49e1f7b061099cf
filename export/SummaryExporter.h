#pragma once

#include "SummaryInput.h"

#include <QString>

namespace zelmar {

// The workbook that the exports of a run fill, one summary sheet per export, as the
// editor sees it.
class SummaryExporter
{
public:
    virtual ~SummaryExporter() = default;
    // Lets go of the workbook held so far, if any, and starts an empty one.
    virtual void newWorkbook() = 0;
    // Adds the summary sheet of `input` to the workbook and shows the whole workbook,
    // the new sheet on top. False, with errorString(), when that failed.
    virtual bool exportSummary(const SummaryInput& input) = 0;
    // The end of the run: the workbook last written is shown if it has not been yet, and
    // let go; nothing is deleted.
    virtual void handOver() = 0;
    virtual QString errorString() const = 0;
};

} // namespace zelmar
