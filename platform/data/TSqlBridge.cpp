#include "platform/data/TSqlBridge.h"
#include "platform/SqlText.h"

namespace q7::data {

bool Token::is(const char* word) const
{
    return kind == Kind::Word && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool Token::isSymbol(const char* symbol) const { return kind == Kind::Symbol && text == QLatin1String(symbol); }

namespace {

bool isNameStart(QChar c) { return c.isLetter() || c == u'_' || c == u'@' || c == u'#' || c.unicode() >= 0x80; }
bool isNamePart(QChar c) { return isNameStart(c) || c.isDigit() || c == u'$'; }

QString quoteName(const QString& name)
{
    QString escaped = name;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString quoteString(const QString& value) { return quoted(value); }

QString render(const Token& token)
{
    switch (token.kind) {
    case Token::Kind::String:
        return quoteString(token.text);
    case Token::Kind::QuotedName:
        return quoteName(token.text);
    default:
        return token.text;
    }
}

// The affinity a SQL Server type converts to (TEXT, INTEGER or REAL). A type is a name, with a
// length or precision in parentheses: nvarchar(40), decimal(18, 6), varchar(max).
QString affinityOf(const QList<Token>& type)
{
    if (type.isEmpty() || type.first().kind != Token::Kind::Word)
        throw BridgeError("convert: expected a type name");
    const auto size = [](const Token& t) { return t.kind == Token::Kind::Number || t.is("max"); };
    const bool plain = type.size() == 1;
    const bool sized = type.size() == 4 && type[1].isSymbol("(") && size(type[2]) && type[3].isSymbol(")");
    const bool scaled = type.size() == 6 && type[1].isSymbol("(") && type[2].kind == Token::Kind::Number && type[3].isSymbol(",")
                        && type[4].kind == Token::Kind::Number && type[5].isSymbol(")");
    if (!plain && !sized && !scaled) {
        QStringList shown;
        for (const Token& t : type)
            shown.append(render(t));
        throw BridgeError(QStringLiteral("convert: not a type: %1").arg(shown.join(u' ')).toStdString());
    }
    const QString name = type.first().text.toLower();
    if (name.contains(QLatin1String("char")) || name == QLatin1String("text") || name == QLatin1String("ntext"))
        return QStringLiteral("TEXT");
    if (name == QLatin1String("int") || name == QLatin1String("bigint") || name == QLatin1String("smallint")
        || name == QLatin1String("tinyint") || name == QLatin1String("bit"))
        return QStringLiteral("INTEGER");
    if (name == QLatin1String("decimal") || name == QLatin1String("numeric") || name == QLatin1String("float")
        || name == QLatin1String("real") || name == QLatin1String("money"))
        return QStringLiteral("REAL");
    if (name.contains(QLatin1String("date")))
        return QStringLiteral("TEXT");
    throw BridgeError(QStringLiteral("convert: unknown type %1").arg(type.first().text).toStdString());
}

qsizetype matchingParen(const QList<Token>& tokens, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < tokens.size(); ++i) {
        if (tokens[i].isSymbol("("))
            ++depth;
        else if (tokens[i].isSymbol(")") && --depth == 0)
            return i;
    }
    throw BridgeError("unbalanced parentheses");
}

// Deeper statements are refused: translating nests one call per level, and
// the embedded database's parser has a limit of its own.
constexpr int MaxNesting = 64;

// The server's type for an affinity.
QString serverTypeOf(const QString& affinity)
{
    if (affinity == QLatin1String("INTEGER"))
        return QStringLiteral("bigint");
    if (affinity == QLatin1String("REAL"))
        return QStringLiteral("double precision");
    return QStringLiteral("text");
}

class Translator {
public:
    Translator(QList<Token> tokens, Dialect dialect, QString today) : tokens_(std::move(tokens)), dialect_(dialect), today_(std::move(today)) {}

    QString translate(qsizetype from, qsizetype to)
    {
        if (++nesting_ > MaxNesting)
            throw BridgeError(QStringLiteral("the statement nests deeper than %1 levels").arg(MaxNesting).toStdString());
        QString result = translateRange(from, to);
        --nesting_;
        return result;
    }

private:
    QString translateRange(qsizetype from, qsizetype to)
    {
        QStringList out;
        bool inSelectList = false;
        bool itemStart = false;
        int depth = 0;
        for (qsizetype i = from; i < to; ++i) {
            const Token& t = tokens_[i];
            if (t.isSymbol("("))
                ++depth;
            if (t.isSymbol(")"))
                --depth;
            if (depth == 0 && t.is("select")) {
                inSelectList = true;
                itemStart = true;
                out.append(t.text);
                continue;
            }
            if (inSelectList && depth == 0 && (t.is("distinct") || t.is("all")) && itemStart) {
                out.append(t.text);
                continue;
            }
            if (inSelectList && depth == 0 && t.is("from")) {
                inSelectList = false;
            }
            if (t.is("top") || t.is("into"))
                throw BridgeError(QStringLiteral("%1 is not supported").arg(t.text.toUpper()).toStdString());
            if (t.kind == Token::Kind::Word && (t.text.startsWith(u'@') || t.text.startsWith(u'#')))
                throw BridgeError(QStringLiteral("variables and temporary tables are not supported: %1").arg(t.text).toStdString());

            // alias = expr at the start of a select item
            if (inSelectList && itemStart && (t.kind == Token::Kind::Word || t.kind == Token::Kind::QuotedName)
                && i + 1 < to && tokens_[i + 1].isSymbol("=")) {
                qsizetype end = i + 2;
                int d = 0;
                for (; end < to; ++end) {
                    if (tokens_[end].isSymbol("("))
                        ++d;
                    else if (tokens_[end].isSymbol(")"))
                        --d;
                    else if (d == 0 && (tokens_[end].isSymbol(",") || tokens_[end].is("from")))
                        break;
                }
                if (end == i + 2)
                    throw BridgeError(QStringLiteral("%1 = : expected an expression").arg(t.text).toStdString());
                out.append(translate(i + 2, end) + QStringLiteral(" AS ") + quoteName(t.text));
                i = end - 1;
                itemStart = false;
                continue;
            }
            const bool startsItem = inSelectList && depth == 0 && itemStart;
            itemStart = inSelectList && depth == 0 && t.isSymbol(",");

            if (t.is("convert") && i + 1 < to && tokens_[i + 1].isSymbol("(")) {
                const qsizetype close = matchingParen(tokens_, i + 1);
                qsizetype comma = -1;
                int d = 0;
                for (qsizetype k = i + 2; k < close; ++k) {
                    if (tokens_[k].isSymbol("("))
                        ++d;
                    else if (tokens_[k].isSymbol(")"))
                        --d;
                    else if (d == 0 && tokens_[k].isSymbol(",")) {
                        comma = k;
                        break;
                    }
                }
                if (comma < 0 || comma + 1 == close)
                    throw BridgeError("convert: expected a type and an expression");
                for (qsizetype k = comma + 1, d2 = 0; k < close; ++k) {
                    if (tokens_[k].isSymbol("("))
                        ++d2;
                    else if (tokens_[k].isSymbol(")"))
                        --d2;
                    else if (d2 == 0 && tokens_[k].isSymbol(","))
                        throw BridgeError("convert: a style argument is not supported");
                }
                const QString affinity = affinityOf(tokens_.mid(i + 2, comma - i - 2));
                out.append(QStringLiteral("CAST(") + translate(comma + 1, close) + QStringLiteral(" AS ") + (server() ? serverTypeOf(affinity) : affinity)
                           + u')');
                i = close;
                continue;
            }
            if (t.is("isnull")) {
                out.append(server() ? QStringLiteral("coalesce") : QStringLiteral("ifnull"));
                continue;
            }
            if (t.kind == Token::Kind::String && comparedText(i, from, to)) {
                // compared as the statements' server compares texts: trailing blanks do not count
                QString text = t.text;
                while (text.endsWith(u' '))
                    text.chop(1);
                out.append(quoteString(text));
                continue;
            }
            if (t.isSymbol("+") && ((i > from && tokens_[i - 1].kind == Token::Kind::String) || (i + 1 < to && tokens_[i + 1].kind == Token::Kind::String))) {
                out.append(QStringLiteral("||"));
                continue;
            }
            if (server()) {
                if (t.is("getdate") && i + 2 < to && tokens_[i + 1].isSymbol("(") && tokens_[i + 2].isSymbol(")")) {
                    out.append(quoteString(today_));
                    i += 2;
                    continue;
                }
                if (t.is("len") && i + 1 < to && tokens_[i + 1].isSymbol("(")) {
                    const qsizetype close = matchingParen(tokens_, i + 1);
                    out.append(QStringLiteral("length(rtrim(") + translate(i + 2, close) + QStringLiteral("))"));
                    i = close;
                    continue;
                }
                const bool alias = i > from && tokens_[i - 1].is("as");
                if (alias && (t.kind == Token::Kind::String || t.kind == Token::Kind::QuotedName
                              || (t.kind == Token::Kind::Word && inSelectList && depth == 0))) {
                    out.append(quoteName(t.text));
                    continue;
                }
                const bool plainItem = startsItem && (i + 1 == to || tokens_[i + 1].isSymbol(",") || tokens_[i + 1].is("from"));
                if (plainItem && t.kind == Token::Kind::Word) {
                    out.append(t.text + QStringLiteral(" AS ") + quoteName(t.text.mid(t.text.lastIndexOf(u'.') + 1)));
                    continue;
                }
                if (t.kind == Token::Kind::QuotedName) {
                    out.append(quoteName(t.text.toLower()) + (plainItem ? QStringLiteral(" AS ") + quoteName(t.text) : QString()));
                    continue;
                }
            }
            out.append(render(t));
        }
        return out.join(u' ');
    }

    bool server() const { return dialect_ == Dialect::PostgreSQL; }

    // Whether the text at i is a side of a comparison (=, <>, <, >, …), not a LIKE pattern or a joined text.
    bool comparedText(qsizetype i, qsizetype from, qsizetype to) const
    {
        const auto comparison = [](const Token& t) {
            return t.isSymbol("=") || t.isSymbol("<>") || t.isSymbol("!=") || t.isSymbol("<") || t.isSymbol(">") || t.isSymbol("<=")
                   || t.isSymbol(">=");
        };
        const bool before = i > from && comparison(tokens_[i - 1]);
        const bool after = i + 1 < to && comparison(tokens_[i + 1]);
        const bool joined = (i > from && tokens_[i - 1].isSymbol("+")) || (i + 1 < to && tokens_[i + 1].isSymbol("+"));
        return (before || after) && !joined;
    }

    QList<Token> tokens_;
    Dialect dialect_;
    QString today_;
    int nesting_ = 0;
};

} // namespace

QList<Token> tokenize(const QString& sql)
{
    QList<Token> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            continue;
        }
        if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0)
                throw BridgeError("unterminated comment");
            i = end + 2;
            continue;
        }
        const bool national = (c == u'N' || c == u'n') && i + 1 < n && sql[i + 1] == u'\'';
        if (c == u'\'' || national) {
            qsizetype k = i + (national ? 2 : 1);
            QString value;
            for (;;) {
                if (k >= n)
                    throw BridgeError("unterminated text");
                if (sql[k] == u'\'') {
                    if (k + 1 < n && sql[k + 1] == u'\'') {
                        value += u'\'';
                        k += 2;
                        continue;
                    }
                    break;
                }
                value += sql[k++];
            }
            tokens.append({Token::Kind::String, value});
            i = k + 1;
            continue;
        }
        if (c == u'[' || c == u'"') {
            const QChar close = c == u'[' ? u']' : u'"';
            qsizetype k = i + 1;
            QString name;
            for (;;) {
                if (k >= n)
                    throw BridgeError("unterminated name");
                if (sql[k] == close) {
                    if (k + 1 < n && sql[k + 1] == close) {
                        name += close;
                        k += 2;
                        continue;
                    }
                    break;
                }
                name += sql[k++];
            }
            tokens.append({Token::Kind::QuotedName, name});
            i = k + 1;
            continue;
        }
        if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            qsizetype k = i;
            while (k < n && (sql[k].isDigit() || sql[k] == u'.'))
                ++k;
            if (k < n && (sql[k] == u'e' || sql[k] == u'E')) {
                ++k;
                if (k < n && (sql[k] == u'+' || sql[k] == u'-'))
                    ++k;
                while (k < n && sql[k].isDigit())
                    ++k;
            }
            tokens.append({Token::Kind::Number, sql.mid(i, k - i)});
            i = k;
            continue;
        }
        if (isNameStart(c)) {
            qsizetype k = i;
            while (k < n && (isNamePart(sql[k]) || (sql[k] == u'.' && k + 1 < n && isNamePart(sql[k + 1]))))
                ++k;
            tokens.append({Token::Kind::Word, sql.mid(i, k - i)});
            i = k;
            continue;
        }
        static const QStringList twoChar{QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>"), QStringLiteral("!="),
                                         QStringLiteral("||")};
        const QString pair = sql.mid(i, 2);
        if (twoChar.contains(pair)) {
            tokens.append({Token::Kind::Symbol, pair});
            i += 2;
            continue;
        }
        if (QStringLiteral("(),=<>+-*/%.;").contains(c)) {
            tokens.append({Token::Kind::Symbol, QString(c)});
            ++i;
            continue;
        }
        throw BridgeError(QStringLiteral("unexpected character '%1'").arg(c).toStdString());
    }
    return tokens;
}

