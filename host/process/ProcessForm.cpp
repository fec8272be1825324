#include "host/process/ProcessForm.h"

#include "host/db/AccountDatabase.h"
#include "host/db/FreeItemTitles.h"
#include "host/process/ProcessHead.h"
#include "host/process/ProcessInfo.h"
#include "host/process/ProcessLists.h"
#include "host/process/ProcessManager.h"
#include "host/process/ops/ComponentRemove.h"
#include "host/process/ops/ComponentReplace.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/LowLevelCode.h"
#include "host/process/ops/StructureCheck.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/Events.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

#include <QSqlQuery>

namespace q7::host::process {

namespace {

const FormDefinition& requireDefinition(const QString& menuKey)
{
    const FormDefinition* definition = formDefinition(menuKey);
    if (!definition)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("No maintenance form for menu %1").arg(menuKey));
    return *definition;
}

// The list kind of a field, from the drop-down record the handler stored.
int listKindOf(const QVariant& record, const QString& key)
{
    for (const QVariant& entry : record.toMap().value(QStringLiteral("Entries")).toList()) {
        const QVariantMap map = entry.toMap();
        if (values::textEquals(map.value(QStringLiteral("Column")).toString(), key))
            return map.value(QStringLiteral("Kind")).toInt();
    }
    return -1;
}

} // namespace

ProcessForm::ProcessForm(const QString& menuKey, const QString& accountPath, const QString& user)
    : definition_(requireDefinition(menuKey)), user_(user), events_(makeObject<QObject>()),
      head_(makeObject<ProcessHead>(definition_)), manager_(makeObject<ProcessManager>(connection_)),
      label_(makeObject<ProcessLabel>())
{
    connection_.Open(db::connectionStringFor(accountPath));
    ops::ensureMaintenanceTables(connection_);
    auto login = makeObject<ProcessLogin>();
    login->userId = user;
    login->accountPath = accountPath;
    info_ = makeObject<ProcessInfo>(definition_.menuKey, login);
}

ProcessForm::~ProcessForm() = default;

QVariant ProcessForm::headControl() const { return fromObject(head_); }
QVariant ProcessForm::processInfo() const { return fromObject(info_); }
QVariant ProcessForm::processManager() const { return fromObject(manager_); }

QVariant ProcessForm::LabDesc(int index)
{
    if (index != 0)
        throw AutomationError(ErrSubscriptOutOfRange);
    return fromObject(label_);
}

QString ProcessForm::EnterField(const QString& key, const QVariant& value)
{
    if (!head_->hasField(key) || head_->definition(key).kind == FieldKind::Flag || head_->definition(key).kind == FieldKind::Shown)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("The form %1 has no field '%2' to enter").arg(definition_.menuKey, key));
    QString reason;
    if (setField(key, value, &reason))
        return {};
    return reason.isEmpty() ? QStringLiteral("The value was refused") : reason;
}

QVariant ProcessForm::RunOperation(bool dryRun)
{
    const std::optional<ops::OperationResult> result = run(dryRun);
    QVariantList rows;
    if (result)
        for (const QStringList& row : result->rows)
            rows.append(QVariant(row));
    return QVariantMap{{QStringLiteral("done"), result.has_value()},
                       {QStringLiteral("headers"), result ? result->headers : QStringList()},
                       {QStringLiteral("rows"), rows},
                       {QStringLiteral("summary"), result ? result->summary : QString()},
                       {QStringLiteral("runId"), result ? result->runId : 0}};
}

QString ProcessForm::description() const { return label_->Caption; }

QString ProcessForm::operationDate() const
{
    return values::dateText(operationDate_.isValid() ? operationDate_ : system::today());
}

void ProcessForm::initialize()
{
    QVariantList none;
    raiseEvent(events_.data(), QStringLiteral("InitForm"), none);
    QVariantList help{static_cast<int32_t>(0)};
    raiseEvent(events_.data(), QStringLiteral("InitHelp"), help);
    helpId_ = values::toLong(help[0]);
    fillFreeItemTitles();
}

