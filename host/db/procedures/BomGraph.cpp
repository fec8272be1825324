#include "host/db/procedures/BomGraph.h"

#include "host/db/SqlInserter.h"
#include "platform/AutomationError.h"

#include <sqlite3.h>

namespace q7::host::procedures {

namespace {

sqlite3_stmt* prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw AutomationError(3709, QString::fromUtf8(sqlite3_errmsg(db)));
    return statement;
}

QString textAt(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? QString::fromUtf8(text) : QString();
}

void bindText(sqlite3_stmt* s, int index, const QByteArray& text)
{
    sqlite3_bind_text(s, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

constexpr const char* lineColumns =
    "c.ComponentId, c.SortSeq, c.BaseQtyN, c.BaseQtyD, c.CompScrap, c.FVFlag, o.PlanFactor, o.WIPType, o.Offset, "
    "o.AccuCostFlag, c.ByProductFlag";
// The component's description, read with its line (columns 11 to 17).
constexpr const char* componentColumns = ", cp.InvCode, i.cInvName, i.cInvStd, i.cComUnitName, cp.Free1, cp.Free2, i.InvAttr";
constexpr const char* componentJoins = " JOIN bas_part cp ON cp.PartId = c.ComponentId JOIN Inventory i ON i.cInvCode = cp.InvCode";

void sortBySequence(QVector<BomLine>& lines)
{
    std::stable_sort(lines.begin(), lines.end(), [](const BomLine& a, const BomLine& b) { return a.sortSeq < b.sortSeq; });
}

BomLine readLine(sqlite3_stmt* s)
{
    BomLine line;
    line.componentId = sqlite3_column_int(s, 0);
    line.sortSeq = sqlite3_column_int(s, 1);
    line.qtyN = sqlite3_column_double(s, 2);
    line.qtyD = sqlite3_column_double(s, 3);
    line.compScrap = sqlite3_column_double(s, 4);
    line.fvFlag = sqlite3_column_int(s, 5);
    if (sqlite3_column_type(s, 6) != SQLITE_NULL)
        line.planFactor = sqlite3_column_double(s, 6);
    line.wipType = sqlite3_column_int(s, 7);
    line.offset = sqlite3_column_int(s, 8);
    line.accuCost = sqlite3_column_int(s, 9);
    line.byProduct = sqlite3_column_int(s, 10) != 0;
    return line;
}

} // namespace

double BomLine::quantity(bool planRate) const
{
    double q = qtyN / qtyD * (1 + compScrap / 100);
    if (fvFlag == 1)
        q /= (1 - parentScrap / 100);
    else if (fvFlag != 0)
        return 0;
    if (planRate)
        q = q * planFactor.value_or(100) / 100;
    return q;
}

std::shared_ptr<BomGraph::Cache> BomGraph::cacheFor(ado::Connection& connection, const QString& date)
{
    struct Stamped {
        long long dataVersion = -1;
        long long changes = -1;
        std::shared_ptr<Cache> cache;
    };
    sqlite3* handle = account::SqlInserter::handleOf(connection.database());
    long long version = 0;
    sqlite3_stmt* dataVersion = prepare(handle, "PRAGMA data_version");
    if (sqlite3_step(dataVersion) == SQLITE_ROW)
        version = sqlite3_column_int64(dataVersion, 0);
    sqlite3_finalize(dataVersion);
    const long long changes = sqlite3_total_changes(handle);

    const QString key = QStringLiteral("bom-graph|") + date;
    auto stamped = std::static_pointer_cast<Stamped>(connection.attachment(key));
    if (!stamped || stamped->dataVersion != version || stamped->changes != changes) {
        stamped = std::make_shared<Stamped>(Stamped{version, changes, std::make_shared<Cache>()});
        connection.attach(key, stamped);
    }
    return stamped->cache;
}

BomGraph::BomGraph(ado::Connection& connection, QString effDate)
    : db_(connection.database()), date_(std::move(effDate)), cache_(cacheFor(connection, date_)), parents_(cache_->parents),
      parts_(cache_->parts), mainLines_(cache_->mainLines), usedIn_(cache_->usedIn)
{
    sqlite3* handle = account::SqlInserter::handleOf(db_);
    if (parents_.isEmpty()) {
        sqlite3_stmt* parents = prepare(handle, "SELECT DISTINCT ParentId FROM bom_parent");
        while (sqlite3_step(parents) == SQLITE_ROW)
            parents_.insert(sqlite3_column_int(parents, 0));
        sqlite3_finalize(parents);
    }
    partStmt_ = prepare(handle, "SELECT p.InvCode, i.cInvName, i.cInvStd, i.cComUnitName, p.Free1, p.Free2, i.InvAttr "
                                "FROM bas_part p JOIN Inventory i ON i.cInvCode = p.InvCode WHERE p.PartId = ?");
    // The date travels as a column value of each statement, never as a constant of a recursive plan.
    // One statement per part: its main BOMs valid at the date with their valid lines
    // (the highest version wins when several are valid). Lines come in index order
    // and are sorted here, which spares the statement a sorter.
    mainBomStmt_ = prepare(handle, (QByteArray("SELECT ") + lineColumns + componentColumns +
                                    ", b.Version, b.BomId, t.ParentScrap FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId"
                                    " JOIN bom_opcomponent c ON c.BomId = b.BomId LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId" +
                                    componentJoins +
                                    " WHERE t.ParentId = ?1 AND b.BomType = 1 AND b.VersionEffDate <= ?2 AND b.VersionEndDate > ?2"
                                    " AND c.EffBegDate <= ?2 AND c.EffEndDate > ?2")
                                       .constData());
    linesStmt_ = prepare(handle, (QByteArray("SELECT ") + lineColumns + componentColumns +
                                  " FROM bom_opcomponent c LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId" + componentJoins +
                                  " WHERE c.BomId = ?1 AND c.EffBegDate <= ?2 AND c.EffEndDate > ?2")
                                     .constData());
    usedInStmt_ = prepare(handle, (QByteArray("SELECT ") + lineColumns +
                                   ", t.ParentId, t.ParentScrap FROM bom_opcomponent c JOIN bom_bom b ON b.BomId = c.BomId "
                                   "JOIN bom_parent t ON t.BomId = b.BomId LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId "
                                   "WHERE c.ComponentId = ?1 AND b.BomType = 1 AND b.VersionEffDate <= ?2 AND b.VersionEndDate > ?2 "
                                   "AND c.EffBegDate <= ?2 AND c.EffEndDate > ?2 ORDER BY t.ParentId, c.SortSeq")
                                      .constData());
}

BomGraph::~BomGraph()
{
    sqlite3_finalize(partStmt_);
    sqlite3_finalize(mainBomStmt_);
    sqlite3_finalize(linesStmt_);
    sqlite3_finalize(usedInStmt_);
}

const PartInfo& BomGraph::part(int partId)
{
    auto found = parts_.find(partId);
    if (found != parts_.end())
        return *found;
    PartInfo info;
    sqlite3_bind_int(partStmt_, 1, partId);
    if (sqlite3_step(partStmt_) == SQLITE_ROW)
        info = {textAt(partStmt_, 0), textAt(partStmt_, 1), textAt(partStmt_, 2), textAt(partStmt_, 3),
                textAt(partStmt_, 4), textAt(partStmt_, 5), sqlite3_column_int(partStmt_, 6)};
    sqlite3_reset(partStmt_);
    return *parts_.insert(partId, info);
}

void BomGraph::rememberComponent(sqlite3_stmt* s, int partId)
{
    if (!parts_.contains(partId))
        parts_.insert(partId, {textAt(s, 11), textAt(s, 12), textAt(s, 13), textAt(s, 14), textAt(s, 15), textAt(s, 16), sqlite3_column_int(s, 17)});
}

QVector<BomLine> BomGraph::bomLines(int bomId)
{
    QVector<BomLine> lines;
    const QByteArray date = date_.toUtf8();
    sqlite3_bind_int(linesStmt_, 1, bomId);
    bindText(linesStmt_, 2, date);
    while (sqlite3_step(linesStmt_) == SQLITE_ROW) {
        lines.append(readLine(linesStmt_));
        rememberComponent(linesStmt_, lines.last().componentId);
    }
    sqlite3_reset(linesStmt_);
    sortBySequence(lines);
    return lines;
}

const QVector<BomLine>& BomGraph::mainLines(int partId)
{
    static const QVector<BomLine> none;
    if (!parents_.contains(partId)) // most parts are bought or leaves: no statement for them
        return none;
    auto found = mainLines_.find(partId);
    if (found != mainLines_.end())
        return *found;
    const QByteArray date = date_.toUtf8();
    sqlite3_bind_int(mainBomStmt_, 1, partId);
    bindText(mainBomStmt_, 2, date);
    QVector<BomLine> lines;
    double bestVersion = -1;
    int bestBom = 0;
    while (sqlite3_step(mainBomStmt_) == SQLITE_ROW) {
        const double version = sqlite3_column_double(mainBomStmt_, 18);
        const int bom = sqlite3_column_int(mainBomStmt_, 19);
        if (bom != bestBom && version > bestVersion) { // a higher version replaces what was read so far
            lines.clear();
            bestVersion = version;
            bestBom = bom;
        }
        if (bom != bestBom)
            continue;
        BomLine line = readLine(mainBomStmt_);
        line.parentScrap = sqlite3_column_double(mainBomStmt_, 20);
        line.parentId = partId;
        rememberComponent(mainBomStmt_, line.componentId);
        lines.append(line);
    }
    sqlite3_reset(mainBomStmt_);
    sortBySequence(lines);
    return *mainLines_.insert(partId, std::move(lines));
}

const QVector<BomLine>& BomGraph::usedIn(int componentId)
{
    auto found = usedIn_.find(componentId);
    if (found != usedIn_.end())
        return *found;
    QVector<BomLine> lines;
    const QByteArray date = date_.toUtf8();
    sqlite3_bind_int(usedInStmt_, 1, componentId);
    bindText(usedInStmt_, 2, date);
    while (sqlite3_step(usedInStmt_) == SQLITE_ROW) {
        BomLine line = readLine(usedInStmt_);
        line.parentId = sqlite3_column_int(usedInStmt_, 11);
        line.parentScrap = sqlite3_column_double(usedInStmt_, 12);
        lines.append(line);
    }
    sqlite3_reset(usedInStmt_);
    return *usedIn_.insert(componentId, std::move(lines));
}

} // namespace q7::host::procedures
