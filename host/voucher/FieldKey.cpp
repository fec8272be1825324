#include "host/voucher/FieldKey.h"

#include <QHash>

#include <deque>
#include <mutex>
#include <shared_mutex>

namespace q7::host::voucher {

namespace {

// The names interned so far and their numbers. Names only ever come in: a name's
// text, once interned, is never moved (a deque keeps its elements in place), so a
// reference to it outlives the lock it was found under.
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
        const int id = int(names_.size());
        names_.push_back(name);
        ids_.insert(names_.back(), id);
        return id;
    }
    const QString& name(int id) const
    {
        const std::shared_lock reading(lock_);
        return names_[size_t(id)];
    }
    int count() const
    {
        const std::shared_lock reading(lock_);
        return int(names_.size());
    }

private:
    mutable std::shared_mutex lock_;
    std::deque<QString> names_;
    QHash<QString, int> ids_;
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
