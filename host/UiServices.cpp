#include "host/UiServices.h"

#include "host/browse/VoucherTemplates.h"

#include "platform/LateBinding.h"
#include "platform/SystemSettings.h"
#include "platform/Values.h"

#include <QVariantMap>

namespace q7::host {

namespace {
void setEntry(QVariant& record, int index, const QVariant& entry)
{
    QVariantMap map = record.toMap();
    QVariantList entries = map.value(QStringLiteral("Entries")).toList();
    while (entries.size() <= index)
        entries.append(QVariant());
    entries[index] = entry;
    map.insert(QStringLiteral("Entries"), entries);
    record = map;
}
} // namespace

void ReferService::InitReferInfo(QVariant& record, int count)
{
    record = QVariantMap{{QStringLiteral("Count"), count}, {QStringLiteral("Entries"), QVariantList()}};
}

void ReferService::SetReferInfo(QVariant& record, int number, const QString& column, int referKind, const QString& filter)
{
    setEntry(record, number,
             QVariantMap{{QStringLiteral("Column"), column}, {QStringLiteral("Kind"), referKind}, {QStringLiteral("Filter"), filter}});
}

bool ReferService::ShowRefer(const QVariant&, int, const QVariantList&, QVariant&, QVariant&, int, int) { return false; }

bool ReferService::ShowFreeItemRefer(const QVariant&, QVariant&, QVariant&, int, QVariant&, int) { return false; }

void ToolbarService::SetButtonEnabled(const Object& toolbar, const QString& key, bool enabled)
{
    call(toolbar, QStringLiteral("SetButtonEnabled"), {key, enabled});
}

void ToolbarService::AddImage(QVariant& imageList, int, const QString& key, int bitmapNumber, int)
{
    call(toObject(imageList), QStringLiteral("AddImage"), {key, bitmapNumber});
}

QVariant ToolbarService::AddButton(QVariant& toolbar, const QString& key, const QString& caption, int style, const QVariant& image,
                                   int, int, const QString& toolTip)
{
    return call(toObject(toolbar), QStringLiteral("AddButton"), {key, caption, style, image, toolTip});
}

QVariant ToolbarService::AddButtonMenu(const QVariant& button, const QString& key, const QString& caption)
{
    return call(toObject(button), QStringLiteral("AddMenu"), {key, caption});
}

void PopupMenuService::CreateMenu(QVariant& menu, int) { menu = QVariantList(); }

void PopupMenuService::AddMenuEntry(QVariant& menu, int, const QString& caption, int)
{
    QVariantList entries = menu.toList();
    entries.append(caption);
    menu = entries;
}

void PopupMenuService::ShowMenu(const QVariant&, const QVariant&, QVariant& chosen) { chosen = 0; }

void PopupMenuService::InitMenuRecord(QVariant& record, int count)
{
    record = QVariantMap{{QStringLiteral("Count"), count}, {QStringLiteral("Entries"), QVariantList()}};
}

void PopupMenuService::SetMenuRecord(QVariant& record, int index, const QString& caption) { setEntry(record, index, caption); }

QVariant TemplateService::GetTemplate(const QVariant&, const QString& voucherType)
{
    const QVariantList entries = voucherTemplate(voucherType);
    return entries.isEmpty() ? QVariant(voucherType) : QVariant(entries);
}

QString CalendarPicker::Show(const QVariant&)
{
    const QDate date = QDate::fromString(values::toTextOrEmpty(initial_), QStringLiteral("yyyy-MM-dd"));
    const QDate picked = date.isValid() ? date : system::today();
    return picked.toString(QStringLiteral("yyyy") + separator_ + QStringLiteral("MM") + separator_ + QStringLiteral("dd"));
}

bool ViewInitializer::Init(QVariant& context, const QVariant& account, const QVariant& menuKey)
{
    if (isEmpty(menuKey) || values::toTextOrEmpty(menuKey).isEmpty())
        return false;
    auto view = makeObject<ViewContext>();
    view->account = account;
    view->menuKey = menuKey;
    context = fromObject(view);
    return true;
}

} // namespace q7::host
