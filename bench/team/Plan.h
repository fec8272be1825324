#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace q7::data {
class Connection;
}

// What the clients of a load work on, found once in the fresh account and
// handed to every client in a file: the parts level by level (the tops
// first), and the BOMs the writers pick from.
namespace q7::bench::team {

struct HotBom {
    int bomId = 0;
    QString parent; // the parent item's code
};

struct Plan {
    QString account;             // the account's path or connection string
    QString effDate;             // yyyy-mm-dd: the date the structure check reads
    QList<QStringList> levels;   // part codes by level; level 0 the tops, the last the leaves
    QList<HotBom> hot;           // the BOMs the writers change

    int levelOf(const QString& code) const; // -1 when it is on none
    // How many levels a top's structure may go down: one less than the levels.
    int structureDepth() const { return static_cast<int>(levels.size()) - 1; }

    void save(const QString& path) const;
    static Plan load(const QString& path);
};

// The plan of an account: every part on a line, at its longest distance from
// a top, and `hotBoms` BOMs picked with the seed.
Plan discoverPlan(data::Connection& connection, const QString& account, int hotBoms, uint64_t seed);

} // namespace q7::bench::team
