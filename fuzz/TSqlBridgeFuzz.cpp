// Fuzz target: statements through the T-SQL bridge. Anything may be refused
// with a BridgeError; nothing may crash, and a translated statement keeps
// every text literal of the input, in order and unchanged but for the trailing
// blanks of compared texts (which the statements' server ignores). The server
// dialect's translation reads back as one statement.
#include "platform/data/TSqlBridge.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace q7::data;

namespace {

[[noreturn]] void fail(const char* what, const QString& sql, const QString& out)
{
    std::fprintf(stderr, "%s\n  in:  %s\n  out: %s\n", what, sql.toUtf8().constData(), out.toUtf8().constData());
    std::abort();
}

QStringList literalsOf(const QList<Token>& tokens)
{
    QStringList texts;
    for (const Token& t : tokens)
        if (t.kind == Token::Kind::String) {
            QString text = t.text;
            while (text.endsWith(u' '))
                text.chop(1);
            texts.append(text);
        }
    return texts;
}

void checkServerDialect(const QString& sql)
{
    QString out;
    try {
        out = translateSelect(sql, Dialect::PostgreSQL, QStringLiteral("2026-12-07"));
    } catch (const BridgeError&) {
        return;
    }
    try {
        for (const Token& t : tokenize(out))
            if (t.isSymbol(";"))
                fail("the server translation holds a second statement", sql, out);
    } catch (const BridgeError&) {
        fail("the server translation does not read back", sql, out);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        ProcedureCall call;
        parseProcedureCall(sql, call);
    } catch (const BridgeError&) {
    }
    checkServerDialect(sql);
    QString out;
    try {
        out = translateSelect(sql);
    } catch (const BridgeError&) {
        return 0;
    }
    QList<Token> translated;
    try {
        translated = tokenize(out);
    } catch (const BridgeError&) {
        fail("the translation does not read back", sql, out);
    }
    for (const Token& t : translated)
        if (t.isSymbol(";"))
            fail("the translation holds a second statement", sql, out);
    if (literalsOf(tokenize(sql)) != literalsOf(translated))
        fail("the translation changed a text literal", sql, out);
    return 0;
}
