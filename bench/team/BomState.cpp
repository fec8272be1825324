#include "bench/team/BomState.h"

#include "host/db/BomChanges.h"
#include "host/voucher/BomDocument.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"
#include "platform/data/Ado.h"

#include <QJsonArray>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

namespace q7::bench::team {

namespace {

void sortLines(QList<LineState>& lines)
{
    std::sort(lines.begin(), lines.end(), [](const LineState& a, const LineState& b) {
        if (a.sortSeq != b.sortSeq)
            return a.sortSeq < b.sortSeq;
        if (const int c = a.component.compare(b.component, Qt::CaseInsensitive); c != 0)
            return c < 0;
        return a.qtyN / a.qtyD < b.qtyN / b.qtyD;
    });
}

bool nearlyEqual(double a, double b) { return a == b || std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b)); }

// One snapshot: everything read between begin and end sees the same committed account.
class ReadTransaction {
public:
    explicit ReadTransaction(data::Connection& connection) : db_(connection.database())
    {
        data::runBound(db_, connection.isServer() ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY") : QStringLiteral("BEGIN"));
    }
    ~ReadTransaction()
    {
        if (open_)
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;
    void end()
    {
        data::runBound(db_, QStringLiteral("COMMIT"));
        open_ = false;
    }

private:
    QSqlDatabase& db_;
    bool open_ = true;
};

} // namespace

BomState readBomState(data::Connection& connection, int bomId)
{
    QSqlDatabase& db = connection.database();
    BomState state;
    state.bomId = bomId;
    ReadTransaction snapshot(connection);
    state.changeCount = host::db::changeCountOf(db, bomId);
    QSqlQuery query = data::runBound(db,
                                    QStringLiteral("SELECT c.SortSeq, p.InvCode, c.BaseQtyN, c.BaseQtyD FROM bom_opcomponent c "
                                                   "JOIN bas_part p ON p.PartId = c.ComponentId WHERE c.BomId = ?"),
                                    {bomId});
    while (query.next())
        state.lines.append({query.value(0).toInt(), query.value(1).toString(), query.value(2).toDouble(), query.value(3).toDouble()});
    query.finish();
    snapshot.end();
    sortLines(state.lines);
    return state;
}

QList<LineState> documentLines(const host::voucher::BomDocument& document)
{
    // as the store reads the voucher's fields: numbers typed as text, a blank quantity 1
    const auto number = [](const host::voucher::Fields& fields, const char* key, double blank) {
        const QString text = values::trim(values::toTextOrEmpty(fields.value(QString::fromLatin1(key))));
        return text.isEmpty() ? blank : values::toDouble(text);
    };
    QList<LineState> lines;
    for (const auto& line : document.lines)
        lines.append({static_cast<int>(number(line.fields, "DSortSeq", 0)), values::toTextOrEmpty(line.fields.value(QStringLiteral("DInvCode"))),
                      number(line.fields, "DBaseQtyN", 1), number(line.fields, "DBaseQtyD", 1)});
    sortLines(lines);
    return lines;
}

bool sameLines(const QList<LineState>& a, const QList<LineState>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].sortSeq != b[i].sortSeq || a[i].component.compare(b[i].component, Qt::CaseInsensitive) != 0 || !nearlyEqual(a[i].qtyN, b[i].qtyN) ||
            !nearlyEqual(a[i].qtyD, b[i].qtyD))
            return false;
    return true;
}

QString linesText(const QList<LineState>& lines)
{
    QStringList parts;
    for (const LineState& l : lines)
        parts.append(QStringLiteral("%1 %2 %3/%4").arg(l.sortSeq).arg(l.component).arg(l.qtyN, 0, 'g', 15).arg(l.qtyD, 0, 'g', 15));
    return parts.join(QStringLiteral("; "));
}

QJsonObject toJson(const BomState& state)
{
    QJsonArray lines;
    for (const LineState& l : state.lines)
        lines.append(QJsonArray{l.sortSeq, l.component, l.qtyN, l.qtyD});
    return {{QStringLiteral("bom"), state.bomId}, {QStringLiteral("count"), state.changeCount}, {QStringLiteral("lines"), lines}};
}

BomState bomStateFromJson(const QJsonObject& object)
{
    BomState state;
    state.bomId = object.value(QStringLiteral("bom")).toInt();
    state.changeCount = object.value(QStringLiteral("count")).toInteger();
    for (const QJsonValue& value : object.value(QStringLiteral("lines")).toArray()) {
        const QJsonArray l = value.toArray();
        state.lines.append({l.at(0).toInt(), l.at(1).toString(), l.at(2).toDouble(), l.at(3).toDouble()});
    }
    sortLines(state.lines);
    return state;
}

} // namespace q7::bench::team
