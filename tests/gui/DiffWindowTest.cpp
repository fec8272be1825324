// From an explosion's row to the window that compares the part's explosion
// with another date: the part with its free item, the report's date, the tree
// of both explosions with the changes coloured and the totals below.
#include "app/gui/DiffWindow.h"
#include "app/gui/ExplosionDiffModel.h"
#include "app/gui/ReportWindow.h"
#include "host/db/AccountDatabase.h"
#include "host/process/ops/ComponentReplace.h"
#include "platform/data/Ado.h"
#include "support/FakeHost.h"
#include "support/GuiDriving.h"
#include "support/ScratchAccount.h"

#include <QMenu>
#include <QTableView>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace q7::app::gui;
using q7::host::db::procedures::DiffChange;
using q7::host::report::FilterSetting;
using DiffWindowTest = fake::GuiSettings;

namespace {

// The demo account where the wheel takes the heavier tyre from 2026-03-01.
struct TyreChange {
    TyreChange()
    {
        q7::data::Connection connection;
        connection.Open(q7::host::db::connectionStringFor(scratch.path()));
        q7::host::process::ops::replaceComponent(connection, {{QStringLiteral("TY-330")}, {QStringLiteral("TY-331")}, {}, QStringLiteral("2026-03-01")},
                                            {QStringLiteral("tester"), false});
    }
    fake::ScratchAccount scratch;
};

// The lines of the diff's tree depth first: "level code change", each under its parent.
QStringList treeLines(const ExplosionDiffModel& model, const QModelIndex& parent = {}, int level = 1)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(parent); ++r) {
        const QModelIndex index = model.index(r, 0, parent);
        out.append(QStringLiteral("%1 %2 %3").arg(level).arg(model.data(index).toString()).arg(model.data(index, ExplosionDiffModel::ChangeRole).toInt()));
        EXPECT_EQ(model.parent(index), parent);
        out += treeLines(model, index, level + 1);
    }
    return out;
}

} // namespace

TEST_F(DiffWindowTest, ARowOfTheExplosionComparesItsPartWithAnotherDate)
{
    const TyreChange account;
    ReportWindow report(QStringLiteral("BO02004"), account.scratch.path());
    report.runWith({{QStringLiteral("InvCode"), QStringLiteral("BK-100"), QStringLiteral("BK-100")}, {QStringLiteral("EffDate"), QStringLiteral("2026-02-28"), {}}});
    report.showTree(false);
    // the red bicycle's first row: its top, and the wheel
    const QStringList headings = report.headings();
    const QList<QVariantList> rows = report.gridRows();
    int wheel = -1;
    for (int r = 0; r < rows.size() && wheel < 0; ++r)
        if (rows[r][headings.indexOf(QStringLiteral("顶层自由项1"))].toString() == QStringLiteral("红") &&
            rows[r][headings.indexOf(QStringLiteral("子件编码"))].toString() == QStringLiteral("WH-200"))
            wheel = r;
    ASSERT_GE(wheel, 0);
    const QModelIndex top = report.grid()->model()->index(wheel, static_cast<int>(headings.indexOf(QStringLiteral("顶层母件"))));
    const QModelIndex component = report.grid()->model()->index(wheel, static_cast<int>(headings.indexOf(QStringLiteral("子件编码"))));
    EXPECT_EQ(report.partLabelAt(top), QStringLiteral("BK-100(红)"));
    EXPECT_EQ(report.partLabelAt(component), QStringLiteral("WH-200"));

    DiffWindow* window = report.compareWithDate(top, QStringLiteral("2026-03-01"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("BK-100(红)")));
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("2026-02-28 → 2026-03-01"))) << window->windowTitle().toStdString();
    const QStringList lines = treeLines(*window->model());
    const int same = static_cast<int>(DiffChange::Same), added = static_cast<int>(DiffChange::Added), removed = static_cast<int>(DiffChange::Removed);
    const auto at = [&](const QString& line) { return lines.indexOf(line); };
    // the tyres under the wheel, the old one removed and the new one added; the rest as it was
    EXPECT_GT(at(QStringLiteral("2 TY-330 %1").arg(removed)), at(QStringLiteral("1 WH-200 %1").arg(same)));
    EXPECT_EQ(at(QStringLiteral("2 TY-331 %1").arg(added)), at(QStringLiteral("2 TY-330 %1").arg(removed)) + 1);
    EXPECT_EQ(lines.size(), 14);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](const QString& l) { return !l.endsWith(QStringLiteral(" %1").arg(same)); }), 2);
    // coloured by kind, uncoloured when unchanged
    const ExplosionDiffModel& model = *window->model();
    for (int line = 0; line < static_cast<int>(model.diff().lines.size()); ++line) {
        const QModelIndex index = model.indexOfLine(line, 5);
        EXPECT_EQ(model.data(index, Qt::BackgroundRole).value<QColor>(), ExplosionDiffModel::colourOf(model.diff().lines[static_cast<size_t>(line)].change));
    }
    EXPECT_EQ(window->totals()->model()->rowCount(), 2); // TY-330 and TY-331
    EXPECT_TRUE(window->status().contains(QStringLiteral("新增 1，删除 1，修改 0"))) << window->status().toStdString();
    window->close();
}

TEST(ExplosionDiffModel, ShowsBothSidesWhereTheyDiffer)
{
    q7::host::db::procedures::ExplosionDiff diff;
    q7::host::db::procedures::DiffLine parent, child;
    parent.code = QStringLiteral("P");
    parent.change = DiffChange::Changed;
    parent.changed = QStringList{QStringLiteral("累计用量")};
    parent.before = q7::host::db::procedures::DiffValues{1, 0, 1, 1, 3, QStringLiteral("01"), {}};
    parent.after = q7::host::db::procedures::DiffValues{1, 0, 1, 2, 3, QStringLiteral("02"), {}};
    child.code = QStringLiteral("C");
    child.parent = 0;
    child.change = DiffChange::Added;
    child.after = q7::host::db::procedures::DiffValues{4, 5, 4.2, 8.4, 1, QStringLiteral("01"), QStringLiteral("产出品")};
    diff.lines = {parent, child};
    ExplosionDiffModel model;
    model.setDiff(diff);
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex p = model.index(0, 0);
    ASSERT_EQ(model.rowCount(p), 1);
    EXPECT_EQ(model.data(model.index(0, 0, p)).toString(), QStringLiteral("C"));
    EXPECT_EQ(model.data(model.index(0, 7)).toString(), QStringLiteral("1 → 2"));       // cumulative
    EXPECT_EQ(model.data(model.index(0, 9)).toString(), QStringLiteral("01 → 02"));     // warehouse
    EXPECT_EQ(model.data(model.index(0, 4)).toString(), QStringLiteral("修改：累计用量"));
    EXPECT_EQ(model.data(model.index(0, 7, p)).toString(), QStringLiteral("8.4"));       // only the side there is
    EXPECT_EQ(model.data(model.index(0, 10, p)).toString(), QStringLiteral("产出品"));
    EXPECT_EQ(model.parent(model.index(0, 3, p)), p);
}
