#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QFile>
#include <QString>

namespace q7::app {

// A file read a window at a time rather than held whole or mapped: little of a large file is in memory
// at once, and a file that another program shortens or rewrites while it is read gives an error instead
// of bytes that are no longer there.
class FileWindow {
public:
    static constexpr qsizetype DefaultWindow = 1 << 20;

    explicit FileWindow(const QString& path, qsizetype window = DefaultWindow);

    bool isOpen() const { return open_; } // false when the file cannot be read (or only as a stream)
    qsizetype size() const { return size_; }
    // The bytes from `offset` on: at least `ahead` of them, fewer only where the file ends. The view is
    // valid until the next call. Throws FileChanged when the file no longer holds what it held when opened.
    QByteArrayView from(qsizetype offset, qsizetype ahead = 1);
    // The `length` bytes from `offset` (fewer only where the file ends), read alone when the window does
    // not hold them: for parts of the file read out of order.
    QByteArrayView span(qsizetype offset, qsizetype length);
    // Whether a view that `from` gave, starting at `offset`, runs to the end of the file.
    bool reachesEnd(qsizetype offset, QByteArrayView view) const { return offset + view.size() >= size_; }
    // The file has the size and modification time it had when it was opened.
    bool unchanged() const;

private:
    QByteArrayView load(qsizetype offset, qsizetype wanted, qsizetype atLeast);

    QFile file_;
    qsizetype size_ = 0;
    QDateTime modified_;
    qsizetype window_;
    qsizetype base_ = 0; // the file offset of bytes_[0]
    QByteArray bytes_;
    bool open_ = false;
};

// The file changed while it was being read.
struct FileChanged {};

} // namespace q7::app
