#include "host/db/procedures/BomGraph.h"

#include "host/db/InForce.h"
#include "host/db/LineQuantity.h"

#include "host/db/procedures/packs/DownPack.h"
#include "host/db/procedures/packs/PackUpkeep.h"
#include "host/db/procedures/packs/UsePack.h"

#include "host/db/procedures/Statement.h"

#include <sqlite3.h>

#include <algorithm>

namespace q7::host::db::procedures {

const char* const descriptionColumns = "p.InvCode, i.cInvName, i.cInvStd, i.cComUnitName, p.Free1, p.Free2, i.InvAttr";
const char* const itemJoin = " LEFT JOIN Inventory i ON i.cInvCode = p.InvCode";

const char* const lineColumns =
    "c.ComponentId, c.SortSeq, c.BaseQtyN, c.BaseQtyD, c.CompScrap, c.FVFlag, o.PlanFactor, o.WIPType, o.Offset, "
    "o.AccuCostFlag, c.ByProductFlag";

namespace {

// The component's description, read with its line (columns 11 to 17); a component without an item
// row keeps its line.
const QByteArray componentColumns = QByteArray(", ") + descriptionColumns;
const QByteArray componentJoins = QByteArray(" LEFT JOIN bas_part p ON p.PartId = c.ComponentId") + itemJoin;
const QByteArray lineInForce = db::lineInForce("c", "?2");
const QByteArray mainBomInForce = " WHERE b.BomType = 1 AND " + db::bomInForce("b", "?2");

void sortBySequence(QVector<BomLine>& lines)
{
    const auto bySequence = [](const BomLine& a, const BomLine& b) { return a.sortSeq < b.sortSeq; };
    if (std::is_sorted(lines.begin(), lines.end(), bySequence)) // as entered, mostly: no sorter's buffer
        return;
    std::stable_sort(lines.begin(), lines.end(), bySequence);
}

} // namespace

PartInfo readPartInfo(const Statement& s, int first)
{
    return PartInfo{s.text(first), s.text(first + 1), s.text(first + 2), s.text(first + 3), s.text(first + 4), s.text(first + 5), s.integer(first + 6)};
}

BomLine readLine(const Statement& s)
{
    BomLine line;
    line.componentId = s.integer(0);
    line.sortSeq = s.integer(1);
    line.qtyN = s.real(2);
    line.qtyD = s.real(3);
    line.compScrap = s.real(4);
    line.fvFlag = s.integer(5);
    if (!s.isNull(6))
        line.planFactor = s.real(6);
    line.wipType = s.integer(7);
    line.offset = s.integer(8);
    line.accuCost = s.integer(9);
    line.byProduct = s.integer(10) != 0;
    return line;
}

namespace {

// The position of a part in a sorted level that holds it.
size_t indexIn(const QVector<int>& level, int part)
{
    return static_cast<size_t>(std::lower_bound(level.begin(), level.end(), part) - level.begin());
}

// A line that uses a part, with its parent, the parent's scrap and its BOM (columns 11-13).
BomLine readUsingLine(const Statement& s)
{
    BomLine line = readLine(s);
    line.parentId = s.integer(11);
    line.parentScrap = s.real(12);
    line.bomId = s.integer(13);
    return line;
}

LazyStatement prepare(const Database& db, const QByteArray& sql) { return LazyStatement(db, sql); }

} // namespace

double BomLine::quantity(bool planRate) const
{
    return db::lineQuantity(qtyN, qtyD, compScrap, fvFlag, parentScrap, planRate ? std::optional(planFactor.value_or(100)) : std::nullopt);
}

std::shared_ptr<BomGraph::Cache> BomGraph::cacheFor(data::Connection& connection, const Database& db, const QString& date)
{
    // Other clients change a server's account at any time: there, what one explosion read goes with it.
    if (db.onServer())
        return std::make_shared<Cache>();
    struct Stamped {
        long long dataVersion = -1;
        long long changes = -1;
        std::shared_ptr<Cache> cache;
    };
    Statement dataVersion(db, "PRAGMA data_version");
    const long long version = dataVersion.next() ? dataVersion.integer(0) : 0;
    const long long changes = sqlite3_total_changes(db.embedded());

    const QString key = QStringLiteral("bom-graph|") + date;
    auto stamped = std::static_pointer_cast<Stamped>(connection.attachment(key));
    if (!stamped || stamped->dataVersion != version || stamped->changes != changes) {
        stamped = std::make_shared<Stamped>(Stamped{version, changes, std::make_shared<Cache>()});
        connection.attach(key, stamped);
    }
    return stamped->cache;
}

BomGraph::BomGraph(data::Connection& connection, QString effDate)
    : date_(std::move(effDate)), dateUtf8_(date_.toUtf8()), db_(Database::of(connection)), cache_(cacheFor(connection, db_, date_))
{
    const Database& handle = db_;
    partStmt_ = prepare(handle, QByteArray("SELECT ") + descriptionColumns + " FROM bas_part p" + itemJoin + " WHERE p.PartId = ?1");
    // The date travels as a column value of each statement, never as a constant of a recursive plan.
    // One statement per part: its main BOMs in force at the date, each with its lines in force
    // (a BOM without such lines still comes, with NULL line columns, so that it is chosen by
    // version alone). Lines come in index order and are sorted here, which spares a sorter.
    const QByteArray mainBomBody = QByteArray(" JOIN bom_bom b ON b.BomId = t.BomId"
                                              " LEFT JOIN bom_opcomponent c ON c.BomId = b.BomId AND ") + lineInForce +
                                   " LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId" + componentJoins +
                                   mainBomInForce;
    const QByteArray mainBomColumns = QByteArray("SELECT ") + lineColumns + componentColumns + ", b.Version, b.BomId, t.ParentScrap, t.ParentId";
    // The embedded file hands a BOM's lines over in the order they were entered (its line index); a
    // server in any order, so there the order is asked for (lines of equal sequence keep it).
    const QByteArray entered = handle.onServer() ? " ORDER BY t.ParentId, c.OpComponentId" : "";
    mainBomStmt_ = prepare(handle, mainBomColumns + " FROM bom_parent t" + mainBomBody + " AND t.ParentId = ?1" + entered);
    // A level at a time: the level's parts travel as one list, and the statement reads all their
    // BOMs in one pass (nothing is written, so the connection's change count stays as it was).
    // Without the components' descriptions: those are read once per part afterwards, not once per line.
    frontierBoms_ = prepare(handle, QByteArray("SELECT ") + lineColumns + ", b.Version, b.BomId, t.ParentScrap, t.ParentId"
                                        " FROM IDS(?1) f CROSS JOIN bom_parent t ON t.ParentId = f.value"
                                        " JOIN bom_bom b ON b.BomId = t.BomId LEFT JOIN bom_opcomponent c ON c.BomId = b.BomId AND " +
                                        lineInForce + " LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId" +
                                        mainBomInForce +
                                        entered);
    partsStmt_ = prepare(handle, QByteArray("SELECT p.PartId, ") + descriptionColumns + " FROM IDS(?1) f CROSS JOIN bas_part p ON p.PartId = f.value" + itemJoin);
    linesStmt_ = prepare(handle, QByteArray("SELECT ") + lineColumns + componentColumns +
                                     " FROM bom_opcomponent c LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId" + componentJoins +
                                     " WHERE c.BomId = ?1 AND " + lineInForce + (handle.onServer() ? " ORDER BY c.OpComponentId" : ""));
    // Upwards a level at a time: the lines that use the level's parts, then the BOMs of their parents.
    usedInLevel_ = prepare(handle, QByteArray("SELECT ") + lineColumns +
                                       ", t.ParentId, t.ParentScrap, b.BomId FROM IDS(?1) f CROSS JOIN bom_opcomponent c ON c.ComponentId = f.value"
                                       " JOIN bom_bom b ON b.BomId = c.BomId JOIN bom_parent t ON t.BomId = b.BomId"
                                       " LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId" +
                                       mainBomInForce + " AND " +
                                       lineInForce + " ORDER BY c.ComponentId, t.ParentId, c.SortSeq, c.OpComponentId");
    bomChoice_ = prepare(handle, QByteArray("SELECT t.ParentId, b.BomId, b.Version FROM IDS(?1) f CROSS JOIN bom_parent t ON t.ParentId = f.value"
                                 " JOIN bom_bom b ON b.BomId = t.BomId") + mainBomInForce);
    // Packed BOMs when the account keeps them and the date is written as they are (yyyy-mm-dd).
    day_ = packs::day(dateUtf8_);
    if (!handle.onServer()) {
        if (packs::kept(handle.embedded()))
            downPacks_ = PackTable(handle, "bom_pack_down");
        if (day_ && packs::usesKept(handle.embedded()))
            usePacks_ = PackTable(handle, "bom_pack_use");
    }
    scrapStmt_ = prepare(handle, "SELECT ParentScrap FROM bom_parent WHERE BomId = ?1 AND ParentId = ?2");
    usedInStmt_ = prepare(handle, QByteArray("SELECT ") + lineColumns +
                                      ", t.ParentId, t.ParentScrap, b.BomId FROM bom_opcomponent c JOIN bom_bom b ON b.BomId = c.BomId "
                                      "JOIN bom_parent t ON t.BomId = b.BomId LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId "
                                      "WHERE c.ComponentId = ?1 AND b.BomType = 1 AND " + db::bomInForce("b", "?2") + " AND " +
                                      lineInForce + " ORDER BY t.ParentId, c.SortSeq, c.OpComponentId");
}

BomGraph::~BomGraph() = default;

const PartInfo& BomGraph::part(int partId)
{
    if (const PartInfo* found = cache_->parts.find(partId))
        return *found;
    PartInfo info;
    partStmt_->bind(1, partId);
    if (partStmt_->next())
        info = readPartInfo(*partStmt_, 0);
    partStmt_->reset();
    return *cache_->parts.try_emplace(partId, std::move(info)).first;
}

void BomGraph::rememberComponent(const Statement& s, int partId)
{
    if (!cache_->parts.contains(partId))
        cache_->parts.try_emplace(partId, readPartInfo(s, 11));
}

QVector<BomLine> BomGraph::bomLines(int bomId, int parentId)
{
    double parentScrap = 0;
    if (parentId != 0) {
        scrapStmt_->bind(1, bomId);
        scrapStmt_->bind(2, parentId);
        if (scrapStmt_->next())
            parentScrap = scrapStmt_->real(0);
        scrapStmt_->reset();
    }
    QVector<BomLine> lines;
    linesStmt_->bind(1, bomId);
    linesStmt_->bind(2, dateUtf8_);
    while (linesStmt_->next()) {
        BomLine line = readLine(*linesStmt_);
        line.bomId = bomId;
        line.parentId = parentId;
        line.parentScrap = parentScrap;
        rememberComponent(*linesStmt_, line.componentId);
        lines.append(line);
    }
    linesStmt_->reset();
    sortBySequence(lines);
    return lines;
}

int BomGraph::mainBom(int partId)
{
    if (!cache_->mainBoms.contains(partId))
        mainLines(partId);
    const int* found = cache_->mainBoms.find(partId);
    return found ? *found : 0;
}

void BomGraph::chooseBoms(const QVector<int>& parts)
{
    if (parts.isEmpty())
        return;
    std::unordered_map<int, std::pair<double, int>> best; // part -> (version, BOM)
    bomChoice_->bindIds(1, parts);
    bomChoice_->bind(2, dateUtf8_);
    while (bomChoice_->next()) {
        const int part = bomChoice_->integer(0), bom = bomChoice_->integer(1);
        const double version = bomChoice_->real(2);
        const auto found = best.find(part);
        // as mainLines chooses: the highest version, of two equal ones the older BOM
        if (found == best.end() || preferredBom(version, bom, found->second.first, found->second.second))
            best[part] = {version, bom};
    }
    bomChoice_->reset();
    for (int part : parts) {
        const auto found = best.find(part);
        cache_->mainBoms[part] = found == best.end() ? 0 : found->second.second;
    }
}

void BomGraph::prefetchAbove(const QVector<int>& parts)
{
    // Level by level upwards. A packed part's lines come with what is needed of their parents, so
    // they are kept at once; a part read from the tables waits in pending for its parents' BOM
    // choice, known once every level is read.
    std::unordered_map<int, QVector<BomLine>> pending; // part -> the lines in force that use it, of any BOM
    QVector<int> level = parts;
    const auto waiting = [&](int part) { return cache_->usedIn.contains(part) || pending.contains(part); };
    while (!level.isEmpty()) {
        std::sort(level.begin(), level.end());
        level.erase(std::unique(level.begin(), level.end()), level.end());
        level.erase(std::remove_if(level.begin(), level.end(), waiting), level.end());
        QVector<int> next;
        const QVector<int> fromTables = readUsePacks(level, next);
        if (!fromTables.isEmpty()) {
            for (int part : fromTables)
                pending[part];
            usedInLevel_->bindIds(1, fromTables);
            usedInLevel_->bind(2, dateUtf8_);
            while (usedInLevel_->next()) {
                const BomLine line = readUsingLine(*usedInLevel_);
                pending[line.componentId].append(line);
                next.append(line.parentId);
            }
            usedInLevel_->reset();
        }
        level = std::move(next);
    }
    if (pending.empty())
        return;
    QVector<int> unchosen, undescribed;
    for (const auto& [part, lines] : pending)
        for (const BomLine& line : lines)
            if (!cache_->mainBoms.contains(line.parentId))
                unchosen.append(line.parentId);
    std::sort(unchosen.begin(), unchosen.end());
    unchosen.erase(std::unique(unchosen.begin(), unchosen.end()), unchosen.end());
    chooseBoms(unchosen);
    for (auto& [part, lines] : pending) {
        // Only the BOM the explosion would use counts: a superseded version in force beside a higher one does not.
        lines.erase(std::remove_if(lines.begin(), lines.end(), [this](const BomLine& line) { return *cache_->mainBoms.find(line.parentId) != line.bomId; }),
                    lines.end());
        for (const BomLine& line : lines)
            if (!cache_->parts.contains(line.parentId))
                undescribed.append(line.parentId);
        cache_->usedIn.try_emplace(part, std::move(lines));
    }
    describe(undescribed);
}

namespace {

// The texts of descriptions read one after another, converted once per run of
// equal texts (units, free items and the like repeat from part to part).
class TextConverter {
public:
    QString operator()(const packs::Text& text, int column)
    {
        if (column < 3 || text.null) // code, name and model differ from part to part
            return text.toString();
        Last& last = last_[column - 3];
        if (!last.text.isNull() && last.utf8 == text.utf8)
            return last.text;
        last.utf8 = text.utf8.toByteArray();
        last.text = text.toString();
        return last.text;
    }
    PartInfo info(const packs::Description& d)
    {
        const packs::Text(&t)[6] = d.texts;
        return PartInfo{(*this)(t[0], 0), (*this)(t[1], 1), (*this)(t[2], 2), (*this)(t[3], 3), (*this)(t[4], 4), (*this)(t[5], 5), d.attr};
    }

private:
    struct Last {
        QByteArray utf8;
        QString text;
    };
    Last last_[3];
};

} // namespace

QVector<int> BomGraph::readUsePacks(const QVector<int>& level, QVector<int>& next)
{
    if (!usePacks_)
        return level;
    const int date = *day_;
    TextConverter convert;
    // What one pack tells, kept apart until the whole pack has been read.
    struct Parent {
        int part;
        bool used;
        std::optional<PartInfo> description;
    };
    std::vector<Parent> parents;
    QVector<BomLine> lines;
    std::optional<PartInfo> own;
    return usePacks_.read(level, [&](size_t, int part, QByteArrayView data) {
        parents.clear();
        own.reset();
        int chosen = 0;
        const bool whole = packs::forEachUse(
            data,
            [&](const packs::Description& d) {
                if (d.present && !cache_->parts.contains(part))
                    own = convert.info(d);
            },
            [&](const packs::UseParent& p) {
                double version = 0;
                chosen = 0;
                for (const packs::UseBom& b : p.boms)
                    if (db::holdsOn(b.from, b.until, date) && preferredBom(b.version, b.bomId, version, chosen)) {
                        version = b.version;
                        chosen = b.bomId;
                    }
                parents.push_back({p.partId, p.used,
                                   p.description.present && !cache_->parts.contains(p.partId) ? std::optional(convert.info(p.description)) : std::nullopt});
            },
            [&](const packs::Line& l) {
                if (db::holdsOn(l.from, l.until, date) && l.line.bomId == chosen) // the parent's BOM at the date only
                    lines.append(l.line);
            });
        if (!whole) { // a damaged pack: the part is read from the tables
            lines.clear();
            return false;
        }
        if (own)
            cache_->parts.try_emplace(part, std::move(*own));
        for (Parent& p : parents) {
            if (p.description)
                cache_->parts.try_emplace(p.part, std::move(*p.description));
            if (!p.used)
                cache_->usedIn.try_emplace(p.part); // nothing uses it: the walk ends there
        }
        for (const BomLine& line : lines)
            next.append(line.parentId);
        cache_->usedIn.try_emplace(part, std::move(lines));
        lines = QVector<BomLine>();
        return true;
    });
}

void BomGraph::keepMainLines(int partId, int bom, QVector<BomLine>&& lines)
{
    sortBySequence(lines);
    cache_->mainBoms[partId] = bom;
    cache_->mainLines.try_emplace(partId, std::move(lines));
}

// The choice among a part's BOMs at the date as the rows come: the highest
// version, of two equal versions the older BOM, so that the choice never
// depends on row order; the chosen BOM's lines in the order they come.
struct BomGraph::Best {
    double version = -1;
    int bom = 0;
    QVector<BomLine> lines;

