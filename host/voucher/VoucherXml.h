#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace q7::host::voucher {

// Voucher data as XML text: element "mvinterface" holding "Row" elements
// whose attributes are the fields.
QString rowsToXml(const QList<QVariantMap>& rows);
// The rows of such a text; nullopt-like empty list with ok=false when it is not XML.
QList<QVariantMap> rowsFromXml(const QString& xml, bool* ok = nullptr);

// An XML document object as the voucher's settings bag carries it.
class XmlDocument : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString xml READ xml)
public:
    Q_INVOKABLE bool loadXML(const QString& text);
    QString xml() const { return xml_; }
    QList<QVariantMap> rows() const { return rowsFromXml(xml_); }

private:
    QString xml_;
};

} // namespace q7::host::voucher
