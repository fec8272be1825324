#pragma once

#include <algorithm>
#include <vector>

// The strongly connected sets of parts that BOM lines join (Tarjan's
// algorithm, without recursion): the one way the account finds which parts
// lie on a cycle, for the structure check and low-level codes over the whole
// account as for an explosion over what its top reaches.
namespace q7::host::db {

// Walks from roots over a graph the caller describes and hands it each set,
// every set after all the sets it reaches (components before parents).
//
// Graph:
//   int childCount(int node)       how many lines (edges) leave the node
//   int child(int node, int i)     the node its i-th line leads to; a graph
//                                  that grows as it is walked numbers a node
//                                  when first asked (the next free number);
//                                  -1 stops the walk
//   void set(const int* members, size_t count, bool cyclic)
//                                  one set; cyclic when it has several nodes
//                                  or a node with a line to itself
template <typename Graph>
class StrongSets {
public:
    explicit StrongSets(Graph& graph) : graph_(graph) {}

    // Walks everything the node reaches that no earlier walk met; false when the graph stopped it.
    bool walk(int root)
    {
        if (visited(root))
            return true;
        open(root);
        while (!calls_.empty()) {
            Call& call = calls_.back();
            const int node = call.node;
            if (call.next < graph_.childCount(node)) {
                const int child = graph_.child(node, call.next++);
                if (child < 0)
                    return false;
                State& from = state(node);
                if (child == node)
                    from.selfLoop = true;
                if (!visited(child)) {
                    open(child);
                } else {
                    const State& to = state(child);
                    if (to.onStack)
                        from.low = std::min(from.low, to.index);
                }
                continue;
            }
            calls_.pop_back();
            const State& done = state(node);
            if (!calls_.empty()) {
                State& parent = state(calls_.back().node);
                parent.low = std::min(parent.low, done.low);
            }
            if (done.low == done.index)
                close(node);
        }
        return true;
    }

private:
    struct Call {
        int node;
        int next;
    };

    // A node's place in the walk (index -1: not reached yet).
    struct State {
        int index = -1, low = -1;
        bool onStack = false, selfLoop = false;
    };
    State& state(int node) { return states_[static_cast<size_t>(node)]; }
    bool visited(int node) const { return static_cast<size_t>(node) < states_.size() && states_[static_cast<size_t>(node)].index >= 0; }

    void open(int node)
    {
        if (static_cast<size_t>(node) >= states_.size())
            states_.resize(std::max(static_cast<size_t>(node) + 1, 2 * states_.size()));
        State& s = state(node);
        s.index = s.low = counter_++;
        s.onStack = true;
        stack_.push_back(node);
        calls_.push_back({node, 0});
    }

    // Pops the set whose first node is `node` and hands it over.
    void close(int node)
    {
        const auto first = std::find(stack_.rbegin(), stack_.rend(), node).base() - 1;
        const size_t from = static_cast<size_t>(first - stack_.begin());
        for (size_t i = from; i < stack_.size(); ++i)
            state(stack_[i]).onStack = false;
        const size_t count = stack_.size() - from;
        graph_.set(stack_.data() + from, count, count > 1 || state(node).selfLoop);
        stack_.resize(from);
    }

    Graph& graph_;
    std::vector<State> states_;
    std::vector<int> stack_;
    std::vector<Call> calls_;
    int counter_ = 0;
};

} // namespace q7::host::db
