#pragma once

#include "platform/ObjectRef.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

namespace q7::host::voucher {

class VoucherForm;

// The voucher library's service object: required-field check, entry forms,
// and the values the voucher computes for head and body columns.
class BillManager : public QObject {
    Q_OBJECT
public:
    explicit BillManager(VoucherForm* form) : form_(form) {}

    Q_INVOKABLE bool BillCheckValidate(const QVariant& control, const QVariant& billInfo);
    Q_INVOKABLE void OpenVoucherEntryForm(const QVariant& billInfo, const QString& entryKey, const QString& vouType,
                                          const QVariant& handler, QVariant& id);
    Q_INVOKABLE void SetHeadColumnData(const QVariant& billInfo, const QString& key, const QVariant& value);
    Q_INVOKABLE bool GetHeadColumnData(const QVariant& billInfo, QVariant& keys, QVariant& values);
    Q_INVOKABLE bool GetBodyColumnData(const QVariant& billInfo, int row, QVariant& keys, QVariant& values);

private:
    QPointer<VoucherForm> form_;
};

// The filter the voucher hands the locate event: items of a name and two
// bounds, and a condition text of its own.
class LocateFilterItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant name MEMBER name)
    Q_PROPERTY(QVariant varValue MEMBER varValue)
    Q_PROPERTY(QVariant varValue2 MEMBER varValue2)
public:
    QVariant name, varValue = QString(), varValue2 = QString();
};

class LocateFilterList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ count)
public:
    int count() const { return int(items.size()); }
    Q_INVOKABLE QVariant Item(int index) const; // from 1
    QList<QSharedPointer<LocateFilterItem>> items;
};

class LocateFilter : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant FilterList READ filterList)
    Q_PROPERTY(QString SQLString MEMBER sqlString)
public:
    QVariant filterList() const;
    void add(const QString& name, const QVariant& from, const QVariant& to);
    QSharedPointer<LocateFilterList> list = makeObject<LocateFilterList>();
    QString sqlString;
};

} // namespace q7::host::voucher
