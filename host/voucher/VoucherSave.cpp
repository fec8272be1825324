#include "host/voucher/VoucherForm.h"

#include "host/voucher/CellText.h"

#include "host/MessageService.h"
#include "host/db/AccountDatabase.h"
#include "host/db/InForce.h"
#include "host/ui/PickDialog.h"
#include "host/voucher/VoucherFields.h"
#include "host/voucher/VoucherXml.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/Events.h"
#include "platform/HostServices.h"
#include "platform/LateBinding.h"
#include "platform/ReferKinds.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"
#include "platform/VoucherTypes.h"

#include <QSet>

#include <limits>

// The voucher form: the checks before a save, and the save.
namespace q7::host::voucher {

namespace {

constexpr int MsgMustEnter = 2509;
constexpr int MsgRowMustEnter = 2510;

void showMessage(const QVariant& message, const QVariantList& arguments)
{
    const Object service = createObject(QString::fromLatin1(MessageClassId));
    dynamic_cast<IMessage&>(*service).ShowMessage(message, missingValue(), arguments);
}

} // namespace

// ---- checks and saving -----------------------------------------------------

bool VoucherForm::checkRequired()
{
    for (const QString& key : control_->headKeys()) {
        const ItemState& state = control_->itemState(key, VoucherControl::Head);
        if (state.bIsNull && cellText(control_->headerText(key)).isEmpty()) {
            const QString name = state.sFieldName.isEmpty() ? key : state.sFieldName;
            lastRefusal_ = Refusal{MsgMustEnter, {name}, QStringLiteral("[ %1 ] 必须输入！").arg(name), 0, key};
            showMessage(MsgMustEnter, {name});
            return false;
        }
    }
    return true;
}

// A body check's message "第 %s 行 [ %s ] 必须输入！" names the row and the column's title.
Refusal VoucherForm::bodyRefusal(const QList<PresentedMessage>& said) const
{
    Refusal refusal;
    refusal.text = QStringLiteral("表体检查未通过");
    if (said.isEmpty())
        return refusal;
    const PresentedMessage& first = said.first();
    refusal.message = values::isNumeric(first.message) ? values::toLong(first.message) : 0;
    refusal.arguments = first.arguments;
    refusal.text = first.text;
    if (refusal.message != MsgRowMustEnter || first.arguments.size() < 2)
        return refusal;
    refusal.line = values::toLong(first.arguments[0]);
    const QString title = values::toTextOrEmpty(first.arguments[1]);
    for (const QString& key : control_->bodyKeys()) {
        const ItemState& state = control_->itemState(key, VoucherControl::Body);
        if (state.sFieldName == title || key == title) {
            refusal.field = key;
            break;
        }
    }
    return refusal;
}

bool VoucherForm::save()
{
    lastRefusal_ = Refusal{};
    if (control_->status() == q7::StatusBrowse)
        return false;
    if (!checkRequired())
        return false;
    // the handler's message reaches the user; kept here too, it tells the row and the column at fault
    QVariantList args{true};
    const QList<PresentedMessage> heard = heardWhile([&] { raiseEvent(events_.data(), QStringLiteral("CheckValidate"), args); });
    if (!values::toBoolean(args[0])) {
        lastRefusal_ = bodyRefusal(heard);
        return false;
    }
    if (owner_)
        return saveEntry();
    const SaveResult result = store_->save(document());
    if (!result.saved) {
        lastRefusal_ = result.refusal;
        showMessage(result.refusal.message ? QVariant(result.refusal.message) : QVariant(result.refusal.text), result.refusal.arguments);
        return false;
    }
    if (showSaved_)
        loadBom(result.bomId);
    else
        info_->currentId = result.bomId;
    control_->ResetSigh();
    setStatus(q7::StatusBrowse, QStringLiteral("tlbSave"));
    return true;
}

} // namespace q7::host::voucher
