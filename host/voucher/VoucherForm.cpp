#include "host/voucher/VoucherForm.h"

#include "host/voucher/CellText.h"

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

// The voucher form: set-up, the toolbar's tasks and going from BOM to BOM.
namespace q7::host::voucher {

namespace {

bool isHidden(const QString& key) { return key.startsWith(u'_'); }

QVariantMap visibleFields(const QVariantMap& fields)
{
    // hidden keys sort together ("_" follows the capitals): fields without any are shared, not copied
    const auto hidden = fields.lowerBound(QStringLiteral("_"));
    if (hidden == fields.end() || !isHidden(hidden.key()))
        return fields;
    QVariantMap result;
    for (auto it = fields.begin(); it != fields.end(); ++it)
        if (!isHidden(it.key()))
            result.insert(result.cend(), it.key(), it.value()); // in key order: each goes last
    return result;
}

Fields visibleFields(const Fields& fields)
{
    Fields result = fields; // shared, not copied, while nothing is hidden
    for (const Fields::Entry& entry : fields.entries())
        if (isHidden(entry.key.name()))
            result.remove(entry.key);
    return result;
}

const FieldKey& substitutesKey()
{
    static const FieldKey key(QStringLiteral("_Substitutes"));
    return key;
}
const FieldKey& locationsKey()
{
    static const FieldKey key(QStringLiteral("_Locations"));
    return key;
}

} // namespace

// ---- set-up ------------------------------------------------------------------

VoucherForm::VoucherForm(const QString& vouType, std::shared_ptr<data::Connection> connection)
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
    auto connection = std::make_shared<data::Connection>();
    connection->Open(account.contains(u'=') ? account : db::connectionStringFor(account));
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
        setStatus(q7::StatusBrowse, QString());
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
    const bool browsing = control_->status() == q7::StatusBrowse;
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
    const bool restricted = cellText(info_->login->loginObject).startsWith(QStringLiteral("restricted"));
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
        setStatus(q7::StatusEdit, key);
    } else if (key == QLatin1String("tlbSave")) {
        save();
    } else if (key == QLatin1String("tlbCancel")) {
        if (owner_) {
            control_->setVoucherDataXML(info_->headXml(), info_->bodyXml());
            control_->ResetSigh();
        } else if (!loadBom(info_->currentId)) {
            control_->clear();
        }
        setStatus(q7::StatusBrowse, key);
    } else if (key == QLatin1String("tlbDelete") && status == q7::StatusBrowse) {
        const int id = info_->currentId;
        if (id > 0 && store_->remove(id)) {
            const int next = store_->previous(id) ? store_->previous(id) : store_->next(id);
            if (!loadBom(next)) {
                control_->clear();
                info_->currentId = 0;
            }
            setStatus(q7::StatusBrowse, key);
        }
    } else if (key == QLatin1String("tlbRefresh")) {
        loadBom(info_->currentId);
        setStatus(q7::StatusBrowse, key);
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
        setStatus(q7::StatusBrowse, key);
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
    if (!info_->success || !info_->locate.canConvert<q7::LocateSqlString>())
        return 0;
    return store_->locate(info_->locate.value<q7::LocateSqlString>().statement());
}

bool VoucherForm::goToItem(const QString& invCode)
{
    const QString code = invCode.trimmed();
    if (code.isEmpty() || control_->status() != q7::StatusBrowse)
        return false;
    constexpr int Beyond = std::numeric_limits<int>::max();
    const bool ownShown = info_->currentId > 0 && values::textEquals(cellText(control_->headerText(QStringLiteral("cInvCode"))), code);
    int id = locateBefore(code, ownShown ? info_->currentId : Beyond);
    if (id <= 0 && ownShown)
        id = locateBefore(code, Beyond); // past the oldest: round to the newest
    if (id <= 0 || !loadBom(id))
        return false;
    setStatus(q7::StatusBrowse, QStringLiteral("tlbLocate"));
    return true;
}

void VoucherForm::addNew()
{
    control_->clear();
    info_->currentId = 0;
    control_->setHeaderText(QStringLiteral("BomType"), lists::codeToText(3, 1));
    control_->setHeaderText(QStringLiteral("VersionEffDate"), values::dateText(system::today()));
    control_->setHeaderText(QStringLiteral("ParentScrap"), QStringLiteral("0"));
    control_->setHeaderText(QStringLiteral("CreateUser"), cellText(info_->login->loginObject));
    setStatus(q7::StatusAdd, QStringLiteral("tlbAdd"));
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
    QList<Fields> rows;
    for (const BomLine& line : document.lines) {
        Fields row = line.fields;
        QVariantList subs;
        for (const QVariantMap& s : line.substitutes)
            subs.append(s);
        row.insert(substitutesKey(), subs);
        row.insert(locationsKey(), line.locations);
        rows.append(row);
    }
    control_->load(head, rows);
    currentRow_ = rows.isEmpty() ? 0 : 1;
}

BomDocument VoucherForm::document() const
{
    BomDocument document;
    document.bomId = control_->status() == q7::StatusAdd ? 0 : info_->currentId;
    document.changeCount = loadedChange_;
    document.head = visibleFields(control_->head());
    for (const QVariant& user : control_->head().value(QStringLiteral("_Users")).toList())
        document.users.append(user.toMap());
    for (int r = 1; r <= control_->rows(); ++r) {
        if (control_->BodyRowIsEmpty(r))
            continue;
        const Fields& row = control_->rowFields(r);
        BomLine line;
        line.fields = visibleFields(row);
        if (const QVariant* subs = row.find(substitutesKey()))
            for (const QVariant& s : subs->toList())
                line.substitutes.append(s.toMap());
        line.locations = row.value(locationsKey()).toStringList();
        document.lines.append(line);
    }
    return document;
}

} // namespace q7::host::voucher
