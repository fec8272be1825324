#pragma once

#include "platform/ObjectRef.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace q7::component {

// Late-bound access to a voucher form of the host's voucher library: its
// voucher control (head fields, body rows, item states), its settings bag
// "BillInfo", its service "BillManager" and its toolbar. Rows are counted
// from 1 here, as the voucher control counts them.
class VoucherFormAccess {
public:
    explicit VoucherFormAccess(q7::Object form);

    q7::Object control() const; // ctlVoucher1
    q7::Object billInfo() const;
    q7::Object billManager() const;
    q7::Object toolbar() const;
    const q7::Object& form() const { return form_; }

    QVariant head(const QString& key) const;
    void setHead(const QString& key, const QVariant& value) const;
    QVariant body(int row, const QString& key) const;
    void setBody(int row, const QString& key, const QVariant& value) const;
    int rows() const;
    int bodyRows() const;
    bool rowIsEmpty(int row) const;
    // The keys' values in every row, read at once (BodyColumns): an empty row reads as an empty list.
    QList<QVariantList> bodyColumns(const QStringList& keys) const;
    QString lineStatus(int row) const; // QueryDataLineStatus
    int status() const;                // VoucherStatus
    void setStatus(int status) const;

    // The item state of a head (section 0) or body (section 1) field.
    q7::Object itemState(const QString& key, int section) const;
    bool canModify(const QString& key) const; // of a body field
    void setCanModify(const QString& key, bool value) const;
    void setRequired(const QString& headKey, bool value) const;
    void enableHead(const QString& key, bool enabled) const;
    // The caption of a body column, or its second name when the caption is blank.
    QString bodyColumnTitle(const QString& key) const;

    QString vouType() const; // cVouType of BillInfo
    QVariant login() const;  // LoginObject of BillInfo's LoginInformation
    QString authId() const;
    void setSuccess(bool success) const;
    void setBillInfo(const QString& name, const QVariant& value) const;
    void setBillInfo(const QString& name, int index, const QVariant& value) const;

    QVariant button(const QString& key) const; // Toolbar1.Buttons(key)

private:
    q7::Object form_;
    mutable q7::Object control_; // the form's control, asked for once: a form keeps its control
};

} // namespace q7::component
