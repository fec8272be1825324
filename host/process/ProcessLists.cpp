#include "host/process/ProcessLists.h"

#include "platform/values/Values.h"

namespace q7::host::process {

QStringList listTexts(int listKind)
{
    switch (listKind) {
    case BomTypeList:
        return {QStringLiteral("全部"), QStringLiteral("主BOM"), QStringLiteral("替代BOM")};
    case SelectionList:
        return {QStringLiteral("全部"), QStringLiteral("有效BOM")};
    default:
        return {};
    }
}

std::optional<QString> listCode(const QString& text, int listKind)
{
    const QStringList texts = listTexts(listKind);
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (values::textEquals(values::trim(text), texts[i]))
            return QString::number(i);
    return std::nullopt;
}

} // namespace q7::host::process
