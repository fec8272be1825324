#pragma once

#include "app/gui/FilterPicks.h"
#include "app/gui/ReportDocument.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <memory>

class QComboBox;
class QWidget;

namespace q7::app::gui {

// The filter dialog of a report, built from its filter items: one editor per
// single item, two (from, to) per range item, drop-down lists for list items,
// the angle chooser of a multi-angle report. OK hands the values to the
// runner; a refusal is shown in a message box and the focus goes to the item
// it names, the dialog staying open. Enter runs from any item, Tab moves on,
// Esc cancels; F2 (or the small button) opens the pick list or the calendar
// of an item that has one. Free items go by the names the account gives them.
class FilterDialog : public QDialog {
    Q_OBJECT
public:
    // Runs the report with the dialog's values; a refused run keeps the dialog open.
    using Runner = std::function<ReportRun(const QList<host::report::FilterSetting>&, int angle)>;

    FilterDialog(const ReportDocument& document, Runner runner, QWidget* parent = nullptr);

    // Fills the editors (the handler's defaults, then remembered values).
    void setValues(const QList<host::report::FilterSetting>& settings, int angle);
    QList<host::report::FilterSetting> settings() const;
    int angle() const;
    // The editor of an item's value (which: 0 low or single, 1 high); nullptr when absent.
    QWidget* editor(const QString& itemName, int which = 0) const;
    // The caption shown for an item (the account's name of a free item).
    QString captionOf(const QString& itemName) const;
    // Opens the pick list of the item an editor belongs to and writes the value taken; false when it has none.
    bool pick(QWidget* editor);
    QComboBox* angleBox() const { return angle_; }
    const ReportRun& lastRun() const { return run_; }
    ReportRun takeLastRun() { return std::exchange(run_, ReportRun{}); } // the rows move out with it

    void accept() override;
    void reject() override;

protected:
    // Enter in an editor moves to the next one, and runs the report from the last.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QString textOf(const QWidget* editor);
    data::Connection& connection();
    QString parentCode() const;
    static void setText(QWidget* editor, const QString& text);

    const ReportDocument& document_;
    Runner runner_;
    QHash<QString, QWidget*> low_, high_;
    QList<QWidget*> order_; // the editors from top to bottom
    QComboBox* angle_ = nullptr;
    QHash<QWidget*, FilterPick> picks_;
    QHash<QString, QString> captions_;
    std::unique_ptr<data::Connection> connection_;
    ReportRun run_;
    bool running_ = false; // a run started here is going on
};

} // namespace q7::app::gui
