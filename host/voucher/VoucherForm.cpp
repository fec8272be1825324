#include "host/voucher/VoucherForm.h"

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
#include "platform/SystemSettings.h"
#include "platform/Values.h"
#include "platform/VoucherTypes.h"

#include <QSet>

#include <limits>

namespace q7::host::voucher {

namespace {

constexpr int MsgMustEnter = 2509;
constexpr int MsgRowMustEnter = 2510;

QString txt(const QVariant& v)
{
    if (isNull(v) || v.metaType().id() == QMetaType::QVariantList || v.metaType().id() == QMetaType::QStringList)
        return QString();
    return values::trim(values::toTextOrEmpty(v));
}

void showMessage(const QVariant& message, const QVariantList& arguments)
{
    const Object service = createObject(QString::fromLatin1(MessageClassId));
    dynamic_cast<IMessage&>(*service).ShowMessage(message, missingValue(), arguments);
}

QString number(double v) { return QString::number(v, 'g', 12); }

bool isHidden(const QString& key) { return key.startsWith(u'_'); }

QVariantMap visibleFields(const QVariantMap& fields)
{
    QVariantMap result;
    for (auto it = fields.begin(); it != fields.end(); ++it)
        if (!isHidden(it.key()))
            result.insert(it.key(), it.value());
    return result;
}

} // namespace

// ---- set-up ------------------------------------------------------------------

VoucherForm::VoucherForm(const QString& vouType, std::shared_ptr<ado::Connection> connection)
    : connection_(std::move(connection)),
      store_(std::make_unique<BomStore>(*connection_)),
      control_(makeObject<VoucherControl>(headKeys(vouType), bodyKeys(vouType))),
      info_(makeObject<BillInfo>(this)),
      manager_(makeObject<BillManager>(this)),
      toolbar_(makeObject<VoucherToolbar>()),
      events_(makeObject<QObject>())
{
    info_->vouType = vouType;
    info_->login->accountConnection = connection_->connectionString();
    for (const QString& key : control_->headKeys() + control_->bodyKeys()) {
        control_->itemState(key, VoucherControl::Head).sFieldName = caption(key);
        control_->itemState(key, VoucherControl::Body).sFieldName = caption(key);
    }
}

QSharedPointer<VoucherForm> VoucherForm::create(const QString& vouType, const QString& account, const QString& user)
{
    auto connection = std::make_shared<ado::Connection>();
    connection->Open(account.contains(u'=') ? account : account::connectionStringFor(account));
    QSharedPointer<VoucherForm> form(new VoucherForm(vouType, std::move(connection)));
    form->info_->login->loginObject = user;
    return form;
}

void VoucherForm::close()
{
    if (entry_)
        entry_->close();
    entry_.reset();
    handler_.reset();
}

void VoucherForm::open(const Object& handler)
{
    handler_ = handler;
    const bool entry = owner_ != nullptr;
    call(handler, entry ? QStringLiteral("FormVoucherEntry") : QStringLiteral("FormVoucher"), {fromObject(sharedFromThis())});
    raise(QStringLiteral("InitForm"));
    QVariantList help{static_cast<int32_t>(0)};
    raiseEvent(events_.data(), QStringLiteral("InitHelp"), help);
    helpId_ = values::toLong(help[0]);
    QStringList defaults;
    for (const QVariant& key : info_->config(QStringLiteral("RefreshDefaultField")).toList())
        defaults.append(key.toString());
    control_->setDefaultKeys(defaults);
    applyColumnAuthority();
    raise(QStringLiteral("InitMenu"));
    if (entry) {
        raise(QStringLiteral("OpenEntryForm"));
        control_->setVoucherDataXML(info_->headXml(), info_->bodyXml());
        control_->ResetSigh();
        setStatus(q7::voucher::StatusBrowse, QString());
    } else {
        setStatus(0, QString());
    }
}

void VoucherForm::raise(const QString& event, QVariantList args) { raiseEvent(events_.data(), event, args); }

void VoucherForm::setStatus(int status, const QString& key)
{
    control_->setStatus(status);
    updateButtons();
    raise(QStringLiteral("ModifyMenu"), {key});
    raise(QStringLiteral("SetVouchItemState"));
}

void VoucherForm::updateButtons()
{
    const bool browsing = control_->status() == q7::voucher::StatusBrowse;
    const bool hasVoucher = owner_ ? true : info_->currentId > 0;
    toolbar_->SetButtonEnabled(QStringLiteral("tlbAdd"), browsing && !owner_);
    toolbar_->SetButtonEnabled(QStringLiteral("tlbEdit"), browsing && hasVoucher);
    toolbar_->SetButtonEnabled(QStringLiteral("tlbDelete"), browsing && hasVoucher && !owner_);
    toolbar_->SetButtonEnabled(QStringLiteral("tlbSave"), !browsing);
    toolbar_->SetButtonEnabled(QStringLiteral("tlbCancel"), !browsing);
    for (const char* key : {"tlbFirst", "tlbPrevious", "tlbNext", "tlbLast", "tlbRefresh"})
        toolbar_->SetButtonEnabled(QString::fromLatin1(key), browsing && !owner_);
}

void VoucherForm::applyColumnAuthority()
{
    // Authority kind 2 hides a body column from a login without the right;
    // kind 1 hides the creating operator of others' vouchers. The demo login
    // "demo" has every right; any login named "restricted…" has none.
    const bool restricted = txt(info_->login->loginObject).startsWith(QStringLiteral("restricted"));
    const QVariantList entries = info_->config(QStringLiteral("ColumnAuthControl")).toMap().value(QStringLiteral("Entries")).toList();
    for (const QVariant& entry : entries) {
        const QString column = entry.toMap().value(QStringLiteral("Column")).toString();
        const int section = entry.toMap().value(QStringLiteral("Kind")).toInt() == 2 ? VoucherControl::Body : VoucherControl::Head;
        control_->itemState(column, section).bVisible = !restricted;
    }
}

// ---- toolbar tasks -----------------------------------------------------------

void VoucherForm::ExecuteMenuTask(const QString& key)
{
    if (!toolbar_->isEnabled(key))
        return;
    const int status = control_->status();
    if (key == QLatin1String("tlbAdd")) {
        addNew();
    } else if (key == QLatin1String("tlbEdit")) {
        setStatus(q7::voucher::StatusEdit, key);
    } else if (key == QLatin1String("tlbSave")) {
        save();
    } else if (key == QLatin1String("tlbCancel")) {
        if (owner_) {
            control_->setVoucherDataXML(info_->headXml(), info_->bodyXml());
            control_->ResetSigh();
        } else if (!loadBom(info_->currentId)) {
            control_->clear();
        }
        setStatus(q7::voucher::StatusBrowse, key);
    } else if (key == QLatin1String("tlbDelete") && status == q7::voucher::StatusBrowse) {
        const int id = info_->currentId;
        if (id > 0 && store_->remove(id)) {
            const int next = store_->previous(id) ? store_->previous(id) : store_->next(id);
            if (!loadBom(next)) {
                control_->clear();
                info_->currentId = 0;
            }
            setStatus(q7::voucher::StatusBrowse, key);
        }
    } else if (key == QLatin1String("tlbRefresh")) {
        loadBom(info_->currentId);
        setStatus(q7::voucher::StatusBrowse, key);
    } else {
        navigate(key);
    }
}

void VoucherForm::navigate(const QString& key)
{
    const int current = info_->currentId;
    int id = 0;
    if (key == QLatin1String("tlbFirst"))
        id = store_->first();
    else if (key == QLatin1String("tlbLast"))
        id = store_->last();
    else if (key == QLatin1String("tlbNext"))
        id = store_->next(current);
    else if (key == QLatin1String("tlbPrevious"))
        id = locateBefore(QString(), current); // the handler states the statement of the voucher before this one
    else
        return;
    if (id > 0 && loadBom(id))
        setStatus(q7::voucher::StatusBrowse, key);
}

int VoucherForm::locateBefore(const QString& invCode, int bomId)
{
    auto filter = makeObject<LocateFilter>();
    if (!invCode.isEmpty())
        filter->add(QStringLiteral("Inventory.cInvCode"), invCode, invCode);
    const int shown = info_->currentId;
    info_->currentId = bomId; // the statement finds the last BOM before the current one
    info_->success = true;
    info_->locate = QVariant();
    QVariant filterValue = fromObject(filter);
    raise(QStringLiteral("Locate"), {filterValue});
    info_->currentId = shown;
    if (!info_->success || !info_->locate.canConvert<q7::voucher::LocateSqlString>())
        return 0;
    return store_->locate(info_->locate.value<q7::voucher::LocateSqlString>().statement());
}

bool VoucherForm::goToItem(const QString& invCode)
{
    const QString code = invCode.trimmed();
    if (code.isEmpty() || control_->status() != q7::voucher::StatusBrowse)
        return false;
    constexpr int Beyond = std::numeric_limits<int>::max();
    const bool ownShown = info_->currentId > 0 && values::textEquals(txt(control_->headerText(QStringLiteral("cInvCode"))), code);
    int id = locateBefore(code, ownShown ? info_->currentId : Beyond);
    if (id <= 0 && ownShown)
        id = locateBefore(code, Beyond); // past the oldest: round to the newest
    if (id <= 0 || !loadBom(id))
        return false;
    setStatus(q7::voucher::StatusBrowse, QStringLiteral("tlbLocate"));
    return true;
}

void VoucherForm::addNew()
{
    control_->clear();
    info_->currentId = 0;
    control_->setHeaderText(QStringLiteral("BomType"), lists::codeToText(3, 1));
    control_->setHeaderText(QStringLiteral("VersionEffDate"), values::dateText(system::today()));
    control_->setHeaderText(QStringLiteral("ParentScrap"), QStringLiteral("0"));
    control_->setHeaderText(QStringLiteral("CreateUser"), txt(info_->login->loginObject));
    setStatus(q7::voucher::StatusAdd, QStringLiteral("tlbAdd"));
}

bool VoucherForm::loadBom(int bomId)
{
    const std::optional<BomDocument> document = bomId > 0 ? store_->load(bomId) : std::nullopt;
    if (!document)
        return false;
    showDocument(*document);
    info_->currentId = bomId;
    loadedChange_ = document->changeCount;
    updateButtons();
    raise(QStringLiteral("SetVouchItemState"));
    return true;
}

void VoucherForm::showDocument(const BomDocument& document)
{
    QVariantMap head = document.head;
    QVariantList users;
    for (const QVariantMap& user : document.users)
        users.append(user);
    head.insert(QStringLiteral("_Users"), users);
    QList<QVariantMap> rows;
    for (const BomLine& line : document.lines) {
        QVariantMap row = line.fields;
        QVariantList subs;
        for (const QVariantMap& s : line.substitutes)
            subs.append(s);
        row.insert(QStringLiteral("_Substitutes"), subs);
        row.insert(QStringLiteral("_Locations"), line.locations);
        rows.append(row);
    }
    control_->load(head, rows);
    currentRow_ = rows.isEmpty() ? 0 : 1;
}

BomDocument VoucherForm::document() const
{
    BomDocument document;
    document.bomId = control_->status() == q7::voucher::StatusAdd ? 0 : info_->currentId;
    document.changeCount = loadedChange_;
    document.head = visibleFields(control_->head());
    for (const QVariant& user : control_->head().value(QStringLiteral("_Users")).toList())
        document.users.append(user.toMap());
    for (int r = 1; r <= control_->rows(); ++r) {
        if (control_->BodyRowIsEmpty(r))
            continue;
        const QVariantMap row = control_->row(r);
        BomLine line;
        line.fields = visibleFields(row);
        for (const QVariant& s : row.value(QStringLiteral("_Substitutes")).toList())
            line.substitutes.append(s.toMap());
        line.locations = row.value(QStringLiteral("_Locations")).toStringList();
        document.lines.append(line);
    }
    return document;
}

// ---- a person's typing -----------------------------------------------------

int VoucherForm::dropDownKind(const QString& key) const
{
    for (const QVariant& entry : info_->config(QStringLiteral("DropDownListColumnField")).toMap().value(QStringLiteral("Entries")).toList())
        if (entry.toMap().value(QStringLiteral("Column")).toString() == key)
            return entry.toMap().value(QStringLiteral("Kind")).toInt();
    return -1;
}

bool VoucherForm::dropDownAccepts(const QString& key, QVariant& value) const
{
    const int kind = dropDownKind(key);
    if (kind < 0 || txt(value).isEmpty())
        return true;
    const QString code = lists::textToCode(kind, txt(value));
    if (!lists::texts(kind).contains(lists::codeToText(kind, code)))
        return false;
    value = lists::codeToText(kind, code); // a typed code shows as its text
    return true;
}

bool VoucherForm::columnVisible(const QString& key) const { return control_->itemState(key, VoucherControl::Body).bVisible; }

bool VoucherForm::typeHead(const QString& key, const QVariant& value, const QStringList& freeValues)
{
    if (control_->status() == q7::voucher::StatusBrowse || !control_->headEnabled(key) ||
        !control_->itemState(key, VoucherControl::Head).bCanModify)
        return false;
    QVariant shown = value;
    if (!dropDownAccepts(key, shown))
        return false;
    const QVariant before = control_->headerText(key);
    control_->setHeaderText(key, shown);
    for (const auto& [field, filled] : inventoryFields(key, txt(shown), freeValues))
        control_->setHeaderText(field, filled);
    if (key == QLatin1String("cInvCode") && !txt(shown).isEmpty() && txt(control_->headerText(QStringLiteral("cInvName"))).isEmpty()) {
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
    if (control_->status() == q7::voucher::StatusBrowse || row < 1 || row > control_->rows())
        return false;
    selectRow(row);
    raise(QStringLiteral("BodyOnEdit"), {key});
    QVariantMap values = control_->row(row);
    const bool taken = typeInto(values, key, value);
    control_->replaceRow(row, std::move(values));
    return taken;
}

bool VoucherForm::typeInto(QVariantMap& row, const QString& key, const QVariant& value) const
{
    if (!control_->itemState(key, VoucherControl::Body).bCanModify || !columnVisible(key))
        return false;
    QVariant shown = value;
    if (!dropDownAccepts(key, shown))
        return false;
    if (key == QLatin1String("DOpSeq") && !txt(shown).isEmpty() &&
        !store_->hasOperation(values::toLong(txt(control_->headerText(QStringLiteral("PRoutingId")))), txt(shown)))
        return false; // not an operation of the routing
    const QVariant before = row.value(key, QString());
    row.insert(key, shown);
    for (const auto& [field, filled] : inventoryFields(key, txt(shown), {}))
        row.insert(field, filled);
    if (key == control_->bodyKeys().value(0) && key == QLatin1String("DInvCode") && !txt(shown).isEmpty() &&
        txt(row.value(QStringLiteral("DInvName"))).isEmpty()) {
        row.insert(key, before);
        return false;
    }
    for (const QString& target : columnTargets(key))
        row.insert(target, computeBody(row, target));
    return true;
}

QList<QStringList> VoucherForm::enterRows(const QList<Cells>& rows)
{
    QList<QStringList> refused;
    if (control_->status() == q7::voucher::StatusBrowse || rows.isEmpty())
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
    for (const Cells& cells : rows) {
        QVariantMap row = newRowValues(sortSeq);
        QStringList notTaken;
        for (const auto& [key, value] : cells)
            if (values::toTextOrEmpty(row.value(key, QString())) != value && !typeInto(row, key, value))
                notTaken.append(key);
        sortSeq = std::max(sortSeq, sortSeqOf(row));
        control_->appendRow(row);
        refused.append(notTaken);
    }
    return refused;
}

// Choosing an inventory fills the fields of the refresh list whose first
// field is the key, from the inventory reference's result columns.
QList<std::pair<QString, QVariant>> VoucherForm::inventoryFields(const QString& key, const QString& code, const QStringList& freeValues) const
{
    QList<std::pair<QString, QVariant>> filled;
    const QList<InventoryEntry>& entries = fromConfig().inventory.value(key);
    if (entries.isEmpty())
        return filled;
    QVariantList inventory = store_->inventoryRow(code);
    if (!inventory.isEmpty() && !freeValues.isEmpty()) {
        QVariantList frees = inventory[19].toList();
        for (int n = 0; n < freeValues.size() && n < frees.size(); ++n)
            frees[n] = freeValues[n];
        inventory[19] = frees;
    }
    for (const auto& [field, column] : entries) {
        const QVariant value = inventory.value(column);
        if (field.endsWith(u'_')) {
            const QVariantList group = value.toList();
            const int size = inventory.isEmpty() ? (field.contains(QLatin1String("Define")) ? 16 : 10) : int(group.size());
            for (int n = 1; n <= size; ++n)
                filled.append({field + QString::number(n), group.value(n - 1, QString())});
        } else {
            filled.append({field, value.isValid() ? value : QVariant(QString())});
        }
    }
    return filled;
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
        for (const QVariant& e : entries)
            list.append({e.toMap().value(QStringLiteral("Field")).toString(), e.toMap().value(QStringLiteral("Column")).toInt()});
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
    rules_ = std::make_unique<ConfigRules>(std::move(rules));
    rulesRead_ = info_->configChanges();
    return *rules_;
}

QStringList VoucherForm::columnTargets(const QString& key) const { return fromConfig().targets.value(key); }

QVariant VoucherForm::computeHead(const QString& key) const
{
    const QVariantMap head = control_->head();
    if (key == QLatin1String("ParentId")) {
        // The part of the item with these free-item values, when the account has it.
        const int part = store_->existingPartId(head, QString());
        return part ? QVariant(QString::number(part)) : QVariant(QString());
    }
    if (key == QLatin1String("Version")) {
        if (control_->status() != q7::voucher::StatusAdd || lists::textToCode(3, txt(head.value(QStringLiteral("BomType")))) != QLatin1String("1"))
            return head.value(key, QString());
        // A new main BOM takes the part's next version.
        const int part = store_->existingPartId(head, QString());
        return QString::number((part ? store_->highestVersion(part) : 0) + 1);
    }
    if (key == QLatin1String("VersionEffDate")) {
        const QString date = txt(head.value(key));
        return date.isEmpty() ? values::dateText(system::today()) : date;
    }
    if (key == QLatin1String("PRoutingId")) {
        // The parent part's routing valid on the version date (a substitute BOM: today).
        const int part = store_->existingPartId(head, QString());
        QString date = txt(head.value(QStringLiteral("VersionEffDate")));
        if (date.isEmpty())
            date = values::dateText(system::today());
        const int routing = part ? store_->routingOf(part, date) : 0;
        return routing ? QString::number(routing) : QString();
    }
    return head.value(key, QString());
}

QVariant VoucherForm::computeBody(int row, const QString& key) const { return computeBody(control_->row(row), key); }

QVariant VoucherForm::computeBody(const QVariantMap& r, const QString& key) const
{
    const auto num = [&](const char* k, double fallback) {
        const QString t = txt(r.value(QString::fromLatin1(k)));
        return t.isEmpty() ? fallback : values::toDouble(t);
    };
    if (key == QLatin1String("DQty")) {
        const QString parentScrap = txt(control_->headerText(QStringLiteral("ParentScrap")));
        const bool variable = lists::textToCode(2, txt(r.value(QStringLiteral("DFVFlag")))) != QLatin1String("0");
        return number(componentQuantity(num("DBaseQtyN", 1), num("DBaseQtyD", 1), num("DCompScrap", 0), variable,
                                        parentScrap.isEmpty() ? 0.0 : values::toDouble(parentScrap)));
    }
    if (key == QLatin1String("DWhName"))
        return store_->wareHouseName(txt(r.value(QStringLiteral("DWhCode"))));
    if (key == QLatin1String("DDeptName"))
        return store_->departmentName(txt(r.value(QStringLiteral("DDeptCode"))));
    if (key == QLatin1String("DOpSeq")) {
        // An operation the head's routing does not have is dropped.
        const QString routing = txt(control_->headerText(QStringLiteral("PRoutingId")));
        const QString opSeq = txt(r.value(key));
        const bool kept = !routing.isEmpty() && store_->hasOperation(values::toLong(routing), opSeq);
        return kept ? opSeq : QString();
    }
    return r.value(key, QString());
}

int VoucherForm::highestSortSeq() const
{
    int sortSeq = 0;
    for (int r = 1; r <= control_->rows(); ++r)
        sortSeq = std::max(sortSeq, sortSeqOf(control_->row(r)));
    return sortSeq;
}

int VoucherForm::sortSeqOf(const QVariantMap& row)
{
    const QVariant sortSeq = row.value(QStringLiteral("DSortSeq"), QString());
    return values::toLong(txt(sortSeq).isEmpty() ? QVariant(0) : sortSeq);
}

QVariantMap VoucherForm::newRowValues(int sortSeq) const
{
    const QString today = values::dateText(system::today());
    const QVariantMap defaults{
        {QStringLiteral("DSortSeq"), QString::number(sortSeq + 10)}, {QStringLiteral("DOpSeq"), QString()},
        {QStringLiteral("DBaseQtyN"), QStringLiteral("1")},           {QStringLiteral("DBaseQtyD"), QStringLiteral("1")},
        {QStringLiteral("DCompScrap"), QStringLiteral("0")},          {QStringLiteral("DFVFlag"), lists::codeToText(2, 1)},
        {QStringLiteral("DWIPType"), lists::codeToText(1, 3)},        {QStringLiteral("DQty"), QString()},
        {QStringLiteral("DEffBegDate"), today},                       {QStringLiteral("DEffEndDate"), QString::fromLatin1(account::OpenEnd)},
        {QStringLiteral("DOffset"), QStringLiteral("0")},             {QStringLiteral("DPlanRate"), QStringLiteral("100")},
        {QStringLiteral("DByproductFlag"), lists::codeToText(0, 0)},  {QStringLiteral("DAccuCostFlag"), lists::codeToText(0, 1)},
        {QStringLiteral("DOptionalFlag"), lists::codeToText(0, 0)},   {QStringLiteral("DMutexRule"), QString()},
        {QStringLiteral("DSequence"), QStringLiteral("1")},           {QStringLiteral("DFactor"), QStringLiteral("1")},
        {QStringLiteral("DReplaceFlag"), lists::codeToText(0, 0)},
    };
    QVariantMap values;
    for (const QVariant& key : info_->config(QStringLiteral("RefreshDefaultField")).toList())
        values.insert(key.toString(), defaults.value(key.toString(), QString()));
    if (values.contains(QStringLiteral("DQty")))
        values.insert(QStringLiteral("DQty"), computeBody(values, QStringLiteral("DQty")));
    return values;
}

int VoucherForm::addRow()
{
    if (control_->status() == q7::voucher::StatusBrowse)
        return 0;
    const int row = control_->appendRow(newRowValues(highestSortSeq()));
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
    const ui::ReferList list = ui::referList(*connection_, ReferInventory, {txt(current)});
    const int row = ui::pickRow(list);
    return row < 0 ? QVariant() : list.rows.rows[row].value(0);
}

bool VoucherForm::browseHead(const QString& key)
{
    if (control_->status() == q7::voucher::StatusBrowse)
        return false;
    if (isItemField(key)) {
        const QVariant picked = pickItem(control_->headerText(key));
        return picked.isValid() && typeHead(key, picked);
    }
    const QVariant before = control_->headerText(key);
    QVariantList args{key, before};
    raiseEvent(events_.data(), QStringLiteral("HeadBrowUser"), args);
    // a pick comes back in the value; it is then entered as if typed (and checked as typed)
    if (txt(args[1]) == txt(before))
        return false;
    return typeHead(key, args[1]);
}

bool VoucherForm::browseBody(int row, const QString& key)
{
    if (control_->status() == q7::voucher::StatusBrowse || row < 1 || row > control_->rows())
        return false;
    if (isItemField(key)) {
        const QVariant picked = pickItem(control_->bodyText(row, key));
        return picked.isValid() && typeBody(row, key, picked);
    }
    QVariantList args{key, row - 1, control_->bodyText(row, key)};
    raiseEvent(events_.data(), QStringLiteral("BodyBrowUser"), args);
    if (txt(args[2]) == txt(control_->bodyText(row, key)))
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

// ---- checks and saving -----------------------------------------------------

bool VoucherForm::checkRequired()
{
    for (const QString& key : control_->headKeys()) {
        const ItemState& state = control_->itemState(key, VoucherControl::Head);
        if (state.bIsNull && txt(control_->headerText(key)).isEmpty()) {
            const QString name = state.sFieldName.isEmpty() ? key : state.sFieldName;
            lastRefusal_ = Refusal{MsgMustEnter, {name}, QStringLiteral("[ %1 ] 必须输入！").arg(name), 0, key};
            showMessage(MsgMustEnter, {name});
            return false;
        }
    }
    return true;
}

// A body check's message "第 %s 行 [ %s ] 必须输入！" names the row and the column's title.
Refusal VoucherForm::bodyRefusal(const QList<PresentedMessage>& said) const
{
    Refusal refusal;
    refusal.text = QStringLiteral("表体检查未通过");
    if (said.isEmpty())
        return refusal;
    const PresentedMessage& first = said.first();
    refusal.message = values::isNumeric(first.message) ? values::toLong(first.message) : 0;
    refusal.arguments = first.arguments;
    refusal.text = first.text;
    if (refusal.message != MsgRowMustEnter || first.arguments.size() < 2)
        return refusal;
    refusal.line = values::toLong(first.arguments[0]);
    const QString title = values::toTextOrEmpty(first.arguments[1]);
    for (const QString& key : control_->bodyKeys()) {
        const ItemState& state = control_->itemState(key, VoucherControl::Body);
        if (state.sFieldName == title || key == title) {
            refusal.field = key;
            break;
        }
    }
    return refusal;
}

bool VoucherForm::save()
{
    lastRefusal_ = Refusal{};
    if (control_->status() == q7::voucher::StatusBrowse)
        return false;
    if (!checkRequired())
        return false;
    // the handler's message reaches the user; kept here too, it tells the row and the column at fault
    QVariantList args{true};
    const QList<PresentedMessage> heard = heardWhile([&] { raiseEvent(events_.data(), QStringLiteral("CheckValidate"), args); });
    if (!values::toBoolean(args[0])) {
        lastRefusal_ = bodyRefusal(heard);
        return false;
    }
    if (owner_)
        return saveEntry();
    const SaveResult result = store_->save(document());
    if (!result.saved) {
        lastRefusal_ = result.refusal;
        showMessage(result.refusal.message ? QVariant(result.refusal.message) : QVariant(result.refusal.text), result.refusal.arguments);
        return false;
    }
    if (showSaved_)
        loadBom(result.bomId);
    else
        info_->currentId = result.bomId;
    control_->ResetSigh();
    setStatus(q7::voucher::StatusBrowse, QStringLiteral("tlbSave"));
    return true;
}

} // namespace q7::host::voucher
