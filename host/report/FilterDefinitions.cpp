#include "host/report/FilterDefinitions.h"

#include "platform/AutomationError.h"
#include "platform/Resources.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

namespace q7::host::report {

namespace {

QString textOf(const QJsonValue& value)
{
    if (value.isDouble())
        return loadString(QStringLiteral("Q7BomLib"), value.toInt()).value_or(QString::number(value.toInt()));
    return value.toString();
}

ItemDefinition::Type typeOf(const QString& text)
{
    if (text == QLatin1String("date"))
        return ItemDefinition::Type::Date;
    if (text == QLatin1String("number"))
        return ItemDefinition::Type::Number;
    if (text == QLatin1String("list"))
        return ItemDefinition::Type::List;
    if (text == QLatin1String("multi"))
        return ItemDefinition::Type::Multi;
    return ItemDefinition::Type::Text;
}

QMap<QString, ReportDefinition> load()
{
    QFile file(QStringLiteral(":/q7host/reports.json"));
    if (!file.open(QIODevice::ReadOnly))
        throw AutomationError(ErrCannotCreateObject, QStringLiteral("The report definitions are missing"));
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    QMap<QString, ReportDefinition> reports;
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QJsonObject report = it.value().toObject();
        ReportDefinition def{it.key(), report.value(QStringLiteral("title")).toString(), {}};
        for (const QJsonValue& v : report.value(QStringLiteral("items")).toArray()) {
            const QJsonObject item = v.toObject();
            ItemDefinition d;
            d.name = item.value(QStringLiteral("name")).toString();
            d.caption = textOf(item.value(QStringLiteral("caption")));
            d.range = item.value(QStringLiteral("range")).toBool();
            d.type = typeOf(item.value(QStringLiteral("type")).toString());
            for (const QJsonValue& entry : item.value(QStringLiteral("list")).toArray())
                d.list.append(textOf(entry));
            def.items.append(d);
        }
        reports.insert(def.key, def);
    }
    return reports;
}

const QMap<QString, ReportDefinition>& all()
{
    static const QMap<QString, ReportDefinition> reports = load();
    return reports;
}

} // namespace

QStringList reportKeys() { return all().keys(); }

const ReportDefinition& definition(const QString& key)
{
    const auto found = all().constFind(key.toUpper());
    if (found == all().cend())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Unknown report %1 (known: %2)").arg(key, reportKeys().join(QStringLiteral(", "))));
    return *found;
}

} // namespace q7::host::report
