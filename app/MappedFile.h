#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace q7::app {

// A file read through a memory map rather than copied: its pages are read as
// they are reached, and pages already read can be let go (they come back from
// the disk when read again), so that reading a large file through holds little
// of it at a time.
class MappedFile {
public:
    explicit MappedFile(const QString& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool isOpen() const { return open_; } // false when the file cannot be read
    QByteArrayView bytes() const { return {data_, size_}; }
    // Lets go of the pages that hold bytes [from, to); they stay readable.
    void release(qsizetype from, qsizetype to) const;

private:
    QFile file_;
    const char* data_ = nullptr;
    qsizetype size_ = 0;
    bool open_ = false;
};

} // namespace q7::app
