#include "bench/team/Tally.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <limits>

namespace q7::bench::team {

namespace {
constexpr int KeptMessages = 5;

void keepMessage(QStringList& messages, const QString& message)
{
    if (messages.size() < KeptMessages && !messages.contains(message))
        messages.append(message);
}
} // namespace

const QStringList& operationKinds()
{
    static const QStringList kinds{QStringLiteral("explode"), QStringLiteral("where-used"), QStringLiteral("browse"),
                                   QStringLiteral("save"),    QStringLiteral("replace"),    QStringLiteral("undo")};
    return kinds;
}

qint64 KindTally::refusals() const
{
    qint64 n = 0;
    for (const qint64 count : refused)
        n += count;
    return n;
}

void Tally::add(const QString& kind, Outcome outcome, double milliseconds, const QString& message)
{
    KindTally& k = kinds_[kind];
    switch (outcome) {
    case Outcome::Done:
        ++k.done;
        k.latenciesMs.append(milliseconds);
        break;
    case Outcome::Error:
        ++k.errors;
        keepMessage(k.errorMessages, message);
        break;
    default:
        ++k.refused[outcomeName(outcome)];
        break;
    }
}

void Tally::merge(const Tally& other)
{
    for (auto it = other.kinds_.begin(); it != other.kinds_.end(); ++it) {
        KindTally& k = kinds_[it.key()];
        k.done += it->done;
        k.errors += it->errors;
        k.latenciesMs += it->latenciesMs;
        for (auto r = it->refused.begin(); r != it->refused.end(); ++r)
            k.refused[r.key()] += r.value();
        for (const QString& message : it->errorMessages)
            keepMessage(k.errorMessages, message);
    }
}

qint64 Tally::done() const
{
    qint64 n = 0;
    for (const KindTally& k : kinds_)
        n += k.done;
    return n;
}

qint64 Tally::errors() const
{
    qint64 n = 0;
    for (const KindTally& k : kinds_)
        n += k.errors;
    return n;
}

QMap<QString, qint64> Tally::refusedByReason() const
{
    QMap<QString, qint64> reasons;
    for (const KindTally& k : kinds_)
        for (auto it = k.refused.begin(); it != k.refused.end(); ++it)
            reasons[it.key()] += it.value();
    return reasons;
}

QStringList Tally::errorMessages() const
{
    QStringList messages;
    for (auto it = kinds_.begin(); it != kinds_.end(); ++it)
        for (const QString& message : it->errorMessages)
            messages.append(it.key() + QStringLiteral(": ") + message);
    return messages;
}

QJsonObject Tally::toJson() const
{
    QJsonObject object;
    for (auto it = kinds_.begin(); it != kinds_.end(); ++it) {
        QJsonObject refused;
        for (auto r = it->refused.begin(); r != it->refused.end(); ++r)
            refused.insert(r.key(), r.value());
        QJsonArray latencies;
        for (const double ms : it->latenciesMs)
            latencies.append(ms);
        object.insert(it.key(), QJsonObject{{QStringLiteral("done"), it->done},
                                            {QStringLiteral("errors"), it->errors},
                                            {QStringLiteral("refused"), refused},
                                            {QStringLiteral("latencies"), latencies},
                                            {QStringLiteral("messages"), QJsonArray::fromStringList(it->errorMessages)}});
    }
    return object;
}

Tally Tally::fromJson(const QJsonObject& object)
{
    Tally tally;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonObject o = it.value().toObject();
        KindTally& k = tally.kinds_[it.key()];
        k.done = o.value(QStringLiteral("done")).toInteger();
        k.errors = o.value(QStringLiteral("errors")).toInteger();
        const QJsonObject refused = o.value(QStringLiteral("refused")).toObject();
        for (auto r = refused.begin(); r != refused.end(); ++r)
            k.refused.insert(r.key(), r.value().toInteger());
        for (const QJsonValue& ms : o.value(QStringLiteral("latencies")).toArray())
            k.latenciesMs.append(ms.toDouble());
        for (const QJsonValue& message : o.value(QStringLiteral("messages")).toArray())
            k.errorMessages.append(message.toString());
    }
    return tally;
}

double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return std::numeric_limits<double>::quiet_NaN();
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<qsizetype>(std::ceil(p * static_cast<double>(values.size())));
    return values[std::clamp<qsizetype>(rank, 1, values.size()) - 1];
}

} // namespace q7::bench::team
