#include "platform/data/SqliteFunctions.h"

#include "platform/system/SystemSettings.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace q7::data {

namespace {

void len(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    QString value = QString::fromUtf8(text ? text : "");
    while (value.endsWith(u' '))
        value.chop(1);
    sqlite3_result_int(context, static_cast<int>(value.size()));
}

void getdate(sqlite3_context* context, int, sqlite3_value**)
{
    const QByteArray today = system::today().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    sqlite3_result_text(context, today.constData(), static_cast<int>(today.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerSqlServerFunctions(QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3* sqlite = *static_cast<sqlite3* const*>(handle.constData());
    if (!sqlite)
        return;
    sqlite3_create_function(sqlite, "len", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &len, nullptr, nullptr);
    sqlite3_create_function(sqlite, "getdate", 0, SQLITE_UTF8, nullptr, &getdate, nullptr, nullptr);
}

} // namespace q7::data
