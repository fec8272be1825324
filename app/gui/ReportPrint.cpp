#include "app/gui/ReportPrint.h"

#include "app/OutputTable.h"
#include "app/gui/CellValue.h"
#include "platform/AutomationError.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QTextDocument>

namespace q7::app::gui {

QString reportHtml(const PrintedReport& report)
{
    QString html = QStringLiteral("<html><body><h3>%1</h3>").arg(report.title.toHtmlEscaped());
    QStringList facts;
    if (!report.account.isEmpty())
        facts.append(QStringLiteral("账套：%1").arg(report.account.toHtmlEscaped()));
    if (!report.printedOn.isEmpty())
        facts.append(QStringLiteral("日期：%1").arg(report.printedOn.toHtmlEscaped()));
    facts.append(QStringLiteral("行数：%1").arg(report.rows.size()));
    html += QStringLiteral("<p>%1</p>").arg(facts.join(QStringLiteral("　　")));
    if (!report.filters.isEmpty()) {
        QStringList filters;
        for (const QString& filter : report.filters)
            filters.append(filter.toHtmlEscaped());
        html += QStringLiteral("<p>条件：%1</p>").arg(filters.join(QStringLiteral("；")));
    }
    if (!report.subtitle.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(report.subtitle.toHtmlEscaped());
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><thead><tr>");
    for (const QString& heading : report.headings)
        html += QStringLiteral("<th>%1</th>").arg(heading.toHtmlEscaped());
    html += QStringLiteral("</tr></thead>");
    for (const QVariantList& row : report.rows) {
        html += QStringLiteral("<tr>");
        for (const QVariant& value : row) {
            if (isEmptyCell(value))
                html += QStringLiteral("<td></td>");
            else if (isNumberCell(value))
                html += QStringLiteral("<td align=\"right\">%1</td>").arg(OutputTable::displayNumber(value.toDouble()));
            else
                html += QStringLiteral("<td>%1</td>").arg(value.toString().toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table></body></html>");
}

void printReport(const PrintedReport& report, QPrinter& printer)
{
    QTextDocument document;
    document.setHtml(reportHtml(report));
    document.print(&printer); // without a page size of its own the document is paged to the printer and numbered
}

void writePdf(const QString& path, const PrintedReport& report)
{
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Cannot write %1: %2").arg(path, probe.errorString()));
    probe.close();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(report.title);
    printReport(report, printer);
    if (QFile(path).size() == 0)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Cannot write %1").arg(path));
}

} // namespace q7::app::gui
