#include "host/db/procedures/Statement.h"

#include "platform/AutomationError.h"

#include <sqlite3.h>

namespace q7::host::procedures {

void throwDatabaseError(sqlite3* db) { throw AutomationError(ErrProvider, QString::fromUtf8(sqlite3_errmsg(db))); }

Statement::Statement(sqlite3* db, const char* sql) : db_(db)
{
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK)
        throwDatabaseError(db);
}

Statement::~Statement() { sqlite3_finalize(statement_); }

void Statement::bind(int index, int value) { sqlite3_bind_int(statement_, index, value); }

void Statement::bind(int index, const QByteArray& utf8)
{
    sqlite3_bind_text(statement_, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int index, double value) { sqlite3_bind_double(statement_, index, value); }

bool Statement::next()
{
    switch (sqlite3_step(statement_)) {
    case SQLITE_ROW:
        return true;
    case SQLITE_DONE:
        return false;
    default: {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_reset(statement_);
        throw AutomationError(ErrProvider, message);
    }
    }
}

void Statement::reset()
{
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

int Statement::integer(int column) const { return sqlite3_column_int(statement_, column); }
double Statement::real(int column) const { return sqlite3_column_double(statement_, column); }
bool Statement::isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

QString Statement::text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement_, column)) : QString();
}

} // namespace q7::host::procedures

namespace q7::host::procedures {

ReadSnapshot::ReadSnapshot(sqlite3* db) : db_(db)
{
    if (!sqlite3_get_autocommit(db))
        return;
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        throwDatabaseError(db);
    owned_ = true;
    // A deferred transaction takes its snapshot at the first read: take it now.
    try {
        Statement first(db, "SELECT count(*) FROM sqlite_master");
        first.next();
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

ReadSnapshot::~ReadSnapshot()
{
    if (owned_)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); // nothing was written: ending the read is all
}

} // namespace q7::host::procedures
