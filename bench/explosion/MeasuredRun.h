#pragma once

#include "bench/explosion/ReferenceQueries.h"
#include "bench/explosion/Rows.h"

#include <QString>
#include <QStringList>

namespace q7::data {
class Connection;
}

// One measured run of one report by one engine, in a process of its own so
// that nothing is cached before it starts.
namespace q7::bench {

enum class Engine { Report, Cte };

struct RunRequest {
    Engine engine = Engine::Report;
    QString report; // BO02004, BO02004-summary, BO02006 or BO02007
    QString database;
    ReferenceScope scope;
    QString rowsFile; // where the rows go for comparison
};

struct RunResult {
    double seconds = 0;
    qint64 rows = 0;
    qint64 peakGrowthKb = 0; // VmHWM after the run minus before it
    qint64 anonGrowthKb = 0; // RssAnon likewise: the heap, without mapped file pages
    qint64 rowsBytes = 0;    // estimated size of the rows held
};

const QStringList& reportNames();

// The request's rows by its engine on the connection (the measured work).
Rows rowsOf(const RunRequest& request, data::Connection& connection);

// The arguments that make this program run the request as a child, and the child's side.
QStringList childArguments(const RunRequest& request);
bool isChildInvocation(const QStringList& arguments);
int runChild(const QStringList& arguments); // prints the result line

// Runs the request in a fresh process of this program; throws when it fails.
RunResult runInFreshProcess(const RunRequest& request);

} // namespace q7::bench
