// A name tells where it lives: each folder's sources declare their names in
// the folder's namespace (platform/ is q7 itself, platform/data is q7::data,
// host/db/procedures is q7::host::db::procedures), the component's folders
// share q7::component. A header of free functions may keep them in a
// namespace of its own inside the folder's (q7::component::ModBOM). Another
// folder's namespace is only opened to declare its classes ahead.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The namespace of a folder, from its path under the source root.
std::string namespaceOfFolder(const QString& folder)
{
    QStringList parts = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first() == QLatin1String("platform"))
        parts.removeFirst();
    else if (!parts.isEmpty() && parts.first() == QLatin1String("component"))
        parts = QStringList{parts.first()};
    parts.prepend(QStringLiteral("q7"));
    return parts.join(QStringLiteral("::")).toStdString();
}

struct Opening {
    std::string name;  // in full; empty for an anonymous namespace
    bool aheadOnly;    // holds nothing but declarations of classes ahead
};

// The named namespaces a source opens, nested names in full. Comments, strings
// and characters are skipped; a block is "ahead only" when every statement in
// it is `class X;`, `struct X;` or `enum class X : T;`.
std::vector<Opening> openingsOf(const QString& source)
{
    QString code;
    code.reserve(source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == u'/' && i + 1 < source.size() && source[i + 1] == u'/') {
            while (i < source.size() && source[i] != u'\n')
                ++i;
            code += u'\n';
        } else if (c == u'/' && i + 1 < source.size() && source[i + 1] == u'*') {
            i = source.indexOf(QStringLiteral("*/"), i + 2);
            if (i < 0)
                break;
            ++i;
        } else if (c == u'"' || c == u'\'') {
            const bool raw = c == u'"' && i > 0 && source[i - 1] == u'R';
            const qsizetype end = raw ? source.indexOf(QStringLiteral(")\""), i) + 1 : [&] {
                qsizetype j = i + 1;
                while (j < source.size() && source[j] != c)
                    j += source[j] == u'\\' ? 2 : 1;
                return j;
            }();
            code += QStringLiteral("\"\"");
            i = end;
        } else {
            code += c;
        }
    }
    static const QRegularExpression opening(QStringLiteral(R"(\bnamespace\s+([A-Za-z_][\w:]*)?\s*\{)"));
    static const QRegularExpression ahead(QStringLiteral(R"(^(\s*(class|struct|enum\s+class)\s+\w+(\s*:\s*[\w:]+)?\s*;)*\s*$)"));
    struct Open {
        std::string name;
        int depth;
        qsizetype body;
        std::size_t index;
    };
    std::vector<Opening> openings;
    std::vector<Open> stack;
    int depth = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (code[i] == u'n') {
            const auto match = opening.match(code, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
            if (match.hasMatch() && (i == 0 || !(code[i - 1].isLetterOrNumber() || code[i - 1] == u'_'))) {
                std::string name = match.captured(1).toStdString();
                if (!name.empty() && name.rfind("q7", 0) != 0 && !stack.empty() && !stack.back().name.empty())
                    name = stack.back().name + "::" + name;
                ++depth;
                i = match.capturedEnd() - 1;
                stack.push_back({name, depth, i + 1, openings.size()});
                openings.push_back({name, false});
                continue;
            }
        }
        if (code[i] == u'{') {
            ++depth;
        } else if (code[i] == u'}') {
            if (!stack.empty() && stack.back().depth == depth) {
                openings[stack.back().index].aheadOnly = ahead.match(code.mid(stack.back().body, i - stack.back().body)).hasMatch();
                stack.pop_back();
            }
            --depth;
        }
    }
    return openings;
}

// What is wrong with a source's namespaces, for a file of `folder`; empty when nothing.
std::string faultsOf(const QString& source, const QString& folder, const std::set<std::string>& folderNamespaces)
{
    const std::string own = namespaceOfFolder(folder);
    std::string faults;
    bool opensOwn = false;
    for (const Opening& o : openingsOf(source)) {
        // its own, or a namespace of its own inside that is no other folder's
        if (o.name.empty() || o.name == own || (o.name.rfind(own + "::", 0) == 0 && !folderNamespaces.count(o.name))) {
            opensOwn = opensOwn || !o.name.empty();
            continue;
        }
        if (!o.aheadOnly)
            faults += " declares in " + o.name + ";";
        else if (!folderNamespaces.count(o.name))
            faults += " declares ahead in " + o.name + ", no folder's;";
    }
    static const QRegularExpression codeLine(QStringLiteral(R"(^\s*[^#/*\s])"), QRegularExpression::MultilineOption);
    if (!opensOwn && codeLine.match(source).hasMatch())
        faults += " never opens " + own + ";";
    return faults;
}

