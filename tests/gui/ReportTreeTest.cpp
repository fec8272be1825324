// The explosion tree's shape from the rows alone: who hangs under whom.
#include "app/gui/ReportTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using q7::app::gui::ReportTreeModel;

namespace {

// parent source row of every row (under a top: -1 for the first top, -2 for the second…), read back from the model
QList<int> parentsOf(const ReportTreeModel& model)
{
    QList<int> parents;
    for (int top = 0; top < model.rowCount(); ++top) {
        const QModelIndex topIndex = model.index(top, 0);
        std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
            for (int r = 0; r < model.rowCount(parent); ++r) {
                const QModelIndex index = model.index(r, 0, parent);
                const int source = model.data(index, ReportTreeModel::SourceRowRole).toInt();
                const int above = model.data(parent, ReportTreeModel::SourceRowRole).toInt();
                if (parents.size() <= source)
                    parents.resize(source + 1, -100);
                parents[source] = parent == topIndex ? -1 - top : above;
                walk(index);
            }
        };
        walk(topIndex);
    }
    return parents;
}

} // namespace

TEST(ReportTree, RowsHangBelowTheLastRowOneLevelUpUnderTheirOwnTop)
{
    const struct {
        const char* name;
        QList<QPair<QString, int>> topAndLevel;
        QList<int> parents;
    } cases[] = {
        {"a plain chain", {{"A", 1}, {"A", 2}, {"A", 3}, {"A", 2}}, {-1, 0, 1, 0}},
        // a level that skips one hangs on the top, in the second top as in the first
        {"skipped level", {{"A", 1}, {"A", 3}, {"A", 3}, {"B", 1}, {"B", 3}, {"B", 3}}, {-1, -1, -1, -2, -2, -2}},
        {"back up then down", {{"A", 1}, {"A", 2}, {"A", 1}, {"A", 2}, {"B", 1}, {"B", 2}}, {-1, 0, -1, 2, -2, 4}},
    };
    for (const auto& c : cases) {
        auto rows = std::make_shared<q7::data::RowStore>();
        rows->columns({QStringLiteral("顶层编码"), QStringLiteral("层级"), QStringLiteral("母件编码"), QStringLiteral("子件编码")});
        int n = 0;
        for (const auto& [top, level] : c.topAndLevel)
            rows->append({top, level, QStringLiteral("P"), QStringLiteral("C%1").arg(n++)});
        ReportTreeModel model;
        model.setRows(rows);
        ASSERT_EQ(model.shape().kind, q7::app::gui::TreeShape::Kind::Indented) << c.name;
        EXPECT_EQ(parentsOf(model), c.parents) << c.name;
    }
}
