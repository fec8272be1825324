#pragma once

#include "host/voucher/Fields.h"
#include "platform/LateBinding.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariantMap>

namespace q7::host::voucher {

// The state of one head or body field: whether it must be filled, may be
// typed into, may be seen (column authority), and its captions.
class ItemState : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool bIsNull MEMBER bIsNull)
    Q_PROPERTY(bool bCanModify MEMBER bCanModify)
    Q_PROPERTY(bool bVisible MEMBER bVisible)
    Q_PROPERTY(QString sFieldName MEMBER sFieldName)
    Q_PROPERTY(QString sFieldName2 MEMBER sFieldName2)
public:
    bool bIsNull = false;
    bool bCanModify = true;
    bool bVisible = true;
    QString sFieldName;
    QString sFieldName2;
};

// The voucher control's model: head fields, body rows and the fields'
// states. Rows count from 1; a row added since the voucher was loaded has
// the line status "A". Addressed late-bound by the handlers.
class VoucherControl : public QObject, public DynamicDispatch {
    Q_OBJECT
    Q_PROPERTY(int Rows READ rows)
    Q_PROPERTY(int BodyRows READ bodyRows)
    Q_PROPERTY(int VoucherStatus MEMBER status_)
public:
    enum Section { Head = 0, Body = 1 };

    VoucherControl(QStringList headKeys, QStringList bodyKeys);

    bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) override;

    QVariant headerText(const QString& key) const { return head_.value(key, QString()); }
    void setHeaderText(const QString& key, const QVariant& value) { head_.insert(key, value); }
    QVariant bodyText(int row, const QString& key) const;
    void setBodyText(int row, const QString& key, const QVariant& value);

    int rows() const { return int(body_.size()); }
    int bodyRows() const;
    Q_INVOKABLE bool BodyRowIsEmpty(int row) const;
    // Some columns of every row in one call (what a check of all the rows reads): per row the
    // values of the keys in their order, an empty row (BodyRowIsEmpty) as an empty list.
    Q_INVOKABLE QVariantList BodyColumns(const QVariant& keys) const;
    Q_INVOKABLE QString QueryDataLineStatus(int row) const;
    Q_INVOKABLE void EnableHead(const QString& key, bool enabled) { headEnabled_.insert(key, enabled); }
    Q_INVOKABLE void setVoucherDataXML(const QVariant& head, const QVariant& body);
    Q_INVOKABLE void ResetSigh();
    ItemState& itemState(const QString& key, int section);
    // A body field's state by its key's number (the same object itemState gives: states stay while the control does).
    ItemState& bodyState(FieldKey key);

    int status() const { return status_; }
    void setStatus(int status) { status_ = status; }
    bool headEnabled(const QString& key) const { return headEnabled_.value(key, true); }
    int appendRow(Fields values); // a new row ("A"); answers its number
    int appendRow(const QVariantMap& values) { return appendRow(Fields::fromMap(values)); }
    void replaceRow(int row, Fields values); // the row's fields, its status kept
    void removeRow(int row);
    void clear();
    void load(const QVariantMap& head, const QList<Fields>& body); // stored rows

    const QVariantMap& head() const { return head_; }
    // A row's fields (from 1); an empty record for a row there is not.
    const Fields& rowFields(int row) const;
    // The same as a map, for late-bound readers.
    QVariantMap row(int row) const { return rowFields(row).toMap(); }
    const QStringList& headKeys() const { return headKeys_; }
    const QStringList& bodyKeys() const { return bodyKeys_; }
    // Fields that a new row gets by default do not make a row non-empty.
    void setDefaultKeys(const QStringList& keys)
    {
        defaultKeys_ = QSet<QString>(keys.begin(), keys.end());
        fillsRow_.clear();
    }

private:
    // Whether a field counts towards a row's being filled (BodyRowIsEmpty), by key number.
    bool fillsRow(FieldKey key) const;
    struct Row {
        Fields values;
        QString status; // "A" added since loading
    };
    QStringList headKeys_, bodyKeys_;
    QSet<QString> defaultKeys_;
    mutable QList<signed char> fillsRow_; // by key number: 1 counts, 0 does not, -1 not known yet
    QVariantMap head_;
    QList<Row> body_;
    QHash<QString, bool> headEnabled_;
    QHash<std::pair<int, QString>, QSharedPointer<ItemState>> states_; // by section and key
    QList<ItemState*> bodyStates_;                                     // the body's of states_ by key number, as asked for
    int status_ = 0;
};

} // namespace q7::host::voucher
