#include "app/gui/ReportPrint.h"

#include "app/OutputTable.h"
#include "app/gui/CellValue.h"
#include "platform/AutomationError.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QTextDocument>

namespace q7::gui {

QString reportHtml(const PrintedReport& report)
{
    QString html = QStringLiteral("<html><body><h3>%1</h3><p>%2</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr>")
                       .arg(report.title.toHtmlEscaped(), report.subtitle.toHtmlEscaped());
    for (const QString& heading : report.headings)
        html += QStringLiteral("<th>%1</th>").arg(heading.toHtmlEscaped());
    html += QStringLiteral("</tr>");
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
    document.print(&printer);
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

} // namespace q7::gui
