// The diff of two explosions against a recomputation in plain code: random
// accounts with dated lines, overlapping versions, a component on two lines,
// cycles and by-products are exploded naively on both sides, matched by path
// and compared, and the result must be the diff's, row for row and total for
// total. Then the worked cases on the demo account.
#include "host/db/AccountDatabase.h"
#include "host/db/procedures/ExplosionDiff.h"
#include "platform/data/Ado.h"
#include "support/FakeHost.h"
#include "support/ServerDatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>

using namespace q7::host::db::procedures;

namespace {

// ---- the plain model of an account, and its explosion ---------------------------------------

struct Bom {
    int id, part, version;
    QString from, until;
    double parentScrap;
};
struct Line {
    int id, bom, component, seq;
    double n, d, scrap;
    QString from, until, warehouse;
    int wip;
    bool byProduct;
};
struct Values {
    double base, scrap, cumulative;
    int wip;
    QString warehouse, note;
};

struct Model {
    std::vector<Bom> boms;
    std::vector<Line> lines;

    int bomOf(int part, const QString& date) const
    {
        const Bom* best = nullptr;
        for (const Bom& b : boms)
            if (b.part == part && b.from <= date && date < b.until &&
                (!best || b.version > best->version || (b.version == best->version && b.id < best->id)))
                best = &b;
        return best ? best->id : 0;
    }
    // path ("component#seq/…") -> values, and by-products apart
    std::map<QString, Values> explode(int top, int topBom, const QString& date, std::map<int, double>& totals) const
    {
        std::map<QString, Values> rows;
        std::function<void(int, double, const QString&, std::vector<int>)> go = [&](int bom, double qty, const QString& path, std::vector<int> onPath) {
            std::vector<Line> in;
            for (const Line& l : lines)
                if (l.bom == bom && l.from <= date && date < l.until)
                    in.push_back(l);
            std::stable_sort(in.begin(), in.end(), [](const Line& a, const Line& b) { return a.seq < b.seq; });
            const double parentScrap = std::find_if(boms.begin(), boms.end(), [&](const Bom& b) { return b.id == bom; })->parentScrap;
            std::map<std::pair<int, int>, int> seen;
            for (const Line& l : in) {
                const int occurrence = seen[{l.component, l.seq}]++;
                const QString key = path + QStringLiteral("/%1#%2#%3").arg(l.component).arg(l.seq).arg(occurrence);
                const bool cycle = std::find(onPath.begin(), onPath.end(), l.component) != onPath.end();
                const double cumulative = qty * l.n / l.d * (1 + l.scrap / 100) / (1 - parentScrap / 100);
                rows[key] = {l.n / l.d, l.scrap, cumulative, l.wip, l.warehouse,
                             cycle ? QStringLiteral("循环") : l.byProduct ? QStringLiteral("产出品") : QString()};
                if (!l.byProduct)
                    totals[l.component] += cumulative;
                if (cycle || l.byProduct)
                    continue;
                if (const int below = bomOf(l.component, date)) {
                    std::vector<int> deeper = onPath;
                    deeper.push_back(l.component);
                    go(below, cumulative, key, deeper);
                }
            }
        };
        if (topBom)
            go(topBom, 1.0, QString(), {top});
        return rows;
    }
};

bool same(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)}); }

// The naive diff as lines of text: "新增 path", "删除 path", "修改 path fields", "合计 component before after".
QStringList naiveDiff(const Model& m, const ExplosionSide& a, const ExplosionSide& b)
{
    std::map<int, double> beforeTotals, afterTotals;
    const auto before = m.explode(a.part, a.bomId ? a.bomId : m.bomOf(a.part, a.date), a.date, beforeTotals);
    const auto after = m.explode(b.part, b.bomId ? b.bomId : m.bomOf(b.part, b.date), b.date, afterTotals);
    QStringList out;
    for (const auto& [path, v] : before)
        if (!after.count(path))
            out.append(QStringLiteral("删除 ") + path);
    for (const auto& [path, w] : after) {
        const auto found = before.find(path);
        if (found == before.end()) {
            out.append(QStringLiteral("新增 ") + path);
            continue;
        }
        const Values& v = found->second;
        QStringList changed;
        if (!same(v.base, w.base))
            changed.append(QStringLiteral("基本用量"));
        if (!same(v.scrap, w.scrap))
            changed.append(QStringLiteral("损耗率"));
        if (!same(v.cumulative, w.cumulative))
            changed.append(QStringLiteral("累计用量"));
        if (v.wip != w.wip)
            changed.append(QStringLiteral("供应类型"));
        if (v.warehouse != w.warehouse)
            changed.append(QStringLiteral("仓库"));
        if (v.note != w.note)
            changed.append(QStringLiteral("说明"));
        if (!changed.isEmpty())
            out.append(QStringLiteral("修改 %1 %2").arg(path, changed.join(u',')));
    }
    std::set<int> components;
    for (const auto& [c, q] : beforeTotals)
        components.insert(c);
    for (const auto& [c, q] : afterTotals)
        components.insert(c);
    for (const int c : components)
        if (!same(beforeTotals[c], afterTotals[c]))
            out.append(QStringLiteral("合计 %1 %2 %3").arg(c).arg(beforeTotals[c], 0, 'g', 8).arg(afterTotals[c], 0, 'g', 8));
    out.sort();
    return out;
}

