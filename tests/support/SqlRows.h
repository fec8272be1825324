#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

namespace fake {

// The rows a statement reads, a line each, cells joined by '|' and NULL as
// "NULL" (to compare the state of an account), or each cell as cellText
// writes it; "error: SQL" when it fails.
inline QString rowsOf(QSqlDatabase& db, const QString& sql, QString (*cellText)(const QVariant&) = nullptr)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        return QStringLiteral("error: ") + sql;
    QString text;
    while (query.next()) {
        QStringList cells;
        for (int i = 0; i < query.record().count(); ++i)
            cells.append(cellText ? cellText(query.value(i)) : query.value(i).isNull() ? QStringLiteral("NULL") : query.value(i).toString());
        text += cells.join(u'|') + u'\n';
    }
    return text;
}

} // namespace fake
