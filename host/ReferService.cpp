#include "host/ReferService.h"

#include "host/RecordEntries.h"
#include "host/browse/AccountContext.h"
#include "host/ui/PickDialog.h"
#include "platform/ReferKinds.h"
#include "platform/values/Values.h"

#include <QVariantMap>

namespace q7::host {

void ReferService::InitReferInfo(QVariant& record, int count)
{
    record = QVariantMap{{QStringLiteral("Count"), count}, {QStringLiteral("Entries"), QVariantList()}};
}

void ReferService::SetReferInfo(QVariant& record, int number, const QString& column, const QString& referKind,
                                const QString& filter)
{
    putInList(record, QStringLiteral("Entries"), number,
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

} // namespace q7::host
