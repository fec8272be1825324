#include "platform/Resources.h"

#include <QHash>

namespace q7 {

namespace {
QHash<QString, StringLookup>& stringTables()
{
    static QHash<QString, StringLookup> tables;
    return tables;
}
QHash<QString, BitmapLookup>& bitmapTables()
{
    static QHash<QString, BitmapLookup> tables;
    return tables;
}
} // namespace

void publishStrings(const QString& library, StringLookup lookup) { stringTables().insert(library.toLower(), std::move(lookup)); }
void publishBitmaps(const QString& library, BitmapLookup lookup) { bitmapTables().insert(library.toLower(), std::move(lookup)); }

std::optional<QString> loadString(const QString& library, int number)
{
    const auto found = stringTables().constFind(library.toLower());
    if (found == stringTables().cend())
        return std::nullopt;
    return (*found)(number);
}

QImage loadBitmap(const QString& library, int number)
{
    const auto found = bitmapTables().constFind(library.toLower());
    return found == bitmapTables().cend() ? QImage() : (*found)(number);
}

} // namespace q7
