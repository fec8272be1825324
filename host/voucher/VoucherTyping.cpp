#include "host/voucher/VoucherForm.h"

#include "host/voucher/CellText.h"
#include "host/voucher/LineKeys.h"

#include "host/MessageService.h"
#include "host/db/AccountDatabase.h"
#include "host/db/InForce.h"
#include "host/ui/PickDialog.h"
#include "host/voucher/VoucherFields.h"
#include "host/voucher/VoucherXml.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/Events.h"
#include "platform/HostServices.h"
#include "platform/LateBinding.h"
#include "platform/ReferKinds.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"
#include "platform/VoucherTypes.h"

#include <QSet>

#include <limits>

// The voucher form: what a person types into the head and the body, the
// fields computed from others, the reference lists.
namespace q7::host::voucher {

namespace {

QString number(double v) { return QString::number(v, 'g', 12); }

} // namespace

// ---- a person's typing -----------------------------------------------------

int VoucherForm::dropDownKind(const QString& key) const { return fromConfig().dropDownKinds.value(key, -1); }

bool VoucherForm::dropDownAccepts(const QString& key, QVariant& value) const { return dropDownAccepts(dropDownKind(key), value); }

bool VoucherForm::dropDownAccepts(int kind, QVariant& value)
{
    if (kind < 0 || cellText(value).isEmpty())
        return true;
    const QString code = lists::textToCode(kind, cellText(value));
    if (!lists::texts(kind).contains(lists::codeToText(kind, code)))
        return false;
    value = lists::codeToText(kind, code); // a typed code shows as its text
    return true;
}

bool VoucherForm::columnTypable(FieldKey key) const
{
    const ItemState& state = control_->bodyState(key);
    return state.bCanModify && state.bVisible;
}

bool VoucherForm::typeHead(const QString& key, const QVariant& value, const QStringList& freeValues)
{
    if (control_->status() == q7::StatusBrowse || !control_->headEnabled(key) ||
        !control_->itemState(key, VoucherControl::Head).bCanModify)
        return false;
    QVariant shown = value;
    if (!dropDownAccepts(key, shown))
        return false;
    const QVariant before = control_->headerText(key);
    control_->setHeaderText(key, shown);
    for (const auto& [field, filled] : inventoryFields(key, cellText(shown), freeValues))
        control_->setHeaderText(field, filled);
    if (key == QLatin1String("cInvCode") && !cellText(shown).isEmpty() && cellText(control_->headerText(QStringLiteral("cInvName"))).isEmpty()) {
        control_->setHeaderText(key, before); // not an inventory of the account
        return false;
    }
    for (const QString& target : columnTargets(key))
        control_->setHeaderText(target, computeHead(target));
    raise(QStringLiteral("HeadColChanged"), {key});
    if (key == QLatin1String("BomType"))
        raise(QStringLiteral("SetVouchItemState"));
    return true;
}

bool VoucherForm::typeBody(int row, const QString& key, const QVariant& value)
{
    if (control_->status() == q7::StatusBrowse || row < 1 || row > control_->rows())
        return false;
    selectRow(row);
    raise(QStringLiteral("BodyOnEdit"), {key});
    Fields values = control_->rowFields(row);
    const bool taken = typeInto(values, key, key, value);
    control_->replaceRow(row, std::move(values));
    return taken;
}

bool VoucherForm::typeInto(Fields& row, FieldKey field, const QString& key, const QVariant& value, LaterColumns* later) const
{
    using namespace lineKeys;
    static const Fields none;
    if (!columnTypable(field))
        return false;
    const ConfigRules::Column column = bodyColumn(field, key);
    QVariant shown = value;
    if (!dropDownAccepts(column.dropDownKind, shown))
        return false;
    const QString shownText = cellText(shown);
    if (field == opSeq && !shownText.isEmpty() &&
        !store_->hasOperation(values::toLong(cellText(control_->headerText(QStringLiteral("PRoutingId")))), shownText))
        return false; // not an operation of the routing
    const QVariant before = row.value(field, QString());
    row.insert(field, shown);
    const Fields& filled = column.itemField ? itemFields(key, shownText) : none;
    row.insert(filled);
    if (later && !later->isEmpty())
        for (const Fields::Entry& f : filled.entries())
            later->removeAll(f.key);
    if (field == invCode && key == control_->bodyKeys().value(0) && !shownText.isEmpty() && cellText(row.value(invName)).isEmpty()) {
        row.insert(field, before);
        return false;
    }
    if (!later) {
        for (const FieldKey target : column.targets)
            row.insert(target, computeBody(row, target.name()));
        return true;
    }
    later->removeAll(field); // typed after what computed it: the typed value stands
    for (const FieldKey target : column.targets)
        if (!later->contains(target))
            later->append(target);
    return true;
}

// A computed column reads only the columns it is computed from (its sources), and each of those
// notes it again when typed: computed once the row's cells are in, it reads what it would have read
// when its last source was typed.
void VoucherForm::computeLater(Fields& row, const LaterColumns& later) const
{
    for (const FieldKey target : later)
        row.insert(target, computeBody(row, target.name()));
}

QList<QStringList> VoucherForm::enterRows(const QList<Cells>& rows)
{
    QList<QStringList> refused;
    if (control_->status() == q7::StatusBrowse || rows.isEmpty())
        return refused;
    selectRow(control_->rows() + 1);
    QSet<QString> heard;
    for (const Cells& cells : rows)
        for (const auto& cell : cells)
            if (!heard.contains(cell.first)) {
                heard.insert(cell.first);
                raise(QStringLiteral("BodyOnEdit"), {cell.first});
            }
    int sortSeq = highestSortSeq();
    const QString today = values::dateText(system::today()); // the rows entered at once are of one day
    QList<std::pair<QString, FieldKey>> columns; // each cell's key as interned for the row before (rows mostly have the same columns)
    qsizetype widest = 0;                        // a row's fields at most: the next row has room for as many
    for (const Cells& cells : rows) {
        Fields row = newRowValues(sortSeq, today);
        row.reserve(widest);
        QStringList notTaken;
        LaterColumns later;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const auto& [key, value] = cells[c];
            if (c >= columns.size())
                columns.append({key, FieldKey(key)});
            else if (columns[c].first != key)
                columns[c] = {key, FieldKey(key)};
            const FieldKey field = columns[c].second;
            if (values::toTextOrEmpty(row.value(field, QString())) != value && !typeInto(row, field, key, value, &later))
                notTaken.append(key);
        }
        computeLater(row, later);
        sortSeq = std::max(sortSeq, sortSeqOf(row));
        widest = std::max(widest, row.size());
        control_->appendRow(row);
        refused.append(notTaken);
    }
    return refused;
}

