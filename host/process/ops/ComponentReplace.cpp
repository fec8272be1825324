#include "host/process/ops/ComponentReplace.h"

#include "host/db/BomChanges.h"
#include "host/db/InForce.h"
#include "host/db/procedures/Statement.h"
#include "host/process/ops/BomStructure.h"
#include "host/process/ops/EngineeringChange.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/Transaction.h"
#include "platform/data/Ado.h"

#include <QDate>
#include <QSqlQuery>

#include <optional>

namespace q7::host::process::ops {

namespace {

int requirePart(QSqlDatabase& db, const PartKey& key, const QString& role)
{
    if (key.invCode.trimmed().isEmpty())
        throw RefusedOperation(QStringLiteral("%1未输入").arg(role));
    if (!itemExists(db, key.invCode))
        throw RefusedOperation(QStringLiteral("%1 %2 不是存货").arg(role, key.invCode.trimmed()));
    const auto part = findPart(db, key);
    if (!part)
        throw RefusedOperation(QStringLiteral("%1 %2 没有这些自由项的物料").arg(role, key.label()));
    return *part;
}

// The first parent that the new part would reach again, as a path from the
// parent through the new part back to it; empty when there is none.
QStringList cycleAfterReplace(data::Connection& connection, const QVector<ComponentLine>& lines, int newPart)
{
    QSqlDatabase& db = connection.database();
    std::unordered_set<int> replaced;
    for (const ComponentLine& line : lines)
        replaced.insert(line.lineId);
    BomStructure structure = BomStructure::allLines(db::procedures::Database::of(connection), replaced);
    const int newNode = structure.nodeOf(newPart);
    QVector<int> parents;
    for (const ComponentLine& line : lines)
        for (int parent : parentsOfBom(db, line.bomId))
            if (!parents.contains(parent) && structure.nodeOf(parent) >= 0) // a parent that is no part has no structure
                parents.append(parent);
    for (int parent : parents)
        structure.addEdge(structure.nodeOf(parent), newNode);
    PartLabels labels(db);
    for (int parent : parents) {
        const std::vector<int> back = pathBetween(structure, newNode, structure.nodeOf(parent));
        if (back.empty())
            continue;
        QStringList path{labels(parent)};
        if (back.size() > 1 || back.front() != structure.nodeOf(parent))
            for (int node : back)
                path.append(labels(structure.partId(node)));
        else
            path.append(labels(parent));
        return path;
    }
    return {};
}

// What a run from a date does to a line. The line's period is its own dates
// within its main BOM's version dates (an open date is the open bound).
enum class FromDate { Stays, InPlace, Split };

FromDate treatmentFrom(const ComponentLine& line, const QString& date)
{
    const auto bound = [](const QString& d, const char* open) { return d.isEmpty() ? QString::fromLatin1(open) : d; };
    QString begin = bound(line.effBegDate, db::OpenBegin), end = bound(line.effEndDate, db::OpenEnd);
    if (line.bomType == 1) {
        begin = std::max(begin, bound(line.versionEffDate, db::OpenBegin));
        end = std::min(end, bound(line.versionEndDate, db::OpenEnd));
    }
    if (!(date < end))
        return FromDate::Stays; // ended by then: history
    if (!db::holdsOn(begin, end, date) || begin == date)
        return FromDate::InPlace; // not yet begun, or begins that day: nothing before the date to keep
    return FromDate::Split;
}

QString treatmentText(FromDate treatment)
{
    return treatment == FromDate::Split ? QStringLiteral("截止并新增") : QStringLiteral("直接替换");
}

qint64 highestKey(QSqlDatabase& db, const QString& table, const QString& key)
{
    QSqlQuery query = data::runBound(db, QStringLiteral("SELECT max(%1) FROM %2").arg(key, table));
    return query.next() ? query.value(0).toLongLong() : 0;
}

// Ends a line at the date and copies it, naming the new part, from the date on:
// the copy keeps the line's position, quantities, options (a row of its own),
// substitutes, designators and remark.
class LineSplitter {
public:
    LineSplitter(QSqlDatabase& db, Journal& journal, int newPart, QString date)
        : db_(db), journal_(journal), newPart_(newPart), date_(std::move(date)),
          nextLine_(highestKey(db, QStringLiteral("bom_opcomponent"), QStringLiteral("OpComponentId")) + 1),
          nextOptions_(highestKey(db, QStringLiteral("bom_opcomponentopt"), QStringLiteral("OptionsId")) + 1)
    {
    }

