#include "app/gui/FilterPicks.h"

#include "host/ui/CalendarDialog.h"
#include "host/ui/PickDialog.h"
#include "host/ui/ReferLists.h"
#include "platform/ReferKinds.h"
#include "platform/values/Values.h"

#include <QSqlQuery>

namespace q7::app::gui {

FilterPick pickOf(const host::report::ItemDefinition& definition)
{
    using Type = host::report::ItemDefinition::Type;
    if (definition.type == Type::Date)
        return FilterPick::Date;
    const QString name = definition.name.section(u'.', -1);
    const QString caption = values::trim(definition.caption);
    if (name.compare(QLatin1String("InvCode"), Qt::CaseInsensitive) == 0) {
        if (caption.contains(QStringLiteral("母件")))
            return FilterPick::Parent;
        if (caption.contains(QStringLiteral("子件")))
            return FilterPick::Component;
        return FilterPick::Item;
    }
    if (name.startsWith(QLatin1String("Version"), Qt::CaseInsensitive) && definition.type != Type::Date && definition.type != Type::List)
        return FilterPick::Version;
    return FilterPick::None;
}

namespace {

// A parent's part with a main BOM (the first of its free-item variants).
long long parentPart(data::Connection& connection, const QString& code)
{
    QSqlQuery q = data::runBound(connection.database(),
                                QStringLiteral("SELECT p.PartId FROM bas_part p JOIN bom_parent t ON t.ParentId = p.PartId "
                                               "JOIN bom_bom b ON b.BomId = t.BomId WHERE p.InvCode = ? AND b.BomType = 1 ORDER BY p.PartId"),
                                {code});
    return q.next() ? q.value(0).toLongLong() : 0;
}

} // namespace

QString pickValue(FilterPick pick, data::Connection& connection, const QString& current, const QString& parentCode, QWidget* parent)
{
    if (pick == FilterPick::Date) {
        const QDate initial = QDate::fromString(values::trim(current), QStringLiteral("yyyy-MM-dd"));
        host::ui::CalendarDialog calendar(initial.isValid() ? initial : QDate::currentDate(), QStringLiteral("日期"), parent);
        return calendar.exec() == QDialog::Accepted ? calendar.selectedDate().toString(QStringLiteral("yyyy-MM-dd")) : QString();
    }
    int kind = 0;
    QVariantList parameters{current};
    switch (pick) {
    case FilterPick::Parent: kind = ReferBomParent; break;
    case FilterPick::Component: kind = ReferBomComponent; break;
    case FilterPick::Item: kind = ReferInventory; break;
    case FilterPick::Version:
        kind = ReferBomVersion;
        parameters.append(parentPart(connection, values::trim(parentCode)));
        break;
    default: return {};
    }
    const host::ui::ReferList list = host::ui::referList(connection, kind, parameters);
    host::ui::PickDialog dialog(list, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.pickedRow() < 0)
        return {};
    return values::trim(values::toTextOrEmpty(list.rows.rows.value(dialog.pickedRow()).value(0)));
}

} // namespace q7::app::gui
