#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <optional>

namespace q7 {

using StringLookup = std::function<std::optional<QString>(int)>;
using BitmapLookup = std::function<QImage(int)>;

// A library publishes its string table and bitmaps under its name when it is
// registered; the host's services read them by number.
void publishStrings(const QString& library, StringLookup lookup);
void publishBitmaps(const QString& library, BitmapLookup lookup);
std::optional<QString> loadString(const QString& library, int number);
QImage loadBitmap(const QString& library, int number); // null image when unknown

} // namespace q7