// The diff's result in the same words.
QStringList wordsOf(const ExplosionDiff& diff)
{
    QStringList out;
    std::vector<QString> paths(diff.lines.size());
    std::map<std::pair<int, QString>, int> seen; // (parent line, component#seq) -> how many so far
    for (size_t i = 0; i < diff.lines.size(); ++i) {
        const DiffLine& line = diff.lines[i];
        const QString parent = line.parent < 0 ? QString() : paths[static_cast<size_t>(line.parent)];
        const QString step = QStringLiteral("%1#%2").arg(line.component).arg(line.sortSeq);
        paths[i] = parent + QStringLiteral("/%1#%2").arg(step).arg(seen[{line.parent, step}]++);
        if (line.change == DiffChange::Added)
            out.append(QStringLiteral("新增 ") + paths[i]);
        else if (line.change == DiffChange::Removed)
            out.append(QStringLiteral("删除 ") + paths[i]);
        else if (line.change == DiffChange::Changed)
            out.append(QStringLiteral("修改 %1 %2").arg(paths[i], line.changed.join(u',')));
    }
    for (const ComponentTotal& t : diff.totals)
        out.append(QStringLiteral("合计 %1 %2 %3").arg(t.component).arg(t.before, 0, 'g', 8).arg(t.after, 0, 'g', 8));
    out.sort();
    return out;
}

// ---- random accounts ----------------------------------------------------------------------

const QStringList boundaries{QStringLiteral("2020-01-01"), QStringLiteral("2024-06-01"), QStringLiteral("2025-01-01"),
                             QStringLiteral("2026-03-01"), QStringLiteral("2099-12-31")};

