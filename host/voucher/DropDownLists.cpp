#include "host/voucher/BomDocument.h"

#include "platform/values/Values.h"

#include <utility>
#include <vector>

namespace q7::host::voucher::lists {

namespace {
using Entries = std::vector<std::pair<QString, QString>>; // code, text

const Entries& entries(int listKind)
{
    static const Entries yesNo{{QStringLiteral("1"), QStringLiteral("是")}, {QStringLiteral("0"), QStringLiteral("否")}};
    static const Entries supply{{QStringLiteral("1"), QStringLiteral("入库倒冲")},
                                {QStringLiteral("2"), QStringLiteral("工序倒冲")},
                                {QStringLiteral("3"), QStringLiteral("领用")},
                                {QStringLiteral("4"), QStringLiteral("虚拟件")}};
    static const Entries fixedVariable{{QStringLiteral("0"), QStringLiteral("固定")}, {QStringLiteral("1"), QStringLiteral("变动")}};
    static const Entries bomType{{QStringLiteral("1"), QStringLiteral("主BOM")}, {QStringLiteral("2"), QStringLiteral("替代BOM")}};
    static const Entries selection{{QStringLiteral("1"), QStringLiteral("单选")},
                                   {QStringLiteral("2"), QStringLiteral("全选")},
                                   {QStringLiteral("3"), QStringLiteral("任选")},
                                   {QStringLiteral("4"), QStringLiteral("至少选一")}};
    static const Entries none;
    switch (listKind) {
    case 0: return yesNo;
    case 1: return supply;
    case 2: return fixedVariable;
    case 3: return bomType;
    case 4: return selection;
    default: return none;
    }
}
} // namespace

QString codeToText(int listKind, const QVariant& code)
{
    const QString value = values::trim(values::toTextOrEmpty(code));
    for (const auto& [c, t] : entries(listKind))
        if (c == value)
            return t;
    return value;
}

QString textToCode(int listKind, const QString& text)
{
    const QString value = values::trim(text);
    for (const auto& [c, t] : entries(listKind))
        if (values::textEquals(t, value) || c == value)
            return c;
    return value;
}

const QStringList& texts(int listKind)
{
    // made once per list: every typed or checked cell of a drop-down column reads them
    static const std::vector<QStringList> made = [] {
        std::vector<QStringList> lists;
        for (int kind = 0; kind <= 5; ++kind) { // 5 and beyond: no list
            QStringList result;
            for (const auto& entry : entries(kind))
                result.append(entry.second);
            lists.push_back(result);
        }
        return lists;
    }();
    return made[listKind >= 0 && listKind < 5 ? listKind : 5];
}

} // namespace q7::host::voucher::lists
