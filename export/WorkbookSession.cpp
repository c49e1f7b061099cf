#include "WorkbookSession.h"

#include "SummarySheet.h"
#include "XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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
    // The file of the old workbook stays where it is: the operator may still have it open.
    m_sheets.clear();
    m_path.clear();
    m_written = false;
    m_error.clear();
}

bool WorkbookSession::exportSummary(const SummaryInput& input)
{
    m_error.clear();
    m_sheets.push_back(buildSummarySheet(input, summarySheetName(input.curPN, sheetNames())));
    if (!writeFile())
        return false;
    if (!m_viewer || !m_viewer->open(m_path))
        return fail(u"No application could open %1"_s.arg(QDir::toNativeSeparators(m_path)));
    return true;
}

bool WorkbookSession::writeFile()
{
    if (m_written) {
        const QFileInfo earlier(m_path);
        if (!earlier.exists() && !earlier.isSymLink())
            return fail(u"The workbook %1 is gone"_s.arg(QDir::toNativeSeparators(m_path)));
        if (earlier.isSymLink() || !earlier.isFile())
            return fail(u"The workbook %1 can no longer be replaced"_s.arg(QDir::toNativeSeparators(m_path)));
    }

    // libxlsxwriter writes by path: it writes into a private folder, and the result
    // replaces the workbook file in one step.
    QTemporaryDir staging;
    if (!staging.isValid())
        return fail(u"No room for the workbook: %1"_s.arg(staging.errorString()));
    const QString staged = staging.filePath(u"workbook.xlsx"_s);
    XlsxWriter writer;
    if (!writer.write(m_sheets, staged))
        return fail(writer.errorString());
    QFile stagedFile(staged);
    if (!stagedFile.open(QIODevice::ReadOnly))
        return fail(stagedFile.errorString());
    const QByteArray bytes = stagedFile.readAll();

    bool created = false;
    if (m_path.isEmpty()) {
        // A name unique to this run, created exclusively and readable by its owner only.
        QTemporaryFile file(QDir(m_folder).filePath(u"Zelmar-XXXXXX.xlsx"_s));
        file.setAutoRemove(false);
        if (!file.open())
            return fail(u"The workbook could not be created in %1: %2"_s.arg(
                QDir::toNativeSeparators(m_folder), file.errorString()));
        m_path = file.fileName();
        created = true;
    }
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        const QString why = u"The workbook %1 could not be written: %2"_s.arg(
            QDir::toNativeSeparators(m_path), out.errorString());
        if (created) {
            QFile::remove(m_path);
            m_path.clear();
        }
        return fail(why);
    }
    m_written = true;
    return true;
}

void WorkbookSession::handOver()
{
    if (m_written && m_viewer && QFileInfo(m_path).isFile())
        m_viewer->open(m_path);
    m_sheets.clear();
    m_path.clear();
    m_written = false;
}

} // namespace zelmar
