#pragma once

#include "platform/Events.h"

#include <QEnableSharedFromThis>
#include <QObject>
#include <QVariant>

namespace q7::component {

class VoucherFormAccess;

// Handler of the BOM voucher: serves the voucher's list form and its entry
// forms at once, each with its own form slot and event variable. The events
// are raised by the host's voucher library; none of them traps errors.
class clsBO01001 : public QObject, public QEnableSharedFromThis<clsBO01001> {
    Q_OBJECT
public:
    Q_INVOKABLE void FormVoucher(const QVariant& frm);
    Q_INVOKABLE void FormVoucherEntry(const QVariant& frm);

    const q7::Object& listForm() const { return frmVoucher_; }
    const q7::Object& entryForm() const { return frmEntry_; }
    const q7::EventVariable& events() const { return objEvent; }
    const q7::EventVariable& entryEvents() const { return objEntryEvent; }

    // List form
    Q_INVOKABLE void objEvent_InitForm();
    Q_INVOKABLE void objEvent_InitMenu();
    Q_INVOKABLE void objEvent_ModifyMenu(const QVariant& key);
    Q_INVOKABLE void objEvent_SetVouchItemState();
    Q_INVOKABLE void objEvent_InitHelp(QVariant& helpId);
    Q_INVOKABLE void objEvent_HeadBrowUser(const QVariant& key, QVariant& value);
    Q_INVOKABLE void objEvent_BodyBrowUser(const QVariant& key, const QVariant& row, QVariant& value);
    Q_INVOKABLE void objEvent_HeadColChanged(const QVariant& key);
    Q_INVOKABLE void objEvent_BodyOnEdit(const QVariant& key);
    Q_INVOKABLE void objEvent_BodyRowChanged(const QVariant& previousRow, const QVariant& currentRow);
    Q_INVOKABLE void objEvent_CheckValidate(QVariant& valid);
    Q_INVOKABLE void objEvent_ExecutePopMenu(const QVariant& index, QVariant& id);
    Q_INVOKABLE void objEvent_ExecuteTask(const QVariant& key);
    Q_INVOKABLE void objEvent_Locate(QVariant& filter);
    Q_INVOKABLE void objEvent_AddBody(const QVariant&) {}
    Q_INVOKABLE void objEvent_ExecuteMenuTaskBefore(const QVariant&) {}

    // Entry forms (substitutes, location designators, users of a common BOM)
    Q_INVOKABLE void objEntryEvent_InitForm();
    Q_INVOKABLE void objEntryEvent_OpenEntryForm();
    Q_INVOKABLE void objEntryEvent_ModifyMenu(const QVariant& key);
    Q_INVOKABLE void objEntryEvent_AddBody(const QVariant& row);
    Q_INVOKABLE void objEntryEvent_BodyRowChanged(const QVariant& previousRow, const QVariant& currentRow);
    Q_INVOKABLE void objEntryEvent_CheckValidate(QVariant& valid);
    Q_INVOKABLE void objEntryEvent_InitHelp(QVariant& helpId);
    Q_INVOKABLE void objEntryEvent_BodyBrowUser(const QVariant&, const QVariant&, QVariant&) {}
    Q_INVOKABLE void objEntryEvent_BodyOnEdit(const QVariant& key);
    Q_INVOKABLE void objEntryEvent_InitMenu() {}
    Q_INVOKABLE void objEntryEvent_Save();
    Q_INVOKABLE void objEntryEvent_SetVouchItemState() {}

private:
    void applyRoutingRule(const VoucherFormAccess& form) const;
    void addSubstituteBom(const VoucherFormAccess& form);
    void shareBom(const VoucherFormAccess& form);
    void copyBom(const VoucherFormAccess& form);
    bool copyFromServer(const VoucherFormAccess& form);

    q7::Object frmVoucher_;
    q7::Object frmEntry_;
    q7::EventVariable objEvent{this, QStringLiteral("objEvent")};
    q7::EventVariable objEntryEvent{this, QStringLiteral("objEntryEvent")};
};

} // namespace q7::component
