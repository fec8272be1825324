#pragma once

#include "platform/Events.h"

#include <QObject>

// Handler of the BOM voucher: serves the voucher's list form and its entry
// forms at once, each with its own form slot and event variable.
class clsBO01001 : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void FormVoucher(const QVariant& frm);
    Q_INVOKABLE void FormVoucherEntry(const QVariant& frm);

    const q7::Object& listForm() const { return m_frmVoucher; }
    const q7::Object& entryForm() const { return m_frmEntry; }
    const q7::EventVariable& events() const { return objEvent; }
    const q7::EventVariable& entryEvents() const { return objEntryEvent; }

private:
    q7::Object m_frmVoucher;
    q7::Object m_frmEntry;
    q7::EventVariable objEvent{this, QStringLiteral("objEvent")};
    q7::EventVariable objEntryEvent{this, QStringLiteral("objEntryEvent")};
};
