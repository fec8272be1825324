#include "host/script/AccountObject.h"

#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/data/DatabaseError.h"

#include <QFile>

namespace q7::host::script {

void AccountObject::Open(const QString& path)
{
    if (path.trimmed().isEmpty() || (!db::isServerAccount(path) && !QFile::exists(path)))
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("No account database at %1").arg(path));
    connection_.Open(db::connectionStringFor(path));
    path_ = path;
}

data::Connection& AccountObject::connection()
{
    if (!connection_.isOpen())
        q7::data::throwProviderError(QStringLiteral("The account is not open"));
    return connection_;
}

QVariant AccountObject::Query(const QString& sql)
{
    const data::ResultSet result = connection().query(sql);
    QVariantList rows;
    rows.reserve(result.rows.size());
    for (const auto& row : result.rows)
        rows.append(QVariant(QVariantList(row.begin(), row.end())));
    return QVariantMap{{QStringLiteral("columns"), result.columns}, {QStringLiteral("rows"), rows}};
}

QVariant AccountObject::Execute(const QString& sql)
{
    return fromObject(makeObject<data::Recordset>(connection().query(sql)));
}

} // namespace q7::host::script
