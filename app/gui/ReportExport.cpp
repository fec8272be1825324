#include "app/gui/ReportExport.h"

#include "app/OutputTable.h"
#include "app/gui/CellValue.h"
#include "platform/AutomationError.h"
#include "platform/LazyLibrary.h"

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

// The functions of libxlsxwriter this file calls, taken when a workbook is
// first written: no other command loads the library (nor the crypto library
// it brings).
struct Xlsx {
    decltype(&::workbook_new) workbookNew;
    decltype(&::workbook_close) workbookClose;
    decltype(&::workbook_add_worksheet) addWorksheet;
    decltype(&::workbook_add_format) addFormat;
    decltype(&::format_set_bold) setBold;
    decltype(&::worksheet_write_string) writeString;
    decltype(&::worksheet_write_number) writeNumber;
};

Xlsx load()
{
    static LazyLibrary library("libxlsxwriter.so.4");
    Xlsx xlsx{};
    library.take(xlsx.workbookNew, "workbook_new");
    library.take(xlsx.workbookClose, "workbook_close");
    library.take(xlsx.addWorksheet, "workbook_add_worksheet");
    library.take(xlsx.addFormat, "workbook_add_format");
    library.take(xlsx.setBold, "format_set_bold");
    library.take(xlsx.writeString, "worksheet_write_string");
    library.take(xlsx.writeNumber, "worksheet_write_number");
    return xlsx;
}

const Xlsx& xlsx()
{
    static const Xlsx functions = load(); // a failed load throws and is tried again on the next call
    return functions;
}

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { xlsx().workbookClose(workbook); }
};

} // namespace

void writeXlsx(const QString& path, const QString& sheetTitle, const QStringList& headers, const QList<QVariantList>& rows)
{
    const QByteArray file = QFile::encodeName(path);
    const Xlsx& lib = xlsx();
    lxw_workbook* raw = lib.workbookNew(file.constData());
    if (!raw)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Cannot write %1").arg(path));
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(raw);
    // Sheet names are at most 31 characters and take no []:*?/\ .
    QString name = sheetTitle;
    for (const QChar c : QStringLiteral("[]:*?/\\"))
        name.remove(c);
    const QByteArray sheetName = name.left(31).toUtf8();
    lxw_worksheet* sheet = lib.addWorksheet(raw, sheetName.isEmpty() ? nullptr : sheetName.constData());
    lxw_format* bold = lib.addFormat(raw);
    lib.setBold(bold);
    for (int c = 0; c < headers.size(); ++c)
        lib.writeString(sheet, 0, static_cast<lxw_col_t>(c), headers[c].toUtf8().constData(), bold);
    for (int r = 0; r < rows.size(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (int c = 0; c < rows[r].size(); ++c) {
            const QVariant& value = rows[r][c];
            const auto col = static_cast<lxw_col_t>(c);
            if (isEmptyCell(value))
                continue;
            if (isNumberCell(value))
                lib.writeNumber(sheet, row, col, value.toDouble(), nullptr);
            else
                lib.writeString(sheet, row, col, value.toString().toUtf8().constData(), nullptr);
        }
    }
    lxw_workbook* closing = workbook.release();
    if (lib.workbookClose(closing) != LXW_NO_ERROR)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Cannot write %1").arg(path));
}

} // namespace q7::app::gui
