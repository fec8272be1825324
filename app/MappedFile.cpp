#include "app/MappedFile.h"

#include <QtGlobal>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace q7::app {

MappedFile::MappedFile(const QString& path) : file_(path)
{
    if (!file_.open(QIODevice::ReadOnly))
        return;
    size_ = file_.size();
    if (size_ == 0) { // nothing to map: an empty view
        open_ = true;
        return;
    }
    data_ = reinterpret_cast<const char*>(file_.map(0, size_));
    open_ = data_ != nullptr;
    if (!open_)
        size_ = 0;
}

MappedFile::~MappedFile()
{
    if (data_)
        file_.unmap(reinterpret_cast<uchar*>(const_cast<char*>(data_)));
}

void MappedFile::release(qsizetype from, qsizetype to) const
{
#ifdef Q_OS_UNIX
    if (!data_)
        return;
    // Reaching a page maps the pages around it too (fault-around, 64 KiB by default): what goes is
    // rounded out to such windows, so that a window mapped again for a later read goes again with it.
    static const qsizetype window = std::max<qsizetype>(sysconf(_SC_PAGESIZE), 64 * 1024);
    const qsizetype begin = std::max<qsizetype>(0, from) / window * window; // the map starts on a page
    const qsizetype end = std::min((to + window - 1) / window * window, size_);
    if (end > begin)
        madvise(const_cast<char*>(data_) + begin, size_t(end - begin), MADV_DONTNEED); // read-only pages: read again when needed
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
}

} // namespace q7::app
