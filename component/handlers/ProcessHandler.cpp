#include "handlers/ProcessHandler.h"

#include "frame/FormBinding.h"
#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

namespace q7::component {

namespace {

QString latin(const char* text) { return QString::fromLatin1(text); }

// A free-item flag as a logical value; a flag that was never filled counts
// as not set (its conversion would otherwise be a type mismatch).
bool flagSet(const QVariant& flag)
{
    if (isEmpty(flag) || isNull(flag) || values::trim(values::toTextOrEmpty(flag)).isEmpty())
        return false;
    return values::toBoolean(flag);
}

} // namespace

bool ProcessHandler::isKey(const QString& key, const char* name) { return values::textEquals(key, latin(name)); }

void ProcessHandler::FormProcess(const QVariant& frm) { bindFormEventHandler(frm, frmProcess_, objEvent); }

Object ProcessHandler::processInfo() const { return toObject(getProperty(frmProcess_, QStringLiteral("ProcessInfo"))); }

Object ProcessHandler::headControl() const { return toObject(getProperty(frmProcess_, QStringLiteral("ctlProcess"))); }

QVariant ProcessHandler::headText(const QString& key) const { return getProperty(headControl(), QStringLiteral("headerText"), {key}); }

void ProcessHandler::setHeadText(const QString& key, const QVariant& value) const
{
    letProperty(headControl(), QStringLiteral("headerText"), {key}, value);
}

QString ProcessHandler::fieldName(const QString& key) const
{
    const Object state = toObject(getProperty(headControl(), QStringLiteral("ItemState"), {key, 0}));
    return values::toTextOrEmpty(getProperty(state, QStringLiteral("sCardItemName")));
}

QString ProcessHandler::fieldTitle(const QString& key) const
{
    const Object state = toObject(getProperty(headControl(), QStringLiteral("ItemState"), {key, 0}));
    const QVariant formula = getProperty(state, QStringLiteral("sCardFormula1"));
    if (!ModBOM::objCommon().IsBlank(formula))
        return values::toTextOrEmpty(formula);
    return values::toTextOrEmpty(getProperty(state, QStringLiteral("sCardItemName")));
}

void ProcessHandler::setRefreshInventoryList(std::initializer_list<RefreshEntry> entries) const
{
    const Object info = processInfo();
    letProperty(info, QStringLiteral("RefreshInventoryListCount"), static_cast<int>(entries.size()));
    QVariantList list;
    for (const RefreshEntry& entry : entries) {
        QVariant record;
        ModBOM::objRefreshInventory().Init(record, latin(entry.hook), static_cast<int>(entry.fields.size()));
        int index = 0;
        for (const RefreshField& field : entry.fields)
            ModBOM::objRefreshInventory().SetField(record, index++, latin(field.field), field.column);
        list.append(record);
    }
    letProperty(info, QStringLiteral("RefreshInventoryList"), list);
}

void ProcessHandler::showRequired(const QString& title) const
{
    ModBOM::objMessage().ShowMessage(QVariant::fromValue<short>(2509), missingValue(), QVariantList{title});
}

bool ProcessHandler::checkItemWithFreeItems(const QString& codeKey, const QString& freePrefix, const QString& flagPrefix) const
{
    if (ModBOM::objCommon().IsBlank(headText(codeKey))) {
        showRequired(fieldName(codeKey));
        return false;
    }
    for (int n = 1; n <= 10; ++n) {
        const QString freeKey = freePrefix + QString::number(n);
        // Both sides are read, as the rule combines them with a logical and.
        const bool blank = ModBOM::objCommon().IsBlank(headText(freeKey));
        const bool used = flagSet(headText(flagPrefix + QString::number(n)));
        if (blank && used) {
            showRequired(fieldTitle(freeKey));
            return false;
        }
    }
    return true;
}

} // namespace q7::component
