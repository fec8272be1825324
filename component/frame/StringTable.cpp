#include "frame/StringTable.h"

#include <QFile>
#include <QHash>

namespace q7::component {

namespace StringTable {

namespace {

QHash<int, QString> load()
{
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/q7bomlib/strings.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& line : text.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int number = line.left(tab).toInt(&ok);
        if (tab > 0 && ok)
            table.insert(number, line.mid(tab + 1)); // blanks at the end belong to the text
    }
    return table;
}

const QHash<int, QString>& table()
{
    static const QHash<int, QString> strings = load();
    return strings;
}

} // namespace

std::optional<QString> find(int number)
{
    const auto found = table().constFind(number);
    if (found == table().cend())
        return std::nullopt;
    return *found;
}

int count() { return static_cast<int>(table().size()); }

} // namespace StringTable

} // namespace q7::component
