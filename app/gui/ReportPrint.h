#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QPrinter;

// A report's grid as a printed page: the title, the filter summary line, and
// a table with the headings (numbers right-aligned, as the grid shows them).
namespace q7::gui {

struct PrintedReport {
    QString title;
    QString subtitle; // the row count and the time, as the window's status shows them
    QStringList headings;
    QList<QVariantList> rows;
};

QString reportHtml(const PrintedReport& report);
void printReport(const PrintedReport& report, QPrinter& printer);
// Writes a PDF (A4 landscape); throws an AutomationError when the file cannot be written.
void writePdf(const QString& path, const PrintedReport& report);

} // namespace q7::gui