    // Takes one row: a BOM in force, with one of its lines in force or none
    // (of expected lines in force, when known). Answers whether the line was kept.
    bool offer(int bomId, double bomVersion, const BomLine* line, qsizetype expected = 0)
    {
        if (bomId != bom && preferredBom(bomVersion, bomId, version, bom)) {
            lines.clear();
            lines.reserve(expected);
            version = bomVersion;
            bom = bomId;
        }
        if (bomId != bom || !line)
            return false;
        lines.append(*line);
        return true;
    }
};

void BomGraph::prefetchBelow(const QVector<int>& parts)
{
    QVector<int> level;
    for (int part : parts)
        if (!cache_->mainLines.contains(part))
            level.append(part);
    std::sort(level.begin(), level.end());
    level.erase(std::unique(level.begin(), level.end()), level.end()); // a part listed twice would read its BOM twice
    Undescribed undescribed{*cache_, {}, {}};
    PartMap<bool> queued; // read or to be read
    while (!level.isEmpty()) {
        std::vector<Best> best(static_cast<size_t>(level.size())); // of level[i]
        const QVector<int> fromTables = readPacks(level, best);
        if (!fromTables.isEmpty()) {
            for (int part : fromTables)
                undescribed.add(part);
            frontierBoms_->bindIds(1, fromTables);
            frontierBoms_->bind(2, dateUtf8_);
            int lastParent = 0;
            Best* last = nullptr;
            while (frontierBoms_->next()) {
                const int parent = frontierBoms_->integer(14);
                if (!last || parent != lastParent) { // a parent's rows come together
                    last = &best[indexIn(level, parent)];
                    lastParent = parent;
                }
                const bool hasLine = !frontierBoms_->isNull(0);
                BomLine line = hasLine ? readLine(*frontierBoms_) : BomLine{};
                line.parentScrap = frontierBoms_->real(13);
                line.parentId = parent;
                line.bomId = frontierBoms_->integer(12);
                last->offer(line.bomId, frontierBoms_->real(11), hasLine ? &line : nullptr);
            }
            frontierBoms_->reset();
        }
        for (qsizetype i = 0; i < level.size(); ++i)
            keepMainLines(level[i], best[static_cast<size_t>(i)].bom, std::move(best[static_cast<size_t>(i)].lines));
        QVector<int> next; // each component not read yet, once; it is described by its own pack
        for (const int part : level)
            for (const BomLine& line : *cache_->mainLines.find(part)) {
                if (cache_->mainLines.contains(line.componentId))
                    undescribed.add(line.componentId);
                else if (queued.try_emplace(line.componentId, true).second)
                    next.append(line.componentId);
            }
        std::sort(next.begin(), next.end());
        level = std::move(next);
    }
    describe(std::move(undescribed.parts));
}

QVector<int> BomGraph::readPacks(const QVector<int>& level, std::vector<Best>& best)
{
    if (!downPacks_ || !day_)
        return level;
    const int date = *day_;
    TextConverter convert;
    std::optional<PartInfo> own;
    return downPacks_.read(level, [&](size_t at, int part, QByteArrayView data) {
        Best choice;
        own.reset();
        const bool whole = packs::forEachBom(
            data,
            [&](const packs::Description& d) {
                if (!cache_->parts.contains(part))
                    own = d.present ? convert.info(d) : PartInfo{};
            },
            [&](const packs::Bom& bom) {
                if (!db::holdsOn(bom.from, bom.until, date))
                    return;
                bool anyLine = false;
                for (const packs::Line& packedLine : bom.lines) {
                    if (!db::holdsOn(packedLine.from, packedLine.until, date))
                        continue;
                    anyLine = true;
                    BomLine line = packedLine.line;
                    line.parentScrap = bom.parentScrap;
                    line.parentId = part;
                    line.bomId = bom.bomId;
                    choice.offer(bom.bomId, bom.version, &line, static_cast<qsizetype>(bom.lines.size()));
                }
                if (!anyLine) // a BOM without lines in force still counts: the choice goes by version alone
                    choice.offer(bom.bomId, bom.version, nullptr);
            });
        if (!whole) // a damaged pack: the part is read from the tables
            return false;
        if (own)
            cache_->parts.try_emplace(part, std::move(*own));
        if (choice.bom != 0)
            best[at] = std::move(choice);
        return true;
    });
}

void BomGraph::Undescribed::add(int part)
{
    if (!cache.parts.contains(part) && queued.try_emplace(part, true).second)
        parts.append(part);
}

void BomGraph::describe(QVector<int> parts)
{
    std::sort(parts.begin(), parts.end());
    parts.erase(std::unique(parts.begin(), parts.end()), parts.end());
    parts.erase(std::remove_if(parts.begin(), parts.end(), [this](int part) { return cache_->parts.contains(part); }), parts.end());
    if (downPacks_) { // packed descriptions first, then the rest from the tables
        TextConverter convert;
        packs::Description d;
        parts = downPacks_.read(parts, [&](size_t, int part, QByteArrayView data) {
            if (!packs::readDescription(data, d))
                return false;
            cache_->parts.try_emplace(part, d.present ? convert.info(d) : PartInfo{});
            return true;
        });
    }
    constexpr qsizetype Batch = 20000;
    for (qsizetype start = 0; start < parts.size(); start += Batch) {
        partsStmt_->bindIds(1, parts.mid(start, Batch));
        while (partsStmt_->next())
            cache_->parts.try_emplace(partsStmt_->integer(0), readPartInfo(*partsStmt_, 1));
        partsStmt_->reset();
    }
    for (int part : parts) // no part row: nothing to show, as part() finds
        cache_->parts.try_emplace(part);
}

const QVector<BomLine>& BomGraph::mainLines(int partId)
{
    if (const QVector<BomLine>* found = cache_->mainLines.find(partId))
        return *found;
    mainBomStmt_->bind(1, partId);
    mainBomStmt_->bind(2, dateUtf8_);
    Best best;
    while (mainBomStmt_->next()) {
        const bool hasLine = !mainBomStmt_->isNull(0);
        BomLine line = hasLine ? readLine(*mainBomStmt_) : BomLine{};
        line.parentScrap = mainBomStmt_->real(20);
        line.parentId = partId;
        line.bomId = mainBomStmt_->integer(19);
        if (best.offer(line.bomId, mainBomStmt_->real(18), hasLine ? &line : nullptr))
            rememberComponent(*mainBomStmt_, line.componentId);
    }
    mainBomStmt_->reset();
    keepMainLines(partId, best.bom, std::move(best.lines));
    return *cache_->mainLines.find(partId);
}

const QVector<BomLine>& BomGraph::usedIn(int componentId)
{
    if (const QVector<BomLine>* found = cache_->usedIn.find(componentId))
        return *found;
    QVector<BomLine> lines;
    usedInStmt_->bind(1, componentId);
    usedInStmt_->bind(2, dateUtf8_);
    while (usedInStmt_->next()) {
        const BomLine line = readUsingLine(*usedInStmt_);
        lines.append(line);
    }
    usedInStmt_->reset();
    // Only the BOM the explosion would use counts: a superseded version in force beside a higher one does not.
    lines.erase(std::remove_if(lines.begin(), lines.end(), [this](const BomLine& line) { return mainBom(line.parentId) != line.bomId; }),
                lines.end());
    return *cache_->usedIn.try_emplace(componentId, std::move(lines)).first;
}

} // namespace q7::host::db::procedures
