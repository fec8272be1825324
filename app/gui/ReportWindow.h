#pragma once

#include "app/gui/ReportDocument.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QStandardItemModel;
class QTableView;

namespace q7::gui {

class FilterDialog;
struct PrintedReport;

// The report viewer window: the filter dialog (F3), the result in a sortable
// grid with the report's column headings, the row count and the time taken,
// exports to CSV, XLSX and PDF, print preview, and the statement on request.
class ReportWindow : public QWidget {
    Q_OBJECT
public:
    ReportWindow(const QString& reportKey, const QString& accountPath, QWidget* parent = nullptr);
    ~ReportWindow() override;

    const ReportDocument& document() const { return document_; }
    // Opens the filter dialog (window-modal, returns at once); the result shows when it is accepted.
    FilterDialog* openFilter();
    FilterDialog* filterDialog() const; // the open dialog, nullptr when none

    // The grid as shown (sorted as the user sorted it): headings and values.
    QStringList headings() const;
    QList<QVariantList> gridRows() const;
    QTableView* grid() const { return grid_; }
    QString status() const;
    const QString& statement() const { return statement_; }

    void exportCsv(const QString& path) const;
    void exportXlsx(const QString& path) const;
    void exportPdf(const QString& path) const;

private:
    ReportRun runWithProgress(const QList<host::report::FilterSetting>& settings, int angle);
    void showRun(const ReportRun& run);
    void chooseExport(bool xlsx);
    void showStatement();
    void choosePdf();
    void printPreview();
    PrintedReport printed() const;

    ReportDocument document_;
    QPointer<FilterDialog> dialog_;
    QStandardItemModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QLabel* status_ = nullptr;
    QString statement_;
};

} // namespace q7::gui
