// The sources form layers. A unit is a header with its source (X.h and
// X.cpp); unit A depends on unit B when A's header or source includes B's
// header. Units that reach one another through such includes form a knot: a
// place a reader cannot start from, and a change that rebuilds all of it.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Graph = std::map<std::string, std::set<std::string>>;

std::string unitOf(const QString& path) { return path.left(path.lastIndexOf(QLatin1Char('.'))).toStdString(); }

// Units of root's folders and what they include, by paths from the root.
Graph includeGraph(const QString& root, const QStringList& folders)
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s+"([^"]+)\.h")"), QRegularExpression::MultilineOption);
    Graph graph;
    const QDir base(root);
    for (const QString& folder : folders) {
        QDirIterator it(base.filePath(folder), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = base.relativeFilePath(it.next());
            QFile file(base.filePath(path));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const std::string unit = unitOf(path);
            auto& edges = graph[unit];
            auto matches = include.globalMatch(QString::fromUtf8(file.readAll()));
            while (matches.hasNext()) {
                // a header is named from the root, from the including file's folder, or (in the component) from its root
                const QString name = matches.next().captured(1);
                const QString folderOfFile = QFileInfo(path).path();
                for (const QString& candidate : {name, folderOfFile + QLatin1Char('/') + name, QStringLiteral("component/") + name}) {
                    const QString cleaned = QDir::cleanPath(candidate);
                    if (QFile::exists(base.filePath(cleaned + QStringLiteral(".h")))) {
                        if (cleaned.toStdString() != unit)
                            edges.insert(cleaned.toStdString());
                        break;
                    }
                }
            }
        }
    }
    return graph;
}

// The knots of the graph: each set of two or more units that reach one another, sorted.
std::set<std::set<std::string>> knotsOf(const Graph& graph)
{
    // Tarjan's strongly connected components, depth first.
    std::map<std::string, int> index, low;
    std::vector<std::string> stack;
    std::set<std::string> onStack;
    std::set<std::set<std::string>> knots;
    int next = 0;
    const auto visit = [&](const auto& self, const std::string& unit) -> void {
        index[unit] = low[unit] = next++;
        stack.push_back(unit);
        onStack.insert(unit);
        if (const auto found = graph.find(unit); found != graph.end())
            for (const std::string& to : found->second) {
                if (!index.count(to)) {
                    self(self, to);
                    low[unit] = std::min(low[unit], low[to]);
                } else if (onStack.count(to)) {
                    low[unit] = std::min(low[unit], index[to]);
                }
            }
        if (low[unit] != index[unit])
            return;
        std::set<std::string> knot;
        std::string member;
        do {
            member = stack.back();
            stack.pop_back();
            onStack.erase(member);
            knot.insert(member);
        } while (member != unit);
        if (knot.size() > 1)
            knots.insert(knot);
    };
    for (const auto& [unit, edges] : graph)
        if (!index.count(unit))
            visit(visit, unit);
    return knots;
}

std::string joined(const std::set<std::set<std::string>>& knots)
{
    std::string text;
    for (const auto& knot : knots) {
        text += "{";
        for (const std::string& unit : knot)
            text += " " + unit;
        text += " } ";
    }
    return text;
}

} // namespace

TEST(IncludeGraph, KnotsAreFoundWhereverTheyClose)
{
    using Knots = std::set<std::set<std::string>>;
    const struct {
        Graph graph;
        Knots knots;
    } cases[] = {
        {{{"a", {"b"}}, {"b", {"c"}}, {"c", {}}}, {}},
        {{{"a", {"b", "c"}}, {"b", {"c"}}, {"c", {}}}, {}}, // two ways to one unit is no knot
        {{{"a", {"b"}}, {"b", {"a"}}}, {{"a", "b"}}},
        {{{"a", {"b"}}, {"b", {"c"}}, {"c", {"b"}}}, {{"b", "c"}}},
        {{{"a", {"b"}}, {"b", {"c"}}, {"c", {"a", "d"}}, {"d", {"e"}}, {"e", {"d"}}}, {{"a", "b", "c"}, {"d", "e"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(joined(knotsOf(c.graph)), joined(c.knots));
}

TEST(IncludeGraph, TheSourcesHaveNoKnotsButTheClassesThatKnowEachOther)
{
    // Classes that call each other by design, each knot one concept in several files: a form and its
    // controls, a statement and its backend, the browse window and its condition dialog, the voucher
    // form and its two bill objects. Any other knot, or one of these grown, is new.
    const std::set<std::set<std::string>> known{
        {"platform/forms/Container", "platform/forms/Control", "platform/forms/Form", "platform/forms/UserControl"},
        {"host/db/procedures/Statement", "host/db/procedures/StatementBackend"},
        {"component/browse/FrmBO02001", "component/browse/FrmBO02001Cond"},
        {"host/voucher/BillInfo", "host/voucher/BillManager", "host/voucher/VoucherForm"},
    };
    const Graph graph = includeGraph(QStringLiteral(Q7_SOURCE_DIR), {QStringLiteral("platform"), QStringLiteral("component"),
                                                                     QStringLiteral("host"), QStringLiteral("app")});
    ASSERT_GT(graph.size(), 150u); // the tree was found
    EXPECT_EQ(joined(knotsOf(graph)), joined(known));
}
