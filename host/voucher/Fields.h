#pragma once

#include "host/voucher/FieldKey.h"

#include <QList>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <initializer_list>
#include <utility>

namespace q7::host::voucher {

// The fields of one voucher row or BOM line by key: what a QVariantMap of them
// was, found by the key's number (FieldKey) instead of comparing names, and
// held in one block (shared until written, as Qt's containers are) instead of a
// node per field. The names' order (a QVariantMap's) is what keys() and ordered()
// give; entries() are in the keys' numbers' order. Converted to and from a
// QVariantMap where a row leaves for late-bound code (handlers, scripts, XML).
class Fields {
public:
    struct Entry {
        FieldKey key;
        QVariant value;
        friend bool operator==(const Entry& a, const Entry& b) { return a.key == b.key && a.value == b.value; }
    };

    Fields() = default;
    // A key given twice holds its last value.
    Fields(std::initializer_list<std::pair<FieldKey, QVariant>> fields);
    static Fields fromMap(const QVariantMap& map);
    QVariantMap toMap() const;

    // The field's value, or the fallback when the row has no such field.
    QVariant value(FieldKey key, const QVariant& fallback = QVariant()) const;
    // The field's value in place; null when the row has no such field.
    const QVariant* find(FieldKey key) const;
    bool contains(FieldKey key) const { return find(key) != nullptr; }
    void insert(FieldKey key, QVariant value);
    // Every field of the other row, over these where both have it.
    void insert(const Fields& other);
    qsizetype remove(FieldKey key);
    void clear() { entries_.clear(); }
    void reserve(qsizetype fields) { entries_.reserve(fields); }
    qsizetype size() const { return entries_.size(); }
    bool isEmpty() const { return entries_.isEmpty(); }

    QStringList keys() const;                            // in a QVariantMap's order
    QList<std::pair<QString, QVariant>> ordered() const; // the fields in a QVariantMap's order
    const QList<Entry>& entries() const { return entries_; } // in the order of the keys' numbers

    friend bool operator==(const Fields& a, const Fields& b) { return a.entries_ == b.entries_; }

private:
    QList<Entry>::const_iterator lowerBound(FieldKey key) const;
    QList<Entry> entries_; // by key number, each key once
};

} // namespace q7::host::voucher

Q_DECLARE_TYPEINFO(q7::host::voucher::Fields::Entry, Q_RELOCATABLE_TYPE); // an int and a QVariant: moved as bytes