void ProcessForm::fillFreeItemTitles()
{
    const QStringList titles = db::freeItemTitles(connection_.database());
    for (const FieldDefinition& field : definition_.fields)
        if (field.freeItem > 0 && field.kind == FieldKind::Text)
            head_->state(field.key)->sCardFormula1 = titles.value(field.freeItem - 1);
}

QStringList ProcessForm::listTexts(const QString& key) const
{
    const int kind = listKindOf(info_->dropDownListColumnField, key);
    return kind < 0 ? QStringList() : process::listTexts(kind);
}

bool ProcessForm::setField(const QString& key, const QVariant& value, QString* reason)
{
    const auto refuse = [&](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (!head_->hasField(key))
        return refuse(QStringLiteral("表单没有字段 %1").arg(key));
    const FieldDefinition& field = head_->definition(key);
    if (!head_->isEnabled(key))
        return refuse(QStringLiteral("[ %1 ] 已锁定").arg(field.caption));
    const QString text = values::toTextOrEmpty(value);
    const QStringList list = listTexts(field.key);
    if (!list.isEmpty() && !listCode(text, listKindOf(info_->dropDownListColumnField, field.key)))
        return refuse(QStringLiteral("[ %1 ] 只能是 %2").arg(field.caption, list.join(u'/')));

    QVariantList changing{field.key, text, 1};
    raiseEvent(events_.data(), QStringLiteral("ColumnChanging"), changing);
    if (values::toLong(changing[2]) == 0)
        return refuse(QStringLiteral("[ %1 ] 不接受 %2").arg(field.caption, text));
    head_->setHeaderText(field.key, text);
    refreshInventory(field.key);
    QVariantList changed{field.key};
    raiseEvent(events_.data(), QStringLiteral("ColumnChanged"), changed);
    return true;
}

void ProcessForm::refreshInventory(const QString& key)
{
    // The entry whose first field is the key: fill its fields from the item.
    for (const QVariant& entryValue : info_->refreshInventoryList.toList()) {
        const QVariantList fields = entryValue.toMap().value(QStringLiteral("Entries")).toList();
        if (fields.isEmpty() || !values::textEquals(fields.first().toMap().value(QStringLiteral("Field")).toString(), key))
            continue;
        QSqlQuery query(connection_.database());
        query.prepare(QStringLiteral("SELECT cInvCode, cInvAddCode, cInvName, cInvStd, bConfigFree1, bConfigFree2, bConfigFree3, bConfigFree4, "
                                     "bConfigFree5, bConfigFree6, bConfigFree7, bConfigFree8, bConfigFree9, bConfigFree10 "
                                     "FROM Inventory WHERE cInvCode = ?"));
        query.addBindValue(values::trim(values::toTextOrEmpty(head_->headerText(key))));
        const bool found = query.exec() && query.next();
        for (const QVariant& fieldValue : fields.mid(1)) {
            const QVariantMap f = fieldValue.toMap();
            const QString name = f.value(QStringLiteral("Field")).toString();
            const int column = f.value(QStringLiteral("Column")).toInt();
            if (column == 18 || column == 19) { // the ten free items' flags, and their values
                for (int n = 1; n <= 10; ++n) {
                    const QString target = name + QString::number(n);
                    if (!head_->hasField(target))
                        continue;
                    if (column == 18)
                        head_->setHeaderText(target, found && query.value(3 + n).toInt() != 0 ? QStringLiteral("True") : QStringLiteral("False"));
                    else
                        head_->setHeaderText(target, QString(""));
                }
            } else if (column >= 1 && column <= 3 && head_->hasField(name)) {
                head_->setHeaderText(name, found ? query.value(column).toString() : QString(""));
            }
        }
        if (found) // the code as the inventory spells it
            head_->setHeaderText(key, query.value(0).toString());
    }
}

void ProcessForm::browse(const QString& key)
{
    const QString before = values::toTextOrEmpty(head_->headerText(key));
    QVariantList args{head_->definition(key).key, before};
    raiseEvent(events_.data(), QStringLiteral("ColumnBrowUser"), args);
    const QString picked = values::toTextOrEmpty(args[1]);
    if (picked != before)
        setField(key, picked);
}

bool ProcessForm::validate()
{
    QVariantList args{true};
    raiseEvent(events_.data(), QStringLiteral("CheckValidate"), args);
    return values::toBoolean(args[0]);
}

std::optional<ops::OperationResult> ProcessForm::run(bool dryRun)
{
    if (!validate())
        return std::nullopt;
    ops::OperationResult result = runOperation(dryRun);
    if (!dryRun)
        storeConditions();
    return result;
}

void ProcessForm::storeConditions()
{
    for (const FieldDefinition& field : definition_.fields)
        if (field.kind != FieldKind::Shown && field.kind != FieldKind::Flag)
            manager_->store(definition_.menuKey, field.key, values::toTextOrEmpty(head_->headerText(field.key)));
}

ops::OperationResult ProcessForm::runOperation(bool dryRun)
{
    const ops::RunOptions options{user_, dryRun, progress_};
    const auto text = [&](const QString& key) { return values::trim(values::toTextOrEmpty(head_->headerText(key))); };
    const auto part = [&](const QString& code, const QString& freePrefix) {
        ops::PartKey key{text(code)};
        for (int n = 1; n <= 10; ++n)
            key.free[n - 1] = text(freePrefix + QString::number(n));
        return key;
    };
    const QString menu = definition_.menuKey;
    if (menu == QLatin1String("BO01002")) {
        ops::ReplaceParameters p{part(QStringLiteral("OldInvCode"), QStringLiteral("InvFree_")),
                            part(QStringLiteral("NewInvCode"), QStringLiteral("DInvFree_")),
                            {}};
        p.scope.fromParent = text(QStringLiteral("SInv"));
        p.scope.toParent = text(QStringLiteral("EInv"));
        p.scope.bomType = listCode(text(QStringLiteral("BomType")), BomTypeList).value_or(QStringLiteral("0")).toInt();
        if (listCode(text(QStringLiteral("Select")), SelectionList).value_or(QStringLiteral("0")) != QLatin1String("0")) {
            const QDate date = QDate::fromString(text(QStringLiteral("EffDate")), Qt::ISODate);
            if (!date.isValid())
                throw ops::RefusedOperation(QStringLiteral("[ %1 ] 不是日期：%2").arg(head_->definition(QStringLiteral("EffDate")).caption,
                                                                             text(QStringLiteral("EffDate"))));
            p.scope.inForceOn = values::dateText(date);
        }
        if (const QString from = text(QStringLiteral("FromDate")); !from.isEmpty()) {
            const QDate date = QDate::fromString(from, Qt::ISODate);
            if (!date.isValid())
                throw ops::RefusedOperation(QStringLiteral("[ %1 ] 不是日期：%2").arg(head_->definition(QStringLiteral("FromDate")).caption, from));
            p.fromDate = values::dateText(date);
        }
        return ops::replaceComponent(connection_, p, options);
    }
    if (menu == QLatin1String("BO01003"))
        return ops::removeComponent(connection_, part(QStringLiteral("InvCode"), QStringLiteral("InvFree_")), options);
    if (menu == QLatin1String("BO01004"))
        return ops::runLowLevelCode(connection_, operationDate(), options);
    return ops::checkStructure(connection_, values::toInteger(head_->headerText(QStringLiteral("TotLevel"))), operationDate());
}

ProcessSession::ProcessSession(const QString& menuKey, const QString& accountPath, const QString& user)
    : form_(makeObject<ProcessForm>(menuKey, accountPath, user))
{
    const Object define = createObject(QStringLiteral("Q7BomLib.clsProgramDefine"));
    QVariantList args{form_->definition().menuKey, QString(""), QVariant(), QVariant(), nothing()};
    callByName(define, QStringLiteral("SetProgramType"), args);
    handler_ = toObject(args[4]);
    if (isEmpty(args[2]) || values::toLong(args[2]) != 6 || handler_.isNull())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Menu %1 is not a maintenance form").arg(menuKey));
    call(handler_, QStringLiteral("FormProcess"), {fromObject(form_)});
    form_->initialize();
}

ProcessSession::~ProcessSession() { handler_.clear(); }

} // namespace q7::host::process