    void split(int lineId)
    {
        QVariantMap copy{{QStringLiteral("OpComponentId"), nextLine_++},
                         {QStringLiteral("ComponentId"), newPart_},
                         {QStringLiteral("EffBegDate"), date_}};
        QSqlQuery options = data::runBound(db_, QStringLiteral("SELECT OptionsId FROM bom_opcomponent WHERE OpComponentId = ?"), {lineId});
        if (options.next() && !options.value(0).isNull())
            copy.insert(QStringLiteral("OptionsId"),
                        journal_.copy(QStringLiteral("bom_opcomponentopt"), options.value(0).toLongLong(), {{QStringLiteral("OptionsId"), nextOptions_++}}));
        const qint64 copied = journal_.copy(QStringLiteral("bom_opcomponent"), lineId, copy); // up to where the line ended
        journal_.update(QStringLiteral("bom_opcomponent"), lineId, {{QStringLiteral("EffEndDate"), date_}});
        for (const QString& table : {QStringLiteral("bom_opcomponentsub"), QStringLiteral("bom_opcomponentloc")})
            for (const qint64 row : rowsOf(table, QStringLiteral("rowid"), lineId))
                journal_.copy(table, row, {{QStringLiteral("OpComponentId"), copied}});
        if (!rowsOf(QStringLiteral("bom_opcomponentrmk"), QStringLiteral("OpComponentId"), lineId).isEmpty())
            journal_.copy(QStringLiteral("bom_opcomponentrmk"), lineId, {{QStringLiteral("OpComponentId"), copied}});
    }

private:
    QList<qint64> rowsOf(const QString& table, const QString& key, int lineId)
    {
        QList<qint64> rows;
        QSqlQuery query = data::runBound(db_, QStringLiteral("SELECT %1 FROM %2 WHERE OpComponentId = ? ORDER BY %1").arg(key, table), {lineId});
        while (query.next())
            rows.append(query.value(0).toLongLong());
        return rows;
    }

