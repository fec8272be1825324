#pragma once

#include <QList>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

namespace q7::component {

// An answer of a browse query object loaded as an XML document: the
// attribute maps of the "Row" elements under "mvinterface", in document
// order. No value when the text does not load as XML.
std::optional<QVariantList> loadRows(const QString& xml);

} // namespace q7::component
