#include "host/voucher/VoucherXml.h"

#include "platform/ObjectRef.h"
#include "platform/values/Values.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace q7::host::voucher {

QString rowsToXml(const QList<QVariantMap>& rows)
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.writeStartElement(QStringLiteral("mvinterface"));
    for (const QVariantMap& row : rows) {
        writer.writeStartElement(QStringLiteral("Row"));
        for (auto it = row.begin(); it != row.end(); ++it)
            if (!isNull(it.value()) && !isEmpty(it.value()))
                writer.writeAttribute(it.key(), values::toTextOrEmpty(it.value()));
        writer.writeEndElement();
    }
    writer.writeEndElement();
    return text;
}

QList<QVariantMap> rowsFromXml(const QString& xml, bool* ok)
{
    QList<QVariantMap> rows;
    QXmlStreamReader reader(xml);
    bool sawRoot = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QLatin1String("mvinterface"))
            sawRoot = true;
        else if (reader.name() == QLatin1String("Row")) {
            QVariantMap row;
            for (const QXmlStreamAttribute& a : reader.attributes())
                row.insert(a.name().toString(), a.value().toString());
            rows.append(row);
        }
    }
    if (ok)
        *ok = sawRoot && !reader.hasError();
    return rows;
}

bool XmlDocument::loadXML(const QString& text)
{
    bool ok = false;
    rowsFromXml(text, &ok);
    if (ok)
        xml_ = text;
    return ok;
}

} // namespace q7::host::voucher
