#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace q7::host::procedures {

// A prepared statement of the embedded database, stepped directly. Every
// step is checked: a row, the end, or a run-time error with the database's
// message (a lock that outlasted the busy timeout, a damaged page) — an
// error never reads as "no more rows".
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, int value);
    void bind(int index, const QByteArray& utf8);
    void bind(int index, double value);
    // True for a row, false at the end; throws on any error.
    bool next();
    void reset();

    int integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;
    QString text(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// One read transaction over everything a procedure reads, so that a commit
// by another connection in the middle cannot mix old and new data. Nested in
// a transaction the caller already holds, it does nothing.
class ReadSnapshot {
public:
    explicit ReadSnapshot(sqlite3* db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    sqlite3* db_;
    bool owned_ = false;
};

// Throws the database's current error as a run-time error.
[[noreturn]] void throwDatabaseError(sqlite3* db);

} // namespace q7::host::procedures
