#include "host/db/procedures/Explosion.h"

#include "host/db/StrongSets.h"

#include "host/db/procedures/PartMap.h"
#include "host/db/procedures/SideBySide.h"

#include <QSet>

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <unordered_map>
#include <vector>

namespace q7::host::db::procedures {

const QStringList explosionColumns{
    QStringLiteral("顶层母件"), QStringLiteral("顶层自由项1"), QStringLiteral("层级"), QStringLiteral("母件编码"), QStringLiteral("子件编码"),
    QStringLiteral("子件名称"), QStringLiteral("规格型号"), QStringLiteral("计量单位"), QStringLiteral("子件自由项1"),
    QStringLiteral("子件行号"), QStringLiteral("使用数量"), QStringLiteral("累计用量"), QStringLiteral("固定/变动"),
    QStringLiteral("供应类型"), QStringLiteral("说明")};

const QStringList summaryColumns{QStringLiteral("顶层母件"), QStringLiteral("顶层自由项1"), QStringLiteral("层级"), QStringLiteral("子件编码"),
                                 QStringLiteral("子件名称"), QStringLiteral("规格型号"), QStringLiteral("计量单位"), QStringLiteral("子件自由项1"),
                                 QStringLiteral("累计用量"), QStringLiteral("说明")};

const QStringList whereUsedColumns{QStringLiteral("子件编码"), QStringLiteral("层级"),       QStringLiteral("下阶编码"), QStringLiteral("母件编码"),
                                   QStringLiteral("母件名称"), QStringLiteral("规格型号"),   QStringLiteral("母件自由项1"), QStringLiteral("子件行号"),
                                   QStringLiteral("使用数量"), QStringLiteral("累计用量"), QStringLiteral("说明")};

namespace {

const QString cycleNote = QStringLiteral("循环");
const QString byProductNote = QStringLiteral("产出品");
const QString noNote;

// A row built in place: each cell constructed once in the row's own storage.
template <typename... Cells>
QVector<QVariant> rowOf(const Cells&... cells)
{
    QVector<QVariant> row;
    row.reserve(sizeof...(cells));
    (row.emplace_back(cells), ...);
    return row;
}

// The order of (code, free item) pairs, code units compared as QString compares
// them: the first eight units of the code as two numbers settle most comparisons.
struct PairKey {
    quint64 high = 0, low = 0;
    const QString* code;
    const QString* free;
    explicit PairKey(const QString& c, const QString& f) : code(&c), free(&f)
    {
        for (qsizetype i = 0; i < 8; ++i) {
            const quint64 unit = i < c.size() ? c[i].unicode() : 0; // a shorter code is padded with the lowest unit: ties are compared in full
            (i < 4 ? high : low) |= unit << (16 * (3 - i % 4));
        }
    }
    int compare(const PairKey& o) const
    {
        if (high != o.high)
            return high < o.high ? -1 : 1;
        if (low != o.low)
            return low < o.low ? -1 : 1;
        if (const int c = QString::compare(*code, *o.code, Qt::CaseSensitive))
            return c;
        return QString::compare(*free, *o.free, Qt::CaseSensitive);
    }
};

// One open BOM on the walk's stack: whose lines, which line is next.
struct Frame {
    int part;
    const QVector<BomLine>* lines;
    int next;
    int level;
    double quantity; // of the part, per top
};

// Where a line leads the walk on: the lines of the part it reaches, or none.
struct Onward {
    const QVector<BomLine>* lines = nullptr;
};

// The parts on the walk's path, entered and left in stack order. A short path
// is searched directly; a long one (a deep chain) is also kept in a hash.
class PathSet {
public:
    explicit PathSet(int start) { push(start); }
    void push(int part)
    {
        parts_.push_back(part);
        if (hashed_)
            index_.insert(part);
        else if (parts_.size() > Linear) {
            index_ = QSet<int>(parts_.begin(), parts_.end());
            hashed_ = true;
        }
    }
    void pop()
    {
        if (hashed_) {
            index_.remove(parts_.back());
            if (parts_.size() < Linear / 2) { // back to a short path
                index_.clear();
                hashed_ = false;
            }
        }
        parts_.pop_back();
    }
    bool contains(int part) const { return hashed_ ? index_.contains(part) : std::find(parts_.begin(), parts_.end(), part) != parts_.end(); }

private:
    static constexpr size_t Linear = 48;
    std::vector<int> parts_;
    QSet<int> index_;
    bool hashed_ = false;
};

// Walks every path from a part depth first without recursion. For each line,
// towards(line) names the part it reaches; visit(frame, line, quantity,
// onPath) lists the line (quantity: the line's own quantity multiplied down
// the path) and answers where the walk goes on. A part already on the path is
// never entered again.
template <typename Towards, typename Visit>
void walkPaths(int start, const QVector<BomLine>& lines, double quantity, bool planRate, Towards&& towards, Visit&& visit)
{
    PathSet path(start);
    std::vector<Frame> stack{{start, &lines, 0, 1, quantity}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.lines->size()) {
            path.pop();
            stack.pop_back();
            continue;
        }
        const BomLine& line = (*frame.lines)[frame.next++];
        const int reached = towards(line);
        const bool onPath = path.contains(reached);
        const double cumulative = frame.quantity * line.quantity(planRate);
        const Onward onward = visit(frame, line, cumulative, onPath);
        if (onPath || !onward.lines || onward.lines->isEmpty())
            continue;
        const int level = frame.level + 1; // frame is invalid once the stack grows
        path.push(reached);
        stack.push_back({reached, onward.lines, 0, level, cumulative});
    }
}

} // namespace

