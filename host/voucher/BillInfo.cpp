#include "host/voucher/BillInfo.h"

#include "host/voucher/VoucherForm.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"

namespace q7::host::voucher {

BillInfo::BillInfo(VoucherForm* form) : form_(form) {}

bool BillInfo::dispatch(Access access, const QString& name, QVariantList& args, QVariant& result)
{
    if (hasDeclaredMember(this, name))
        return false;
    const QString key = name.toLower();
    if (access == Access::Let) {
        if (args.size() == 1)
            bag_.insert(key, args[0]);
        else if (args.size() == 2)
            indexed_[key].insert(values::toLong(args[0]), args[1]);
        else
            return false;
        ++configChanges_;
        return true;
    }
    if (args.isEmpty() && bag_.contains(key)) {
        result = bag_.value(key);
        return true;
    }
    if (args.size() == 1 && indexed_.contains(key)) {
        result = indexed_.value(key).value(values::toLong(args[0]));
        return true;
    }
    return false;
}

QVariant BillInfo::config(const QString& name) const { return bag_.value(name.toLower()); }
QVariant BillInfo::config(const QString& name, int index) const { return indexed_.value(name.toLower()).value(index); }
QVariantList BillInfo::configList(const QString& name) const { return indexed_.value(name.toLower()).values(); }

QVariant BillInfo::LoadVoucherEntryData(const QVariant&, const QVariant&)
{
    return form_ ? QVariant(form_->entryData()) : QVariant();
}

QVariant BillInfo::BomCopy(const QVariant& names, const QVariant& values)
{
    const QVariantList n = names.toList();
    const QVariantList v = values.toList();
    for (int i = 0; i < n.size(); ++i)
        if (values::textEquals(n[i].toString(), QStringLiteral("bomId")) && form_ && form_->prepareCopy(values::toLong(v.value(i))))
            return true;
    throw AutomationError(3021, QStringLiteral("No BOM to copy"));
}

QVariant BillInfo::LoadCopyData(const QVariant&, const QVariant&) { return form_ ? QVariant(form_->copyData()) : QVariant(); }

} // namespace q7::host::voucher
