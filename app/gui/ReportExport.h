#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Writes a report's grid to a file: CSV as `q7bom report --format csv` writes
// it (numbers exact), XLSX through libxlsxwriter (numbers as numbers, texts as
// texts, the headings in bold). Throws an AutomationError when the file cannot be written.
namespace q7::app::gui {

void writeCsv(const QString& path, const QStringList& headers, const QList<QVariantList>& rows);
void writeXlsx(const QString& path, const QString& sheetTitle, const QStringList& headers, const QList<QVariantList>& rows);

} // namespace q7::app::gui
