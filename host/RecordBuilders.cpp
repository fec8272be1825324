#include "host/RecordBuilders.h"

#include "host/RecordEntries.h"
#include "host/process/ProcessLists.h"
#include "host/voucher/BomDocument.h"
#include "platform/values/Values.h"

#include <QVariantMap>

namespace q7::host {

void RefreshInventoryBuilder::Init(QVariant& record, const QString& hookName, int fieldCount)
{
    record = QVariantMap{{QStringLiteral("Hook"), hookName}, {QStringLiteral("Count"), fieldCount}};
}
void RefreshInventoryBuilder::SetField(QVariant& record, int index, const QString& field, int resultColumn)
{
    putInList(record, QStringLiteral("Entries"), index, QVariantMap{{QStringLiteral("Field"), field}, {QStringLiteral("Column"), resultColumn}});
}

void RefreshColumnBuilder::Init(QVariant& record, int sourceCount, int targetCount)
{
    record = QVariantMap{{QStringLiteral("SourceCount"), sourceCount}, {QStringLiteral("TargetCount"), targetCount}};
}
void RefreshColumnBuilder::SetSource(QVariant& record, int index, const QString& column)
{
    putInList(record, QStringLiteral("Sources"), index, column);
}
void RefreshColumnBuilder::SetTarget(QVariant& record, int index, const QString& column)
{
    putInList(record, QStringLiteral("Targets"), index, column);
}

void RefreshColumnBuilder::SetSingleTarget(QVariant& record, int number, const QString& column)
{
    QVariantMap map = record.toMap();
    map.insert(QStringLiteral("TargetCount"), number);
    map.insert(QStringLiteral("Targets"), QVariantList{column});
    record = map;
}

void DropDownListBuilder::Init(QVariant& record, int count) { record = QVariantMap{{QStringLiteral("Count"), count}}; }
void DropDownListBuilder::SetEntry(QVariant& record, int index, const QString& column, int listKind)
{
    putInList(record, QStringLiteral("Entries"), index, QVariantMap{{QStringLiteral("Column"), column}, {QStringLiteral("Kind"), listKind}});
}
QString DropDownListBuilder::TextToCode(const QString& text, int listKind)
{
    if (const auto code = process::listCode(text, listKind))
        return *code;
    if (listKind == 3) {
        if (values::textEquals(values::trim(text), QStringLiteral("主要")))
            return QStringLiteral("1");
        if (values::textEquals(values::trim(text), QStringLiteral("替代")))
            return QStringLiteral("2");
    }
    if (listKind >= 0 && listKind <= 4)
        return voucher::lists::textToCode(listKind, text); // the voucher's own lists
    return values::trim(text);
}

void ColumnAuthBuilder::Init(QVariant& record, int count) { record = QVariantMap{{QStringLiteral("Count"), count}}; }
void ColumnAuthBuilder::SetEntry(QVariant& record, int index, const QString& column, int authKind, bool flag)
{
    putInList(record, QStringLiteral("Entries"), index,
              QVariantMap{{QStringLiteral("Column"), column}, {QStringLiteral("Kind"), authKind}, {QStringLiteral("Flag"), flag}});
}

} // namespace q7::host
