#include "host/process/ProcessFields.h"

#include "platform/values/Values.h"

#include <QStringList>

namespace q7::host::process {

namespace {

// An item with its code, additional code, name, model and size, ten free items and their flags.
void addItem(QList<FieldDefinition>& fields, const QString& prefix, const QString& label, const QString& freePrefix,
             const QString& flagPrefix)
{
    fields.append({prefix + QStringLiteral("InvCode"), label + QStringLiteral("编码"), FieldKind::Item});
    fields.append({prefix + QStringLiteral("InvAddCode"), label + QStringLiteral("代码"), FieldKind::Shown});
    fields.append({prefix + QStringLiteral("InvName"), label + QStringLiteral("名称"), FieldKind::Shown});
    fields.append({prefix + QStringLiteral("InvStd"), label + QStringLiteral("规格"), FieldKind::Shown});
    for (int n = 1; n <= 10; ++n)
        fields.append({freePrefix + QString::number(n), QStringLiteral("自由项%1").arg(n), FieldKind::Text, n});
    for (int n = 1; n <= 10; ++n)
        fields.append({flagPrefix + QString::number(n), QStringLiteral("自由项%1标志").arg(n), FieldKind::Flag, n});
}

QList<FormDefinition> makeForms()
{
    QList<FormDefinition> forms;

    FormDefinition replace{QStringLiteral("BO01002"), QStringLiteral("子件替换"), {}};
    addItem(replace.fields, QStringLiteral("Old"), QStringLiteral("原子件"), QStringLiteral("InvFree_"), QStringLiteral("BStrFree_"));
    addItem(replace.fields, QStringLiteral("New"), QStringLiteral("新子件"), QStringLiteral("DInvFree_"), QStringLiteral("DBStrFree_"));
    replace.fields.append({QStringLiteral("SInv"), QStringLiteral("母件编码从"), FieldKind::Text});
    replace.fields.append({QStringLiteral("EInv"), QStringLiteral("母件编码到"), FieldKind::Text});
    replace.fields.append({QStringLiteral("BomType"), QStringLiteral("BOM类别"), FieldKind::List});
    replace.fields.append({QStringLiteral("Select"), QStringLiteral("BOM选择"), FieldKind::List});
    replace.fields.append({QStringLiteral("EffDate"), QStringLiteral("有效日期"), FieldKind::Date});
    // Blank: replaced at every date; a date: from that date on, as an engineering change.
    replace.fields.append({QStringLiteral("FromDate"), QStringLiteral("变更日期"), FieldKind::Date});
    forms.append(replace);

    FormDefinition remove{QStringLiteral("BO01003"), QStringLiteral("子件删除"), {}};
    addItem(remove.fields, QString(), QStringLiteral("物料"), QStringLiteral("InvFree_"), QStringLiteral("BStrFree_"));
    forms.append(remove);

    forms.append({QStringLiteral("BO01004"), QStringLiteral("低阶码计算"), {}, true});

    FormDefinition check{QStringLiteral("BO01005"), QStringLiteral("BOM结构检查"), {}};
    check.fields.append({QStringLiteral("TotLevel"), QStringLiteral("检查层数"), FieldKind::Number});
    forms.append(check);
    return forms;
}

const QList<FormDefinition>& forms()
{
    static const QList<FormDefinition> all = makeForms();
    return all;
}

} // namespace

const FormDefinition* formDefinition(const QString& menuKey)
{
    for (const FormDefinition& form : forms())
        if (values::textEquals(form.menuKey, values::trim(menuKey)))
            return &form;
    return nullptr;
}

QStringList processMenuKeys()
{
    QStringList keys;
    for (const FormDefinition& form : forms())
        keys.append(form.menuKey);
    return keys;
}

} // namespace q7::host::process