class RandomAccount {
public:
    explicit RandomAccount(unsigned seed) : random_(seed)
    {
        path_ = dir_.filePath(QStringLiteral("random.db"));
        q7::host::db::createDemoAccount(path_); // its schema; its BOMs go
        q7::data::Connection make;
        make.Open(q7::host::db::connectionStringFor(path_));
        QString sql = QStringLiteral("BEGIN; DELETE FROM bom_opcomponentsub; DELETE FROM bom_opcomponentloc; DELETE FROM bom_opcomponentrmk; "
                                     "DELETE FROM bom_opcomponent; DELETE FROM bom_opcomponentopt; DELETE FROM bom_parent; DELETE FROM bom_bom;");
        for (int p = 1; p <= Parts; ++p)
            sql += QStringLiteral("INSERT INTO Inventory (cInvCode, cInvName, cComUnitName, InvAttr) VALUES ('RX-%1', '件%1', '个', 3);"
                                  "INSERT INTO bas_part (PartId, InvCode) VALUES (%2, 'RX-%1');")
                       .arg(p).arg(First + p);
        int bomId = 0, lineId = 0;
        for (int p = 1; p <= Parts; ++p) {
            const int versions = pick(0, 2);
            for (int v = 1; v <= versions; ++v) {
                // the first version from the start, a second one (sometimes overlapping it) from a boundary
                const int from = v == 1 ? 0 : pick(1, 3), until = pick(from + 1, 4);
                Bom bom{++bomId, First + p, v, boundaries[from], boundaries[until], pick(0, 3) == 0 ? 2.0 : 0.0};
                model.boms.push_back(bom);
                sql += QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (%1, 1, %2, '%3', '%4');"
                                      "INSERT INTO bom_parent (BomId, ParentId, ParentScrap) VALUES (%1, %5, %6);")
                           .arg(bom.id).arg(v).arg(bom.from, bom.until).arg(bom.part).arg(bom.parentScrap);
                // a later version keeps some lines of the first (same component and number), with other values
                std::vector<std::pair<int, int>> kept;
                if (v > 1)
                    for (const Line& l : model.lines)
                        if (l.bom == bomId - 1 && pick(0, 1))
                            kept.push_back({l.component, l.seq});
                const int count = pick(1, 4);
                for (int n = 0; n < count; ++n) {
                    // mostly further down; now and then back up (a cycle)
                    const int component = First + (pick(0, 9) == 0 ? pick(1, p) : std::min(Parts, p + pick(1, 4)));
                    const int lineFrom = pick(0, 3), lineUntil = pick(lineFrom + 1, 4);
                    Line line{++lineId, bom.id, component, 10 * pick(1, 3), static_cast<double>(pick(1, 4)), static_cast<double>(pick(1, 2)),
                              pick(0, 2) == 0 ? 5.0 : 0.0, boundaries[lineFrom], boundaries[lineUntil],
                              pick(0, 1) ? QStringLiteral("01") : QStringLiteral("02"), pick(1, 3), pick(0, 7) == 0};
                    if (n < static_cast<int>(kept.size()))
                        std::tie(line.component, line.seq) = kept[static_cast<size_t>(n)];
                    if (std::any_of(model.lines.begin(), model.lines.end(), [&](const Line& l) {
                            return l.bom == line.bom && l.component == line.component && l.seq == line.seq;
                        }))
                        line.seq += 5; // a component twice in a BOM: on another line number
                    model.lines.push_back(line);
                    sql += QStringLiteral("INSERT INTO bom_opcomponentopt (OptionsId, WhCode, WIPType) VALUES (%1, '%2', %3);"
                                          "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, OptionsId, SortSeq, BaseQtyN, BaseQtyD, "
                                          "CompScrap, FVFlag, EffBegDate, EffEndDate, ByProductFlag) VALUES (%1, %4, %5, %1, %6, %7, %8, %9, 1, '%10', '%11', %12);")
                               .arg(line.id).arg(line.warehouse).arg(line.wip).arg(line.bom).arg(line.component).arg(line.seq)
                               .arg(line.n).arg(line.d).arg(line.scrap).arg(line.from, line.until).arg(line.byProduct ? 1 : 0);
                }
            }
        }
        make.executeNative(sql + QStringLiteral("COMMIT;"));
        make.Close();
        connection.Open(q7::host::db::connectionStringFor(path_));
    }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    static constexpr int Parts = 9, First = 1000; // parts First + 1 … First + Parts
    Model model;
    q7::data::Connection connection;

private:
    std::mt19937 random_;
    QTemporaryDir dir_;
    QString path_;
};

const QStringList dates{QStringLiteral("2020-01-01"), QStringLiteral("2024-05-31"), QStringLiteral("2024-06-01"), QStringLiteral("2025-01-01"),
                        QStringLiteral("2026-02-28"), QStringLiteral("2026-03-01"), QStringLiteral("2030-01-01")};

} // namespace

TEST(ExplosionDiff, AgreesWithAPlainRecomputationOnRandomAccounts)
{
    int differing = 0, cycles = 0, byProducts = 0, repeated = 0;
    QMap<QString, int> changedValues;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        RandomAccount account(seed);
        for (int top = RandomAccount::First + 1; top <= RandomAccount::First + 3; ++top)
            for (int i = 0; i + 1 < dates.size(); ++i) {
                const ExplosionSide before{top, dates[i], 0}, after{top, dates[(i * 3 + seed) % dates.size()], 0};
                const ExplosionDiff diff = diffExplosions(account.connection, before, after);
                const QStringList expected = naiveDiff(account.model, before, after);
                ASSERT_EQ(wordsOf(diff), expected) << "seed " << seed << " top " << top << " " << before.date.toStdString() << " against "
                                                   << after.date.toStdString();
                differing += !expected.isEmpty();
                for (const QString& change : expected)
                    for (const char* value : {"基本用量", "损耗率", "累计用量", "供应类型", "仓库", "说明"})
                        changedValues[QString::fromUtf8(value)] += change.startsWith(QStringLiteral("修改")) && change.contains(QString::fromUtf8(value));
                for (const DiffLine& line : diff.lines) {
                    const auto& side = line.before ? line.before : line.after;
                    cycles += side->note == QStringLiteral("循环");
                    byProducts += side->note == QStringLiteral("产出品");
                }
                std::set<std::tuple<int, int, int>> seen; // (parent, component) twice under one parent
                for (const DiffLine& line : diff.lines)
                    repeated += !seen.insert({line.parent, line.component, 0}).second;
            }
        // another item, and one version of the item's BOM
        const int top = RandomAccount::First + 1;
        const ExplosionSide first{top, QStringLiteral("2026-03-01"), 0}, second{top + 1, QStringLiteral("2024-06-01"), 0};
        ASSERT_EQ(wordsOf(diffExplosions(account.connection, first, second)), naiveDiff(account.model, first, second)) << "seed " << seed;
        for (const Bom& bom : account.model.boms)
            if (bom.part == top) {
                const ExplosionSide version{top, QStringLiteral("2025-01-01"), bom.id};
                ASSERT_EQ(wordsOf(diffExplosions(account.connection, first, version)), naiveDiff(account.model, first, version)) << "seed " << seed;
            }
    }
    // the random accounts did reach what they are for
    EXPECT_GT(differing, 100);
    EXPECT_GT(cycles, 10);
    EXPECT_GT(byProducts, 10);
    EXPECT_GT(repeated, 10);
    for (const char* value : {"基本用量", "损耗率", "累计用量", "供应类型", "仓库", "说明"})
        EXPECT_GT(changedValues.value(QString::fromUtf8(value)), 5) << value;
}