void walkIndented(BomGraph& graph, int topPart, const QVector<BomLine>& topLines, bool planRate, double topQty,
                  const std::function<void(const WalkedLine&)>& visit)
{
    walkPaths(topPart, topLines, topQty, planRate, [](const BomLine& line) { return line.componentId; },
              [&](const Frame& frame, const BomLine& line, double cumulative, bool cycle) {
                  visit(WalkedLine{frame.level, frame.part, line, cumulative, cycle});
                  return cycle || line.byProduct ? Onward{} : Onward{&graph.mainLines(line.componentId)};
              });
}

void explodeIndented(BomGraph& graph, int topPart, const QVector<BomLine>& topLines, bool planRate, double topQty, RowSink& out)
{
    const QString top = graph.part(topPart).code;
    const QString topFree = graph.part(topPart).free1;
    int parentPart = 0;
    const PartInfo* parent = nullptr;
    walkIndented(graph, topPart, topLines, planRate, topQty, [&](const WalkedLine& walked) {
        if (!parent || walked.parentPart != parentPart) { // a BOM's lines come one after another
            parent = &graph.part(walked.parentPart);
            parentPart = walked.parentPart;
        }
        const BomLine& line = walked.line;
        const PartInfo& component = graph.part(line.componentId);
        const QString& note = walked.cycle ? cycleNote : line.byProduct ? byProductNote : noNote;
        out.add(rowOf(top, topFree, walked.level, parent->code, component.code, component.name, component.invStd, component.unit,
                      component.free1, line.sortSeq, line.quantity(planRate), walked.cumulative, fvText(line.fvFlag), wipText(line.wipType), note));
    });
}

