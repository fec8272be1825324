#include "platform/LazyLibrary.h"

#include <dlfcn.h>

namespace q7 {

LazyLibrary::~LazyLibrary() = default;

void* LazyLibrary::symbol(const char* name)
{
    std::call_once(opened_, [this] {
        handle_ = ::dlopen(fileName_, RTLD_NOW | RTLD_LOCAL);
        if (!handle_)
            error_ = QString::fromLocal8Bit(::dlerror());
    });
    if (!handle_)
        return nullptr;
    void* found = ::dlsym(handle_, name);
    if (!found)
        error_ = QStringLiteral("%1 has no function %2").arg(QString::fromLatin1(fileName_), QString::fromLatin1(name));
    return found;
}

} // namespace q7
