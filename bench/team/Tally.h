#pragma once

#include "bench/team/Outcome.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// What a client counted, per kind of operation: attempts done (with their
// latencies), refused (by reason) and failed (with their messages).
namespace q7::bench::team {

// The kinds, in the order the tables show them.
const QStringList& operationKinds(); // explode, where-used, browse, save, replace, undo

struct KindTally {
    qint64 done = 0;
    QMap<QString, qint64> refused; // by outcome name
    qint64 errors = 0;
    QList<double> latenciesMs;     // of the attempts done
    QStringList errorMessages;     // the first few distinct ones

    qint64 refusals() const;
};

class Tally {
public:
    void add(const QString& kind, Outcome outcome, double milliseconds, const QString& message = {});
    void merge(const Tally& other);

    const QMap<QString, KindTally>& kinds() const { return kinds_; }
    KindTally kind(const QString& name) const { return kinds_.value(name); }
    qint64 done() const;
    qint64 errors() const;
    QMap<QString, qint64> refusedByReason() const;
    QStringList errorMessages() const; // "kind: message"

    QJsonObject toJson() const;
    static Tally fromJson(const QJsonObject& object);

private:
    QMap<QString, KindTally> kinds_;
};

// The p-quantile (0 < p ≤ 1) by the nearest rank; NaN without values.
double percentile(QList<double> values, double p);

} // namespace q7::bench::team
