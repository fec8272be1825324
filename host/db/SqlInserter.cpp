#include "host/db/SqlInserter.h"

#include "platform/AutomationError.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace q7::host::account {

namespace {
[[noreturn]] void fail(sqlite3* db, const QString& what)
{
    throw AutomationError(3709, what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)));
}
} // namespace

sqlite3* SqlInserter::handleOf(QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw AutomationError(3709, QStringLiteral("Not an embedded database"));
    return *static_cast<sqlite3* const*>(handle.constData());
}

void SqlInserter::exec(QSqlDatabase& db, const char* sql)
{
    sqlite3* handle = handleOf(db);
    if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(handle, QString::fromUtf8(sql));
}

SqlInserter::SqlInserter(QSqlDatabase& db, const QString& sql) : db_(handleOf(db))
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &statement_, nullptr) != SQLITE_OK)
        fail(db_, sql);
}

SqlInserter::~SqlInserter() { sqlite3_finalize(statement_); }

void SqlInserter::step()
{
    if (sqlite3_step(statement_) != SQLITE_DONE)
        fail(db_, QStringLiteral("insert"));
    sqlite3_reset(statement_);
}

void SqlInserter::insert(std::initializer_list<QVariant> values)
{
    int index = 1;
    for (const QVariant& value : values) {
        if (!value.isValid() || value.isNull()) {
            sqlite3_bind_null(statement_, index);
        } else {
            switch (value.metaType().id()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::Bool:
                sqlite3_bind_int64(statement_, index, value.toLongLong());
                break;
            case QMetaType::Double:
                sqlite3_bind_double(statement_, index, value.toDouble());
                break;
            default: {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(statement_, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            }
            }
        }
        ++index;
    }
    step();
}

void SqlInserter::insertInts(std::initializer_list<long long> values)
{
    int index = 1;
    for (long long value : values)
        sqlite3_bind_int64(statement_, index++, value);
    step();
}

} // namespace q7::host::account
