#include "support/ScratchAccount.h"

#include "host/db/AccountDatabase.h"
#include "host/process/ops/Journal.h"
#include "platform/data/Ado.h"
#include "support/FakeHost.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace fake {

ScratchAccount::ScratchAccount() : path_(dir_.filePath(QStringLiteral("account.db")))
{
    QFile::copy(demoAccountPath(), path_);
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(path_));
    q7::host::process::ops::ensureMaintenanceTables(connection);
}

void ScratchAccount::execute(const QString& sql) const
{
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(path_));
    connection.executeNative(sql);
}

QString ScratchAccount::dump() const
{
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(path_));
    QStringList out;
    for (const char* table : {"bom_bom", "bom_parent", "bom_opcomponent", "bom_opcomponentopt", "bom_opcomponentsub", "bom_opcomponentrmk",
                              "bom_opcomponentloc", "bas_part_llc"}) {
        QSqlQuery query(connection.database());
        if (!query.exec(QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(QLatin1String(table))))
            continue; // a table the account does not have yet
        out.append(QString::fromLatin1(table));
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < query.record().count(); ++i)
                row.append(query.value(i).isNull() ? QStringLiteral("NULL") : query.value(i).toString() + u':' + query.value(i).typeName());
            out.append(row.join(u'|'));
        }
    }
    return out.join(u'\n');
}

} // namespace fake
