#pragma once

#include <QByteArray>
#include <QSqlQuery>
#include <QVariantList>
#include <QList>
#include <QString>

#include <functional>

class QSqlDatabase;

// Which BOM and which line are in force on a date. A main BOM holds from its
// version date up to (not including) its end date; a line from EffBegDate up
// to (not including) EffEndDate; a substitute from its own dates likewise. A
// missing beginning or end is open. Of several main BOMs of a part in force,
// the highest version is used, of equal versions the older BOM.
//
// Dates are texts written yyyy-mm-dd, so comparing texts is comparing dates.
// What the account writes for a BOM or line without an end is OpenEnd; the
// SQL below also reads a NULL as open.
namespace q7::host::db {

inline constexpr const char* OpenBegin = "2000-01-01";
inline constexpr const char* OpenEnd = "2099-12-31";

// Whether from <= date < until: the one comparison every rule above makes.
template <typename Date>
constexpr bool holdsOn(const Date& from, const Date& until, const Date& date)
{
    return !(date < from) && date < until;
}

// Of two main BOMs of a part in force on a date, whether the first is the one
// used: the higher version, of two equal versions the older BOM (a BOM id of
// 0 is no BOM), so that the choice never depends on the order they are read in.
inline bool preferredBom(double version, int bom, double overVersion, int overBom)
{
    return overBom == 0 || version > overVersion || (version == overVersion && bom < overBom);
}

// SQL conditions, for a table alias and the text that stands for the date in
// the statement (a parameter such as "?2" or ":date", or a quoted literal).
// The main BOM `alias` (bom_bom) is in force on the date.
QByteArray bomInForce(const char* alias, const char* date);
// The line `alias` (bom_opcomponent) is in force on the date.
QByteArray lineInForce(const char* alias, const char* date);
// The substitute `alias` (bom_opcomponentsub) is in force on the date.
QByteArray substituteInForce(const char* alias, const char* date);
inline QString bomInForceText(const char* alias, const char* date) { return QString::fromUtf8(bomInForce(alias, date)); }
inline QString lineInForceText(const char* alias, const char* date) { return QString::fromUtf8(lineInForce(alias, date)); }

// A main BOM takes over from its version date: the other main BOMs of its
// parent in force on that date end there, and it ends where the next one
// begins (or where it already ended), so that on any date at most one version
// is in force. Answers the other BOMs whose end it moved. Its statements run
// through `run` when given (a caller that keeps them prepared; the query it
// answers stays valid while the next ones run), else each is prepared anew.
using BoundRunner = std::function<QSqlQuery&(const QString& sql, const QVariantList& bound)>;
QList<int> settleVersions(QSqlDatabase& db, int bomId, const BoundRunner& run = {});

// Before a main BOM is removed: the versions of its parent that ended where it
// began take its period back. Answers the BOMs whose end it moved.
QList<int> withdrawVersion(QSqlDatabase& db, int bomId);

// Gives every main BOM without an end date one, which the browse's statements
// compare against as it stands: where the next version of its parent begins
// (of two versions of one date, the lower one is never in force, as the
// reports read them), else the open end. Returns how many it changed.
int closeOpenVersions(QSqlDatabase& db);

} // namespace q7::host::db