// Choosing an inventory fills the fields of the refresh list whose first
// field is the key, from the inventory reference's result columns.
QList<std::pair<QString, QVariant>> VoucherForm::inventoryFields(const QString& key, const QString& code, const QStringList& freeValues) const
{
    const QList<InventoryEntry>& entries = fromConfig().inventory.value(key);
    if (entries.isEmpty())
        return {};
    QVariantList inventory = store_->inventoryRow(code);
    if (!inventory.isEmpty() && !freeValues.isEmpty()) {
        QVariantList frees = inventory[19].toList();
        for (int n = 0; n < freeValues.size() && n < frees.size(); ++n)
            frees[n] = freeValues[n];
        inventory[19] = frees;
    }
    return fieldsOfInventory(entries, inventory);
}

QList<std::pair<QString, QVariant>> VoucherForm::fieldsOfInventory(const QList<InventoryEntry>& entries, const QVariantList& inventory)
{
    QList<std::pair<QString, QVariant>> filled;
    for (const auto& [field, column, numbered] : entries) {
        const QVariant value = inventory.value(column);
        if (field.endsWith(u'_')) {
            const QVariantList group = value.toList();
            const int size = inventory.isEmpty() ? (field.contains(QLatin1String("Define")) ? 16 : 10) : int(group.size());
            for (int n = 1; n <= size; ++n)
                filled.append({n <= numbered.size() ? numbered[n - 1] : field + QString::number(n), group.value(n - 1, QString())});
        } else {
            filled.append({field, value.isValid() ? value : QVariant(QString())});
        }
    }
    return filled;
}

