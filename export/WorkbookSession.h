#pragma once

#include "SheetModel.h"
#include "SpreadsheetViewer.h"
#include "SummaryExporter.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zelmar {

// The run's workbook: its sheets, and the one .xlsx file in `folder` that each export
// writes whole and replaces. The file gets a fresh name of its own, created
// exclusively (a link planted under that name makes the creation fail), and is
// replaced atomically; a workbook whose file has gone, or that can no longer be
// replaced, fails the export.
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

    // The file of the current workbook; empty before its first write.
    QString filePath() const { return m_written ? m_path : QString(); }
    QStringList sheetNames() const;
    const std::vector<SheetModel>& sheets() const { return m_sheets; }

private:
    bool fail(const QString& why);
    bool writeFile();

    SpreadsheetViewer* m_viewer;
    QString m_folder;
    QString m_path;
    bool m_written = false;
    std::vector<SheetModel> m_sheets;
    QString m_error;
};

} // namespace zelmar
