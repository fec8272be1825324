#include "host/ui/ReferLists.h"

#include "platform/AutomationError.h"
#include "platform/ReferKinds.h"
#include "platform/values/Values.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace q7::host::ui {

namespace {

data::ResultSet select(data::Connection& connection, const QString& sql, const QVariantList& binds)
{
    QSqlQuery q = data::runBound(connection.database(), sql, binds);
    data::ResultSet rs;
    const QSqlRecord record = q.record();
    for (int i = 0; i < record.count(); ++i)
        rs.columns.append(record.fieldName(i));
    while (q.next()) {
        QVector<QVariant> row;
        for (int i = 0; i < record.count(); ++i)
            row.append(q.value(i).isNull() ? QVariant(QString()) : q.value(i));
        rs.rows.append(row);
    }
    return rs;
}

QString text(const QVariantList& parameters, int index) { return values::trim(values::toTextOrEmpty(parameters.value(index))); }

// "InvAttr=1,3" or "bConfigFree2=1": a condition on one of the item's
// columns, its values bound; anything else is refused.
QString inventoryFilter(const QString& filter, QVariantList& binds)
{
    if (filter.isEmpty())
        return {};
    static const QRegularExpression form(QStringLiteral("^\\s*(InvAttr|bConfigFree(?:[1-9]|10))\\s*=\\s*([0-9]+(?:\\s*,\\s*[0-9]+)*)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = form.match(filter);
    if (!match.hasMatch())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("存货参照的过滤条件无效：") + filter);
    QStringList marks;
    for (const QString& v : match.captured(2).split(u',')) {
        binds.append(v.trimmed().toInt());
        marks.append(QStringLiteral("?"));
    }
    return QStringLiteral(" AND i.") + match.captured(1) + QStringLiteral(" IN (") + marks.join(u',') + u')';
}

} // namespace

QString referCaption(const QString& column)
{
    static const QHash<QString, QString> captions{
        {QStringLiteral("cInvCode"), QStringLiteral("编码")},        {QStringLiteral("InvCode"), QStringLiteral("编码")},
        {QStringLiteral("cInvName"), QStringLiteral("名称")},        {QStringLiteral("cInvStd"), QStringLiteral("规格型号")},
        {QStringLiteral("cComUnitName"), QStringLiteral("计量单位")}, {QStringLiteral("Version"), QStringLiteral("版本")},
        {QStringLiteral("VersionDesc"), QStringLiteral("版本说明")},  {QStringLiteral("VersionEffDate"), QStringLiteral("生效日期")},
        {QStringLiteral("VersionEndDate"), QStringLiteral("失效日期")}, {QStringLiteral("IdentCode"), QStringLiteral("替代标识")},
        {QStringLiteral("IdentDesc"), QStringLiteral("替代说明")},    {QStringLiteral("OpSeq"), QStringLiteral("工序行号")},
    };
    if (const auto it = captions.find(column); it != captions.end())
        return *it;
    static const QRegularExpression free(QStringLiteral("^Free([0-9]+)$"));
    if (const auto match = free.match(column); match.hasMatch())
        return QStringLiteral("自由项") + match.captured(1);
    return column;
}

namespace {
void captionColumns(ReferList& list)
{
    list.captions.clear();
    for (const QString& column : list.rows.columns)
        list.captions.append(referCaption(column));
}
} // namespace

ReferList referList(data::Connection& connection, int kind, const QVariantList& parameters)
{
    ReferList list;
    switch (kind) {
    case ReferInventory: {
        QVariantList binds;
        const QString where = inventoryFilter(text(parameters, 1), binds);
        list.title = QStringLiteral("存货参照");
        list.search = text(parameters, 0);
        list.rows = select(connection, QStringLiteral("SELECT i.cInvCode, i.cInvName, i.cInvStd, i.cComUnitName FROM Inventory i WHERE 1 = 1") + where +
                                           QStringLiteral(" ORDER BY i.cInvCode"),
                           binds);
        break;
    }
    case ReferBomVersion:
        list.title = QStringLiteral("版本参照");
        list.rows = select(connection, QStringLiteral("SELECT b.Version, b.VersionDesc, b.VersionEffDate, b.VersionEndDate FROM bom_bom b "
                                                      "JOIN bom_parent t ON t.BomId = b.BomId WHERE t.ParentId = ? AND b.BomType = 1 ORDER BY b.Version"),
                           {values::toLong(parameters.value(1, 0))});
        break;
    case ReferBomIdentCode:
        list.title = QStringLiteral("替代标识参照");
        list.rows = select(connection, QStringLiteral("SELECT b.IdentCode, b.IdentDesc FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId "
                                                      "WHERE t.ParentId = ? AND b.BomType = 2 ORDER BY b.IdentCode"),
                           {values::toLong(parameters.value(1, 0))});
        break;
    case ReferProutingOperation:
        list.title = QStringLiteral("工序参照");
        list.rows = select(connection, QStringLiteral("SELECT DISTINCT c.OpSeq FROM bom_opcomponent c JOIN bom_parent t ON t.BomId = c.BomId "
                                                      "WHERE t.ParentId = ? AND c.OpSeq IS NOT NULL ORDER BY c.OpSeq"),
                           {values::toLong(parameters.value(1, 0))});
        break;
    case ReferBomParent:
        list.title = QStringLiteral("母件参照");
        list.search = text(parameters, 0);
        list.rows = select(connection, QStringLiteral("SELECT DISTINCT i.cInvCode, i.cInvName, i.cInvStd FROM Inventory i JOIN bas_part p ON p.InvCode = i.cInvCode "
                                                      "JOIN bom_parent t ON t.ParentId = p.PartId ORDER BY i.cInvCode"),
                           {});
        break;
    case ReferBomComponent:
        list.title = QStringLiteral("子件参照");
        list.search = text(parameters, 0);
        list.rows = select(connection, QStringLiteral("SELECT DISTINCT i.cInvCode, i.cInvName, i.cInvStd FROM Inventory i JOIN bas_part p ON p.InvCode = i.cInvCode "
                                                      "JOIN bom_opcomponent c ON c.ComponentId = p.PartId ORDER BY i.cInvCode"),
                           {});
        break;
    default:
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("没有这种参照：%1").arg(kind));
    }
    captionColumns(list);
    return list;
}

ReferList freeItemList(data::Connection& connection, const QString& search)
{
    ReferList list;
    list.title = QStringLiteral("存货自由项参照");
    list.search = values::trim(search);
    list.rows = select(connection, QStringLiteral("SELECT p.InvCode AS cInvCode, i.cInvName, p.Free1, p.Free2, p.Free3, p.Free4, p.Free5, p.Free6, p.Free7, "
                                                  "p.Free8, p.Free9, p.Free10 FROM bas_part p JOIN Inventory i ON i.cInvCode = p.InvCode "
                                                  "ORDER BY p.InvCode, p.Free1, p.Free2, p.PartId"),
                       {});
    captionColumns(list);
    return list;
}

} // namespace q7::host::ui