    QSqlDatabase& db_;
    Journal& journal_;
    const int newPart_;
    const QString date_;
    qint64 nextLine_, nextOptions_;
};

QString parametersText(const ReplaceParameters& p)
{
    QStringList parts{QStringLiteral("Old=%1").arg(p.oldPart.label()), QStringLiteral("New=%1").arg(p.newPart.label())};
    if (!p.scope.fromParent.isEmpty())
        parts.append(QStringLiteral("SInv=%1").arg(p.scope.fromParent));
    if (!p.scope.toParent.isEmpty())
        parts.append(QStringLiteral("EInv=%1").arg(p.scope.toParent));
    parts.append(QStringLiteral("BomType=%1").arg(p.scope.bomType));
    if (p.scope.inForceOn)
        parts.append(QStringLiteral("EffDate=%1").arg(*p.scope.inForceOn));
    if (p.fromDate)
        parts.append(QStringLiteral("FromDate=%1").arg(*p.fromDate));
    return parts.join(u' ');
}

} // namespace

OperationResult replaceComponent(data::Connection& connection, const ReplaceParameters& parameters, const RunOptions& options)
{
    ensureMaintenanceTables(connection);
    QSqlDatabase& db = connection.database();
    const int oldPart = requirePart(db, parameters.oldPart, QStringLiteral("原子件"));
    const int newPart = requirePart(db, parameters.newPart, QStringLiteral("新子件"));
    if (oldPart == newPart)
        throw RefusedOperation(QStringLiteral("原子件与新子件是同一物料 %1").arg(parameters.oldPart.label()));
    const std::optional<QString>& fromDate = parameters.fromDate;
    if (fromDate && (!QDate::fromString(*fromDate, Qt::ISODate).isValid() || fromDate->size() != 10))
        throw RefusedOperation(QStringLiteral("变更日期不是日期：%1").arg(*fromDate));

    std::optional<Transaction> transaction; // the lines are read and changed in one transaction
    if (!options.dryRun)
        transaction.emplace(db);
    QVector<ComponentLine> lines;
    QVector<FromDate> treatments;
    for (const ComponentLine& line : componentLines(db, oldPart, parameters.scope)) {
        const FromDate treatment = fromDate ? treatmentFrom(line, *fromDate) : FromDate::InPlace;
        if (treatment == FromDate::Stays)
            continue;
        lines.append(line);
        treatments.append(treatment);
    }
    const QStringList cycle = cycleAfterReplace(connection, lines, newPart);
    if (!cycle.isEmpty())
        throw RefusedOperation(QStringLiteral("替换后物料成为自身的子件：%1").arg(cycle.join(QStringLiteral(" → "))));

    OperationResult result;
    result.headers = {QStringLiteral("母件"), QStringLiteral("BOM"), QStringLiteral("行号"), QStringLiteral("原子件"), QStringLiteral("新子件"),
                      QStringLiteral("基本用量"), QStringLiteral("生效日期"), QStringLiteral("失效日期")};
    if (fromDate)
        result.headers.append(QStringLiteral("处理"));
    const QString oldLabel = parameters.oldPart.label(), newLabel = parameters.newPart.label();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ComponentLine& line = lines[i];
        result.rows.append({line.parentCode, line.bomText(), QString::number(line.sortSeq), oldLabel, newLabel, line.quantity,
                            line.effBegDate, line.effEndDate});
        if (fromDate)
            result.rows.last().append(treatmentText(treatments[i]));
    }
    const QString from = fromDate ? QStringLiteral("自 %1 起").arg(*fromDate) : QString();
    if (lines.isEmpty() || options.dryRun) {
        result.summary = QStringLiteral("%1 行%2%3").arg(lines.size()).arg(from, options.dryRun ? QStringLiteral("将替换") : QStringLiteral("替换"));
        return result;
    }

    Journal journal(db, fromDate ? QStringLiteral("replace-from") : QStringLiteral("replace"), options.user, parametersText(parameters));
    journal.setChunkRows(options.journalChunkRows);
    std::optional<EngineeringChange> change;
    if (fromDate) { // line by line: a line in force on the date is ended and copied
        change.emplace(db, journal, *fromDate);
        LineSplitter splitter(db, journal, newPart, *fromDate);
        int64_t done = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const ComponentLine& line = lines[i];
            options.report(++done, lines.size());
            change->touch(line.bomId);
            if (treatments[i] == FromDate::Split)
                splitter.split(line.lineId);
            else
                journal.update(QStringLiteral("bom_opcomponent"), line.lineId, {{QStringLiteral("ComponentId"), newPart}});
        }
    } else {
        QList<KeyedRow> rows;
        rows.reserve(lines.size());
        for (const ComponentLine& line : lines)
            rows.append(KeyedRow{line.lineId, {newPart}});
        journal.updateMany(QStringLiteral("bom_opcomponent"), {QStringLiteral("ComponentId")}, rows,
                           [&](qsizetype done) { options.report(done, lines.size()); });
    }
    for (const ComponentLine& line : lines)
        db::noteChange(db, line.bomId); // a voucher that loaded the BOM before cannot save over this
    result.summary = QStringLiteral("%1 行%2替换：%3 → %4").arg(lines.size()).arg(from, oldLabel, newLabel);
    if (change)
        result.summary += QStringLiteral("，工程变更 %1").arg(change->docCode());
    result.runId = journal.finish(result.summary);
    transaction->commit();
    result.summary = QStringLiteral("运行 %1：%2").arg(result.runId).arg(result.summary);
    return result;
}

} // namespace q7::host::process::ops
