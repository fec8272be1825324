#include "platform/forms/HelpContexts.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace q7::forms {

HelpContexts HelpContexts::parse(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    HelpContexts map;
    for (const QString& line : text.split(u'\n')) {
        QStringList fields = line.split(blanks, Qt::SkipEmptyParts);
        const auto comment = std::find_if(fields.begin(), fields.end(), [](const QString& f) { return f.startsWith(u'#'); });
        fields.erase(comment, fields.end()); // a page's own '#' names a place on it
        if (fields.size() != 2)
            continue;
        bool number = false;
        const int context = fields[0].toInt(&number);
        if (number && context > 0)
            map.pages_.insert(context, fields[1]);
    }
    return map;
}

QString HelpContexts::pageOf(int contextId) const { return pages_.value(contextId, IndexPage); }

QString helpFolder() { return QStringLiteral(":/q7help"); }

const HelpContexts& helpContexts()
{
    static const HelpContexts map = [] {
        QFile file(helpFolder() + QStringLiteral("/contexts.txt"));
        return file.open(QIODevice::ReadOnly) ? HelpContexts::parse(QString::fromUtf8(file.readAll())) : HelpContexts();
    }();
    return map;
}

} // namespace q7::forms
