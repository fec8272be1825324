#include "host/browse/XmlRows.h"

#include <QXmlStreamWriter>

namespace q7::host::browse {

QString mvInterfaceXml(const QList<XmlRow>& rows)
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.writeStartElement(QStringLiteral("mvinterface"));
    for (const XmlRow& row : rows) {
        writer.writeStartElement(QStringLiteral("Row"));
        for (const auto& [name, value] : row)
            writer.writeAttribute(name, value);
        writer.writeEndElement();
    }
    writer.writeEndElement();
    return text;
}

} // namespace q7::host::browse
