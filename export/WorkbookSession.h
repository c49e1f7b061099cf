#pragma once

#include "SheetModel.h"
#include "SpreadsheetViewer.h"
#include "SummaryExporter.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zelmar {

// The run's workbook, held as its sheets. Each export writes the whole workbook into a
// new .xlsx file in `folder`, created exclusively and readable by its owner only (a link
// planted under its name makes the creation fail), with the new sheet on show. A file
// once written is never touched again: the operator may have it open, or have saved
// over it, and a viewer that already shows a file does not read it again.
class WorkbookSession : public SummaryExporter
{
public:
    // The viewer is not owned and must outlive the session. `folder` empty: the
    // user's temporary folder.
    explicit WorkbookSession(SpreadsheetViewer* viewer, const QString& folder = QString());

    void newWorkbook() override;
    bool exportSummary(const SummaryInput& input) override;
    void handOver() override;
    QString errorString() const override { return m_error; }

    // The file last written; empty before the first write of the workbook.
    QString filePath() const { return m_path; }
    QStringList sheetNames() const;
    const std::vector<SheetModel>& sheets() const { return m_sheets; }

private:
    bool fail(const QString& why);
    bool writeFile(QString& path);

    SpreadsheetViewer* m_viewer;
    QString m_folder;
    QString m_path;
    bool m_shown = false;
    std::vector<SheetModel> m_sheets;
    QString m_error;
};

} // namespace zelmar
