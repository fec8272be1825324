#pragma once

#include <deque>
#include <unordered_map>
#include <vector>

// Whether a part would become its own component: the one search every cycle
// check of a write uses, over whatever structure the caller hands it.
namespace q7::host::db {

// The shortest path from `from` through components back to `to` (both
// included; from == to asks for a cycle through it), or empty when there is
// none. components(part) gives a part's components, each part asked at most
// once, and only parts that `from` reaches are asked. Breadth first, without
// recursion, so a deep structure cannot exhaust the stack.
template <typename Components>
std::vector<int> pathBetween(int from, int to, Components&& components)
{
    std::unordered_map<int, int> cameFrom{{from, from}};
    std::deque<int> queue{from};
    while (!queue.empty()) {
        const int part = queue.front();
        queue.pop_front();
        for (const int next : components(part)) {
            if (next == to) {
                std::vector<int> path{to};
                for (int p = part;; p = cameFrom.at(p)) {
                    path.push_back(p);
                    if (p == from)
                        break;
                }
                return {path.rbegin(), path.rend()};
            }
            if (cameFrom.try_emplace(next, part).second)
                queue.push_back(next);
        }
    }
    return {};
}

// A cycle through the part: the path from it back to it, or empty.
template <typename Components>
std::vector<int> pathBack(int part, Components&& components)
{
    return pathBetween(part, part, components);
}

} // namespace q7::host::db
