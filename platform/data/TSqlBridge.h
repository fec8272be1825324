#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

// Runs the account's SQL Server statements on the embedded database: a
// tokenizer (strings with doubled quotes, N'' prefixes, [bracketed] and
// "quoted" names, comments, numbers, names in any script) and a translator
// of the constructs the BOM component uses. Anything it does not understand
// is refused with a BridgeError rather than guessed at.
namespace q7::data {

class BridgeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Token {
    enum class Kind { Word, String, QuotedName, Number, Symbol };
    Kind kind;
    QString text; // String: the value without quotes; QuotedName: the name without delimiters
    bool is(const char* word) const; // a Word equal to word, ignoring case
    bool isSymbol(const char* symbol) const;
};

QList<Token> tokenize(const QString& sql);

// A stored-procedure call: "Exec name arg, arg, ...". Empty positions are
// kept as empty (missing) arguments.
struct ProcedureCall {
    QString name;
    QList<Token> arguments; // Number / String / Word (NULL) tokens; Kind::Symbol with empty text for a missing one
};

// Whether the statement is a procedure call; fills call when it is.
bool parseProcedureCall(const QString& sql, ProcedureCall& call);

// The SELECT statement rewritten for the embedded database:
//   alias = expr            -> expr AS "alias"   (in select lists)
//   convert(type, expr)     -> CAST(expr AS affinity)
//   isnull(a, b)            -> ifnull(a, b)
//   N'text'                 -> 'text'
//   [name]                  -> "name"
// Refused: statements other than SELECT, several statements, TOP, INTO,
// variables and temporary tables, unbalanced parentheses, unterminated texts,
// nesting deeper than 64 levels, convert with anything but a type
// (name, name(n), name(p, s)) and one expression.
QString translateSelect(const QString& sql);

// The database a statement is translated for.
enum class Dialect {
    Embedded,   // the embedded file, as above
    PostgreSQL, // a server account: as above, and besides
                //   isnull(a, b)        -> coalesce(a, b)
                //   convert(type, expr) -> CAST(expr AS text | bigint | double precision)
                //   len(x)              -> length(rtrim(x))
                //   getdate()           -> today's date as a text 'yyyy-mm-dd' (the desktop's date)
                //   [Name], "Name"      -> "name" (names are folded as the server folds unquoted ones)
                //   AS 'alias'          -> AS "alias"
                //   a plain column item -> the column AS "Column" (its label keeps the case it is written in)
};
// Both dialects: a + next to a text literal joins texts ('a' + x -> 'a' || x);
// a text compared with =, <>, <, >, <= or >= loses its trailing blanks
// (x = 'A  ' -> x = 'A'), as the statements' server ignores them.
// Codes compare ignoring case through the account's column types.
QString translateSelect(const QString& sql, Dialect dialect, const QString& today = {});

} // namespace q7::data
