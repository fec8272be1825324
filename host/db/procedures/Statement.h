#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

#include <memory>

struct sqlite3;
struct pg_conn;

namespace q7::data {
class Connection;
}

namespace q7::host::db::procedures {

// The account database as the procedures read it: the embedded file's
// handle, or the server's. The procedures' statements are written once, in
// the embedded dialect with numbered parameters (?1, ?2 …); on the server
// they are turned into its dialect when prepared. A list of part ids is
// read with "IDS(?n) f", giving rows f.value.
class Database {
public:
    static Database of(data::Connection& connection);
    static Database embeddedOf(sqlite3* db);
    bool onServer() const { return server_ != nullptr; }
    sqlite3* embedded() const { return embedded_; }
    pg_conn* server() const { return server_; }

private:
    sqlite3* embedded_ = nullptr;
    pg_conn* server_ = nullptr;
};

// A prepared statement, stepped directly. Every step is checked: a row, the
// end, or a run-time error with the database's message (a lock that outlasted
// the busy timeout, a damaged page, a lost server) — an error never reads as
// "no more rows".
class Statement {
public:
    Statement(const Database& db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, int value);
    void bind(int index, const QByteArray& utf8);
    void bind(int index, double value);
    void bindBlob(int index, const QByteArray& data);
    // A list of part ids, read in the statement by IDS(?index).
    void bindIds(int index, const QVector<int>& ids);
    // True for a row, false at the end; throws on any error.
    bool next();
    void reset();

    int integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;
    QString text(int column) const;
    bool isText(int column) const;
    // The column's text as stored, valid until the next step.
    QByteArrayView utf8(int column) const;

    class Backend;

private:
    std::unique_ptr<Backend> backend_;
};

// The embedded dialect's statement text turned into the server's: numbered
// parameters become $n, IDS(?n) an array, CROSS JOIN … ON a plain join.
QByteArray serverDialect(const char* sql);

// One read transaction over everything a procedure reads, so that a commit
// by another connection in the middle cannot mix old and new data. Nested in
// a transaction the caller already holds, it does nothing.
class ReadSnapshot {
public:
    explicit ReadSnapshot(const Database& db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Database db_;
    bool owned_ = false;
};

// Throws the embedded database's current error as a run-time error.
[[noreturn]] void throwDatabaseError(sqlite3* db);

// A statement prepared on its first use, so that a reader holding many
// statements prepares only those it runs.
class LazyStatement {
public:
    LazyStatement() = default;
    LazyStatement(const Database& db, QByteArray sql) : db_(db), sql_(std::move(sql)) {}
    LazyStatement(LazyStatement&&) = default;
    LazyStatement& operator=(LazyStatement&&) = default;
    Statement& operator*() { return get(); }
    Statement* operator->() { return &get(); }
    // Whether there is a statement to run.
    explicit operator bool() const { return !sql_.isEmpty(); }

private:
    Statement& get()
    {
        if (!statement_)
            statement_ = std::make_unique<Statement>(db_, sql_.constData());
        return *statement_;
    }
    Database db_;
    QByteArray sql_;
    std::unique_ptr<Statement> statement_;
};

} // namespace q7::host::db::procedures
