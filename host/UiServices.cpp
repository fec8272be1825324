#include "host/UiServices.h"

#include "platform/ReferKinds.h"

#include "host/browse/AccountContext.h"
#include "host/browse/VoucherTemplates.h"
#include "host/ui/CalendarDialog.h"
#include "host/ui/DialogDriver.h"
#include "host/ui/PickDialog.h"

#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

#include <QMenu>
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

void ReferService::SetReferInfo(QVariant& record, int number, const QString& column, const QString& referKind,
                                const QString& filter)
{
    setEntry(record, number,
             QVariantMap{{QStringLiteral("Column"), column}, {QStringLiteral("Kind"), referKind}, {QStringLiteral("Filter"), filter}});
}

namespace {
// Shows the list; on a pick the recordset holds the list's rows with the
// picked one current. Nothing changes when the user cancels.
bool pick(const ui::ReferList& list, QVariant& recordset, int& row)
{
    row = ui::pickRow(list);
    if (row < 0)
        return false;
    auto rs = makeObject<data::Recordset>(list.rows);
    for (int i = 0; i < row; ++i)
        rs->MoveNext();
    recordset = fromObject(rs);
    return true;
}
} // namespace

bool ReferService::ShowRefer(const QVariant&, const QString& referKind, const QVariantList& parameters, QVariant& recordset, QVariant& picked,
                             int, int)
{
    const int kind = referKindOf(referKind);
    // a kind this host has no list for, or no account context open (a form driven without the host's
    // session): nothing to pick, the value stays
    if (kind == 0 || !browse::AccountContext::current())
        return false;
    const ui::ReferList list = ui::referList(browse::currentConnection(), kind, parameters);
    int row = -1;
    if (!pick(list, recordset, row))
        return false;
    picked = list.rows.rows[row].value(0);
    return true;
}

bool ReferService::ShowFreeItemRefer(const QVariant&, QVariant& itemCode, QVariant& freeValues, int, QVariant& recordset, int)
{
    if (!browse::AccountContext::current())
        return false;
    const ui::ReferList list = ui::freeItemList(browse::currentConnection(), values::toTextOrEmpty(itemCode));
    int row = -1;
    if (!pick(list, recordset, row))
        return false;
    const auto& chosen = list.rows.rows[row];
    itemCode = chosen.value(0);
    QVariantList free;
    for (int i = 0; i < 10; ++i)
        free.append(chosen.value(2 + i));
    freeValues = free;
    return true;
}

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

void PopupMenuService::ShowMenu(const QVariant& menu, const QVariant&, QVariant& chosen)
{
    QMenu popup;
    const QVariantList entries = menu.toList();
    for (const QVariant& entry : entries)
        popup.addAction(values::toTextOrEmpty(entry));
    QAction* action = ui::runMenu(popup);
    chosen = action ? static_cast<int>(popup.actions().indexOf(action)) + 1 : 0;
}

void PopupMenuService::InitMenuRecord(QVariant& record, int count)
{
    record = QVariantMap{{QStringLiteral("Count"), count}, {QStringLiteral("Entries"), QVariantList()}};
}

void PopupMenuService::SetMenuRecord(QVariant& record, int index, const QString& caption) { setEntry(record, index, caption); }

QVariant TemplateService::GetTemplate(const QVariant&, const QString& voucherType)
{
    const QVariantList entries = browse::voucherTemplate(voucherType);
    return entries.isEmpty() ? QVariant(voucherType) : QVariant(entries);
}

QString CalendarPicker::Show(const QVariant&)
{
    const QString initial = values::toTextOrEmpty(initial_);
    const QDate date = QDate::fromString(initial, QStringLiteral("yyyy") + separator_ + QStringLiteral("MM") + separator_ + QStringLiteral("dd"));
    ui::CalendarDialog dialog(date.isValid() ? date : system::today(), title_);
    if (ui::runDialog(dialog) != QDialog::Accepted)
        return initial; // cancelled: the box keeps its text
    return dialog.selectedDate().toString(QStringLiteral("yyyy") + separator_ + QStringLiteral("MM") + separator_ + QStringLiteral("dd"));
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