const Fields& VoucherForm::itemFields(const QString& key, const QString& code) const
{
    static const Fields none;
    const ConfigRules& rules = fromConfig();
    const QList<InventoryEntry>& entries = rules.inventory.value(key);
    if (entries.isEmpty())
        return none;
    const QVariantList inventory = store_->inventoryRow(code);
    const QString memoKey = key + u'\n' + code;
    if (const auto found = rules.itemFields.constFind(memoKey); found != rules.itemFields.constEnd() && found->inventory.isSharedWith(inventory))
        return found->fields;
    constexpr qsizetype MaxItemsKept = 4096; // outside a batch every typing reads its row anew: the memo is only ever replaced
    if (rules.itemFields.size() >= MaxItemsKept)
        rules.itemFields.clear();
    ConfigRules::ItemFields made{inventory, {}};
    for (const auto& [field, value] : fieldsOfInventory(entries, inventory))
        made.fields.insert(field, value);
    return rules.itemFields.insert(memoKey, std::move(made))->fields;
}

const VoucherForm::ConfigRules& VoucherForm::fromConfig() const
{
    if (rules_ && rulesRead_ == info_->configChanges())
        return *rules_;
    ConfigRules rules;
    const int inventoryLists = info_->config(QStringLiteral("RefreshInventoryListCount")).toInt();
    for (int i = 0; i < inventoryLists; ++i) {
        const QVariantList entries = info_->config(QStringLiteral("RefreshInventoryList"), i).toMap().value(QStringLiteral("Entries")).toList();
        if (entries.isEmpty())
            continue;
        QList<InventoryEntry>& list = rules.inventory[entries.first().toMap().value(QStringLiteral("Field")).toString()];
        for (const QVariant& e : entries) {
            InventoryEntry entry{e.toMap().value(QStringLiteral("Field")).toString(), e.toMap().value(QStringLiteral("Column")).toInt(), {}};
            if (entry.field.endsWith(u'_')) // a group's fields: the name and their number
                for (int n = 1; n <= 16; ++n)
                    entry.numbered.append(entry.field + QString::number(n));
            list.append(entry);
        }
    }
    const int columnLists = info_->config(QStringLiteral("RefreshColumnListCount")).toInt();
    for (int i = 0; i < columnLists; ++i) {
        const QVariantMap rule = info_->config(QStringLiteral("RefreshColumnList"), i).toMap();
        const QStringList targets = rule.value(QStringLiteral("Targets")).toStringList();
        QStringList sources = rule.value(QStringLiteral("Sources")).toStringList();
        sources.removeDuplicates();
        for (const QString& source : std::as_const(sources))
            for (const QString& target : targets)
                if (target != source)
                    rules.targets[source].append(target);
    }
    for (const QVariant& entry : info_->config(QStringLiteral("DropDownListColumnField")).toMap().value(QStringLiteral("Entries")).toList()) {
        const QString column = entry.toMap().value(QStringLiteral("Column")).toString();
        if (!rules.dropDownKinds.contains(column)) // the first entry of a column is its list
            rules.dropDownKinds.insert(column, entry.toMap().value(QStringLiteral("Kind")).toInt());
    }
    rules_ = std::make_unique<ConfigRules>(std::move(rules));
    rulesRead_ = info_->configChanges();
    return *rules_;
}

QStringList VoucherForm::columnTargets(const QString& key) const { return fromConfig().targets.value(key); }

const VoucherForm::ConfigRules::Column& VoucherForm::bodyColumn(FieldKey field, const QString& key) const
{
    const ConfigRules& rules = fromConfig();
    if (field.id() >= rules.columns.size())
        rules.columns.resize(FieldKey::count());
    ConfigRules::Column& column = rules.columns[field.id()];
    if (!column.known) {
        column = {true, rules.dropDownKinds.value(key, -1), rules.inventory.contains(key), {}};
        for (const QString& target : rules.targets.value(key))
            column.targets.append(target);
    }
    return column;
}