namespace {

// Where the connected sets take a part's lines and description from: the
// graph, which reads what it has not read yet, or only what its cache holds
// (none for the rest), which leaves the graph as it is and so may be read
// from several threads at once.
struct ReadingGraph {
    BomGraph& graph;
    const QVector<BomLine>* lines(int part) const { return &graph.mainLines(part); }
    const PartInfo* info(int part) const { return &graph.part(part); }
};
struct CachedGraph {
    const BomGraph& graph;
    const QVector<BomLine>* lines(int part) const { return graph.cachedLines(part); }
    const PartInfo* info(int part) const { return graph.cachedPart(part); }
};

// The strongly connected sets of the parts reachable from the top through
// BOM lines (by-products included: a line back to an ancestor closes a cycle
// whatever it makes). A part's set is "trivial" when it is alone and has no
// line to itself: no path can come back to it. Keeps, per part, its lines and
// its description as the source gives them: what a walk over the sets reads,
// without going back to the graph. Incomplete when the source has not every
// part reached.
class ConnectedSets {
public:
    template <typename Source>
    ConnectedSets(const Source& source, int top, const QVector<BomLine>& topLines)
    {
        // The parts as the walk meets them: a node is numbered when first reached.
        struct Graph {
            ConnectedSets& sets;
            const Source& source;
            int childCount(int node) const { return static_cast<int>(sets.nodes_[static_cast<size_t>(node)].lines->size()); }
            int child(int node, int line)
            {
                const Node& from = sets.nodes_[static_cast<size_t>(node)];
                const int part = (*from.lines)[line].componentId;
                const size_t edge = from.firstEdge + static_cast<size_t>(line); // from is invalid once a node is added
                const int* found = sets.indexOf_.find(part);
                const int to = found ? *found : static_cast<int>(sets.nodes_.size());
                if (!found && !sets.open(part, source.lines(part), source.info(part)))
                    return -1;
                sets.edges_[edge] = to;
                return to;
            }
            void set(const int* members, size_t count, bool cyclic)
            {
                for (size_t i = 0; i < count; ++i)
                    sets.nodes_[static_cast<size_t>(members[i])].set = sets.nextSet_;
                sets.cyclicSets_.push_back(cyclic);
                ++sets.nextSet_;
            }
        };
        if (!open(top, &topLines, source.info(top)))
            return;
        Graph graph{*this, source};
        db::StrongSets<Graph> walk(graph);
        walk.walk(0);
    }

    bool complete() const { return complete_; }
    int setOf(int part) const { return nodes_[static_cast<size_t>(node(part))].set; }

    // The parts reached, as nodes 0 (the top) … size() - 1, with their lines and
    // for each line the node it leads to.
    size_t size() const { return nodes_.size(); }
    int node(int part) const { return *indexOf_.find(part); }
    int partOf(int node) const { return nodes_[static_cast<size_t>(node)].part; }
    const PartInfo& infoOf(int node) const { return *nodes_[static_cast<size_t>(node)].info; }
    const QVector<BomLine>& linesOf(int node) const { return *nodes_[static_cast<size_t>(node)].lines; }
    const int* childrenOf(int node) const { return edges_.data() + nodes_[static_cast<size_t>(node)].firstEdge; }
    bool cyclicNode(int node) const { return cyclicSets_[static_cast<size_t>(nodes_[static_cast<size_t>(node)].set)]; }

private:
    struct Node {
        int set;
        int part;
        const QVector<BomLine>* lines;
        const PartInfo* info;
        size_t firstEdge; // its children in edges_
    };

    bool open(int part, const QVector<BomLine>* lines, const PartInfo* info)
    {
        if (!lines || !info)
            return complete_ = false;
        const int node = static_cast<int>(nodes_.size());
        nodes_.push_back({-1, part, lines, info, edges_.size()});
        edges_.resize(edges_.size() + static_cast<size_t>(lines->size())); // the node's children, one per line
        indexOf_.try_emplace(part, node);
        return true;
    }

