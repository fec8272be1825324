#include "host/PopupMenuService.h"

#include "host/RecordEntries.h"
#include "host/ui/DialogDriver.h"
#include "platform/values/Values.h"

#include <QMenu>
#include <QVariantMap>

namespace q7::host {

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

void PopupMenuService::SetMenuRecord(QVariant& record, int index, const QString& caption) { putInList(record, QStringLiteral("Entries"), index, caption); }

} // namespace q7::host
