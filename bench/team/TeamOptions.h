#pragma once

#include "bench/team/Client.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

// The command line of q7bench-team.
namespace q7::bench::team {

struct LoadOptions {
    QString server;          // a libpq connection text: the account goes into a database of its own there
    QString file;            // or the path of the account file
    QList<int> clients{1, 4, 16, 64};
    int seconds = 20;
    int lines = 4000;        // of the synthetic account
    uint64_t seed = 1;
    int hot = 24;            // BOMs the writers pick from
    QString journalDir;      // empty: a temporary folder
    bool keep = false;       // keep the server's database
};

// What the arguments ask for: a load, a client of one, or an exit status
// (help printed, or refused input with its message on standard error).
using Invocation = std::variant<LoadOptions, ClientOptions, int>;
Invocation parseArguments(const QStringList& arguments);

// "1,4,16" → {1, 4, 16}; nothing for anything but positive whole numbers.
std::optional<QList<int>> clientCounts(const QString& text);

} // namespace q7::bench::team
