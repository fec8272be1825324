#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <span>

struct sqlite3;
struct sqlite3_stmt;
struct pg_conn;

namespace q7::host::db {

// An INSERT of many rows (bulk loads), the same for both kinds of account.
// On the embedded file the statement is prepared, bound and stepped directly;
// on a server the rows are gathered in COPY's text format (the statement's
// constants as fields of every row) and sent through COPY … FROM STDIN a few
// megabytes at a time, the last ones when exec runs a statement on the same
// database or the inserter ends. A null QVariant writes NULL.
class SqlInserter {
public:
    SqlInserter(QSqlDatabase& db, const QString& sql);
    ~SqlInserter() noexcept(false); // sends the gathered rows unless an exception is unwinding
    SqlInserter(const SqlInserter&) = delete;
    SqlInserter& operator=(const SqlInserter&) = delete;

    void insert(std::initializer_list<QVariant> values) { insert(std::span<const QVariant>(values.begin(), values.size())); }
    void insert(std::span<const QVariant> values);
    void insertInts(std::initializer_list<long long> values);

    static sqlite3* handleOf(QSqlDatabase& db);
    // The server's connection under a QPSQL database; nothing for any other.
    static pg_conn* serverHandleOf(QSqlDatabase& db);
    // Runs a statement of the load. On a server the load is one transaction
    // that the account's builder opens and commits: BEGIN, COMMIT and PRAGMA
    // do nothing there.
    static void exec(QSqlDatabase& db, const char* sql);

private:
    void step();
    void flush();
    QSqlDatabase database_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
    void addField(const QVariant& value);
    template <typename Value, typename Add>
    void addRow(std::span<const Value> values, Add add);
    // the server's way
    pg_conn* server_ = nullptr;
    QByteArray copy_;                   // COPY t (…) FROM STDIN
    QList<QByteArray> constants_;       // the row's fields, empty where a value goes ('?')
    QList<bool> placeholders_;          // which fields are the values
    QByteArray rows_;                   // gathered rows in COPY's text format
    int uncaught_ = 0;
};

} // namespace q7::host::db
