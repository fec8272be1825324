#include "bench/team/ClientSession.h"

#include "bench/team/BomState.h"
#include "bench/team/WriteRecord.h"
#include "host/browse/AccountContext.h"
#include "host/voucher/BomStore.h"
#include "platform/system/SystemSettings.h"

#include <QDate>

namespace q7::bench::team {

ClientSession::ClientSession(const Plan& plan, int client, uint64_t seed, WriteLog& log)
    : plan_(plan), client_(client), user_(QStringLiteral("team-%1").arg(client)), random_(seed), log_(log),
      account_(host::browse::AccountContext::open(plan.account, QDate::fromString(plan.effDate, QStringLiteral("yyyy-MM-dd")))),
      store_(std::make_unique<host::voucher::BomStore>(*account_->connectionObject()))
{
}

ClientSession::~ClientSession() = default;

data::Connection& ClientSession::connection() const { return *account_->connectionObject(); }

int ClientSession::below(qsizetype n) { return static_cast<int>(std::uniform_int_distribution<qsizetype>(0, n - 1)(random_)); }

const QString& ClientSession::pick(const QStringList& codes) { return codes[below(codes.size())]; }

void ClientSession::journalAfter(const QString& kind, const BomState& before, int moved)
{
    WriteRecord record;
    record.kind = kind;
    record.client = client_;
    record.at = monotonicNow();
    record.before = before.changeCount;
    record.moved = moved;
    record.state = readBomState(connection(), before.bomId);
    log_.append(record);
}

} // namespace q7::bench::team
