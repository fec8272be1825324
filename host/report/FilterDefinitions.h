#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The shipped filter definitions of the eight BOM reports (reports.json):
// items in the order the handlers rely on, with captions, ranges, lists and types.
namespace q7::host::report {

struct ItemDefinition {
    enum class Type { Text, Date, Number, List, Multi };
    QString name;
    QString caption;   // resolved from the string table when given by number
    bool range = false;
    Type type = Type::Text;
    QStringList list;  // drop-down captions
};

struct ReportDefinition {
    QString key;
    QString title;
    QList<ItemDefinition> items;
};

QStringList reportKeys();
// The definition of a report; error when the key is unknown.
const ReportDefinition& definition(const QString& key);

} // namespace q7::host::report
