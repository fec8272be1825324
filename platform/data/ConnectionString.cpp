#include "platform/data/ConnectionString.h"

namespace q7::data {

namespace {

// A key as connection strings name them: letters, digits, blanks and '_'.
bool isConnectionKey(const QString& key)
{
    if (key.isEmpty() || !key.front().isLetter())
        return false;
    for (const QChar c : key)
        if (!(c.isLetterOrNumber() || c == u' ' || c == u'_'))
            return false;
    return true;
}

} // namespace

QString quoteConnectionValue(const QString& value)
{
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

bool parseConnectionString(const QString& text, QList<std::pair<QString, QString>>& pairs)
{
    pairs.clear();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (text[i].isSpace() || text[i] == u';'))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(u'=', i);
        if (eq < 0)
            return false;
        const QString key = text.mid(i, eq - i).trimmed();
        if (!isConnectionKey(key))
            return false;
        i = eq + 1;
        while (i < n && text[i] == u' ')
            ++i;
        QString value;
        if (i < n && (text[i] == u'"' || text[i] == u'\'' || text[i] == u'{')) {
            const QChar close = text[i] == u'{' ? u'}' : text[i];
            for (++i;; ++i) {
                if (i >= n)
                    return false; // unterminated
                if (text[i] == close) {
                    if (i + 1 < n && text[i + 1] == close) {
                        value += close;
                        ++i;
                        continue;
                    }
                    break;
                }
                value += text[i];
            }
            ++i;
            while (i < n && text[i] == u' ')
                ++i;
            if (i < n && text[i] != u';')
                return false; // text after the closing quote
        } else {
            const qsizetype end = text.indexOf(u';', i);
            value = text.mid(i, (end < 0 ? n : end) - i).trimmed();
            i = end < 0 ? n : end;
        }
        pairs.append({key, value});
    }
    return !pairs.isEmpty();
}

} // namespace q7::data