const std::set<std::string> someFolders{"q7",           "q7::data",     "q7::component", "q7::host",
                                        "q7::host::browse", "q7::host::db", "q7::host::db::procedures"};

} // namespace

TEST(Namespaces, FolderNamesMapToNamespaces)
{
    const struct {
        const char* folder;
        const char* name;
    } cases[] = {
        {"platform", "q7"},
        {"platform/data", "q7::data"},
        {"component", "q7::component"},
        {"component/reports", "q7::component"},
        {"host/db/procedures/packs", "q7::host::db::procedures::packs"},
        {"app/gui", "q7::app::gui"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(namespaceOfFolder(QString::fromLatin1(c.folder)), c.name) << c.folder;
}

TEST(Namespaces, FaultsAreFoundInEveryShape)
{
    const struct {
        const char* source;
        const char* folder;
        const char* faults;
    } cases[] = {
        {"namespace q7::host::browse {\nclass A {};\n}\n", "host/browse", ""},
        {"namespace q7::data { class Connection; }\nnamespace q7::host::db {\nvoid f();\n}\n", "host/db", ""},
        {"namespace q7::host::db {\nnamespace {\nint x;\n}\nnamespace copytext {\nint y;\n}\n}\n", "host/db", ""},
        {"namespace q7::component {\nnamespace ModBOM {\nvoid f();\n}\n}\n", "component/frame", ""},
        {"namespace q7::host {\nclass A {};\n}\n", "host/browse", " declares in q7::host; never opens q7::host::browse;"},
        {"namespace q7::host::account { class A; }\nnamespace q7::host::db {\n}\n", "host/db",
         " declares ahead in q7::host::account, no folder's;"},
        {"class A {};\n", "component/ui", " never opens q7::component;"},
        {"#include \"a.h\"\n// the moc's unit\n", "host/db", ""},
        {"namespace q7::host::db {\n}\nnamespace q7::host::db::procedures {\nint x;\n}\n", "host/db", " declares in q7::host::db::procedures;"},
        {"namespace q7 {\nconst char* s = \"namespace q7::host { int x; }\"; // namespace q7::x {\n}\n", "platform", ""},
        {"namespace q7::data { class A; struct B; enum class C : int; }\nnamespace q7 {\n}\n", "platform", ""},
        {"namespace q7::data { class A; int b; }\nnamespace q7 {\n}\n", "platform", " declares in q7::data;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(faultsOf(QString::fromLatin1(c.source), QString::fromLatin1(c.folder), someFolders), c.faults) << c.source;
}

TEST(Namespaces, EverySourceDeclaresInItsFoldersNamespace)
{
    const QDir root(QStringLiteral(Q7_SOURCE_DIR));
    std::set<std::string> folderNamespaces;
    std::vector<QString> sources;
    for (const QString& top : {QStringLiteral("platform"), QStringLiteral("component"), QStringLiteral("host"), QStringLiteral("app")}) {
        folderNamespaces.insert(namespaceOfFolder(top));
        QDirIterator folders(root.filePath(top), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (folders.hasNext())
            folderNamespaces.insert(namespaceOfFolder(root.relativeFilePath(folders.next())));
        QDirIterator files(root.filePath(top), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            sources.push_back(root.relativeFilePath(files.next()));
    }
    ASSERT_GT(sources.size(), 300u); // the tree was found
    for (const QString& path : sources) {
        if (path == QLatin1String("app/main.cpp")) // the program's entry point is global
            continue;
        QFile file(root.filePath(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')));
        EXPECT_EQ(faultsOf(QString::fromUtf8(file.readAll()), folder, folderNamespaces), "") << path.toStdString();
    }
}
