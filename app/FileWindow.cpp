#include "app/FileWindow.h"

#include <QFileInfo>

#include <algorithm>

namespace q7::app {

FileWindow::FileWindow(const QString& path, qsizetype window) : file_(path), window_(std::max<qsizetype>(window, 1))
{
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || file_.isSequential())
        return;
    size_ = file_.size();
    modified_ = QFileInfo(file_).lastModified();
    open_ = true;
}

QByteArrayView FileWindow::from(qsizetype offset, qsizetype ahead) { return load(offset, ahead, window_); }

QByteArrayView FileWindow::span(qsizetype offset, qsizetype length) { return load(offset, length, 0); }

QByteArrayView FileWindow::load(qsizetype offset, qsizetype wanted, qsizetype atLeast)
{
    offset = std::clamp<qsizetype>(offset, 0, size_);
    wanted = std::min(std::max<qsizetype>(wanted, 0), size_ - offset);
    if (offset < base_ || offset + wanted > base_ + bytes_.size()) {
        const qsizetype length = std::min(std::max(wanted, atLeast), size_ - offset);
        if (!file_.seek(offset))
            throw FileChanged{};
        bytes_ = file_.read(length);
        base_ = offset;
        if (bytes_.size() != length) // shortened since it was opened
            throw FileChanged{};
    }
    return QByteArrayView(bytes_).sliced(offset - base_);
}

bool FileWindow::unchanged() const
{
    const QFileInfo now(file_.fileName());
    return now.exists() && now.size() == size_ && now.lastModified() == modified_;
}

} // namespace q7::app
