#pragma once

#include "app/gui/ReportDocument.h"
#include "app/gui/ReportRows.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QStackedWidget;
class QTableView;
class QTreeView;

namespace q7::app::gui {

class DiffWindow;
class FilterDialog;
class ReportRunner;
class ReportSortProxy;
class ReportTreeModel;
struct PrintedReport;

// Where a part in a report's row leads: its BOM in the voucher, its uses, its
// explosion, its multi-level browse; at the report's date.
struct PartLink {
    enum class Target { Voucher, WhereUsed, Explosion, Browse };
    Target target = Target::Voucher;
    QString code;
    QString date; // yyyy-mm-dd, the date the report read its BOMs at ("" for today)
};

// The report viewer window: the filter dialog (F3), the run off the window's
// thread with its progress and Cancel, the result as a sortable grid or, for
// an explosion, as a tree in the report's order; from a part's row to its
// BOM, uses, explosion and browse; exports to CSV, XLSX and PDF, print
// preview, find, and the statement on request.
class ReportWindow : public QWidget {
    Q_OBJECT
public:
    ReportWindow(const QString& reportKey, const QString& accountPath, QWidget* parent = nullptr);
    ~ReportWindow() override;

    const ReportDocument& document() const { return document_; }
    // Opens the filter dialog (window-modal, returns at once); the result shows when it is accepted.
    FilterDialog* openFilter();
    FilterDialog* filterDialog() const; // the open dialog, nullptr when none
    // Runs with these filters at once (a question asked from another report), as if typed in the dialog.
    void runWith(const QList<host::report::FilterSetting>& settings, int angle = 0);
    // Runs the last filters again (F5).
    void runAgain();

    // The grid as shown (sorted as the user sorted it): headings and values.
    QStringList headings() const;
    QList<QVariantList> gridRows() const;
    QTableView* grid() const { return grid_; }
    QTreeView* tree() const { return tree_; }
    ReportTreeModel* treeModel() const { return treeModel_; }
    ReportSortProxy* sorter() const { return sorter_; }
    bool treeShown() const;
    void showTree(bool tree);
    QString status() const;
    const QString& statement() const { return statement_; }
    // The part a row is about (the cell's own code where it holds one); "" when none.
    QString partAt(const QModelIndex& index) const;
    // The part a row is about as a label with its free item ("BK-100(红)"); "" when none.
    QString partLabelAt(const QModelIndex& index) const;
    // A window comparing the explosion of the row's part on the report's date
    // (today when it has none) with the explosion on another date.
    DiffWindow* compareWithDate(const QModelIndex& index, const QString& against);
    // Finds the next row holding text (ignoring case) after the current one; false when none.
    bool findNext(const QString& text);

    void exportCsv(const QString& path) const;
    void exportXlsx(const QString& path) const;
    void exportPdf(const QString& path) const;
    PrintedReport printed() const;

signals:
    void partLinkRequested(const q7::app::gui::PartLink& link);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildActions();
    ReportRun runWithProgress(const QList<host::report::FilterSetting>& settings, int angle);
    void showRun(ReportRun run);
    void followPart(const QModelIndex& index, PartLink::Target target);
    QMenu* partMenu(const QModelIndex& index);
    QModelIndex currentIndex() const;
    void chooseExport(bool xlsx);
    void showStatement();
    void choosePdf();
    void printPreview();
    void sortByCurrentColumn();

    ReportDocument document_;
    std::unique_ptr<ReportRunner> runner_;
    QPointer<FilterDialog> dialog_;
    QList<host::report::FilterSetting> lastSettings_;
    int lastAngle_ = 0;
    bool hasRun_ = false;
    ReportRowsModel* rows_ = nullptr;
    ReportSortProxy* sorter_ = nullptr;
    ReportTreeModel* treeModel_ = nullptr;
    QStackedWidget* views_ = nullptr;
    QTableView* grid_ = nullptr;
    QTreeView* tree_ = nullptr;
    QWidget* findBar_ = nullptr;
    QLineEdit* findText_ = nullptr;
    QLabel* status_ = nullptr;
    QString statement_;
    QString account_;
};

} // namespace q7::app::gui
