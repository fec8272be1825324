#pragma once

#include "host/db/procedures/Statement.h"

#include <QByteArrayView>
#include <QVector>

#include <algorithm>
#include <vector>

namespace q7::host::db::procedures {

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

    // Calls take(i, ids[i], data) for each id that has a row, in no particular order; take answers
    // whether it could use the pack (false: a damaged one). Answers the ids without a pack it used,
    // in order: those are read from the tables. Runs of ids that lie dense (a gap of a few rows at
    // most between neighbours) are read by a pass over their range, the other ids by a seek each.
    template <typename Take>
    QVector<int> read(const QVector<int>& ids, Take&& take)
    {
        std::vector<bool> taken(static_cast<size_t>(ids.size()), false);
        const auto offer = [&](qsizetype i, QByteArrayView data) {
            if (take(static_cast<size_t>(i), ids[i], data))
                taken[static_cast<size_t>(i)] = true;
        };
        QVector<qsizetype> sparse; // positions in ids
        for (qsizetype first = 0; first < ids.size();) {
            qsizetype last = first;
            while (last + 1 < ids.size() && static_cast<long long>(ids[last + 1]) - ids[last] <= StepsPerSeek)
                ++last;
            if (last - first + 1 >= MinimumRun)
                readRange(ids, first, last, offer);
            else
                for (qsizetype i = first; i <= last; ++i)
                    sparse.append(i);
            first = last + 1;
        }
        if (!sparse.isEmpty()) {
            QVector<int> sparseIds;
            sparseIds.reserve(sparse.size());
            for (qsizetype i : sparse)
                sparseIds.append(ids[i]);
            byIds_->bindIds(1, sparseIds);
            while (byIds_->next()) {
                const int part = byIds_->integer(0);
                offer(sparse[std::lower_bound(sparseIds.begin(), sparseIds.end(), part) - sparseIds.begin()], byIds_->utf8(1));
            }
            byIds_->reset();
        }
        QVector<int> rest;
        for (qsizetype i = 0; i < ids.size(); ++i)
            if (!taken[static_cast<size_t>(i)])
                rest.append(ids[i]);
        return rest;
    }

private:
    static constexpr int StepsPerSeek = 6; // measured on the packs: a seek costs about as much as six steps
    static constexpr qsizetype MinimumRun = 16; // fewer ids are not worth a statement of their own

    template <typename Offer>
    void readRange(const QVector<int>& ids, qsizetype first, qsizetype last, Offer& offer)
    {
        byRange_->bind(1, ids[first]);
        byRange_->bind(2, ids[last]);
        qsizetype next = first;
        while (byRange_->next()) {
            const int part = byRange_->integer(0);
            while (next <= last && ids[next] < part)
                ++next;
            if (next <= last && ids[next] == part)
                offer(next, byRange_->utf8(1));
        }
        byRange_->reset();
    }

    LazyStatement byIds_, byRange_;
};

} // namespace q7::host::db::procedures
