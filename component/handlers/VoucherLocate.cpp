#include "handlers/VoucherLocate.h"
#include "platform/SqlText.h"

#include "frame/ModBOM.h"
#include "handlers/VoucherFormAccess.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

#include <QRegularExpression>

namespace q7::component {


namespace {

constexpr int MsgBadFilterName = 61310;

QString quotedValue(const QVariant& value) { return doubledQuotes(values::toTextOrEmpty(value)); }

void appendBounds(QString& cond, const QString& column, const QVariant& from, const QVariant& to)
{
    auto& common = ModBOM::objCommon();
    if (common.IsFilled(from))
        cond += QStringLiteral(" and ") + column + QStringLiteral(" >= '") + quotedValue(from) + QStringLiteral("'");
    if (common.IsFilled(to))
        cond += QStringLiteral(" and ") + column + QStringLiteral(" <= '") + quotedValue(to) + QStringLiteral("'");
}

} // namespace

namespace VoucherLocate {

bool isColumnName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.]+$"));
    return plain.match(name).hasMatch();
}

std::optional<LocateSqlString> build(const Object& filter, const VoucherFormAccess& form)
{
    QString cond;
    bool freeItems = false;
    const Object list = toObject(getProperty(filter, QStringLiteral("FilterList")));
    const int count = values::toLong(getProperty(list, QStringLiteral("Count")));
    for (int i = 1; i <= count; ++i) {
        const Object item = toObject(call(list, QStringLiteral("Item"), {i}));
        const QString name = values::toTextOrEmpty(getProperty(item, QStringLiteral("name")));
        if (!isColumnName(name)) {
            ModBOM::objMessage().ShowMessage(MsgBadFilterName, missingValue(), QVariantList{name});
            return std::nullopt;
        }
        const QVariant from = getProperty(item, QStringLiteral("varValue"));
        const QVariant to = getProperty(item, QStringLiteral("varValue2"));
        const int at = values::findText(name, QStringLiteral("InvFree_"));
        if (at > 0) {
            const QString n = values::mid(name, at + 8);
            const int before = int(cond.size());
            appendBounds(cond, QStringLiteral("bas_part.Free") + n, from, to);
            freeItems = freeItems || cond.size() != before;
        } else {
            appendBounds(cond, name, from, to);
        }
    }

    LocateSqlString locate;
    locate.SqlSelect = QStringLiteral("Select max(bom_bom.BomId) as ID ");
    locate.SqlFrom = QStringLiteral("From bom_bom,v_bom_parent_rpt,Inventory ");
    locate.SqlWhere = QStringLiteral("Where bom_bom.BomId = v_bom_parent_rpt.BomId and v_bom_parent_rpt.InvCode = Inventory.cInvCode ")
        + QStringLiteral("and bom_bom.BomId < ") + QString::number(values::toLong(getProperty(form.billInfo(), QStringLiteral("lCurVouchId"))));
    if (freeItems) {
        // The free-item conditions name the parent's part, which the rest of the statement does not join.
        locate.SqlFrom = QStringLiteral("From bom_bom,v_bom_parent_rpt,Inventory,bas_part ");
        locate.SqlWhere += QStringLiteral(" and bas_part.PartId = v_bom_parent_rpt.ParentId");
    }
    locate.SqlWhere += cond;
    const QVariant sql = getProperty(filter, QStringLiteral("SQLString"));
    if (!ModBOM::objCommon().IsBlank(sql))
        locate.SqlWhere += QStringLiteral(" and (") + values::toText(sql) + QStringLiteral(")");
    locate.List1 = {1};
    locate.List2 = {0};
    locate.List3 = {QStringLiteral("bom_bom.CreateUser")};
    locate.VouchType = form.vouType();
    return locate;
}

} // namespace VoucherLocate

} // namespace q7::component
