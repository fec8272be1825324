#pragma once

#include <QString>
#include <QVariant>

namespace q7::host {

// The configuration records the component builds through the host's services
// are variant maps; their lists ("Entries", "Sources", "Targets") are filled
// by index, growing as needed.
void putInList(QVariant& record, const QString& listKey, int index, const QVariant& value);

} // namespace q7::host
