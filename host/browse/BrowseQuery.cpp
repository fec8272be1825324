#include "host/browse/BrowseQuery.h"

#include "host/browse/AccountContext.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"
#include "platform/data/DatabaseError.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::browse {

namespace {
// Texts of a query object's failures as the user reads them.
QString failure(const AutomationError& e) { return e.description().isEmpty() ? QStringLiteral("查询失败") : e.description(); }
} // namespace

QString BrowseQuery::SetConditionValue(QVariant& condition)
{
    try {
        const QStringList fields = values::toTextOrEmpty(condition).split(u'|');
        if (fields.size() != conditionFields())
            return QStringLiteral("-1&条件应有%1项，收到%2项").arg(conditionFields()).arg(fields.size());
        const Condition parsed = parse(fields);
        if (!QDate::fromString(parsed.date, QStringLiteral("yyyy-MM-dd")).isValid())
            return QStringLiteral("-1&日期无效：") + parsed.date;
        cond_ = parsed;
        date_ = parsed.date;
        graph_.reset();
        path_.clear();
        const int part = findPart(cond_.code, cond_.free);
        if (part == 0)
            return QStringLiteral("-1&物料不存在");
        QString whyNot;
        if (!prepareRoot(part, whyNot))
            return QStringLiteral("-1&") + whyNot;
        path_ = {part};
        const QString data = rootData(part);
        loaded(data.split(u'|'));
        return data + u'&' + rootLabel(part);
    } catch (const AutomationError& e) {
        return QStringLiteral("-1&") + failure(e);
    }
}

bool BrowseQuery::LoadData(QVariant& key)
{
    const QString text = values::toTextOrEmpty(key);
    const QStringList fields = text.split(u'|');
    QList<int> path;
    for (const QString& id : fields.first().split(u'.')) {
        bool ok = false;
        const int part = id.toInt(&ok);
        if (!ok || part <= 0) {
            path_.clear();
            return false;
        }
        path.append(part);
    }
    path_ = path;
    // The node is read as the account holds it now: a BOM saved since the
    // last node was read counts in its tree rows and its document alike.
    // (Unchanged, the account hands the new graph what the last one read.)
    graph_.reset();
    loaded(fields);
    return true;
}

QString BrowseQuery::GetHeadXML()
{
    if (path_.isEmpty())
        return QStringLiteral("没有选中的物料");
    try {
        return mvInterfaceXml({headRow()});
    } catch (const AutomationError& e) {
        return failure(e);
    }
}

QString BrowseQuery::GetTreeViewXML()
{
    if (path_.isEmpty())
        return QStringLiteral("没有选中的物料");
    try {
        return mvInterfaceXml(treeRows());
    } catch (const AutomationError& e) {
        return failure(e);
    }
}

QString BrowseQuery::GetDetailXML()
{
    if (path_.isEmpty())
        return QStringLiteral("没有选中的物料");
    try {
        return mvInterfaceXml(detailRows());
    } catch (const AutomationError& e) {
        return failure(e);
    }
}

QString BrowseQuery::GetComponentSubXML(QVariant& row, QVariant&)
{
    try {
        QSqlQuery q(connection().database());
        q.prepare(QStringLiteral(
            "SELECT s.Sequence, p.InvCode, i.cInvName, i.cInvStd, i.cComUnitName, s.Factor, s.EffBegDate, s.EffEndDate, s.ReplaceFlag "
            "FROM bom_opcomponentsub s JOIN bas_part p ON p.PartId = s.PartId JOIN Inventory i ON i.cInvCode = p.InvCode "
            "WHERE s.OpComponentId = ? ORDER BY s.Sequence, p.InvCode"));
        q.addBindValue(values::toLong(row));
        if (!q.exec())
            q7::data::throwProviderError(q.lastError());
        QList<XmlRow> rows;
        while (q.next())
            rows.append({{QStringLiteral("Sequence"), q.value(0).toString()},
                         {QStringLiteral("SubInvCode"), q.value(1).toString()},
                         {QStringLiteral("SubInvName"), q.value(2).toString()},
                         {QStringLiteral("SubInvStd"), q.value(3).toString()},
                         {QStringLiteral("SubUnit"), q.value(4).toString()},
                         {QStringLiteral("Factor"), q.value(5).isNull() ? QString() : number(q.value(5).toDouble())},
                         {QStringLiteral("EffBegDate"), q.value(6).toString()},
                         {QStringLiteral("EffEndDate"), q.value(7).toString()},
                         {QStringLiteral("ReplaceFlag"), q.value(8).toInt() ? QStringLiteral("是") : QStringLiteral("否")}});
        return mvInterfaceXml(rows);
    } catch (const AutomationError& e) {
        return failure(e);
    }
}

data::Connection& BrowseQuery::connection() const
{
    if (!account_)
        account_ = AccountContext::current();
    if (!account_ || !account_->connectionObject()->isOpen())
        throw AutomationError(ErrObjectNotSet, QStringLiteral("No account is open"));
    return *account_->connectionObject();
}

db::procedures::BomGraph& BrowseQuery::graph() const
{
    if (!graph_)
        graph_ = std::make_unique<db::procedures::BomGraph>(connection(), date_);
    return *graph_;
}

int BrowseQuery::findPart(const QString& code, const QStringList& free) const
{
    QString sql = QStringLiteral("SELECT p.PartId FROM bas_part p JOIN Inventory i ON i.cInvCode = p.InvCode WHERE p.InvCode = ?");
    for (int k = 1; k <= 10; ++k)
        sql += QStringLiteral(" AND (i.bConfigFree%1 = 0 OR p.Free%1 = ?)").arg(k);
    sql += QStringLiteral(" ORDER BY p.PartId LIMIT 1");
    QSqlQuery q(connection().database());
    q.prepare(sql);
    q.addBindValue(code);
    for (int k = 0; k < 10; ++k)
        q.addBindValue(free.value(k));
    if (!q.exec())
        q7::data::throwProviderError(q.lastError());
    return q.next() ? q.value(0).toInt() : 0;
}

int BrowseQuery::mainBomAt(int partId) const { return graph().mainBom(partId); }

QString BrowseQuery::partLabel(int partId)
{
    const db::procedures::PartInfo& p = graph().part(partId);
    QString label = p.code + u' ' + p.name;
    QStringList free;
    for (const QString& f : {p.free1, p.free2})
        if (!f.isEmpty())
            free.append(f);
    if (!free.isEmpty())
        label += QStringLiteral(" [") + free.join(u',') + u']';
    return label.replace(u'&', QChar(0xFF06)); // "&" separates the answer's fields
}

QString BrowseQuery::rootLabel(int partId) { return partLabel(partId); }

XmlRow BrowseQuery::itemAttributes(int partId)
{
    const db::procedures::PartInfo& p = graph().part(partId);
    return {{QStringLiteral("cInvCode"), p.code},   {QStringLiteral("cInvName"), p.name}, {QStringLiteral("cInvStd"), p.invStd},
            {QStringLiteral("cComUnitName"), p.unit}, {QStringLiteral("Free1"), p.free1},   {QStringLiteral("Free2"), p.free2}};
}

QString BrowseQuery::number(double value) { return QString::number(value, 'g', 10); }

QString BrowseQuery::pathText(const QList<int>& path)
{
    QStringList ids;
    for (int id : path)
        ids.append(QString::number(id));
    return ids.join(u'.');
}

} // namespace q7::host::browse
