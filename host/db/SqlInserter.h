#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <initializer_list>

struct sqlite3;
struct sqlite3_stmt;

namespace q7::host::account {

// A prepared INSERT on the embedded database, bound and stepped directly
// (bulk loads of many rows). Null QVariant binds NULL.
class SqlInserter {
public:
    SqlInserter(QSqlDatabase& db, const QString& sql);
    ~SqlInserter();
    SqlInserter(const SqlInserter&) = delete;
    SqlInserter& operator=(const SqlInserter&) = delete;

    void insert(std::initializer_list<QVariant> values);
    void insertInts(std::initializer_list<long long> values);

    static sqlite3* handleOf(QSqlDatabase& db);
    static void exec(QSqlDatabase& db, const char* sql);

private:
    void step();
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace q7::host::account
