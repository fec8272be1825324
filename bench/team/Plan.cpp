#include "bench/team/Plan.h"

#include "platform/system/SystemSettings.h"
#include "platform/data/Ado.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace q7::bench::team {

int Plan::levelOf(const QString& code) const
{
    for (qsizetype level = 0; level < levels.size(); ++level)
        if (levels[level].contains(code, Qt::CaseInsensitive))
            return static_cast<int>(level);
    return -1;
}

void Plan::save(const QString& path) const
{
    QJsonArray levelArray, hotArray;
    for (const QStringList& codes : levels)
        levelArray.append(QJsonArray::fromStringList(codes));
    for (const HotBom& bom : hot)
        hotArray.append(QJsonObject{{QStringLiteral("bom"), bom.bomId}, {QStringLiteral("parent"), bom.parent}});
    const QJsonObject object{{QStringLiteral("account"), account},
                             {QStringLiteral("effDate"), effDate},
                             {QStringLiteral("levels"), levelArray},
                             {QStringLiteral("hot"), hotArray}};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(QJsonDocument(object).toJson()) < 0)
        throw std::runtime_error("cannot write " + path.toStdString());
}

Plan Plan::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    Plan plan;
    plan.account = object.value(QStringLiteral("account")).toString();
    plan.effDate = object.value(QStringLiteral("effDate")).toString();
    for (const QJsonValue& codes : object.value(QStringLiteral("levels")).toArray()) {
        QStringList level;
        for (const QJsonValue& code : codes.toArray())
            level.append(code.toString());
        plan.levels.append(level);
    }
    for (const QJsonValue& value : object.value(QStringLiteral("hot")).toArray()) {
        const QJsonObject bom = value.toObject();
        plan.hot.append({bom.value(QStringLiteral("bom")).toInt(), bom.value(QStringLiteral("parent")).toString()});
    }
    if (plan.account.isEmpty() || plan.levels.size() < 2 || plan.hot.isEmpty())
        throw std::runtime_error("the plan " + path.toStdString() + " is incomplete");
    return plan;
}

Plan discoverPlan(data::Connection& connection, const QString& account, int hotBoms, uint64_t seed)
{
    QSqlDatabase& db = connection.database();
    QHash<int, QString> codes;
    for (QSqlQuery q = data::runBound(db, QStringLiteral("SELECT PartId, InvCode FROM bas_part")); q.next();)
        codes.insert(q.value(0).toInt(), q.value(1).toString());

    // Levels: the longest distance from a top, in topological order (the account has no cycle).
    QHash<int, QList<int>> components;
    QHash<int, int> users;
    for (QSqlQuery q = data::runBound(db, QStringLiteral("SELECT t.ParentId, c.ComponentId FROM bom_opcomponent c "
                                                        "JOIN bom_parent t ON t.BomId = c.BomId AND t.SharingPartId IS NULL"));
         q.next();) {
        const int parent = q.value(0).toInt(), component = q.value(1).toInt();
        components[parent].append(component);
        users[parent] += 0;
        ++users[component];
    }
    QHash<int, int> level;
    QList<int> ready;
    for (auto it = users.begin(); it != users.end(); ++it)
        if (it.value() == 0) {
            ready.append(it.key());
            level.insert(it.key(), 0);
        }
    for (qsizetype i = 0; i < ready.size(); ++i) {
        const int part = ready[i];
        for (const int component : components.value(part)) {
            level[component] = std::max(level.value(component), level.value(part) + 1);
            if (--users[component] == 0)
                ready.append(component);
        }
    }
    if (ready.size() != users.size())
        throw std::runtime_error("the account's structure has a cycle: no plan of levels");

    Plan plan;
    plan.account = account;
    plan.effDate = system::today().toString(QStringLiteral("yyyy-MM-dd")); // the reports' default date
    for (auto it = level.begin(); it != level.end(); ++it) {
        while (plan.levels.size() <= it.value())
            plan.levels.append(QStringList());
        plan.levels[it.value()].append(codes.value(it.key()));
    }
    for (QStringList& codesOfLevel : plan.levels)
        codesOfLevel.sort();

    QList<HotBom> boms;
    for (QSqlQuery q = data::runBound(db, QStringLiteral("SELECT t.BomId, p.InvCode FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId "
                                                        "WHERE t.SharingPartId IS NULL ORDER BY t.BomId"));
         q.next();)
        boms.append({q.value(0).toInt(), q.value(1).toString()});
    std::mt19937_64 random(seed);
    std::shuffle(boms.begin(), boms.end(), random);
    plan.hot = boms.mid(0, hotBoms);
    if (plan.levels.size() < 2 || plan.hot.isEmpty())
        throw std::runtime_error("the account has no BOM to load");
    return plan;
}

} // namespace q7::bench::team
