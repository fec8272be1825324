#include "host/voucher/FieldKey.h"

#include <QHash>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <stdexcept>
#include <vector>

namespace q7::host::voucher {

namespace {

// The names interned so far and their numbers. Names only ever come in, and a
// name's text, once interned, stays where it was put (in blocks that are never
// moved or freed before the process ends): a key's name is read without a lock,
// as the key was made after its name was in place.
class Registry {
public:
    int intern(const QString& name)
    {
        {
            const std::shared_lock reading(lock_);
            if (const auto found = ids_.constFind(name); found != ids_.constEnd())
                return *found;
        }
        const std::unique_lock writing(lock_);
        if (const auto found = ids_.constFind(name); found != ids_.constEnd()) // interned meanwhile by another thread
            return *found;
        const int id = count_.load(std::memory_order_relaxed);
        const size_t block = size_t(id) / BlockSize;
        if (block >= blocks_.size())
            throw std::length_error("too many field names");
        if (!blocks_[block].load(std::memory_order_relaxed)) {
            owned_.push_back(std::make_unique<Block>());
            blocks_[block].store(owned_.back().get(), std::memory_order_release);
        }
        (*blocks_[block].load(std::memory_order_relaxed))[size_t(id) % BlockSize] = name;
        ids_.insert(name, id);
        count_.store(id + 1, std::memory_order_release);
        return id;
    }
    const QString& name(int id) const { return (*blocks_[size_t(id) / BlockSize].load(std::memory_order_acquire))[size_t(id) % BlockSize]; }
    int count() const { return count_.load(std::memory_order_acquire); }

private:
    static constexpr size_t BlockSize = 256;
    using Block = std::array<QString, BlockSize>;
    std::shared_mutex lock_;
    QHash<QString, int> ids_;
    std::array<std::atomic<Block*>, 4096> blocks_{};
    std::vector<std::unique_ptr<Block>> owned_;
    std::atomic<int> count_{0};
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

FieldKey::FieldKey(const QString& name) : id_(registry().intern(name)) {}

const QString& FieldKey::name() const { return registry().name(id_); }

int FieldKey::count() { return registry().count(); }

} // namespace q7::host::voucher
