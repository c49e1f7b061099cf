#include "XlsxWriter.h"

#include <QByteArray>
#include <QFile>

#include <xlsxwriter.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace zelmar {

namespace {

// A workbook given up on is freed without writing anything.
struct WorkbookFree
{
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

// One libxlsxwriter format per distinct style: the library keeps every format it is given.
class Formats
{
public:
    explicit Formats(lxw_workbook* workbook)
        : m_workbook(workbook)
    {}
    lxw_format* get(const CellStyle& style)
    {
        for (const auto& [known, format] : m_formats)
            if (known == style)
                return format;
        lxw_format* f = workbook_add_format(m_workbook);
        if (!style.fontName.isEmpty())
            format_set_font_name(f, style.fontName.toUtf8().constData());
        if (style.bold)
            format_set_bold(f);
        if (style.fontSize > 0)
            format_set_font_size(f, style.fontSize);
        if (style.horizontal == HAlign::Left)
            format_set_align(f, LXW_ALIGN_LEFT);
        else if (style.horizontal == HAlign::Center)
            format_set_align(f, LXW_ALIGN_CENTER);
        if (style.vertical == VAlign::Center)
            format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        if (style.wrap)
            format_set_text_wrap(f);
        if (style.border)
            format_set_border(f, LXW_BORDER_THIN);
        if (!style.numberFormat.isEmpty())
            format_set_num_format(f, style.numberFormat.toUtf8().constData());
        m_formats.emplace_back(style, f);
        return f;
    }

private:
    lxw_workbook* m_workbook;
    std::vector<std::pair<CellStyle, lxw_format*>> m_formats;
};

lxw_error writeCell(lxw_worksheet* ws, int row, int col, const Cell& cell, lxw_format* format)
{
    if (const auto* text = std::get_if<QString>(&cell.value))
        return worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(col), text->toUtf8().constData(), format);
    if (const auto* value = std::get_if<double>(&cell.value))
        return worksheet_write_number(ws, lxw_row_t(row), lxw_col_t(col), *value, format);
    return worksheet_write_blank(ws, lxw_row_t(row), lxw_col_t(col), format);
}

} // namespace

bool XlsxWriter::write(const std::vector<SheetModel>& sheets, const QString& path, std::size_t active)
{
    m_error.clear();
    const auto fail = [this](const QString& why) {
        m_error = why;
        return false;
    };
    const QByteArray file = QFile::encodeName(path);
    std::unique_ptr<lxw_workbook, WorkbookFree> workbook(workbook_new(file.constData()));
    if (!workbook)
        return fail(u"The workbook could not be started"_s);
    Formats formats(workbook.get());
    lxw_error err = LXW_NO_ERROR;
    const auto failed = [&](lxw_error e, const QString& where) {
        return fail(where + u": "_s + QString::fromUtf8(lxw_strerror(e)));
    };

    for (std::size_t index = 0; index < sheets.size(); ++index) {
        const SheetModel& sheet = sheets[index];
        const QByteArray name = sheet.name.toUtf8();
        if ((err = workbook_validate_sheet_name(workbook.get(), name.constData())) != LXW_NO_ERROR)
            return failed(err, u"Sheet name \"%1\""_s.arg(sheet.name));
        lxw_worksheet* ws = workbook_add_worksheet(workbook.get(), name.constData());
        if (!ws)
            return fail(u"Sheet \"%1\" could not be added"_s.arg(sheet.name));
        if (index == active)
            worksheet_activate(ws);

        for (const auto& [col, width] : sheet.columnWidths)
            worksheet_set_column(ws, lxw_col_t(col), lxw_col_t(col), width, nullptr);
        for (const auto& [row, height] : sheet.rowHeights)
            worksheet_set_row(ws, lxw_row_t(row), height, nullptr);
        // Merging writes the range's cells; the cells are written over it below.
        for (const CellRange& m : sheet.merges) {
            err = worksheet_merge_range(ws, lxw_row_t(m.firstRow), lxw_col_t(m.firstCol),
                                        lxw_row_t(m.lastRow), lxw_col_t(m.lastCol), "", nullptr);
            if (err != LXW_NO_ERROR)
                return failed(err, u"Merge on sheet \"%1\""_s.arg(sheet.name));
        }
        for (const auto& [at, cell] : sheet.cells) {
            if ((err = writeCell(ws, at.first, at.second, cell, formats.get(cell.style))) != LXW_NO_ERROR)
                return failed(err, u"Cell on sheet \"%1\""_s.arg(sheet.name));
        }

        const PageSetup& p = sheet.page;
        lxw_header_footer_options header = {};
        header.margin = p.headerMargin;
        lxw_header_footer_options footer = {};
        footer.margin = p.footerMargin;
        if ((err = worksheet_set_header_opt(ws, p.header.toUtf8().constData(), &header)) != LXW_NO_ERROR ||
            (err = worksheet_set_footer_opt(ws, p.footer.toUtf8().constData(), &footer)) != LXW_NO_ERROR)
            return failed(err, u"Header or footer on sheet \"%1\""_s.arg(sheet.name));
        worksheet_set_margins(ws, p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin);
        if (p.centerHorizontally)
            worksheet_center_horizontally(ws);
        if (p.centerVertically)
            worksheet_center_vertically(ws);
        if (p.landscape)
            worksheet_set_landscape(ws);
        else
            worksheet_set_portrait(ws);
        if (p.paperSize > 0)
            worksheet_set_paper(ws, uint8_t(p.paperSize));
        if (p.fitWide > 0 || p.fitTall > 0)
            worksheet_fit_to_pages(ws, uint16_t(p.fitWide), uint16_t(p.fitTall));
    }

    err = workbook_close(workbook.release());
    if (err != LXW_NO_ERROR)
        return failed(err, u"Writing %1"_s.arg(path));
    return true;
}

} // namespace zelmar
