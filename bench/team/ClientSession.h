#pragma once

#include "bench/team/Outcome.h"
#include "bench/team/Plan.h"

#include <QSharedPointer>
#include <QString>

#include <memory>
#include <random>

namespace q7::data {
class Connection;
}
namespace q7::host::browse {
class AccountContext;
}
namespace q7::host::voucher {
class BomStore;
}

namespace q7::bench::team {

class WriteLog;
struct BomState;

// One attempt of an operation: done, or refused or failed with the system's message.
struct Attempt {
    Outcome outcome = Outcome::Done;
    QString message;
};

// A client of the load: one connection to the account (the session a user
// opens) and the operations a user runs on it, each as the command line runs
// it: reports through the report viewer, the browse through its query object,
// saves through the voucher store, replace and undo through the maintenance
// operations. A failure the system throws is left to the caller to classify.
class ClientSession {
public:
    ClientSession(const Plan& plan, int client, uint64_t seed, WriteLog& log);
    ~ClientSession();
    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;

    Attempt explode();   // BO02004 全阶 of a random top
    Attempt whereUsed(); // BO02006 of a random leaf
    Attempt browse();    // the structure browse of a random top, two levels grown
    Attempt save();      // a hot BOM through the voucher store, one line's base quantity changed
    // A component of a hot BOM replaced by another part of its level; `run` is the recorded run
    // (0 when a concurrent replace took the component away first).
    Attempt replace(int& run);
    Attempt undo(int run); // the run of the last replace

private:
    data::Connection& connection() const;
    int below(qsizetype n);
    const QString& pick(const QStringList& codes);
    Attempt report(const QString& key, const QString& item);
    // Journals a write: the BOM as a snapshot read right after it committed.
    void journalAfter(const QString& kind, const BomState& before, int moved);

    const Plan& plan_;
    int client_;
    QString user_;
    std::mt19937_64 random_;
    WriteLog& log_;
    QSharedPointer<host::browse::AccountContext> account_;
    std::unique_ptr<host::voucher::BomStore> store_;
    int replacedBom_ = 0;
};

} // namespace q7::bench::team
