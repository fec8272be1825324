#include "app/gui/ReportExport.h"

#include "app/OutputTable.h"
#include "app/gui/CellValue.h"
#include "platform/AutomationError.h"

#include <QFile>

#include <xlsxwriter.h>

#include <memory>

namespace q7::app::gui {

void writeCsv(const QString& path, const QStringList& headers, const QList<QVariantList>& rows)
{
    OutputTable table;
    table.headers = headers;
    table.rows = rows;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(table.render(OutputTable::Format::Csv).toUtf8()) < 0 || !file.flush())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}

namespace {

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

} // namespace

void writeXlsx(const QString& path, const QString& sheetTitle, const QStringList& headers, const QList<QVariantList>& rows)
{
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* raw = workbook_new(file.constData());
    if (!raw)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Cannot write %1").arg(path));
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(raw);
    // Sheet names are at most 31 characters and take no []:*?/\ .
    QString name = sheetTitle;
    for (const QChar c : QStringLiteral("[]:*?/\\"))
        name.remove(c);
    const QByteArray sheetName = name.left(31).toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(raw, sheetName.isEmpty() ? nullptr : sheetName.constData());
    lxw_format* bold = workbook_add_format(raw);
    format_set_bold(bold);
    for (int c = 0; c < headers.size(); ++c)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), headers[c].toUtf8().constData(), bold);
    for (int r = 0; r < rows.size(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (int c = 0; c < rows[r].size(); ++c) {
            const QVariant& value = rows[r][c];
            const auto col = static_cast<lxw_col_t>(c);
            if (isEmptyCell(value))
                continue;
            if (isNumberCell(value))
                worksheet_write_number(sheet, row, col, value.toDouble(), nullptr);
            else
                worksheet_write_string(sheet, row, col, value.toString().toUtf8().constData(), nullptr);
        }
    }
    lxw_workbook* closing = workbook.release();
    if (workbook_close(closing) != LXW_NO_ERROR)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Cannot write %1").arg(path));
}

} // namespace q7::app::gui