TEST(ExplosionDiff, DemoBicycleFromTheHandlebarChangeToTheLockBolts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    q7::host::db::createDemoAccount(path);
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(path));
    const int red = 1; // BK-100(红)
    // the handlebar's last day and the new one's first, the lock bolts' first day
    const ExplosionDiff handlebar = diffExplosions(connection, {red, QStringLiteral("2025-06-30"), 0}, {red, QStringLiteral("2025-07-01"), 0});
    QStringList changes;
    for (int i = 0; i < static_cast<int>(handlebar.lines.size()); ++i)
        if (handlebar.lines[static_cast<size_t>(i)].change != DiffChange::Same)
            changes.append(QStringLiteral("%1 %2").arg(static_cast<int>(handlebar.lines[static_cast<size_t>(i)].change)).arg(pathText(handlebar, i)));
    EXPECT_EQ(changes, (QStringList{"2 HB-210#30", "1 HB-220#40"}));
    const ExplosionDiff bolts = diffExplosions(connection, {red, QStringLiteral("2026-12-31"), 0}, {red, QStringLiteral("2027-01-01"), 0});
    ASSERT_EQ(bolts.totals.size(), 1u);
    EXPECT_EQ(bolts.totals[0].code, QStringLiteral("BL-210"));
    EXPECT_EQ(bolts.totals[0].before, 0);
    EXPECT_EQ(bolts.totals[0].after, 4); // four per bicycle: a fixed line, whatever the parent scrap
    // nothing between two days of one state
    const ExplosionDiff none = diffExplosions(connection, {red, QStringLiteral("2026-01-01"), 0}, {red, QStringLiteral("2026-12-31"), 0});
    EXPECT_EQ(none.count(DiffChange::Same), none.rowsBefore);
    EXPECT_TRUE(none.totals.empty());
}

TEST(ExplosionDiff, TheServerAccountGivesTheSameDiff)
{
    Q7_NEEDS_SERVER();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    q7::host::db::createDemoAccount(path);
    q7::data::Connection file, server;
    file.Open(q7::host::db::connectionStringFor(path));
    server.Open(fake::serverDemoAccount());
    const QList<std::pair<ExplosionSide, ExplosionSide>> cases{
        {{1, QStringLiteral("2025-06-30"), 0}, {1, QStringLiteral("2027-01-01"), 0}},
        {{1, QStringLiteral("2024-12-31"), 0}, {1, QStringLiteral("2025-01-01"), 0}}, // the 2025 version's first day
        {{1, QStringLiteral("2026-01-01"), 0}, {2, QStringLiteral("2026-01-01"), 0}}, // red against blue
        {{1, QStringLiteral("2026-01-01"), 0}, {1, QStringLiteral("2026-01-01"), 1}}, // against the 2020 version
    };
    for (const auto& [before, after] : cases) {
        const ExplosionDiff onFile = diffExplosions(file, before, after), onServer = diffExplosions(server, before, after);
        EXPECT_EQ(wordsOf(onServer), wordsOf(onFile)) << before.date.toStdString() << " " << after.date.toStdString();
        EXPECT_FALSE(wordsOf(onFile).isEmpty());
        EXPECT_EQ(onServer.rowsAfter, onFile.rowsAfter);
    }
}
