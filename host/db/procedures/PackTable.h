#pragma once

#include "host/db/procedures/Statement.h"

#include <QByteArrayView>
#include <QVector>

namespace q7::host::procedures {

// The rows of one pack table (PartId, Data) for a sorted list of part ids:
// by a seek per id, or when the ids lie dense in their range by one pass over
// the range, since a step to the next row costs a fraction of a seek.
class PackTable {
public:
    PackTable() = default;
    PackTable(const Database& db, const QByteArray& table)
        : byIds_(db, "SELECT k.PartId, k.Data FROM IDS(?1) f CROSS JOIN " + table + " k ON k.PartId = f.value"),
          byRange_(db, "SELECT k.PartId, k.Data FROM " + table + " k WHERE k.PartId BETWEEN ?1 AND ?2")
    {
    }
    explicit operator bool() const { return static_cast<bool>(byIds_); }

    // Calls take(part, data) for each id that has a row, in id order.
    template <typename Take>
    void read(const QVector<int>& ids, Take&& take)
    {
        if (ids.isEmpty())
            return;
        const long long range = static_cast<long long>(ids.back()) - ids.front() + 1;
        if (range > static_cast<long long>(ids.size()) * StepsPerSeek) {
            byIds_->bindIds(1, ids);
            while (byIds_->next())
                take(byIds_->integer(0), byIds_->utf8(1));
            byIds_->reset();
            return;
        }
        byRange_->bind(1, ids.front());
        byRange_->bind(2, ids.back());
        qsizetype next = 0;
        while (byRange_->next()) {
            const int part = byRange_->integer(0);
            while (next < ids.size() && ids[next] < part)
                ++next;
            if (next < ids.size() && ids[next] == part)
                take(part, byRange_->utf8(1));
        }
        byRange_->reset();
    }

private:
    static constexpr int StepsPerSeek = 6; // measured on the packs: a seek costs about as much as six steps
    LazyStatement byIds_, byRange_;
};

} // namespace q7::host::procedures
