#include "bench/team/Outcome.h"

#include <array>
#include <utility>

namespace q7::bench::team {

namespace {

constexpr std::array<std::pair<Outcome, const char*>, 6> names{{
    {Outcome::Done, "done"},
    {Outcome::Changed, "changed"},
    {Outcome::Busy, "busy"},
    {Outcome::Serialization, "serialization"},
    {Outcome::Gone, "gone"},
    {Outcome::Error, "error"},
}};

// The words by which each expected refusal is known, whichever layer passed the message on.
struct Sign {
    Outcome outcome;
    const char* text;
};
constexpr std::array<Sign, 6> signs{{
    {Outcome::Changed, "在读取之后已被其他用户修改"},   // the voucher store's claim on the BOM's change counter
    {Outcome::Changed, "之后这些行已被修改，不能撤销"}, // an undo over rows changed since its run
    {Outcome::Busy, "database is locked"},             // SQLITE_BUSY after the busy timeout, or at once where waiting would deadlock
    {Outcome::Busy, "database table is locked"},
    {Outcome::Serialization, "could not serialize access"},
    {Outcome::Serialization, "40001"},
}};

} // namespace

QString outcomeName(Outcome outcome)
{
    for (const auto& [o, name] : names)
        if (o == outcome)
            return QString::fromLatin1(name);
    return QStringLiteral("error");
}

Outcome outcomeNamed(const QString& name)
{
    for (const auto& [o, text] : names)
        if (name == QLatin1String(text))
            return o;
    return Outcome::Error;
}

Outcome classifyFailure(const QString& message, bool writer)
{
    if (!writer)
        return Outcome::Error;
    for (const Sign& sign : signs)
        if (message.contains(QString::fromUtf8(sign.text), Qt::CaseInsensitive))
            return sign.outcome;
    return Outcome::Error;
}

} // namespace q7::bench::team
