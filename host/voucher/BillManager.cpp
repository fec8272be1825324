#include "host/voucher/BillManager.h"

#include "host/voucher/VoucherForm.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"

namespace q7::host::voucher {

bool BillManager::BillCheckValidate(const QVariant&, const QVariant&) { return form_ && form_->checkRequired(); }

void BillManager::OpenVoucherEntryForm(const QVariant&, const QString&, const QString& vouType, const QVariant& handler, QVariant&)
{
    if (form_)
        form_->openEntryForm(vouType, toObject(handler));
}

void BillManager::SetHeadColumnData(const QVariant&, const QString& key, const QVariant& value)
{
    if (form_)
        form_->voucher().setHeaderText(key, value);
}

bool BillManager::GetHeadColumnData(const QVariant&, QVariant& keys, QVariant& values)
{
    if (!form_)
        return false;
    QVariantList result;
    for (const QVariant& key : keys.toList())
        result.append(form_->computeHead(key.toString()));
    values = result;
    return true;
}

bool BillManager::GetBodyColumnData(const QVariant&, int row, QVariant& keys, QVariant& values)
{
    if (!form_ || row < 0 || row >= form_->voucher().rows())
        return false;
    QVariantList result;
    for (const QVariant& key : keys.toList())
        result.append(form_->computeBody(row + 1, key.toString()));
    values = result;
    return true;
}

QVariant LocateFilterList::Item(int index) const
{
    if (index < 1 || index > items.size())
        throw AutomationError(9);
    return fromObject(items[index - 1]);
}

QVariant LocateFilter::filterList() const { return fromObject(list); }

void LocateFilter::add(const QString& name, const QVariant& from, const QVariant& to)
{
    auto item = makeObject<LocateFilterItem>();
    item->name = name;
    item->varValue = from;
    item->varValue2 = to;
    list->items.append(item);
}

} // namespace q7::host::voucher
