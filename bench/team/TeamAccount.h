#pragma once

#include "host/db/AccountDatabase.h"

#include <QString>

// The account a load runs on: a fresh synthetic account in a file, or in a
// database of its own on a PostgreSQL server (made for the load and dropped
// after it, so that no one's data is touched).
namespace q7::bench::team {

// A synthetic account of about this many BOM lines: four levels, five lines per BOM.
host::db::SyntheticOptions syntheticForLines(int lines, uint64_t seed);

class TeamAccount {
public:
    // Creates the account at the path (an account already there is replaced; any other file is left alone).
    static TeamAccount onFile(const QString& path, const host::db::SyntheticOptions& options);
    // Creates a database on the server reached by the libpq connection text, and the account in it.
    static TeamAccount onServer(const QString& libpqConnection, const host::db::SyntheticOptions& options, bool keep);

    TeamAccount(TeamAccount&& other) noexcept;
    TeamAccount& operator=(TeamAccount&&) = delete;
    TeamAccount(const TeamAccount&) = delete;
    TeamAccount& operator=(const TeamAccount&) = delete;
    ~TeamAccount(); // drops the server's database unless it is kept

    const QString& account() const { return account_; } // a path or an ADO connection string
    bool onServer() const { return !database_.isEmpty(); }
    QString description() const;                         // for the table's title
    const host::db::SyntheticSummary& summary() const { return summary_; }

private:
    TeamAccount() = default;
    QString account_;
    QString admin_;    // the server's connection string as given (the database made is dropped through it)
    QString database_; // the database made on the server
    bool keep_ = false;
    host::db::SyntheticSummary summary_;
};

} // namespace q7::bench::team
