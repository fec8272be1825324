#include "host/process/ops/EngineeringChange.h"

#include "host/process/ops/Journal.h"
#include "platform/data/Ado.h"

#include <QSqlQuery>

namespace q7::host::process::ops {

namespace {

qint64 nextKey(QSqlDatabase& db, const QString& table, const QString& key)
{
    QSqlQuery query = data::runBound(db, QStringLiteral("SELECT max(%1) FROM %2").arg(key, table));
    return query.next() ? query.value(0).toLongLong() + 1 : 1;
}

// The next document code of the year: one more than the highest number used.
QString nextDocCode(QSqlDatabase& db, const QString& year)
{
    const QString prefix = QStringLiteral("ECN-%1-").arg(year);
    QSqlQuery query = data::runBound(db, QStringLiteral("SELECT DocCode FROM ecn_ecnapply WHERE DocCode LIKE ?"), {prefix + u'%'});
    int highest = 0;
    while (query.next())
        highest = std::max(highest, query.value(0).toString().mid(prefix.size()).toInt());
    return prefix + QStringLiteral("%1").arg(highest + 1, 3, 10, QLatin1Char('0'));
}

} // namespace

EngineeringChange::EngineeringChange(QSqlDatabase& db, Journal& journal, const QString& effectiveDate) : db_(db), journal_(journal)
{
    docCode_ = nextDocCode(db_, effectiveDate.left(4));
    applyId_ = journal_.insert(QStringLiteral("ecn_ecnapply"),
                               {{QStringLiteral("ApplyId"), nextKey(db_, QStringLiteral("ecn_ecnapply"), QStringLiteral("ApplyId"))},
                                {QStringLiteral("DocCode"), docCode_}});
}

void EngineeringChange::touch(int bomId)
{
    if (boms_.contains(bomId))
        return;
    boms_.insert(bomId);
    const qint64 detail = journal_.insert(QStringLiteral("ecn_ecnapplydetail"),
                                          {{QStringLiteral("ApplyDId"), nextKey(db_, QStringLiteral("ecn_ecnapplydetail"), QStringLiteral("ApplyDId"))},
                                           {QStringLiteral("ApplyId"), applyId_},
                                           {QStringLiteral("SortSeq"), static_cast<int>(boms_.size())}});
    journal_.update(QStringLiteral("bom_bom"), bomId, {{QStringLiteral("ApplyDId"), detail}});
}

} // namespace q7::host::process::ops
