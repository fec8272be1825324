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
    if (other.isEmpty())
        return;
    if (isEmpty()) {
        entries_ = other.entries_;
        return;
    }
    // Both are in key order: the keys both have take the other's value, then the room for the
    // others' keys is made at the end and the two are merged from the back, each entry moved once.
    qsizetype added = 0;
    auto mine = entries_.begin();
    for (const Entry& theirs : other.entries_) {
        while (mine != entries_.end() && mine->key.id() < theirs.key.id())
            ++mine;
        if (mine != entries_.end() && mine->key == theirs.key)
            mine->value = theirs.value;
        else
            ++added;
    }
    if (added == 0)
        return;
    qsizetype from = entries_.size() - 1, to = entries_.size() + added - 1;
    entries_.insert(entries_.size(), added, Entry{other.entries_.first().key, QVariant()});
    Entry* const at = entries_.data();
    for (qsizetype theirs = other.entries_.size() - 1; theirs >= 0 && to > from; --theirs) {
        const Entry& entry = other.entries_.at(theirs);
        for (; from >= 0 && at[from].key.id() > entry.key.id(); --from, --to) { // each goes up past the room: the room's blank comes down
            std::swap(at[to].key, at[from].key);
            at[to].value.swap(at[from].value);
        }
        if (from >= 0 && at[from].key == entry.key)
            continue; // had it: its value is the other's already
        at[to].key = entry.key;
        at[to--].value = entry.value;
    }
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
