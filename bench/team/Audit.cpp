#include "bench/team/Audit.h"

#include <QMap>

namespace q7::bench::team {

namespace {

QString who(const WriteRecord& w) { return QStringLiteral("the %1 of client %2").arg(w.kind).arg(w.client); }

} // namespace

QStringList auditWrites(const QList<WriteRecord>& writes, const QHash<int, BomState>& finals)
{
    QStringList problems;
    QHash<int, QMap<qint64, QList<const WriteRecord*>>> byBom; // BOM → counter → writes naming it
    for (const WriteRecord& w : writes) {
        if (w.state.changeCount < w.before + w.moved)
            problems.append(QStringLiteral("BOM %1: %2 rewrote %3 line(s) but the counter went from %4 only to %5")
                                .arg(w.state.bomId)
                                .arg(who(w))
                                .arg(w.moved)
                                .arg(w.before)
                                .arg(w.state.changeCount));
        byBom[w.state.bomId][w.state.changeCount].append(&w);
    }
    for (auto bom = byBom.begin(); bom != byBom.end(); ++bom) {
        for (auto counter = bom->begin(); counter != bom->end(); ++counter)
            for (const WriteRecord* w : *counter)
                if (!sameLines(w->state.lines, counter->first()->state.lines))
                    problems.append(QStringLiteral("BOM %1 at counter %2: %3 has %4, %5 has %6")
                                        .arg(bom.key())
                                        .arg(counter.key())
                                        .arg(who(*counter->first()), linesText(counter->first()->state.lines), who(*w), linesText(w->state.lines)));
        const WriteRecord& last = *bom->last().last();
        const auto final = finals.constFind(bom.key());
        if (final == finals.constEnd())
            problems.append(QStringLiteral("BOM %1 was not read at the end").arg(bom.key()));
        else if (final->changeCount > last.state.changeCount)
            problems.append(QStringLiteral("BOM %1 ends at counter %2, after its last journaled write (%3 at counter %4): a change nobody journaled")
                                .arg(bom.key())
                                .arg(final->changeCount)
                                .arg(who(last))
                                .arg(last.state.changeCount));
        else if (final->changeCount < last.state.changeCount)
            problems.append(QStringLiteral("BOM %1 ends at counter %2, before its last journaled write (%3 at counter %4): the counter went back")
                                .arg(bom.key())
                                .arg(final->changeCount)
                                .arg(who(last))
                                .arg(last.state.changeCount));
        else if (!sameLines(final->lines, last.state.lines))
            problems.append(QStringLiteral("BOM %1 ends with %2, but its last write (%3 at counter %4) left %5")
                                .arg(bom.key())
                                .arg(linesText(final->lines), who(last))
                                .arg(last.state.changeCount)
                                .arg(linesText(last.state.lines)));
    }
    for (auto final = finals.begin(); final != finals.end(); ++final)
        if (final->changeCount > 0 && !byBom.contains(final.key()))
            problems.append(QStringLiteral("BOM %1 changed (counter %2) without a journaled write").arg(final.key()).arg(final->changeCount));
    return problems;
}

} // namespace q7::bench::team
