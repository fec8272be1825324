#include "host/db/FreeItemTitles.h"

#include <QSqlQuery>
#include <QVariant>

namespace q7::host::db {

QStringList freeItemTitles(const QSqlDatabase& db)
{
    QStringList titles(10);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT cID, cItemName FROM UserDef WHERE cID IN (20, 21, 28, 29, 30, 31, 32, 33, 34, 35)")))
        return titles;
    while (query.next()) {
        const int id = query.value(0).toInt();
        const int item = id <= 21 ? id - 19 : id - 25;
        if (item >= 1 && item <= 10)
            titles[item - 1] = query.value(1).toString().trimmed();
    }
    return titles;
}

} // namespace q7::host::db
