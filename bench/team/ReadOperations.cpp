// The readers of the load: the explosion and where-used reports as the
// report viewer runs them, and the structure browse through its query object.

#include "bench/team/ClientSession.h"

#include "host/browse/AccountContext.h"
#include "host/browse/BrowseQuery.h"
#include "host/report/ReportViewer.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

#include <QXmlStreamReader>

#include <optional>

namespace q7::bench::team {

namespace {

// The "Data" of every row of a query object's answer; nothing when the answer is a message instead.
std::optional<QStringList> rowData(const QString& answer)
{
    if (!answer.startsWith(u'<'))
        return std::nullopt;
    QStringList data;
    QXmlStreamReader xml(answer);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("Row"))
            data.append(xml.attributes().value(QStringLiteral("Data")).toString());
    if (xml.hasError())
        return std::nullopt;
    return data;
}

QString ask(const Object& query, const char* member, QVariantList args = {})
{
    return values::toTextOrEmpty(callByName(query, QString::fromLatin1(member), args));
}

} // namespace

Attempt ClientSession::report(const QString& key, const QString& item)
{
    host::report::ReportViewer viewer(key);
    const auto outcome = viewer.run({{QStringLiteral("InvCode"), item, item}}, 0, &connection());
    if (outcome.refused)
        return {Outcome::Error, QStringLiteral("%1 %2 refused: %3").arg(key, item, outcome.message)};
    return {};
}

Attempt ClientSession::explode() { return report(QStringLiteral("BO02004"), pick(plan_.levels.first())); }

Attempt ClientSession::whereUsed() { return report(QStringLiteral("BO02006"), pick(plan_.levels.last())); }

Attempt ClientSession::browse()
{
    const QString top = pick(plan_.levels.first());
    QStringList fields{top};
    for (int n = 1; n <= 10; ++n)
        fields.append(QString()); // the free items: a synthetic item has none
    fields << QStringLiteral("-1") << plan_.effDate << QStringLiteral("1") << QStringLiteral("0"); // the version in force, not 阶列式, no plan rate
    const Object query = createObject(QString::fromLatin1(host::browse::StructureQueryClassId));
    QVariant condition = fields.join(u'|');
    const QString root = ask(query, "SetConditionValue", {condition});
    if (root.startsWith(QLatin1String("-1&")))
        return {Outcome::Error, QStringLiteral("browse %1: %2").arg(top, root.mid(3))};
    const auto children = rowData(ask(query, "GetTreeViewXML"));
    if (!children)
        return {Outcome::Error, QStringLiteral("browse %1: the first level failed").arg(top)};
    for (const QString& child : *children) {
        QVariantList args{child};
        if (!values::toBoolean(callByName(query, QStringLiteral("LoadData"), args)))
            return {Outcome::Error, QStringLiteral("browse %1: node %2 was not taken").arg(top, child)};
        const QString answer = ask(query, "GetTreeViewXML");
        if (!rowData(answer))
            return {Outcome::Error, QStringLiteral("browse %1 at %2: %3").arg(top, child, answer)};
    }
    return {};
}

} // namespace q7::bench::team
