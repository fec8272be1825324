#pragma once

#include <QSqlDatabase>

namespace q7::host::process::ops {

// A transaction on the account database, rolled back unless committed. An
// operation opens it before it reads what it changes; on the server it first
// takes its turn among the writers of BOM lines (db::LineWritersLock).
class Transaction {
public:
    explicit Transaction(QSqlDatabase& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    void endTurn();

    QSqlDatabase& db_;
    bool open_ = false;
    bool turn_ = false; // holds the server's turn among the writers of BOM lines
};

} // namespace q7::host::process::ops