bool parseProcedureCall(const QString& sql, ProcedureCall& call)
{
    const QList<Token> tokens = tokenize(sql);
    if (tokens.isEmpty() || !(tokens.first().is("exec") || tokens.first().is("execute")))
        return false;
    if (tokens.size() < 2 || tokens[1].kind != Token::Kind::Word)
        throw BridgeError("Exec: expected a procedure name");
    call.name = tokens[1].text;
    call.arguments.clear();
    const Token missing{Token::Kind::Symbol, QString()};
    bool expectValue = true;
    for (qsizetype i = 2; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.isSymbol(",")) {
            if (expectValue)
                call.arguments.append(missing);
            expectValue = true;
            continue;
        }
        if (!expectValue)
            throw BridgeError(QStringLiteral("Exec: expected a comma before '%1'").arg(t.text).toStdString());
        if (t.isSymbol("-") && i + 1 < tokens.size() && tokens[i + 1].kind == Token::Kind::Number) {
            call.arguments.append({Token::Kind::Number, u'-' + tokens[++i].text});
        } else if (t.kind == Token::Kind::Number || t.kind == Token::Kind::String || t.is("null")) {
            call.arguments.append(t);
        } else {
            throw BridgeError(QStringLiteral("Exec: unsupported argument '%1'").arg(t.text).toStdString());
        }
        expectValue = false;
    }
    if (expectValue && tokens.size() > 2)
        call.arguments.append(missing);
    return true;
}

QString translateSelect(const QString& sql) { return translateSelect(sql, Dialect::Embedded); }

QString translateSelect(const QString& sql, Dialect dialect, const QString& today)
{
    QList<Token> tokens = tokenize(sql);
    while (!tokens.isEmpty() && tokens.last().isSymbol(";"))
        tokens.removeLast();
    if (tokens.isEmpty() || !tokens.first().is("select"))
        throw BridgeError("only SELECT statements and Exec calls are supported");
    int depth = 0;
    for (const Token& t : tokens) {
        if (t.isSymbol(";"))
            throw BridgeError("one statement at a time");
        if (t.isSymbol("(") && ++depth > MaxNesting)
            throw BridgeError(QStringLiteral("the statement nests deeper than %1 levels").arg(MaxNesting).toStdString());
        if (t.isSymbol(")") && --depth < 0)
            throw BridgeError("unbalanced parentheses");
    }
    if (depth != 0)
        throw BridgeError("unbalanced parentheses");
    Translator translator(tokens, dialect, today);
    return translator.translate(0, tokens.size());
}

} // namespace q7::data
