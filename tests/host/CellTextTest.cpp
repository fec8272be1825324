// A cell's text as the voucher reads it: the blanks around it dropped, and
// anything of no text read as an empty (never a null) string, whatever the
// value's kind; a text reads as directly as any other value does.
#include "host/voucher/CellText.h"

#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

using q7::host::voucher::cellText;

TEST(CellText, TextsAndOtherValuesReadAlike)
{
    const struct {
        const char* name;
        QVariant value;
        const char* text;
    } cases[] = {
        {"a plain text", QStringLiteral("ST-400"), "ST-400"},
        {"blanks around", QStringLiteral("  01 "), "01"},
        {"only blanks", QStringLiteral("   "), ""},
        {"an empty text", QStringLiteral(""), ""},
        {"a null text", QVariant(QString()), ""},
        {"a tab is kept", QStringLiteral("\t01"), "\t01"},
        {"a whole number", QVariant(12), "12"},
        {"a decimal number", QVariant(2.5), "2.5"},
        {"a date", QVariant(QDate(2026, 1, 31)), "2026-01-31"},
        {"nothing", QVariant(), ""},
        {"a list", QVariant(QVariantList{QStringLiteral("a")}), ""},
        {"a list of texts", QVariant(QStringList{QStringLiteral("a")}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = cellText(c.value);
        EXPECT_EQ(text, QString::fromUtf8(c.text));
        EXPECT_FALSE(text.isNull());
    }
}
