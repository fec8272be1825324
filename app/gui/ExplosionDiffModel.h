#pragma once

#include "host/db/procedures/ExplosionDiff.h"

#include <QAbstractItemModel>
#include <QColor>

#include <vector>

// A diff of two explosions as a tree: each line under the line one level up
// on its path, the lines added, removed and changed coloured, the values of
// both sides side by side ("1 → 2" where they differ).
namespace q7::app::gui {

class ExplosionDiffModel : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int ChangeRole = Qt::UserRole + 1; // the line's DiffChange as int

    explicit ExplosionDiffModel(QObject* parent = nullptr);

    void setDiff(host::db::procedures::ExplosionDiff diff);
    const host::db::procedures::ExplosionDiff& diff() const { return diff_; }
    // The colour of a line of that kind (none for an unchanged one).
    static QColor colourOf(host::db::procedures::DiffChange change);
    // The tree index of a line of the diff.
    QModelIndex indexOfLine(int line, int column = 0) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const std::vector<int>& childrenOf(int line) const { return line < 0 ? roots_ : children_[static_cast<size_t>(line)]; }
    QVariant text(const host::db::procedures::DiffLine& line, int column) const;

    host::db::procedures::ExplosionDiff diff_;
    std::vector<int> roots_;
    std::vector<std::vector<int>> children_;
    std::vector<int> position_; // of each line among its parent's children
};

} // namespace q7::app::gui
