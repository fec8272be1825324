#include "handlers/clsBO01001.h"

#include "frame/FormBinding.h"
#include "frame/ModBOM.h"
#include "handlers/VoucherConfiguration.h"
#include "handlers/VoucherFormAccess.h"
#include "handlers/VoucherLocate.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

namespace q7::component {

using values::textEquals;

namespace {

constexpr int HelpTopic = 91101001;
constexpr int16_t MsgMustEnter = 2510;
constexpr int16_t MsgTooManyRows = 3022;
constexpr int ResSubstituteBom = 40086;
constexpr int ResSharing = 40092;
constexpr int ResCopy = 40093;
constexpr int LocationRowLimit = 10;
constexpr int TaskSharing = 5;
constexpr int TaskCopy = 4;
constexpr int ButtonStyleDropDown = 5;
constexpr int ButtonStyleDefault = 0;

const QString BomVoucher = QStringLiteral("BO11");
const QString Substitutes = QStringLiteral("BO51");
const QString Locations = QStringLiteral("BO52");
const QString CommonBomUsers = QStringLiteral("BO53");

QString text(const QVariant& v) { return values::toTextOrEmpty(v); }

bool isEntryType(const QString& type)
{
    return textEquals(type, Substitutes) || textEquals(type, Locations) || textEquals(type, CommonBomUsers);
}

bool hasRowRules(const QString& type) { return textEquals(type, Substitutes) || textEquals(type, CommonBomUsers); }

// Routing = 0 when the head's routing is blank, else its value; the operation
// sequence may be edited exactly when routing >= 1.
bool routingAllowsOpSeq(const VoucherFormAccess& form)
{
    const QVariant routing = form.head(QStringLiteral("PRoutingId"));
    const int32_t value = ModBOM::objCommon().IsBlank(routing) ? 0 : values::toLong(routing);
    return value >= 1;
}

void showRowMessage(int row, const QString& title)
{
    ModBOM::objMessage().ShowMessage(QVariant::fromValue(MsgMustEnter), missingValue(), QVariantList{row, title});
}

// First row (from 1) whose component is missing, or whose used free item is
// blank; reports it with message 2510 and answers false.
// The columns the row check reads, all rows at once: the component, its ten free-item flags, its ten free items.
const QStringList& rowCheckColumns()
{
    static const QStringList keys = [] {
        QStringList list{QStringLiteral("DInvCode")};
        for (int n = 1; n <= 10; ++n)
            list.append(QStringLiteral("DBStrFree_") + QString::number(n));
        for (int n = 1; n <= 10; ++n)
            list.append(QStringLiteral("DInvFree_") + QString::number(n));
        return list;
    }();
    return keys;
}

template <typename FlagIsSet>
bool bodyRowsValid(const VoucherFormAccess& form, FlagIsSet flagIsSet)
{
    auto& common = ModBOM::objCommon();
    const QStringList& keys = rowCheckColumns();
    const QList<QVariantList> rows = form.bodyColumns(keys);
    for (int r = 1; r <= rows.size(); ++r) {
        const QVariantList& row = rows[r - 1];
        if (row.isEmpty()) // an empty row
            continue;
        if (common.IsBlank(row.value(0))) {
            showRowMessage(r, form.bodyColumnTitle(keys[0]));
            return false;
        }
        for (int n = 1; n <= 10; ++n) {
            // a free item the part uses (its flag) must be filled
            if (!flagIsSet(row.value(n)) || !common.IsBlank(row.value(10 + n)))
                continue;
            showRowMessage(r, form.bodyColumnTitle(keys[10 + n]));
            return false;
        }
    }
    return true;
}

// The entry forms' flag test: "true" in any letter case, or the value True.
bool entryFlagIsSet(const QVariant& flag)
{
    if (flag.metaType().id() == QMetaType::Bool)
        return flag.toBool();
    return text(flag).toLower() == QLatin1String("true");
}

void loadVoucherXml(const VoucherFormAccess& form, const QVariant& result)
{
    const QVariantMap parts = result.toMap();
    const Object info = form.billInfo();
    call(toObject(getProperty(info, QStringLiteral("Headxml"))), QStringLiteral("loadXML"), {parts.value(QStringLiteral("HeadXml"))});
    call(toObject(getProperty(info, QStringLiteral("Bodyxml"))), QStringLiteral("loadXML"), {parts.value(QStringLiteral("DetailXml"))});
}

} // namespace

void clsBO01001::FormVoucher(const QVariant& frm) { bindFormEventHandler(frm, frmVoucher_, objEvent); }
void clsBO01001::FormVoucherEntry(const QVariant& frm) { bindFormEventHandler(frm, frmEntry_, objEntryEvent); }

// ---- list form ------------------------------------------------------------

void clsBO01001::objEvent_InitForm() { VoucherConfiguration::storeListForm(VoucherFormAccess(frmVoucher_)); }

void clsBO01001::objEvent_InitMenu()
{
    const VoucherFormAccess form(frmVoucher_);
    auto& toolbar = ModBOM::objToolbar();
    QVariant toolbarObject = fromObject(form.toolbar());
    if (textEquals(form.vouType(), BomVoucher)) {
        const QVariant add = form.button(toolbar.AddKey());
        letProperty(toObject(add), QStringLiteral("Style"), ButtonStyleDropDown);
        toolbar.AddButtonMenu(add, QStringLiteral("tlbAddSub"), ModBOM::resText(ResSubstituteBom, TextButton));
        const QString sharing = ModBOM::resText(ResSharing, TextButton);
        toolbar.AddButton(toolbarObject, QStringLiteral("tlbSharing"), sharing, ButtonStyleDefault, 901, -1, -1, sharing);
    }
    const QString copy = ModBOM::resText(ResCopy, TextButton);
    toolbar.AddButton(toolbarObject, QStringLiteral("tlbCopy"), copy, ButtonStyleDefault, 507, -1, -1, copy);
}

void clsBO01001::objEvent_ModifyMenu(const QVariant&)
{
    const VoucherFormAccess form(frmVoucher_);
    const int status = form.status();
    letProperty(toObject(form.button(QStringLiteral("tlbCopy"))), QStringLiteral("Enabled"), status == StatusAdd);
    if (textEquals(form.vouType(), BomVoucher))
        letProperty(toObject(form.button(QStringLiteral("tlbSharing"))), QStringLiteral("Enabled"), status == StatusBrowse);
}

void clsBO01001::objEvent_SetVouchItemState()
{
    const VoucherFormAccess form(frmVoucher_);
    auto& common = ModBOM::objCommon();
    const bool adding = form.status() == StatusAdd;
    const bool mainBom = ModBOM::objDropDownList().TextToCode(text(form.head(QStringLiteral("BomType"))), 3) == QLatin1String("1");

    for (const char* key : {"Version", "VersionDesc", "VersionEffDate"})
        form.setRequired(QString::fromLatin1(key), mainBom);
    for (const char* key : {"IdentCode", "IdentDesc"})
        form.setRequired(QString::fromLatin1(key), !mainBom);

    for (const char* key : {"Version", "VersionDesc", "VersionEffDate"})
        form.enableHead(QString::fromLatin1(key), mainBom && adding);
    form.enableHead(QStringLiteral("IdentCode"), !mainBom && adding);
    form.enableHead(QStringLiteral("IdentDesc"), !mainBom);
    for (const char* key : {"cInvCode", "cInvAddCode", "cInvName"})
        form.enableHead(QString::fromLatin1(key), adding);
    for (int n = 1; n <= 10; ++n) {
        const QString key = QStringLiteral("InvFree_") + QString::number(n);
        form.enableHead(key, adding && common.IsTrue(form.head(key)));
    }
    applyRoutingRule(form);
}

void clsBO01001::applyRoutingRule(const VoucherFormAccess& form) const
{
    form.setCanModify(QStringLiteral("DOpSeq"), routingAllowsOpSeq(form));
}

void clsBO01001::objEvent_InitHelp(QVariant& helpId) { helpId = HelpTopic; }

void clsBO01001::objEvent_HeadBrowUser(const QVariant& key, QVariant& value)
{
    const VoucherFormAccess form(frmVoucher_);
    const QVariant parent = form.head(QStringLiteral("ParentId"));
    QString kind;
    if (text(key) == QLatin1String("Version"))
        kind = QStringLiteral("BomVersion");
    else if (text(key) == QLatin1String("IdentCode"))
        kind = QStringLiteral("BomIdentCode");
    else
        return;
    QVariant recordset;
    QVariant picked;
    if (ModBOM::objRefer().ShowRefer(form.login(), kind, QVariantList{value, parent}, recordset, picked, 0, 0))
        value = picked;
}

void clsBO01001::objEvent_BodyBrowUser(const QVariant& key, const QVariant&, QVariant& value)
{
    if (text(key) != QLatin1String("DOpSeq"))
        return;
    const VoucherFormAccess form(frmVoucher_);
    const QString routing = text(form.head(QStringLiteral("PRoutingId")));
    QVariant recordset;
    QVariant picked;
    if (ModBOM::objRefer().ShowRefer(form.login(), QStringLiteral("ProutingOperation"), QVariantList{value, routing}, recordset,
                                     picked, 0, 0))
        value = picked;
}

void clsBO01001::objEvent_HeadColChanged(const QVariant& key)
{
    const QString name = text(key);
    const bool recomputeQuantity = name == QLatin1String("ParentScrap");
    const bool recomputeOpSeq = name == QLatin1String("VersionEffDate") || name == QLatin1String("IdentCode");
    if (!recomputeQuantity && !recomputeOpSeq)
        return; // the item and its free items refresh through the voucher's own rules
    const VoucherFormAccess form(frmVoucher_);
    const QString column = recomputeQuantity ? QStringLiteral("DQty") : QStringLiteral("DOpSeq");
    const bool routing = recomputeOpSeq && routingAllowsOpSeq(form);
    const Object manager = form.billManager();
    const int rows = form.rows();
    for (int r = 1; r <= rows; ++r) {
        if (form.rowIsEmpty(r))
            continue;
        QVariantList args{fromObject(form.billInfo()), r - 1, QVariantList{column}, QVariantList{}};
        if (values::toBoolean(callByName(manager, QStringLiteral("GetBodyColumnData"), args)))
            form.setBody(r, column, args[3].toList().value(0));
    }
    if (recomputeOpSeq)
        form.setCanModify(QStringLiteral("DOpSeq"), routing);
}

void clsBO01001::objEvent_BodyOnEdit(const QVariant& key)
{
    if (text(key) == QLatin1String("DOpSeq"))
        applyRoutingRule(VoucherFormAccess(frmVoucher_));
}

void clsBO01001::objEvent_BodyRowChanged(const QVariant&, const QVariant& currentRow)
{
    if (values::toLong(currentRow) >= 0)
        applyRoutingRule(VoucherFormAccess(frmVoucher_));
}

void clsBO01001::objEvent_CheckValidate(QVariant& valid)
{
    auto& common = ModBOM::objCommon();
    if (!bodyRowsValid(VoucherFormAccess(frmVoucher_), [&](const QVariant& flag) { return common.IsTrue(flag); }))
        valid = false;
}

void clsBO01001::objEvent_ExecutePopMenu(const QVariant& index, QVariant& id)
{
    const VoucherFormAccess form(frmVoucher_);
    const Object manager = form.billManager();
    const QVariant info = fromObject(form.billInfo());
    if (!values::toBoolean(call(manager, QStringLiteral("BillCheckValidate"), {fromObject(form.control()), info})))
        return;
    const int32_t item = values::toLong(index);
    const QVariant self = fromObject(sharedFromThis());
    QVariantList args;
    if (item == 1)
        args = {info, QStringLiteral("ComponentSubstitute"), Substitutes, self, id};
    else if (item == 2)
        args = {info, QStringLiteral("ComponentLoc"), Locations, self, id};
    else
        return;
    callByName(manager, QStringLiteral("OpenVoucherEntryForm"), args);
    id = args[4];
}

void clsBO01001::objEvent_ExecuteTask(const QVariant& key)
{
    const QString task = text(key);
    const VoucherFormAccess form(frmVoucher_);
    if (task == QLatin1String("tlbAddSub"))
        addSubstituteBom(form);
    else if (task == QLatin1String("tlbSharing"))
        shareBom(form);
    else if (task == QLatin1String("tlbCopy"))
        copyBom(form);
}

void clsBO01001::addSubstituteBom(const VoucherFormAccess& form)
{
    const QString addKey = ModBOM::objToolbar().AddKey();
    call(form.form(), QStringLiteral("ExecuteMenuTask"), {addKey});
    if (values::toBoolean(getProperty(toObject(form.button(addKey)), QStringLiteral("Enabled"))))
        return;
    const QString bomType = ModBOM::resText(ResSubstituteBom);
    const QVariant info = fromObject(form.billInfo());
    form.setHead(QStringLiteral("BomType"), bomType);
    call(form.billManager(), QStringLiteral("SetHeadColumnData"), {info, QStringLiteral("BomType"), bomType});
    QVariantList args{info, QVariantList{QStringLiteral("VersionEffDate")}, QVariantList{}};
    callByName(form.billManager(), QStringLiteral("GetHeadColumnData"), args);
    form.setHead(QStringLiteral("VersionEffDate"), args[2].toList().value(0));
    objEvent_SetVouchItemState();
}

void clsBO01001::shareBom(const VoucherFormAccess& form)
{
    auto& common = ModBOM::objCommon();
    const QVariant login = form.login();
    const QString authId = form.authId();
    const bool granted = common.BeginTask(login, authId, TaskSharing);
    if (granted && !common.IsBlank(form.head(QStringLiteral("cInvCode")))) {
        call(form.billManager(), QStringLiteral("OpenVoucherEntryForm"),
             {fromObject(form.billInfo()), QStringLiteral("CommonBom"), CommonBomUsers, fromObject(sharedFromThis()), 0});
        common.EndTask(login, authId, TaskSharing);
        return;
    }
    common.EndTask(login, authId, TaskSharing);
    form.setSuccess(false);
}

void clsBO01001::copyBom(const VoucherFormAccess& form)
{
    auto& common = ModBOM::objCommon();
    if (common.IsBlank(form.head(QStringLiteral("ParentId"))))
        return;
    const QVariant login = form.login();
    const QString authId = form.authId();
    if (!common.BeginTask(login, authId, TaskCopy)) {
        common.EndTask(login, authId, TaskCopy);
        form.setSuccess(false);
        return;
    }
    if (copyFromServer(form)) {
        common.EndTask(login, authId, TaskCopy);
        return;
    }
    common.EndTask(login, authId, TaskCopy);
    form.setSuccess(false);
}

bool clsBO01001::copyFromServer(const VoucherFormAccess& form)
{
    auto& common = ModBOM::objCommon();
    const Object server = createObject(QStringLiteral("MvQ7MBOMISrv.clsBom"));
    const Object connection = createObject(QStringLiteral("ADODB.Connection"));
    const Object information = toObject(getProperty(form.billInfo(), QStringLiteral("LoginInformation")));
    call(connection, QStringLiteral("Open"),
         {getProperty(information, QStringLiteral("AccountConnection")), QString(""), QString(""), -1});

    const int16_t kind = textEquals(form.vouType(), BomVoucher) ? 1 : 2;
    QVariantList args{form.login(), int32_t(0), QVariant::fromValue(kind), fromObject(connection), QString(""), emptyValue()};
    callByName(server, QStringLiteral("BomCopyRef"), args);
    const int32_t bomId = values::toLong(args[1]);
    if (bomId < 1)
        return false;

    const QVariant info = fromObject(form.billInfo());
    QVariant result;
    if (!common.CallServerWithParams(info, QStringLiteral("BomCopy"), {QStringLiteral("bomId")}, {bomId}, result))
        return false;
    if (!common.CallServer(info, QStringLiteral("LoadCopyData"), result))
        return false;
    loadVoucherXml(form, result);
    const Object billInfo = form.billInfo();
    call(form.control(), QStringLiteral("setVoucherDataXML"),
         {getProperty(billInfo, QStringLiteral("Headxml")), getProperty(billInfo, QStringLiteral("Bodyxml"))});
    form.setStatus(StatusAdd);
    call(form.control(), QStringLiteral("ResetSigh"));
    return true;
}

void clsBO01001::objEvent_Locate(QVariant& filter)
{
    const VoucherFormAccess form(frmVoucher_);
    const std::optional<LocateSqlString> locate = VoucherLocate::build(toObject(filter), form);
    if (!locate) {
        form.setSuccess(false);
        return;
    }
    form.setBillInfo(QStringLiteral("LocateSQLString"), QVariant::fromValue(*locate));
}

// ---- entry forms ----------------------------------------------------------

void clsBO01001::objEntryEvent_InitForm() { VoucherConfiguration::storeEntryForm(VoucherFormAccess(frmEntry_)); }

void clsBO01001::objEntryEvent_OpenEntryForm()
{
    const VoucherFormAccess form(frmEntry_);
    const QString type = form.vouType();
    if (!isEntryType(type))
        return;
    QVariant result;
    if (!ModBOM::objCommon().CallServer(fromObject(form.billInfo()), QStringLiteral("LoadVoucherEntryData"), result))
        return;
    form.setBillInfo(QStringLiteral("lCurVouchId"), result.toMap().value(QStringLiteral("CurrentId")));
    loadVoucherXml(form, result);
    if (textEquals(type, CommonBomUsers))
        return;
    auto& toolbar = ModBOM::objToolbar();
    const Object buttons = form.toolbar();
    for (const QString& key : {toolbar.AddKey(), toolbar.StandardKey(QStringLiteral("Delete")), toolbar.StandardKey(QStringLiteral("Refresh"))})
        toolbar.SetButtonEnabled(buttons, key, false);
}

void clsBO01001::objEntryEvent_ModifyMenu(const QVariant& key)
{
    const VoucherFormAccess form(frmEntry_);
    if (!isEntryType(form.vouType()))
        return;
    auto& toolbar = ModBOM::objToolbar();
    const Object buttons = form.toolbar();
    if (ModBOM::objCommon().IsBlank(key)) {
        QStringList keys{toolbar.AddKey()};
        for (const char* button : {"Delete", "Save", "Cancel", "First", "Previous", "Next", "Last"})
            keys.append(toolbar.StandardKey(QString::fromLatin1(button)));
        for (const QString& k : keys)
            toolbar.SetButtonEnabled(buttons, k, false);
    } else if (textEquals(text(key), toolbar.StandardKey(QStringLiteral("Save")))) {
        letProperty(toObject(form.button(toolbar.StandardKey(QStringLiteral("Edit")))), QStringLiteral("Enabled"), true);
    }
}

void clsBO01001::objEntryEvent_AddBody(const QVariant& row)
{
    const VoucherFormAccess form(frmEntry_);
    if (!hasRowRules(form.vouType()))
        return;
    const QString status = form.lineStatus(values::toLong(row) + 1);
    const bool editable = status == QLatin1String("A") || form.status() == StatusAdd;
    form.setCanModify(QStringLiteral("DInvCode"), editable);
    form.setCanModify(QStringLiteral("DInvAddCode"), editable);
}

void clsBO01001::objEntryEvent_BodyRowChanged(const QVariant&, const QVariant& currentRow)
{
    const VoucherFormAccess form(frmEntry_);
    if (!hasRowRules(form.vouType()))
        return;
    const int32_t row = values::toLong(currentRow);
    for (const char* key : {"DInvCode", "DInvAddCode"})
        form.setCanModify(QString::fromLatin1(key), form.lineStatus(row + 1) == QLatin1String("A") || form.status() == StatusAdd);
    if (form.status() != StatusEdit)
        return;
    for (int n = 1; n <= 10; ++n) {
        const QString key = QStringLiteral("DInvFree_") + QString::number(n);
        form.setCanModify(key, form.canModify(key) && form.lineStatus(row + 1) == QLatin1String("A"));
    }
}

void clsBO01001::objEntryEvent_CheckValidate(QVariant& valid)
{
    const VoucherFormAccess form(frmEntry_);
    const QString type = form.vouType();
    if (textEquals(type, Locations)) {
        if (form.bodyRows() > LocationRowLimit) {
            ModBOM::objMessage().ShowMessage(QVariant::fromValue(MsgTooManyRows), missingValue(), QVariantList{LocationRowLimit});
            valid = false;
        }
        return;
    }
    if (hasRowRules(type) && !bodyRowsValid(form, entryFlagIsSet))
        valid = false;
}

void clsBO01001::objEntryEvent_InitHelp(QVariant& helpId) { helpId = HelpTopic; }

void clsBO01001::objEntryEvent_BodyOnEdit(const QVariant&) { VoucherFormAccess(frmEntry_).vouType(); }

void clsBO01001::objEntryEvent_Save() { VoucherFormAccess(frmEntry_).vouType(); }

} // namespace q7::component
