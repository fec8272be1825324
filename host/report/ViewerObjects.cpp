#include "host/report/ViewerObjects.h"
#include "platform/SqlText.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"

#include <QRegularExpression>

namespace q7::host::report {

ViewerFilterItem::ViewerFilterItem(ItemDefinition def)
    : name(def.name), varValue(QString("")), varValue2(QString("")), strCaption(def.caption), listValue1(QString("")), definition(std::move(def))
{
}

QVariant ViewerFilterList::Item(int index) const
{
    if (index < 1 || index > items.size())
        throw AutomationError(ErrSubscriptOutOfRange);
    return fromObject(items[index - 1]);
}

ViewerFilter::ViewerFilter(const ReportDefinition& definition) : list_(makeObject<ViewerFilterList>())
{
    for (const ItemDefinition& item : definition.items)
        list_->items.append(makeObject<ViewerFilterItem>(item));
}

ViewerFilterItem* ViewerFilter::item(const QString& name) const
{
    for (const auto& item : list_->items)
        if (values::textEquals(item->definition.name, name))
            return item.data();
    return nullptr;
}

void ViewerFilter::MakeSQLString()
{
    static const QRegularExpression number(QStringLiteral("^[-+]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    where_.clear();
    for (const auto& item : list_->items) {
        if (item->definition.type == ItemDefinition::Type::Multi)
            continue;
        const auto literal = [&](const QString& value) {
            if (item->definition.type != ItemDefinition::Type::Number)
                return quoted(value);
            if (!number.match(value).hasMatch())
                throw ViewerRefusal{QStringLiteral("[ %1 ] 必须输入数字！").arg(item->definition.caption)};
            return value;
        };
        const QString column = item->definition.name;
        const QString low = values::trim(values::toTextOrEmpty(item->varValue));
        const QString high = values::trim(values::toTextOrEmpty(item->varValue2));
        QStringList parts;
        if (item->definition.range) {
            if (!low.isEmpty())
                parts.append(column + QStringLiteral(">=") + literal(low));
            if (!high.isEmpty())
                parts.append(column + QStringLiteral("<=") + literal(high));
        } else if (!low.isEmpty()) {
            parts.append(column + u'=' + literal(low));
        }
        if (parts.isEmpty())
            continue;
        QString& text = where_[item->LngGrouptoken];
        if (!text.isEmpty())
            text += QStringLiteral(" and ");
        text += parts.join(QStringLiteral(" and "));
    }
}

QString ViewerFilter::GetWhereWithToken(short token) const { return where_.value(token); }

} // namespace q7::host::report
