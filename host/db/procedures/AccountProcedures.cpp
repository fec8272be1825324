#include "host/db/procedures/AccountProcedures.h"

#include "host/db/procedures/BomGraph.h"
#include "host/db/procedures/Explosion.h"
#include "host/db/procedures/ProcedureSupport.h"
#include "host/db/procedures/Statement.h"
#include "platform/AutomationError.h"
#include "platform/data/ProcedureRegistry.h"
#include "platform/data/DatabaseError.h"

#include <map>
#include <tuple>

namespace q7::host::db::procedures {

namespace {

// What selects the top BOMs of an explosion besides the part.
struct TopBomFilter {
    int bomType = 1; // 1 main, 2 substitute, 0 both
    VersionRange version;
    Range versionDate;
    Range ident;
    QString effDate;
};

// The top part's BOMs to explode: of those that pass the filter, the one in
// force at the effective date (VersionEffDate <= date < VersionEndDate), the
// highest version when several are — the rule the explosion applies below the
// top. With substitutes, one such BOM per substitute identifier. Main BOMs
// first, then substitutes by identifier.
QVector<int> topBoms(const Database& db, int part, const TopBomFilter& f)
{
    QString sql = QStringLiteral("SELECT b.BomId, b.BomType, upper(coalesce(b.IdentCode, '')), coalesce(b.Version, 0) "
                                 "FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId "
                                 "WHERE t.ParentId = ? AND ") + db::bomInForceText("b", "?");
    QVariantList binds{part, f.effDate, f.effDate};
    struct Conditions {
        QString text;
        QVariantList binds;
        void add(const char* expression, const QVariant& value)
        {
            text += QStringLiteral(" AND ") + QLatin1String(expression) + QStringLiteral(" ?");
            binds.append(value);
        }
    };
    Conditions main{QStringLiteral("b.BomType = 1"), {}};
    if (!f.version.openLow())
        main.add("coalesce(b.Version, 0) >=", f.version.low);
    if (!f.version.openHigh())
        main.add("coalesce(b.Version, 0) <=", f.version.high);
    if (!f.versionDate.low.isEmpty())
        main.add("coalesce(b.VersionEffDate, '') >=", f.versionDate.low);
    if (!f.versionDate.high.isEmpty())
        main.add("coalesce(b.VersionEffDate, '') <=", f.versionDate.high);
    Conditions substitute{QStringLiteral("b.BomType = 2"), {}};
    if (!f.ident.low.isEmpty())
        substitute.add("coalesce(b.IdentCode, '') >=", f.ident.low);
    if (!f.ident.high.isEmpty())
        substitute.add("coalesce(b.IdentCode, '') <=", f.ident.high);
    if (f.bomType == 1 || f.bomType == 2) {
        const Conditions& only = f.bomType == 1 ? main : substitute;
        sql += QStringLiteral(" AND (%1)").arg(only.text);
        binds += only.binds;
    } else {
        sql += QStringLiteral(" AND ((%1) OR (%2))").arg(main.text, substitute.text);
        binds += main.binds;
        binds += substitute.binds;
    }

    Statement statement(db, sql.toUtf8().constData());
    for (int i = 0; i < binds.size(); ++i) {
        const QVariant& value = binds[i];
        if (value.metaType().id() == QMetaType::Int)
            statement.bind(i + 1, value.toInt());
        else if (value.metaType().id() == QMetaType::Double)
            statement.bind(i + 1, value.toDouble());
        else
            statement.bind(i + 1, value.toString().toUtf8());
    }
    std::map<std::pair<int, QString>, std::pair<double, int>> best; // (type, identifier) -> (version, BOM)
    while (statement.next()) {
        const int bom = statement.integer(0);
        const double version = statement.real(3);
        const auto key = std::make_pair(statement.integer(1), statement.integer(1) == 2 ? statement.text(2) : QString());
        const auto found = best.find(key);
        if (found == best.end() || preferredBom(version, bom, found->second.first, found->second.second))
            best[key] = {version, bom};
    }
    QVector<int> boms;
    for (const auto& [key, choice] : best)
        boms.append(choice.second);
    return boms;
}

struct TopBom {
    int part;
    QVector<BomLine> lines;
};

// The tops' BOMs with their lines in force, everything below them read in one
// pass (a level of all the tops at a time, not of one top at a time).
std::vector<TopBom> readTops(const Database& db, BomGraph& graph, const QVector<int>& parts, const TopBomFilter& filter)
{
    std::vector<TopBom> tops;
    QVector<int> below;
    for (int part : parts)
        for (int bom : topBoms(db, part, filter)) {
            tops.push_back({part, graph.bomLines(bom, part)});
            for (const BomLine& line : tops.back().lines)
                below.append(line.componentId);
        }
    graph.prefetchBelow(below);
    return tops;
}

data::ResultSet resultWith(const QStringList& columns)
{
    data::ResultSet result;
    result.columns = columns;
    return result;
}

} // namespace

data::ResultSet expandByParent(data::Connection& connection, const QVariantList& args)
{
    Arguments a(args, "Usp_BO_ExpandByParent");
    QString low = a.text();
    const Range code = Range::codes(std::move(low), a.text());
    const QVector<Range> free = freeRanges(a);
    TopBomFilter filter;
    filter.version.low = a.number(0);
    filter.version.high = a.number(99999999);
    low = a.text();
    filter.versionDate = Range::dates(std::move(low), a.text());
    const int mode = static_cast<int>(a.number(1));
    const bool planRate = a.number(0) == 1;
    a.number(0);
    a.number(1);
    filter.effDate = a.text();
    a.finish();

    const Database db = Database::of(connection);
    const ReadSnapshot snapshot(db);
    BomGraph graph(connection, filter.effDate);
    data::ResultSet rows = resultWith(mode == 1 ? explosionColumns : summaryColumns);
    // the indented rows stream; the summary is sorted first
    RowSink sink(rows, rowLimit(connection), mode == 1 ? connection.rowConsumer() : nullptr, stopFlag(connection));
    const std::vector<TopBom> tops = readTops(db, graph, matchingParts(db, code, free), filter);
    if (mode == 1) {
        for (const TopBom& top : tops)
            explodeIndented(graph, top.part, top.lines, planRate, 1.0, sink);
        return rows;
    }
    std::vector<SummaryTop> summarised;
    for (const TopBom& top : tops)
        summarised.push_back({top.part, &top.lines});
    summariseByLevel(graph, summarised, planRate, sink);
    sortSummary(rows, graph, summarised);
    return rows;
}

data::ResultSet expandByComp(data::Connection& connection, const QVariantList& args)
{
    Arguments a(args, "Usp_BO_ExpandByComp");
    QString low = a.text();
    const Range code = Range::codes(std::move(low), a.text());
    const QVector<Range> free = freeRanges(a);
    const QString effDate = a.text();
    const bool planRate = a.number(0) == 1;
    a.number(0);
    a.number(1);
    a.finish();

    const Database db = Database::of(connection);
    const ReadSnapshot snapshot(db);
    BomGraph graph(connection, effDate);
    data::ResultSet rows = resultWith(whereUsedColumns);
    RowSink sink(rows, rowLimit(connection), connection.rowConsumer(), stopFlag(connection));
    const QVector<int> parts = matchingParts(db, code, free);
    graph.prefetchAbove(parts);
    for (int part : parts)
        whereUsed(graph, part, planRate, sink);
    return rows;
}

data::ResultSet quantityExplosion(data::Connection& connection, const QVariantList& args)
{
    Arguments a(args, "Usp_BO_BO02007");
    QString low = a.text();
    const Range code = Range::codes(std::move(low), a.text());
    low = a.text();
    TopBomFilter filter;
    filter.ident = Range::codes(std::move(low), a.text());
    filter.bomType = static_cast<int>(a.number(1));
    filter.version.low = a.number(0);
    filter.version.high = a.number(99999999);
    low = a.text();
    filter.versionDate = Range::dates(std::move(low), a.text());
    filter.effDate = a.text();
    const double quantity = a.number(1.0);
    const bool planRate = a.number(0) == 1;
    const QVector<Range> free = freeRanges(a);
    a.finish();
    if (!(quantity > 0) || quantity > 9007199254740992.0)
        q7::data::throwProviderError(QStringLiteral("Usp_BO_BO02007: the quantity %1 is not a positive number within 2^53").arg(quantity));

    const Database db = Database::of(connection);
    const ReadSnapshot snapshot(db);
    BomGraph graph(connection, filter.effDate);
    data::ResultSet rows = resultWith(explosionColumns);
    rows.columns[11] = QStringLiteral("需求数量");
    RowSink sink(rows, rowLimit(connection), connection.rowConsumer(), stopFlag(connection));
    for (const TopBom& top : readTops(db, graph, matchingParts(db, code, free), filter))
        explodeIndented(graph, top.part, top.lines, planRate, quantity, sink);
    return rows;
}

namespace {

struct ComparedLine {
    BomLine line;
    QString opSeq;
    bool matched = false;
};

// Every line of a BOM whatever its effectivity, in line order: sort sequence,
// operation sequence, then the order they were entered in.
QVector<ComparedLine> comparedLines(const Database& db, int bom)
{
    QVector<ComparedLine> lines;
    if (bom == 0)
        return lines;
    Statement q(db, (QByteArray("SELECT ") + lineColumns +
                     ", coalesce(c.OpSeq, '') FROM bom_opcomponent c LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId "
                     "WHERE c.BomId = ?1 ORDER BY c.SortSeq NULLS FIRST, c.OpSeq NULLS FIRST, c.OpComponentId")
                        .constData());
    q.bind(1, bom);
    while (q.next()) {
        ComparedLine compared;
        compared.line = readLine(q);
        compared.opSeq = q.text(11);
        lines.append(compared);
    }
    return lines;
}

// Pairs the lines of two BOMs: first a line with the same component at the
// same position (sort and operation sequence), then the next unpaired line of
// the same component, so that a component on two lines stays two rows.
// Answers (A index or -1, B index or -1): A's lines in order, then B's unpaired ones.
QVector<std::pair<int, int>> pairLines(QVector<ComparedLine>& a, QVector<ComparedLine>& b)
{
    QVector<int> partner(a.size(), -1);
    const auto pass = [&](bool samePosition) {
        for (int i = 0; i < a.size(); ++i) {
            if (partner[i] >= 0)
                continue;
            for (int j = 0; j < b.size(); ++j) {
                if (b[j].matched || b[j].line.componentId != a[i].line.componentId)
                    continue;
                if (samePosition && (b[j].line.sortSeq != a[i].line.sortSeq || b[j].opSeq != a[i].opSeq))
                    continue;
                partner[i] = j;
                b[j].matched = a[i].matched = true;
                break;
            }
        }
    };
    pass(true);
    pass(false);
    QVector<std::pair<int, int>> pairs;
    for (int i = 0; i < a.size(); ++i)
        pairs.append({i, partner[i]});
    for (int j = 0; j < b.size(); ++j)
        if (!b[j].matched)
            pairs.append({-1, j});
    return pairs;
}

} // namespace

data::ResultSet compareBoms(data::Connection& connection, const QVariantList& args)
{
    Arguments a(args, "Usp_BO_BO02010");
    const int angle = static_cast<int>(a.number(0));
    const QString code = a.text();
    const double version1 = a.number(0), version2 = a.number(0);
    const QString ident1 = a.text(), ident2 = a.text();
    const bool showSame = a.number(0) == 1;
    bool flags[5];
    for (bool& f : flags)
        f = a.number(0) == 1;
    QStringList freeValues;
    for (int i = 0; i < 10; ++i)
        freeValues.append(a.text());
    a.finish();
    if (angle < 1 || angle > 3)
        q7::data::throwProviderError(QStringLiteral("Usp_BO_BO02010: angle %1 is not 1, 2 or 3").arg(angle));

    const Database db = Database::of(connection);
    const ReadSnapshot snapshot(db);
    QString partSql = QStringLiteral("SELECT PartId FROM bas_part WHERE InvCode = ?1");
    for (int i = 0; i < 10; ++i)
        partSql += QStringLiteral(" AND Free%1 = ?%2").arg(i + 1).arg(i + 2);
    Statement partQuery(db, partSql.toUtf8().constData());
    partQuery.bind(1, code.toUtf8());
    for (int i = 0; i < 10; ++i)
        partQuery.bind(i + 2, freeValues[i].toUtf8());
    const int part = partQuery.next() ? partQuery.integer(0) : 0;

    Statement mainBom(db, "SELECT b.BomId FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId "
                          "WHERE t.ParentId = ?1 AND b.BomType = 1 AND b.Version = ?2 ORDER BY b.BomId");
    Statement substituteBom(db, "SELECT b.BomId FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId "
                                "WHERE t.ParentId = ?1 AND b.BomType = 2 AND b.IdentCode = ?2 ORDER BY b.BomId");
    const auto bomOf = [&](bool substitute, double version, const QString& identCode) {
        Statement& q = substitute ? substituteBom : mainBom;
        q.bind(1, part);
        if (substitute)
            q.bind(2, identCode.toUtf8());
        else
            q.bind(2, version);
        const int bom = q.next() ? q.integer(0) : 0;
        q.reset();
        return bom;
    };
    const int bomA = angle == 3 ? bomOf(true, 0, ident1) : bomOf(false, version1, {});
    const int bomB = angle == 1 ? bomOf(false, version2, {}) : bomOf(true, 0, ident2);
    QVector<ComparedLine> linesA = comparedLines(db, bomA), linesB = comparedLines(db, bomB);

    data::ResultSet out = resultWith({QStringLiteral("子件编码"), QStringLiteral("子件名称"), QStringLiteral("规格型号"), QStringLiteral("A行号"),
                                      QStringLiteral("B行号"), QStringLiteral("A基本用量"), QStringLiteral("B基本用量"), QStringLiteral("比较结果")});
    const char* attributeNames[] = {"固定变动", "偏置期", "计划比例", "成本累计", "供应类型"};
    for (int f = 0; f < 5; ++f)
        if (flags[f])
            out.columns << QStringLiteral("A") + QString::fromUtf8(attributeNames[f]) << QStringLiteral("B") + QString::fromUtf8(attributeNames[f]);
    const auto attribute = [](const BomLine* line, int f) -> QVariant {
        if (!line)
            return QVariant();
        switch (f) {
        case 0: return fvText(line->fvFlag);
        case 1: return line->offset;
        case 2: return line->planFactor ? QVariant(*line->planFactor) : QVariant(100.0);
        case 3: return line->accuCost;
        default: return wipText(line->wipType);
        }
    };
    const auto base = [](const BomLine* l) { return l ? QVariant(l->qtyN / l->qtyD) : QVariant(); };
    BomGraph graph(connection, QStringLiteral("0000-00-00")); // for the components' descriptions only
    RowSink sink(out, rowLimit(connection), nullptr, stopFlag(connection));
    for (const auto& [i, j] : pairLines(linesA, linesB)) {
        const BomLine* la = i >= 0 ? &linesA[i].line : nullptr;
        const BomLine* lb = j >= 0 ? &linesB[j].line : nullptr;
        bool same = la && lb && base(la) == base(lb);
        for (int f = 0; f < 5 && same; ++f)
            if (flags[f] && attribute(la, f) != attribute(lb, f))
                same = false;
        if (same && !showSame)
            continue;
        const QString result = !la ? QStringLiteral("仅B") : !lb ? QStringLiteral("仅A") : same ? QStringLiteral("相同") : QStringLiteral("不同");
        const PartInfo& info = graph.part(la ? la->componentId : lb->componentId);
        QVector<QVariant> row{info.code, info.name, info.invStd, la ? QVariant(la->sortSeq) : QVariant(), lb ? QVariant(lb->sortSeq) : QVariant(),
                              base(la), base(lb), result};
        for (int f = 0; f < 5; ++f)
            if (flags[f])
                row << attribute(la, f) << attribute(lb, f);
        sink.add(std::move(row));
    }
    return out;
}

void registerAccountProcedures()
{
    data::registerProcedure(QStringLiteral("Usp_BO_ExpandByParent"), &expandByParent);
    data::registerProcedure(QStringLiteral("Usp_BO_ExpandByComp"), &expandByComp);
    data::registerProcedure(QStringLiteral("Usp_BO_BO02007"), &quantityExplosion);
    data::registerProcedure(QStringLiteral("Usp_BO_BO02010"), &compareBoms);
}

} // namespace q7::host::db::procedures
