#include "host/RecordEntries.h"

#include <QVariantList>
#include <QVariantMap>

namespace q7::host {

void putInList(QVariant& record, const QString& listKey, int index, const QVariant& value)
{
    QVariantMap map = record.toMap();
    QVariantList list = map.value(listKey).toList();
    while (list.size() <= index)
        list.append(QVariant());
    list[index] = value;
    map.insert(listKey, list);
    record = map;
}

} // namespace q7::host
