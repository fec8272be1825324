#include "browse/XmlDocument.h"

#include <QDomDocument>

namespace q7::component {

std::optional<QVariantList> loadRows(const QString& xml)
{
    QDomDocument document;
    if (!document.setContent(xml))
        return std::nullopt;
    QVariantList rows;
    const QDomElement root = document.documentElement();
    if (root.tagName() != QLatin1String("mvinterface"))
        return rows;
    for (QDomElement row = root.firstChildElement(QStringLiteral("Row")); !row.isNull(); row = row.nextSiblingElement(QStringLiteral("Row"))) {
        QVariantMap attributes;
        const QDomNamedNodeMap map = row.attributes();
        for (int i = 0; i < map.count(); ++i) {
            const QDomAttr a = map.item(i).toAttr();
            attributes.insert(a.name(), a.value());
        }
        rows.append(attributes);
    }
    return rows;
}

} // namespace q7::component
