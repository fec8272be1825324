#include "host/voucher/Fields.h"

#include <algorithm>

namespace q7::host::voucher {

namespace {

bool byNumber(const Fields::Entry& entry, FieldKey key) { return entry.key.id() < key.id(); }

} // namespace

Fields::Fields(std::initializer_list<std::pair<FieldKey, QVariant>> fields)
{
    entries_.reserve(qsizetype(fields.size()));
    for (const auto& [key, value] : fields)
        insert(key, value);
}

Fields Fields::fromMap(const QVariantMap& map)
{
    Fields fields;
    fields.entries_.reserve(map.size());
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        fields.entries_.append({FieldKey(it.key()), it.value()});
    std::sort(fields.entries_.begin(), fields.entries_.end(), [](const Entry& a, const Entry& b) { return a.key.id() < b.key.id(); });
    return fields;
}

QVariantMap Fields::toMap() const
{
    QVariantMap map;
    for (const auto& [name, value] : ordered())
        map.insert(map.cend(), name, value); // in key order: each goes last
    return map;
}

QList<Fields::Entry>::const_iterator Fields::lowerBound(FieldKey key) const
{
    return std::lower_bound(entries_.cbegin(), entries_.cend(), key, byNumber);
}

const QVariant* Fields::find(FieldKey key) const
{
    const auto at = lowerBound(key);
    return at != entries_.cend() && at->key == key ? &at->value : nullptr;
}

QVariant Fields::value(FieldKey key, const QVariant& fallback) const
{
    const QVariant* found = find(key);
    return found ? *found : fallback;
}

void Fields::insert(FieldKey key, QVariant value)
{
    const qsizetype at = lowerBound(key) - entries_.cbegin();
    if (at < entries_.size() && entries_.at(at).key == key)
        entries_[at].value = std::move(value);
    else
        entries_.insert(at, Entry{key, std::move(value)});
}

void Fields::insert(const Fields& other)
{
    if (isEmpty()) {
        entries_ = other.entries_;
        return;
    }
    // Both are in key order: the keys both have take the other's value, the others' keys go at
    // the end in their order, and the two runs are merged.
    const qsizetype mine = entries_.size();
    qsizetype at = 0;
    for (const Entry& theirs : other.entries_) {
        while (at < mine && entries_.at(at).key.id() < theirs.key.id())
            ++at;
        if (at < mine && entries_.at(at).key == theirs.key)
            entries_[at].value = theirs.value;
        else
            entries_.append(theirs);
    }
    if (entries_.size() > mine)
        std::inplace_merge(entries_.begin(), entries_.begin() + mine, entries_.end(), [](const Entry& a, const Entry& b) { return a.key.id() < b.key.id(); });
}

qsizetype Fields::remove(FieldKey key)
{
    const qsizetype at = lowerBound(key) - entries_.cbegin();
    if (at == entries_.size() || entries_.at(at).key != key)
        return 0;
    entries_.remove(at);
    return 1;
}

QList<std::pair<QString, QVariant>> Fields::ordered() const
{
    QList<std::pair<QString, QVariant>> fields;
    fields.reserve(entries_.size());
    for (const Entry& entry : entries_)
        fields.append({entry.key.name(), entry.value});
    std::sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return fields;
}

QStringList Fields::keys() const
{
    QStringList names;
    names.reserve(entries_.size());
    for (const Entry& entry : entries_)
        names.append(entry.key.name());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace q7::host::voucher
