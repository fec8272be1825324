#pragma once

#include <QHash>
#include <QString>

namespace q7::forms {

// Which page of the help documents a help context. The map is the help
// folder's contexts.txt: one "context page" pair a line (the page may name a
// place on it, "page.html#place"); a word that starts with '#' begins a
// comment. A context without a line (0 among them) goes to the index page.
class HelpContexts {
public:
    static inline const QString IndexPage = QStringLiteral("index.html");

    // Lines that are not a positive number and a page name are skipped.
    static HelpContexts parse(const QString& text);
    QString pageOf(int contextId) const;
    QList<int> contexts() const { return pages_.keys(); }

private:
    QHash<int, QString> pages_;
};

// The folder of the help pages (compiled into the toolkit) and its map.
QString helpFolder();
const HelpContexts& helpContexts();

} // namespace q7::forms