QVariant VoucherForm::computeHead(const QString& key) const
{
    const QVariantMap head = control_->head();
    if (key == QLatin1String("ParentId")) {
        // The part of the item with these free-item values, when the account has it.
        const int part = store_->existingPartId(head, QString());
        return part ? QVariant(QString::number(part)) : QVariant(QString());
    }
    if (key == QLatin1String("Version")) {
        if (control_->status() != q7::StatusAdd || lists::textToCode(3, cellText(head.value(QStringLiteral("BomType")))) != QLatin1String("1"))
            return head.value(key, QString());
        // A new main BOM takes the part's next version.
        const int part = store_->existingPartId(head, QString());
        return QString::number((part ? store_->highestVersion(part) : 0) + 1);
    }
    if (key == QLatin1String("VersionEffDate")) {
        const QString date = cellText(head.value(key));
        return date.isEmpty() ? values::dateText(system::today()) : date;
    }
    if (key == QLatin1String("PRoutingId")) {
        // The parent part's routing valid on the version date (a substitute BOM: today).
        const int part = store_->existingPartId(head, QString());
        QString date = cellText(head.value(QStringLiteral("VersionEffDate")));
        if (date.isEmpty())
            date = values::dateText(system::today());
        const int routing = part ? store_->routingOf(part, date) : 0;
        return routing ? QString::number(routing) : QString();
    }
    return head.value(key, QString());
}

QVariant VoucherForm::computeBody(int row, const QString& key) const { return computeBody(control_->rowFields(row), key); }

QVariant VoucherForm::computeBody(const Fields& r, const QString& key) const
{
    using namespace lineKeys;
    const auto num = [&](FieldKey k, double fallback) {
        const QString t = cellText(r.value(k));
        return t.isEmpty() ? fallback : values::toDouble(t);
    };
    if (key == QLatin1String("DQty")) {
        const QString parentScrap = cellText(control_->headerText(QStringLiteral("ParentScrap")));
        const bool variable = lists::textToCode(2, cellText(r.value(fvFlag))) != QLatin1String("0");
        return number(componentQuantity(num(baseQtyN, 1), num(baseQtyD, 1), num(compScrap, 0), variable,
                                        parentScrap.isEmpty() ? 0.0 : values::toDouble(parentScrap)));
    }
    if (key == QLatin1String("DWhName"))
        return store_->wareHouseName(cellText(r.value(whCode)));
    if (key == QLatin1String("DDeptName"))
        return store_->departmentName(cellText(r.value(deptCode)));
    if (key == QLatin1String("DOpSeq")) {
        // An operation the head's routing does not have is dropped.
        const QString routing = cellText(control_->headerText(QStringLiteral("PRoutingId")));
        const QString opSeq = cellText(r.value(key));
        const bool kept = !routing.isEmpty() && store_->hasOperation(values::toLong(routing), opSeq);
        return kept ? opSeq : QString();
    }
    return r.value(key, QString());
}

int VoucherForm::highestSortSeq() const
{
    int sortSeq = 0;
    for (int r = 1; r <= control_->rows(); ++r)
        sortSeq = std::max(sortSeq, sortSeqOf(control_->rowFields(r)));
    return sortSeq;
}

int VoucherForm::sortSeqOf(const Fields& row)
{
    const QVariant sortSeq = row.value(lineKeys::sortSeq, QString());
    return values::toLong(cellText(sortSeq).isEmpty() ? QVariant(0) : sortSeq);
}

Fields VoucherForm::newRowValues(int sortSeq, const QString& today) const
{
    // the defaults stand while the configuration, the day and the head's parent scrap (the quantity) do
    const QString parentScrap = cellText(control_->headerText(QStringLiteral("ParentScrap")));
    if (!newRow_ || newRow_->configRead != info_->configChanges() || newRow_->today != today || newRow_->parentScrap != parentScrap)
        newRow_ = std::make_unique<NewRow>(NewRow{info_->configChanges(), today, parentScrap, defaultRowValues(today)});
    Fields values = newRow_->values;
    if (values.contains(lineKeys::sortSeq))
        values.insert(lineKeys::sortSeq, QString::number(sortSeq + 10));
    return values;
}