    std::vector<int> edges_;
    PartMap<int> indexOf_; // part -> its node
    std::vector<Node> nodes_;
    std::vector<bool> cyclicSets_;
    int nextSet_ = 0;
    bool complete_ = true;
};

// A state of the level walk: a part and the parts of its path inside its
// own strongly connected set (sorted; empty for a trivial set).
using State = std::pair<int, std::vector<int>>;

// The summary of the top of the sets, level by level: per level, each
// component's quantity summed over every path from the top. Parts whose set
// is trivial need no path: their quantities are kept per node, in arrays; the
// few parts on cycles are kept with the parts of their paths in their set.
class LevelSummary {
public:
    LevelSummary(const ConnectedSets& sets, bool planRate)
        : sets_(sets), planRate_(planRate), plain_(sets.size(), 0.0), plainNext_(sets.size(), 0.0), queued_(sets.size(), false),
          sums_(sets.size())
    {
        const int topPart = sets.partOf(0);
        if (sets.cyclicNode(0))
            onCycles_[State{topPart, {topPart}}] = 1.0;
        else {
            plain_[0] = 1.0;
            active_.push_back(0);
        }
    }

    void run(RowSink& out)
    {
        const PartInfo& top = sets_.infoOf(0);
        for (int level = 1; !active_.empty() || !onCycles_.empty(); ++level) {
            stepFromPlainParts();
            stepFromPartsOnCycles();
            listLevel(top, level, out);
            goDown();
        }
    }

private:
    struct Sum {
        double quantity = 0;
        bool cycle = false, byProduct = false, listed = false;
    };
    struct Keyed {
        PairKey key;
        int node;
    };

    // A line's quantity reached the child at this level.
    void add(int child, double cumulative, bool cycle, bool byProduct)
    {
        Sum& row = sums_[static_cast<size_t>(child)];
        if (!row.listed) {
            row.listed = true;
            listed_.push_back(child);
        }
        row.quantity += cumulative;
        row.cycle = row.cycle || cycle;
        row.byProduct = row.byProduct || byProduct;
    }
    // A plain child to go on from at the next level.
    void queue(int child, double cumulative)
    {
        if (!queued_[static_cast<size_t>(child)]) {
            queued_[static_cast<size_t>(child)] = true;
            activeNext_.push_back(child);
        }
        plainNext_[static_cast<size_t>(child)] += cumulative;
    }

    void stepFromPlainParts()
    {
        std::sort(active_.begin(), active_.end()); // the same order of sums on every run
        for (const int node : active_) {
            const double quantity = plain_[static_cast<size_t>(node)];
            plain_[static_cast<size_t>(node)] = 0.0;
            const QVector<BomLine>& lines = sets_.linesOf(node);
            const int* children = sets_.childrenOf(node);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const BomLine& line = lines[i];
                const int child = children[i];
                const double cumulative = quantity * line.quantity(planRate_);
                add(child, cumulative, false, line.byProduct);
                if (line.byProduct)
                    continue;
                if (sets_.cyclicNode(child)) {
                    const int childPart = sets_.partOf(child);
                    onCyclesNext_[State{childPart, {childPart}}] += cumulative;
                } else {
                    queue(child, cumulative);
                }
            }
        }
    }

