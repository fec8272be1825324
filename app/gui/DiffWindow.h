#pragma once

#include <QWidget>

class QLabel;
class QTableView;
class QTreeView;

namespace q7::app::gui {

class ExplosionDiffModel;

// What changed in an item's explosion between two dates: the tree of both
// explosions matched by path, the lines added, removed and changed coloured,
// and below it the cumulative quantity per component on both dates.
class DiffWindow : public QWidget {
    Q_OBJECT
public:
    // item: a code, with free items in parentheses ("BK-100(红)").
    DiffWindow(const QString& accountPath, const QString& item, const QString& at, const QString& against, QWidget* parent = nullptr);

    ExplosionDiffModel* model() const { return model_; }
    QTreeView* tree() const { return tree_; }
    QTableView* totals() const { return totals_; }
    QString status() const;

private:
    ExplosionDiffModel* model_;
    QTreeView* tree_;
    QTableView* totals_;
    QLabel* status_;
};

} // namespace q7::app::gui
