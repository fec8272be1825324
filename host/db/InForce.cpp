#include "host/db/InForce.h"

#include "platform/data/Ado.h"

#include <QSqlDatabase>
#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <deque>

namespace q7::host::db {

namespace {

// from <= date < until over two columns that may be NULL (open).
QByteArray datesHold(const char* alias, const char* from, const char* until, const char* date)
{
    const QByteArray a(alias);
    return "coalesce(" + a + '.' + from + ", '') <= " + date + " AND coalesce(" + a + '.' + until + ", '9999-12-31') > " + date;
}

} // namespace

QByteArray bomInForce(const char* alias, const char* date) { return datesHold(alias, "VersionEffDate", "VersionEndDate", date); }

QByteArray lineInForce(const char* alias, const char* date)
{
    // A line's dates are never NULL (the schema gives them defaults): compared bare, the
    // statements that read lines by date keep the plans they were tuned with.
    const QByteArray a(alias);
    return a + ".EffBegDate <= " + date + " AND " + a + ".EffEndDate > " + date;
}

QByteArray substituteInForce(const char* alias, const char* date) { return datesHold(alias, "EffBegDate", "EffEndDate", date); }

QList<int> settleVersions(QSqlDatabase& db, int bomId, const BoundRunner& runner)
{
    std::deque<QSqlQuery> ran; // the statements prepared here, while they are read
    const auto run = [&](const QString& sql, const QVariantList& bound) -> QSqlQuery& {
        if (runner)
            return runner(sql, bound);
        return ran.emplace_back(data::runBound(db, sql, bound));
    };
    const QString open = QString::fromLatin1(OpenEnd);
    const QString versions = QStringLiteral("SELECT b.BomId, t.ParentId, b.VersionEffDate, coalesce(b.VersionEndDate, ?) FROM bom_bom b "
                                            "JOIN bom_parent t ON t.BomId = b.BomId AND t.SharingPartId IS NULL WHERE b.BomType = 1 AND ");
    QSqlQuery& own = run(versions + QStringLiteral("b.BomId = ?"), {open, bomId});
    if (!own.next() || own.value(2).isNull())
        return {};
    const int parent = own.value(1).toInt();
    const QString from = own.value(2).toString();
    const QString ownUntil = own.value(3).toString();
    own.finish();
    QString until = ownUntil;
    QList<int> ended;
    QSqlQuery& others = run(versions + QStringLiteral("t.ParentId = ? AND b.BomId <> ?"), {open, parent, bomId});
    QList<int> cut; // the versions in force on its date: they end there
    while (others.next()) {
        const QString otherFrom = others.value(2).toString();
        if (others.value(2).isNull())
            continue;
        if (holdsOn(otherFrom, others.value(3).toString(), from))
            cut.append(others.value(0).toInt());
        else if (from < otherFrom && otherFrom < until)
            until = otherFrom;
    }
    others.finish();
    for (const int other : cut) {
        run(QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomId = ?"), {from, other});
        // the parts that use the ended version as a common BOM use the new one from its date
        run(QStringLiteral("INSERT INTO bom_parent (BomId, ParentId, ParentScrap, SharingPartId) SELECT ?, u.ParentId, u.ParentScrap, u.SharingPartId "
                           "FROM bom_parent u WHERE u.BomId = ? AND u.SharingPartId IS NOT NULL "
                           "AND u.ParentId NOT IN (SELECT ParentId FROM bom_parent WHERE BomId = ?)"),
            {bomId, other, bomId});
        ended.append(other);
    }
    if (until != ownUntil) // an update drops the packs of every BOM of the parent: only when something moves
        run(QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomId = ?"), {until, bomId});
    return ended;
}

QList<int> withdrawVersion(QSqlDatabase& db, int bomId)
{
    const QString open = QString::fromLatin1(OpenEnd);
    QSqlQuery own = data::runBound(db, QStringLiteral("SELECT t.ParentId, b.VersionEffDate, coalesce(b.VersionEndDate, ?) FROM bom_bom b "
                                                     "JOIN bom_parent t ON t.BomId = b.BomId AND t.SharingPartId IS NULL "
                                                     "WHERE b.BomId = ? AND b.BomType = 1 AND b.VersionEffDate IS NOT NULL"),
                                  {open, bomId});
    if (!own.next())
        return {};
    const QVariant parent = own.value(0), from = own.value(1), until = own.value(2);
    // The version it took over from, of those that ended where it began: one it replaced on
    // that very date (the one readers prefer), else the latest that held before it.
    QSqlQuery ended = data::runBound(db, QStringLiteral("SELECT b.BomId, b.VersionEffDate, coalesce(b.Version, 0) FROM bom_bom b "
                                                       "JOIN bom_parent t ON t.BomId = b.BomId AND t.SharingPartId IS NULL "
                                                       "WHERE t.ParentId = ? AND b.BomType = 1 AND b.BomId <> ? AND b.VersionEndDate = ?"),
                                    {parent, bomId, from});
    int chosen = 0;
    QString chosenFrom;
    double chosenVersion = 0;
    while (ended.next()) {
        const int id = ended.value(0).toInt();
        const QString otherFrom = ended.value(1).toString();
        const double version = ended.value(2).toDouble();
        const bool better = chosen == 0 || otherFrom > chosenFrom || (otherFrom == chosenFrom && preferredBom(version, id, chosenVersion, chosen));
        if (better) {
            chosen = id;
            chosenFrom = otherFrom;
            chosenVersion = version;
        }
    }
    QList<int> reopened;
    if (chosen)
        reopened.append(chosen);
    for (const int other : reopened)
        data::runBound(db, QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomId = ?"), {until, other});
    return reopened;
}

int closeOpenVersions(QSqlDatabase& db)
{
    if (!data::runBound(db, QStringLiteral("SELECT 1 FROM bom_bom WHERE BomType = 1 AND VersionEndDate IS NULL LIMIT 1")).next())
        return 0;
    struct Version {
        int bomId;
        QString from;
        double version;
        bool open;
        QString until;
    };
    // The main versions of every parent that has one without an end.
    QHash<int, QList<Version>> byParent;
    QSqlQuery versions = data::runBound(db, QStringLiteral("SELECT b.BomId, t.ParentId, b.VersionEffDate, coalesce(b.Version, 0), b.VersionEndDate IS NULL, "
                                                          "b.VersionEndDate "
                                                          "FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId AND t.SharingPartId IS NULL "
                                                          "WHERE b.BomType = 1 AND b.VersionEffDate IS NOT NULL AND t.ParentId IN (SELECT u.ParentId "
                                                          "FROM bom_bom n JOIN bom_parent u ON u.BomId = n.BomId WHERE n.BomType = 1 AND n.VersionEndDate IS NULL)"));
    while (versions.next())
        byParent[versions.value(1).toInt()].append(
            {versions.value(0).toInt(), versions.value(2).toString(), versions.value(3).toDouble(), versions.value(4).toBool(),
             versions.value(4).toBool() ? QString::fromLatin1(OpenEnd) : versions.value(5).toString()});
    int changed = 0;
    for (QList<Version>& list : byParent) {
        // the preferred first, so that each version is settled against the periods of those readers prefer
        std::sort(list.begin(), list.end(), [](const Version& a, const Version& b) { return preferredBom(a.version, a.bomId, b.version, b.bomId); });
        for (Version& v : list) {
            if (!v.open)
                continue;
            // a version holds until one readers prefer (and that never ends) begins, and never when one they prefer
            // holds on its first day; one that ends again is not cut at: readers return to this one after it
            QString until = QString::fromLatin1(OpenEnd);
            for (const Version& o : list) {
                if (o.bomId == v.bomId || !preferredBom(o.version, o.bomId, v.version, v.bomId))
                    continue;
                if (holdsOn(o.from, o.until, v.from))
                    until = v.from;
                else if (o.from > v.from && o.until == QLatin1String(OpenEnd))
                    until = std::min(until, o.from);
            }
            v.until = until;
            v.open = false;
            changed += data::runBound(db, QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomId = ?"), {until, v.bomId}).numRowsAffected();
        }
    }
    // what has no parent, or no date, is open
    changed += data::runBound(db, QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomType = 1 AND VersionEndDate IS NULL"),
                             {QString::fromLatin1(OpenEnd)})
                   .numRowsAffected();
    return changed;
}

} // namespace q7::host::db