    void stepFromPartsOnCycles()
    {
        for (const auto& [state, quantity] : onCycles_) {
            const auto& [part, path] = state;
            const int node = sets_.node(part);
            const QVector<BomLine>& lines = sets_.linesOf(node);
            const int* children = sets_.childrenOf(node);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const BomLine& line = lines[i];
                const int child = children[i];
                const int childPart = line.componentId;
                const bool sameSet = sets_.setOf(childPart) == sets_.setOf(part);
                const bool cycle = sameSet && std::binary_search(path.begin(), path.end(), childPart);
                const double cumulative = quantity * line.quantity(planRate_);
                add(child, cumulative, cycle, line.byProduct);
                if (cycle || line.byProduct)
                    continue;
                if (sameSet) {
                    std::vector<int> childPath = path;
                    childPath.insert(std::upper_bound(childPath.begin(), childPath.end(), childPart), childPart);
                    onCyclesNext_[State{childPart, std::move(childPath)}] += cumulative;
                } else if (sets_.cyclicNode(child)) {
                    onCyclesNext_[State{childPart, {childPart}}] += cumulative;
                } else {
                    queue(child, cumulative);
                }
            }
        }
    }

    // The level's rows in the report's order: by code and free item, equal ones by part id.
    void listLevel(const PartInfo& top, int level, RowSink& out)
    {
        keyed_.clear();
        for (const int child : listed_) {
            const PartInfo& info = sets_.infoOf(child);
            keyed_.push_back({PairKey(info.code, info.free1), child});
        }
        std::sort(keyed_.begin(), keyed_.end(), [&](const Keyed& a, const Keyed& b) {
            const int c = a.key.compare(b.key);
            return c != 0 ? c < 0 : sets_.partOf(a.node) < sets_.partOf(b.node);
        });
        for (const Keyed& k : keyed_) {
            Sum& sum = sums_[static_cast<size_t>(k.node)];
            const PartInfo& info = sets_.infoOf(k.node);
            out.add(rowOf(top.code, top.free1, level, info.code, info.name, info.invStd, info.unit, info.free1, sum.quantity,
                          sum.cycle ? cycleNote : sum.byProduct ? byProductNote : QString()));
            sum = Sum{};
        }
        listed_.clear();
    }

    void goDown()
    {
        for (const int node : activeNext_)
            queued_[static_cast<size_t>(node)] = false;
        active_.swap(activeNext_);
        activeNext_.clear();
        plain_.swap(plainNext_);
        onCycles_.swap(onCyclesNext_);
        onCyclesNext_.clear();
    }

    const ConnectedSets& sets_;
    const bool planRate_;
    std::vector<double> plain_, plainNext_; // per node: the quantity that reached it on this level, on the next
    std::vector<int> active_, activeNext_;  // the plain nodes reached on this level, on the next
    std::vector<bool> queued_;              // in activeNext_
    std::map<State, double> onCycles_, onCyclesNext_;
    std::vector<Sum> sums_;  // per node, its row of this level
    std::vector<int> listed_; // nodes with a row at this level
    std::vector<Keyed> keyed_;
};

void summarise(const ConnectedSets& sets, bool planRate, RowSink& out) { LevelSummary(sets, planRate).run(out); }

} // namespace

void summariseByLevel(BomGraph& graph, const std::vector<SummaryTop>& tops, bool planRate, RowSink& out)
{
    // The tops are walked side by side over what the graph's cache holds, which no walk changes. A top
    // that reaches a part the cache lacks is walked afterwards, alone, reading what it lacks.
    for (const SummaryTop& top : tops)
        graph.part(top.part); // the tops themselves are not read below them
    std::vector<data::ResultSet> rows(tops.size());
    std::vector<char> lacking(tops.size(), 0); // of tops[i]; a char each, so that threads write apart
    std::atomic<int64_t> made{0}; // rows of all the walks: the report's limit stops them as it would stop one walk
    runSideBySide(tops.size(), [&](size_t i) {
        const ConnectedSets sets(CachedGraph{graph}, tops[i].part, *tops[i].lines);
        if (!sets.complete()) {
            lacking[i] = 1;
            return;
        }
        RowSink sink(rows[i], out.limit(), made, out.stop());
        summarise(sets, planRate, sink);
    });
    for (size_t i = 0; i < tops.size(); ++i) {
        if (lacking[i]) {
            summarise(ConnectedSets(ReadingGraph{graph}, tops[i].part, *tops[i].lines), planRate, out);
            continue;
        }
        for (QVector<QVariant>& row : rows[i].rows)
            out.add(std::move(row));
        rows[i] = {};
    }
}

namespace {

// The text of a row's cell without a copy (the rows hold their texts as strings).
class Texts {
public:
    const QString& of(const QVariant& cell)
    {
        if (cell.metaType().id() == QMetaType::QString)
            return *static_cast<const QString*>(cell.constData());
        return converted_.emplace_back(cell.toString());
    }

private:
    std::deque<QString> converted_;
};

} // namespace

