#include "WorkbookSession.h"

#include "SummarySheet.h"
#include "XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace zelmar {

WorkbookSession::WorkbookSession(SpreadsheetViewer* viewer, const QString& folder)
    : m_viewer(viewer)
    , m_folder(folder.isEmpty() ? QDir::tempPath() : folder)
{}

QStringList WorkbookSession::sheetNames() const
{
    QStringList names;
    for (const SheetModel& sheet : m_sheets)
        names << sheet.name;
    return names;
}

bool WorkbookSession::fail(const QString& why)
{
    m_error = why;
    return false;
}

void WorkbookSession::newWorkbook()
{
    // The files of the old workbook stay where they are: the operator may still have them open.
    m_sheets.clear();
    m_path.clear();
    m_shown = false;
    m_error.clear();
}

bool WorkbookSession::exportSummary(const SummaryInput& input)
{
    m_error.clear();
    // A file nobody can show is not written at all.
    if (!m_viewer || !m_viewer->hasApplication())
        return fail(u"The desktop has no application for workbooks"_s);
    m_sheets.push_back(buildSummarySheet(input, summarySheetName(input.curPN, sheetNames())));
    QString path;
    if (!writeFile(path)) {
        m_sheets.pop_back();
        return false;
    }
    m_path = path;
    m_shown = m_viewer->open(m_path);
    if (!m_shown)
        return fail(u"No application could open %1"_s.arg(QDir::toNativeSeparators(m_path)));
    return true;
}

bool WorkbookSession::writeFile(QString& path)
{
    // libxlsxwriter writes by path: it writes into a private folder, and the bytes go
    // into the new file through the handle that created it.
    QTemporaryDir staging;
    if (!staging.isValid())
        return fail(u"No room for the workbook: %1"_s.arg(staging.errorString()));
    const QString staged = staging.filePath(u"workbook.xlsx"_s);
    XlsxWriter writer;
    if (!writer.write(m_sheets, staged, m_sheets.size() - 1))
        return fail(writer.errorString());
    QFile stagedFile(staged);
    if (!stagedFile.open(QIODevice::ReadOnly))
        return fail(stagedFile.errorString());
    const QByteArray bytes = stagedFile.readAll();

    QTemporaryFile file(QDir(m_folder).filePath(u"Zelmar-XXXXXX.xlsx"_s));
    if (!file.open())
        return fail(u"The workbook could not be created in %1: %2"_s.arg(QDir::toNativeSeparators(m_folder),
                                                                         file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(u"The workbook %1 could not be written: %2"_s.arg(
            QDir::toNativeSeparators(file.fileName()), file.errorString()));
    // Kept from here on: a half-written file was removed with `file` above.
    file.setAutoRemove(false);
    path = file.fileName();
    return true;
}

void WorkbookSession::handOver()
{
    if (!m_path.isEmpty() && !m_shown && m_viewer)
        m_viewer->open(m_path);
    m_sheets.clear();
    m_path.clear();
    m_shown = false;
}

} // namespace zelmar