Fields VoucherForm::defaultRowValues(const QString& today) const
{
    const QVariantMap defaults{
        {QStringLiteral("DSortSeq"), QString()}, /* each row's own, put in by newRowValues */ {QStringLiteral("DOpSeq"), QString()},
        {QStringLiteral("DBaseQtyN"), QStringLiteral("1")},           {QStringLiteral("DBaseQtyD"), QStringLiteral("1")},
        {QStringLiteral("DCompScrap"), QStringLiteral("0")},          {QStringLiteral("DFVFlag"), lists::codeToText(2, 1)},
        {QStringLiteral("DWIPType"), lists::codeToText(1, 3)},        {QStringLiteral("DQty"), QString()},
        {QStringLiteral("DEffBegDate"), today},                       {QStringLiteral("DEffEndDate"), QString::fromLatin1(db::OpenEnd)},
        {QStringLiteral("DOffset"), QStringLiteral("0")},             {QStringLiteral("DPlanRate"), QStringLiteral("100")},
        {QStringLiteral("DByproductFlag"), lists::codeToText(0, 0)},  {QStringLiteral("DAccuCostFlag"), lists::codeToText(0, 1)},
        {QStringLiteral("DOptionalFlag"), lists::codeToText(0, 0)},   {QStringLiteral("DMutexRule"), QString()},
        {QStringLiteral("DSequence"), QStringLiteral("1")},           {QStringLiteral("DFactor"), QStringLiteral("1")},
        {QStringLiteral("DReplaceFlag"), lists::codeToText(0, 0)},
    };
    Fields values;
    for (const QVariant& key : info_->config(QStringLiteral("RefreshDefaultField")).toList())
        values.insert(key.toString(), defaults.value(key.toString(), QString()));
    if (values.contains(QStringLiteral("DQty")))
        values.insert(QStringLiteral("DQty"), computeBody(values, QStringLiteral("DQty")));
    return values;
}

int VoucherForm::addRow()
{
    if (control_->status() == q7::StatusBrowse)
        return 0;
    const int row = control_->appendRow(newRowValues(highestSortSeq(), values::dateText(system::today())));
    raise(QStringLiteral("AddBody"), {row - 1});
    selectRow(row);
    return row;
}

void VoucherForm::selectRow(int row)
{
    if (row == currentRow_)
        return;
    const int previous = currentRow_;
    currentRow_ = row;
    raise(QStringLiteral("BodyRowChanged"), {previous - 1, row - 1});
}

// The item fields (the first field of each refresh-inventory entry: the parent's
// and the component's code) have the library's own inventory reference.
bool VoucherForm::isItemField(const QString& key) const { return fromConfig().inventory.contains(key); }

QVariant VoucherForm::pickItem(const QVariant& current) const
{
    const ui::ReferList list = ui::referList(*connection_, ReferInventory, {cellText(current)});
    const int row = ui::pickRow(list);
    return row < 0 ? QVariant() : list.rows.rows[row].value(0);
}

bool VoucherForm::browseHead(const QString& key)
{
    if (control_->status() == q7::StatusBrowse)
        return false;
    if (isItemField(key)) {
        const QVariant picked = pickItem(control_->headerText(key));
        return picked.isValid() && typeHead(key, picked);
    }
    const QVariant before = control_->headerText(key);
    QVariantList args{key, before};
    raiseEvent(events_.data(), QStringLiteral("HeadBrowUser"), args);
    // a pick comes back in the value; it is then entered as if typed (and checked as typed)
    if (cellText(args[1]) == cellText(before))
        return false;
    return typeHead(key, args[1]);
}

bool VoucherForm::browseBody(int row, const QString& key)
{
    if (control_->status() == q7::StatusBrowse || row < 1 || row > control_->rows())
        return false;
    if (isItemField(key)) {
        const QVariant picked = pickItem(control_->bodyText(row, key));
        return picked.isValid() && typeBody(row, key, picked);
    }
    QVariantList args{key, row - 1, control_->bodyText(row, key)};
    raiseEvent(events_.data(), QStringLiteral("BodyBrowUser"), args);
    if (cellText(args[2]) == cellText(control_->bodyText(row, key)))
        return false;
    return typeBody(row, key, args[2]);
}

void VoucherForm::popupMenu(int index)
{
    QVariantList args{index, info_->currentId};
    raiseEvent(events_.data(), QStringLiteral("ExecutePopMenu"), args);
}

void VoucherForm::runTask(const QString& key)
{
    info_->success = true;
    raise(QStringLiteral("ExecuteTask"), {key});
}

} // namespace q7::host::voucher
