#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantList>

namespace q7 {

// The record through which a voucher handler hands the voucher library the
// statement that finds the voucher before the current one: the statement's
// parts, three arrays (flags, flags, the column of the creating operator for
// data authority) and the voucher type.
struct LocateSqlString {
    QString SqlSelect;
    QString SqlFrom;
    QString SqlWhere;
    QVariantList List1;
    QVariantList List2;
    QVariantList List3;
    QString VouchType;

    QString statement() const { return SqlSelect + SqlFrom + SqlWhere; }
};

// Voucher status as the voucher library and the handlers use it.
enum VoucherStatus { StatusBrowse = 0, StatusEdit = 1, StatusAdd = 2 };

} // namespace q7

Q_DECLARE_METATYPE(q7::LocateSqlString)