void sortSummary(data::ResultSet& out, BomGraph& graph, const std::vector<SummaryTop>& tops)
{
    const auto before = [&](int a, int b) {
        const PartInfo &x = graph.part(a), &y = graph.part(b);
        return PairKey(x.code, x.free1).compare(PairKey(y.code, y.free1)) < 0;
    };
    if (std::adjacent_find(tops.begin(), tops.end(), [&](const SummaryTop& a, const SummaryTop& b) { return !before(a.part, b.part); }) == tops.end())
        return; // each top's own rows come in order
    // Rank the distinct (code, free item) pairs once, not once per comparison of rows. Rows share their
    // texts with the parts they show, so a pair is found by where its texts are before it is compared.
    Texts texts;
    const auto ranks = [&](int codeColumn, int freeColumn) {
        struct Where {
            const QChar *code, *free;
            qsizetype codeSize, freeSize;
            bool operator==(const Where&) const = default;
        };
        struct Hash {
            size_t operator()(const Where& w) const
            {
                return std::hash<const void*>()(w.code) * 31 + std::hash<const void*>()(w.free) + static_cast<size_t>(w.codeSize * 7 + w.freeSize);
            }
        };
        std::unordered_map<Where, int, Hash> index;
        std::vector<PairKey> distinct;
        std::vector<int> ofRow;
        ofRow.reserve(static_cast<size_t>(out.rows.size()));
        for (const auto& row : out.rows) {
            const QString& code = texts.of(row[codeColumn]);
            const QString& free = texts.of(row[freeColumn]);
            const auto [found, made] = index.try_emplace(Where{code.constData(), free.constData(), code.size(), free.size()}, static_cast<int>(distinct.size()));
            if (made)
                distinct.emplace_back(code, free);
            ofRow.push_back(found->second);
        }
        std::vector<int> order(distinct.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return distinct[a].compare(distinct[b]) < 0; });
        // equal pairs found in different places share a rank: their rows keep the order they came in
        std::vector<int> rank(distinct.size());
        int current = -1;
        for (size_t i = 0; i < order.size(); ++i) {
            if (i == 0 || distinct[order[i - 1]].compare(distinct[order[i]]) != 0)
                ++current;
            rank[static_cast<size_t>(order[i])] = current;
        }
        for (int& r : ofRow)
            r = rank[static_cast<size_t>(r)];
        return ofRow;
    };
    const std::vector<int> top = ranks(0, 1), component = ranks(3, 7);
    std::vector<int> rows(static_cast<size_t>(out.rows.size()));
    std::vector<int> level(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<int>(i);
        level[i] = out.rows[static_cast<qsizetype>(i)][2].toInt();
    }
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return std::tie(top[a], level[a], component[a]) < std::tie(top[b], level[b], component[b]);
    });
    QVector<QVector<QVariant>> sorted;
    sorted.reserve(out.rows.size());
    for (int r : rows)
        sorted.append(std::move(out.rows[r]));
    out.rows = std::move(sorted);
}

void whereUsed(BomGraph& graph, int startPart, bool planRate, RowSink& out)
{
    const QString start = graph.part(startPart).code;
    walkPaths(startPart, graph.usedIn(startPart), 1.0, planRate, [](const BomLine& line) { return line.parentId; },
              [&](const Frame& frame, const BomLine& line, double cumulative, bool cycle) {
                  if (line.byProduct && frame.level > 1) // the parent makes this part, it does not consume what lies below
                      return Onward{};
                  const PartInfo& parent = graph.part(line.parentId);
                  out.add(rowOf(start, frame.level, graph.part(frame.part).code, parent.code, parent.name, parent.invStd, parent.free1, line.sortSeq,
                           line.quantity(planRate), cumulative, cycle ? cycleNote : line.byProduct ? byProductNote : QString()));
                  return cycle ? Onward{} : Onward{&graph.usedIn(line.parentId)};
              });
}

} // namespace q7::host::db::procedures
