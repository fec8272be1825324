#include "handlers/VoucherFormAccess.h"

#include "frame/ModBOM.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

namespace q7::component {


namespace {
constexpr int SectionHead = 0;
constexpr int SectionBody = 1;
} // namespace

VoucherFormAccess::VoucherFormAccess(Object form) : form_(std::move(form)) {}

Object VoucherFormAccess::control() const
{
    if (!control_)
        control_ = toObject(getProperty(form_, QStringLiteral("ctlVoucher1")));
    return control_;
}
Object VoucherFormAccess::billInfo() const { return toObject(getProperty(form_, QStringLiteral("BillInfo"))); }
Object VoucherFormAccess::billManager() const { return toObject(getProperty(form_, QStringLiteral("BillManager"))); }
Object VoucherFormAccess::toolbar() const { return toObject(getProperty(form_, QStringLiteral("Toolbar1"))); }

QVariant VoucherFormAccess::head(const QString& key) const
{
    return getProperty(control(), QStringLiteral("headerText"), {key});
}

void VoucherFormAccess::setHead(const QString& key, const QVariant& value) const
{
    letProperty(control(), QStringLiteral("headerText"), QVariantList{key}, value);
}

QVariant VoucherFormAccess::body(int row, const QString& key) const
{
    return getProperty(control(), QStringLiteral("bodyText"), {row, key});
}

void VoucherFormAccess::setBody(int row, const QString& key, const QVariant& value) const
{
    letProperty(control(), QStringLiteral("bodyText"), QVariantList{row, key}, value);
}

int VoucherFormAccess::rows() const { return values::toLong(getProperty(control(), QStringLiteral("Rows"))); }
int VoucherFormAccess::bodyRows() const { return values::toLong(getProperty(control(), QStringLiteral("BodyRows"))); }

bool VoucherFormAccess::rowIsEmpty(int row) const
{
    return values::toBoolean(call(control(), QStringLiteral("BodyRowIsEmpty"), {row}));
}

QList<QVariantList> VoucherFormAccess::bodyColumns(const QStringList& keys) const
{
    QList<QVariantList> rows;
    for (const QVariant& row : call(control(), QStringLiteral("BodyColumns"), {keys}).toList())
        rows.append(row.toList());
    return rows;
}

QString VoucherFormAccess::lineStatus(int row) const
{
    return values::toTextOrEmpty(call(control(), QStringLiteral("QueryDataLineStatus"), {row}));
}

int VoucherFormAccess::status() const { return values::toLong(getProperty(control(), QStringLiteral("VoucherStatus"))); }
void VoucherFormAccess::setStatus(int status) const { letProperty(control(), QStringLiteral("VoucherStatus"), status); }

Object VoucherFormAccess::itemState(const QString& key, int section) const
{
    return toObject(getProperty(control(), QStringLiteral("ItemState"), {key, section}));
}

bool VoucherFormAccess::canModify(const QString& key) const
{
    return values::toBoolean(getProperty(itemState(key, SectionBody), QStringLiteral("bCanModify")));
}

void VoucherFormAccess::setCanModify(const QString& key, bool value) const
{
    letProperty(itemState(key, SectionBody), QStringLiteral("bCanModify"), value);
}

void VoucherFormAccess::setRequired(const QString& headKey, bool value) const
{
    letProperty(itemState(headKey, SectionHead), QStringLiteral("bIsNull"), value);
}

void VoucherFormAccess::enableHead(const QString& key, bool enabled) const
{
    call(control(), QStringLiteral("EnableHead"), {key, enabled});
}

QString VoucherFormAccess::bodyColumnTitle(const QString& key) const
{
    const Object state = itemState(key, SectionBody);
    const QVariant caption = getProperty(state, QStringLiteral("sFieldName"));
    if (!ModBOM::objCommon().IsBlank(caption))
        return values::toText(caption);
    return values::toTextOrEmpty(getProperty(state, QStringLiteral("sFieldName2")));
}

QString VoucherFormAccess::vouType() const { return values::toTextOrEmpty(getProperty(billInfo(), QStringLiteral("cVouType"))); }

QVariant VoucherFormAccess::login() const
{
    const Object information = toObject(getProperty(billInfo(), QStringLiteral("LoginInformation")));
    return getProperty(information, QStringLiteral("LoginObject"));
}

QString VoucherFormAccess::authId() const { return values::toTextOrEmpty(getProperty(billInfo(), QStringLiteral("AuthID"))); }

void VoucherFormAccess::setSuccess(bool success) const { letProperty(billInfo(), QStringLiteral("bSuccess"), success); }

void VoucherFormAccess::setBillInfo(const QString& name, const QVariant& value) const { letProperty(billInfo(), name, value); }

void VoucherFormAccess::setBillInfo(const QString& name, int index, const QVariant& value) const
{
    letProperty(billInfo(), name, QVariantList{index}, value);
}

QVariant VoucherFormAccess::button(const QString& key) const
{
    return getProperty(toolbar(), QStringLiteral("Buttons"), {key});
}

} // namespace q7::component
