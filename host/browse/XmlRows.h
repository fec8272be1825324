#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace q7::host::browse {

// One "Row" element: attribute names and values in order.
using XmlRow = QList<QPair<QString, QString>>;

// The document the browse query objects answer with: an element
// "mvinterface" holding one "Row" element per row.
QString mvInterfaceXml(const QList<XmlRow>& rows);

} // namespace q7::host::browse
