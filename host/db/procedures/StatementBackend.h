#pragma once

#include "host/db/procedures/Statement.h"

namespace q7::host::db::procedures {

// What a statement does on one kind of database.
class Statement::Backend {
public:
    virtual ~Backend() = default;
    virtual void bindInt(int index, int value) = 0;
    virtual void bindText(int index, const QByteArray& utf8) = 0;
    virtual void bindReal(int index, double value) = 0;
    virtual void bindBlob(int index, const QByteArray& data) = 0;
    // ids as the backend's list literal
    virtual QByteArray idList(const QVector<int>& ids) const = 0;
    virtual bool next() = 0;
    virtual void reset() = 0;
    virtual int integer(int column) const = 0;
    virtual double real(int column) const = 0;
    virtual bool isNull(int column) const = 0;
    virtual QString text(int column) const = 0;
    virtual bool isText(int column) const = 0;
    virtual QByteArrayView utf8(int column) const = 0;
};

// A list of ids between two brackets, as a backend's list literal.
QByteArray idListText(const QVector<int>& ids, char open, char close);

std::unique_ptr<Statement::Backend> embeddedStatement(sqlite3* db, const char* sql);
std::unique_ptr<Statement::Backend> serverStatement(pg_conn* db, const char* sql);

} // namespace q7::host::db::procedures

namespace q7::host::db::procedures {

// Begins a read-only repeatable-read transaction on the server unless one is
// open; true when it began one.
bool beginServerSnapshot(pg_conn* db);
void endServerSnapshot(pg_conn* db);

} // namespace q7::host::db::procedures
