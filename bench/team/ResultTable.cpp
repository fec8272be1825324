#include "bench/team/ResultTable.h"

#include <QList>

#include <algorithm>

namespace q7::bench::team {

namespace {

QString milliseconds(double ms) { return ms < 100 ? QString::number(ms, 'f', 1) : QString::number(ms, 'f', 0); }

// Columns left-aligned, two blanks apart (every cell is plain ASCII).
QString aligned(const QList<QStringList>& lines)
{
    QList<qsizetype> widths;
    for (const QStringList& cells : lines)
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (widths.size() <= c)
                widths.append(0);
            widths[c] = std::max(widths[c], cells[c].size());
        }
    QString text;
    for (const QStringList& cells : lines) {
        QString line;
        for (qsizetype c = 0; c < cells.size(); ++c)
            line += c + 1 < cells.size() ? cells[c].leftJustified(widths[c] + 2) : cells[c];
        text += line + u'\n';
    }
    return text;
}

} // namespace

QString latencyCell(const KindTally& kind)
{
    if (kind.done == 0)
        return QStringLiteral("-");
    return QStringLiteral("%1/%2 (%3)").arg(milliseconds(percentile(kind.latenciesMs, 0.5)), milliseconds(percentile(kind.latenciesMs, 0.99))).arg(kind.done);
}

QString refusalCell(const Tally& tally)
{
    QStringList parts;
    const auto reasons = tally.refusedByReason();
    for (auto it = reasons.begin(); it != reasons.end(); ++it)
        parts.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()));
    return parts.isEmpty() ? QStringLiteral("0") : parts.join(QStringLiteral(", "));
}

QString refusalsByKind(const QList<RoundRow>& rows)
{
    QString text;
    for (const RoundRow& row : rows) {
        QStringList kinds;
        for (const QString& kind : operationKinds()) {
            const KindTally k = row.round.tally.kind(kind);
            QStringList reasons;
            for (auto it = k.refused.begin(); it != k.refused.end(); ++it)
                reasons.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()));
            if (!reasons.isEmpty())
                kinds.append(kind + u' ' + reasons.join(QStringLiteral(", ")));
        }
        text += QStringLiteral("%1 clients refused: %2\n").arg(row.round.clients).arg(kinds.isEmpty() ? QStringLiteral("none") : kinds.join(QStringLiteral("; ")));
    }
    return text;
}

QString resultTable(const QList<RoundRow>& rows)
{
    QStringList header{QStringLiteral("clients"), QStringLiteral("ops/s")};
    for (const QString& kind : operationKinds())
        header.append(kind + QStringLiteral(" p50/p99 ms (n)"));
    header << QStringLiteral("refused (expected)") << QStringLiteral("errors") << QStringLiteral("audit");
    QList<QStringList> lines{header};
    for (const RoundRow& row : rows) {
        QStringList cells{QString::number(row.round.clients), QString::number(row.round.opsPerSecond, 'f', 1)};
        for (const QString& kind : operationKinds())
            cells.append(latencyCell(row.round.tally.kind(kind)));
        const qint64 errors = row.round.tally.errors() + row.round.failures.size();
        cells << refusalCell(row.round.tally) << QString::number(errors) << row.audit.summary();
        lines.append(cells);
    }
    return aligned(lines);
}

} // namespace q7::bench::team
