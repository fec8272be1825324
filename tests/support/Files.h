#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace fake {

// A file's bytes (empty when it cannot be read), and a file written whole.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

inline void write(const QString& path, const QByteArray& data)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(data);
}

} // namespace fake
