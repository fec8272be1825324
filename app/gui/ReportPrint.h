#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QPrinter;

// A report's grid as printed pages: the title, the account, the date, the
// filters set and the row count, then a table whose headings repeat on every
// page (numbers right-aligned, as the grid shows them); pages numbered, wide
// reports in landscape.
namespace q7::app::gui {

struct PrintedReport {
    QString title;
    QString subtitle; // a line under the title ("" for none)
    QStringList headings;
    QList<QVariantList> rows;
    QString account;     // the account's name
    QString printedOn;   // yyyy-mm-dd
    QStringList filters; // every filter set, "caption：value"
};

QString reportHtml(const PrintedReport& report);
void printReport(const PrintedReport& report, QPrinter& printer);
// Writes a PDF (A4 landscape); throws an AutomationError when the file cannot be written.
void writePdf(const QString& path, const PrintedReport& report);

} // namespace q7::app::gui
