#pragma once

#include <QSqlDatabase>

namespace q7::host::process {

// A transaction on the account database, rolled back unless committed. An
// operation opens it before it reads what it changes.
class Transaction {
public:
    explicit Transaction(QSqlDatabase& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    QSqlDatabase& db_;
    bool open_ = false;
};

} // namespace q7::host::process
