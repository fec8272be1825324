#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace q7::host::db::procedures {

// Values by part id for the walks, which look a part up for every row they
// make. An account numbers its parts from 1 upwards, so an id is found by two
// array reads (a page of slots, then the slot) instead of a hash; ids outside
// that range go to a hash map. Values live in chunks that never move, so a
// reference handed out stays valid while the map grows, and adding a value
// allocates nothing most of the time.
template <typename T>
class PartMap {
public:
    T* find(int id)
    {
        const Slot* slot = slotOf(id);
        return slot && *slot ? &valueAt(*slot - 1) : nullptr;
    }
    const T* find(int id) const { return const_cast<PartMap*>(this)->find(id); }
    bool contains(int id) const { return find(id) != nullptr; }

    // The value of id, made from args when there is none yet; whether it was made.
    template <typename... Args>
    std::pair<T*, bool> try_emplace(int id, Args&&... args)
    {
        Slot& slot = makeSlot(id);
        if (slot)
            return {&valueAt(slot - 1), false};
        if (count_ % ChunkSize == 0)
            chunks_.push_back(std::make_unique<T[]>(ChunkSize));
        T& value = valueAt(count_);
        value = T(std::forward<Args>(args)...);
        slot = ++count_; // a slot holds the value's number + 1: 0 is none
        return {&value, true};
    }
    T& operator[](int id) { return *try_emplace(id).first; }

private:
    static constexpr int PageBits = 9, PageSize = 1 << PageBits, ChunkSize = 256;
    static constexpr int DirectIds = 1 << 24;
    using Slot = uint32_t; // half a pointer: the pages of a large account's ids take half the memory
    using Page = std::unique_ptr<Slot[]>;

    T& valueAt(Slot number) { return chunks_[number / ChunkSize][number % ChunkSize]; }
    const Slot* slotOf(int id) const
    {
        if (id >= 0 && id < DirectIds) {
            const auto page = static_cast<size_t>(id >> PageBits);
            return page < pages_.size() && pages_[page] ? &pages_[page][id & (PageSize - 1)] : nullptr;
        }
        const auto found = others_.find(id);
        return found == others_.end() ? nullptr : &found->second;
    }
    Slot& makeSlot(int id)
    {
        if (id < 0 || id >= DirectIds)
            return others_[id];
        const auto page = static_cast<size_t>(id >> PageBits);
        if (page >= pages_.size())
            pages_.resize(page + 1);
        if (!pages_[page])
            pages_[page] = std::make_unique<Slot[]>(PageSize); // value-initialised: no value yet
        return pages_[page][id & (PageSize - 1)];
    }

    std::vector<Page> pages_;
    std::unordered_map<int, Slot> others_;
    std::vector<std::unique_ptr<T[]>> chunks_;
    Slot count_ = 0;
};

} // namespace q7::host::db::procedures
