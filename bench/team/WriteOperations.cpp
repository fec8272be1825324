// The writers of the load: a voucher save of a BOM, a maintenance replace and
// its undo. Each successful write is journaled with the BOM as the writer
// knows it after its own commit, for the audit (see Audit.h for why that is
// sound with concurrent writers).

#include "bench/team/ClientSession.h"

#include "bench/team/BomState.h"
#include "bench/team/WriteRecord.h"
#include "host/process/ops/ComponentReplace.h"
#include "host/process/ops/Journal.h"
#include "host/voucher/BomStore.h"
#include "platform/values/Values.h"

namespace q7::bench::team {

namespace {

QString refusalText(const host::voucher::Refusal& refusal)
{
    if (!refusal.text.isEmpty())
        return refusal.text;
    QStringList arguments;
    for (const QVariant& argument : refusal.arguments)
        arguments.append(values::toTextOrEmpty(argument));
    return QStringLiteral("message %1 (%2)").arg(refusal.message).arg(arguments.join(QStringLiteral(", ")));
}

} // namespace

Attempt ClientSession::save()
{
    const HotBom& bom = plan_.hot[below(plan_.hot.size())];
    auto document = store_->load(bom.bomId);
    if (!document || document->lines.isEmpty())
        return {Outcome::Error, QStringLiteral("BOM %1 of %2 cannot be loaded").arg(bom.bomId).arg(bom.parent)};
    host::voucher::Fields& fields = document->lines[below(document->lines.size())].fields;
    const double was = values::toDouble(fields.value(QStringLiteral("DBaseQtyN")));
    double quantity = was;
    while (quantity == was)
        quantity = 1 + below(8) + 0.25 * below(4);
    fields.insert(QStringLiteral("DBaseQtyN"), QString::number(quantity));

    const host::voucher::SaveResult result = store_->save(*document);
    if (!result.saved) {
        const QString text = refusalText(result.refusal);
        return {classifyFailure(text, true), QStringLiteral("save of BOM %1: %2").arg(bom.bomId).arg(text)};
    }
    // The save's own result, exactly: its claim moved the counter from the one it loaded by one,
    // in the transaction that wrote these lines.
    WriteRecord record;
    record.kind = QStringLiteral("save");
    record.client = client_;
    record.at = monotonicNow();
    record.before = document->changeCount;
    record.moved = 1;
    record.exact = true;
    record.state = {bom.bomId, document->changeCount + 1, documentLines(*document)};
    log_.append(record);
    return {};
}

Attempt ClientSession::replace(int& run)
{
    run = 0;
    const HotBom& bom = plan_.hot[below(plan_.hot.size())];
    const BomState before = readBomState(connection(), bom.bomId);
    if (before.lines.isEmpty())
        return {Outcome::Error, QStringLiteral("BOM %1 of %2 has no lines").arg(bom.bomId).arg(bom.parent)};
    const QString old = before.lines[below(before.lines.size())].component;
    const int level = plan_.levelOf(old);
    if (level < 0 || plan_.levels[level].size() < 2)
        return {Outcome::Error, QStringLiteral("%1 is on no level of the plan").arg(old)};
    QString replacement = old;
    while (replacement.compare(old, Qt::CaseInsensitive) == 0)
        replacement = pick(plan_.levels[level]); // a part of the same level: no cycle can come of it

    host::process::ops::ReplaceParameters parameters;
    parameters.oldPart.invCode = old;
    parameters.newPart.invCode = replacement;
    parameters.scope.fromParent = parameters.scope.toParent = bom.parent;
    parameters.scope.bomType = 1;
    const host::process::ops::OperationResult result = host::process::ops::replaceComponent(connection(), parameters, {user_});
    if (!result.changed())
        return {Outcome::Gone, QStringLiteral("%1 is no longer in the BOM of %2").arg(old, bom.parent)};
    journalAfter(QStringLiteral("replace"), before, static_cast<int>(result.rows.size()));
    run = result.runId;
    replacedBom_ = bom.bomId;
    return {};
}

Attempt ClientSession::undo(int run)
{
    const BomState before = readBomState(connection(), replacedBom_);
    const host::process::ops::OperationResult result = host::process::ops::undoRun(connection(), run, user_);
    journalAfter(QStringLiteral("undo"), before, static_cast<int>(result.rows.size()));
    return {};
}

} // namespace q7::bench::team
