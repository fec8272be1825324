#include "host/db/procedures/Statement.h"

#include "host/db/SqlInserter.h"
#include "host/db/procedures/StatementBackend.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"

#include <QSqlDriver>

#include <sqlite3.h>

#include <charconv>

namespace q7::host::db::procedures {

void throwDatabaseError(sqlite3* db) { q7::data::throwProviderError(QString::fromUtf8(sqlite3_errmsg(db))); }

QByteArray idListText(const QVector<int>& ids, char open, char close)
{
    QByteArray list(ids.size() * 12 + 2, Qt::Uninitialized); // an int takes at most 11 characters, and its comma
    char* out = list.data();
    *out++ = open;
    for (int id : ids) {
        out = std::to_chars(out, list.data() + list.size(), id).ptr;
        *out++ = ',';
    }
    if (!ids.isEmpty())
        --out; // the last comma
    *out++ = close;
    list.truncate(out - list.data());
    return list;
}

Database Database::embeddedOf(sqlite3* db)
{
    Database database;
    database.embedded_ = db;
    return database;
}

Database Database::of(data::Connection& connection)
{
    Database db;
    if (connection.isEmbedded()) {
        db.embedded_ = db::SqlInserter::handleOf(connection.database());
        return db;
    }
    db.server_ = db::SqlInserter::serverHandleOf(connection.database());
    if (!db.server_)
        q7::data::throwProviderError(QStringLiteral("The BOM procedures need the embedded account database or a PostgreSQL server"));
    return db;
}

namespace {

class EmbeddedStatement final : public Statement::Backend {
public:
    EmbeddedStatement(sqlite3* db, const char* sql) : db_(db)
    {
        QByteArray text(sql);
        text.replace("IDS(", "json_each(");
        if (sqlite3_prepare_v2(db, text.constData(), -1, &statement_, nullptr) != SQLITE_OK)
            throwDatabaseError(db);
    }
    ~EmbeddedStatement() override { sqlite3_finalize(statement_); }

    void bindInt(int index, int value) override { sqlite3_bind_int(statement_, index, value); }
    void bindText(int index, const QByteArray& utf8) override
    {
        sqlite3_bind_text(statement_, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindReal(int index, double value) override { sqlite3_bind_double(statement_, index, value); }
    void bindBlob(int index, const QByteArray& data) override
    {
        sqlite3_bind_blob(statement_, index, data.constData(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    }
    QByteArray idList(const QVector<int>& ids) const override { return idListText(ids, '[', ']'); } // JSON
    bool next() override
    {
        switch (sqlite3_step(statement_)) {
        case SQLITE_ROW:
            return true;
        case SQLITE_DONE:
            return false;
        default: {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
            sqlite3_reset(statement_);
            q7::data::throwProviderError(message);
        }
        }
    }
    void reset() override
    {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    int integer(int column) const override { return sqlite3_column_int(statement_, column); }
    double real(int column) const override { return sqlite3_column_double(statement_, column); }
    bool isNull(int column) const override { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    QString text(int column) const override
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement_, column)) : QString();
    }

    bool isText(int column) const override { return sqlite3_column_type(statement_, column) == SQLITE_TEXT; }
    QByteArrayView utf8(int column) const override
    {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        return QByteArrayView(data, sqlite3_column_bytes(statement_, column));
    }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace

std::unique_ptr<Statement::Backend> embeddedStatement(sqlite3* db, const char* sql) { return std::make_unique<EmbeddedStatement>(db, sql); }

Statement::Statement(const Database& db, const char* sql)
    : backend_(db.onServer() ? serverStatement(db.server(), sql) : embeddedStatement(db.embedded(), sql))
{
}

Statement::~Statement() = default;

void Statement::bind(int index, int value) { backend_->bindInt(index, value); }
void Statement::bind(int index, const QByteArray& utf8) { backend_->bindText(index, utf8); }
void Statement::bind(int index, double value) { backend_->bindReal(index, value); }
void Statement::bindBlob(int index, const QByteArray& data) { backend_->bindBlob(index, data); }
void Statement::bindIds(int index, const QVector<int>& ids) { backend_->bindText(index, backend_->idList(ids)); }
bool Statement::next() { return backend_->next(); }
void Statement::reset() { backend_->reset(); }
int Statement::integer(int column) const { return backend_->integer(column); }
double Statement::real(int column) const { return backend_->real(column); }
bool Statement::isNull(int column) const { return backend_->isNull(column); }
QString Statement::text(int column) const { return backend_->text(column); }
bool Statement::isText(int column) const { return backend_->isText(column); }
QByteArrayView Statement::utf8(int column) const { return backend_->utf8(column); }

ReadSnapshot::ReadSnapshot(const Database& db) : db_(db)
{
    if (db.onServer()) {
        owned_ = beginServerSnapshot(db.server());
        return;
    }
    sqlite3* handle = db.embedded();
    if (!sqlite3_get_autocommit(handle))
        return;
    if (sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        throwDatabaseError(handle);
    owned_ = true;
    // A deferred transaction takes its snapshot at the first read: take it now.
    try {
        Statement first(db, "SELECT count(*) FROM sqlite_master");
        first.next();
    } catch (...) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

ReadSnapshot::~ReadSnapshot()
{
    if (!owned_)
        return;
    // nothing was written: ending the read is all
    if (db_.onServer())
        endServerSnapshot(db_.server());
    else
        sqlite3_exec(db_.embedded(), "ROLLBACK", nullptr, nullptr, nullptr);
}

} // namespace q7::host::db::procedures
