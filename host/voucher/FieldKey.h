#pragma once

#include <QHashFunctions>
#include <QTypeInfo>
#include <QString>

namespace q7::host::voucher {

// A field's name ("DInvCode", "DBaseQtyN", …) as a small number: each name is
// given its number once for the life of the process (by any thread) and keeps
// it, so that a record finds and compares its fields by number rather than by
// text. Names are interned as they are met; the hot ones are constants
// (`static const FieldKey dInvCode(QStringLiteral("DInvCode"))`).
class FieldKey {
public:
    FieldKey(const QString& name); // NOLINT(google-explicit-constructor): a name is a key

    int id() const { return id_; }
    // The name it was interned from; the reference holds for the life of the process.
    const QString& name() const;

    friend bool operator==(FieldKey a, FieldKey b) { return a.id_ == b.id_; }
    friend auto operator<=>(FieldKey a, FieldKey b) { return a.id_ <=> b.id_; }
    friend size_t qHash(FieldKey key, size_t seed = 0) { return qHash(key.id_, seed); }

    // How many names have been interned so far (the ids are 0 … count - 1).
    static int count();

private:
    int id_;
};

} // namespace q7::host::voucher

Q_DECLARE_TYPEINFO(q7::host::voucher::FieldKey, Q_RELOCATABLE_TYPE);
