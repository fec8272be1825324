#include "reports/ReportProtocol.h"
#include "platform/SqlText.h"

#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

#include <QRegularExpression>

namespace q7::component {

namespace ReportProtocol {


QString FilterItem::name() const { return values::toTextOrEmpty(getProperty(item_, QStringLiteral("name"))); }
QString FilterItem::value() const { return values::toTextOrEmpty(rawValue()); }
QString FilterItem::value2() const { return values::toTextOrEmpty(getProperty(item_, QStringLiteral("varValue2"))); }
QString FilterItem::caption() const { return values::toTextOrEmpty(getProperty(item_, QStringLiteral("strCaption"))); }
QVariant FilterItem::rawValue() const { return getProperty(item_, QStringLiteral("varValue")); }
void FilterItem::setValue(const QString& value) const { letProperty(item_, QStringLiteral("varValue"), value); }
void FilterItem::setListValue(const QString& value) const { letProperty(item_, QStringLiteral("listValue1"), value); }
void FilterItem::setGroupToken(int token) const
{
    letProperty(item_, QStringLiteral("LngGrouptoken"), QVariant::fromValue(short(token)));
}
bool FilterItem::is(const char* key) const { return values::textEquals(name(), QString::fromUtf8(key)); }

void forEachItem(const Object& filter, const std::function<void(const FilterItem&)>& visit)
{
    const Object list = toObject(getProperty(filter, QStringLiteral("FilterList")));
    const int count = values::toLong(getProperty(list, QStringLiteral("Count")));
    for (int i = 1; i <= count; ++i)
        visit(FilterItem(toObject(getProperty(list, QStringLiteral("Item"), {i}))));
}

Object filterOf(const QVariant& argument)
{
    if (!isObject(argument))
        throw AutomationError(ErrTypeMismatch);
    return toObject(argument);
}

void writeDefault(const FilterItem& item, const QString& value)
{
    const QVariant current = item.rawValue();
    const bool exactlyEmpty = isEmpty(current) || (current.metaType().id() == QMetaType::QString && current.toString().isEmpty());
    if (!exactlyEmpty)
        return;
    item.setValue(value);
    item.setListValue(value);
}

void appendUnlessBlank(QString& where, const QString& conditions)
{
    if (!values::trim(conditions).isEmpty())
        where += conditions;
}

QString quoted(const QString& value) { return q7::quoted(value); }

QString codeBounds(const QString& column, const QString& v1, const QString& v2)
{
    QString conditions;
    if (!v1.isEmpty())
        conditions += QStringLiteral(" AND ") + column + QStringLiteral(" >= ") + quoted(v1);
    if (!v2.isEmpty())
        conditions += QStringLiteral(" AND ") + column + QStringLiteral(" <= ") + quoted(v2);
    return conditions;
}

QString freeItemBounds(const QString& column, const QString& v1, const QString& v2)
{
    QString conditions;
    if (!v1.isEmpty())
        conditions += QStringLiteral(" AND ") + column + QStringLiteral(" >= ") + quoted(v1);
    if (!v2.isEmpty())
        conditions += QStringLiteral(" AND ") + column + QStringLiteral("<= ") + quoted(v2);
    return conditions;
}

bool isPlainNumber(const QString& value) { return values::isPlainDecimal(value); }

bool isQuantity(const QString& value)
{
    if (!isPlainNumber(value))
        return false;
    const QString text = value.trimmed();
    if (text.startsWith(u'-') || !(text.toDouble() > 0))
        return false;
    // Compared as text: 2^53 + 1 reads back as 2^53 once it is a double.
    QString whole = text.section(u'.', 0, 0);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    static const QString limit = QStringLiteral("9007199254740992");
    if (whole.size() != limit.size())
        return whole.size() < limit.size();
    return whole < limit || (whole == limit && text.section(u'.', 1).count(u'0') == text.section(u'.', 1).size());
}

namespace {

struct Placeholder {
    const char* word;
    int resource;
};

QString fill(QString fragment, std::initializer_list<Placeholder> placeholders)
{
    for (const Placeholder& p : placeholders)
        fragment = values::replaceText(fragment, QString::fromLatin1(p.word), ModBOM::resText(p.resource));
    return fragment;
}

} // namespace

CaptionFragments buildCaptionFragments()
{
    CaptionFragments f;
    f.yesNo = fill(QStringLiteral(" when 0 then 'CBNO' when 1 then 'CBYES' else '' end "), {{"CBNO", 40015}, {"CBYES", 40014}});
    f.itemAttribute = fill(QStringLiteral(" when 1 then 'CPAP' when 2 then 'CPAS' when 3 then 'CPAM' when 4 then 'CPAO' when 5 then "
                                          "'PTO' when 6 then '' when 7 then 'CPA7' else '' end "),
                           {{"CPAP", 40063}, {"CPAS", 40064}, {"CPAM", 40065}, {"CPAO", 40066}, {"CPA7", 40067}});
    f.fixedVariable = fill(QStringLiteral(" when 0 then 'CFVF' when 1 then 'CFVV' else '' end "), {{"CFVF", 40068}, {"CFVV", 40069}});
    f.supplyType = fill(QStringLiteral(" when 2 then 'CWIPTO' when 1 then 'CWIPTI' when 3 then 'CWIPTL' when 4 then 'CWIPTX' else '' end "),
                        {{"CWIPTO", 40070}, {"CWIPTI", 40071}, {"CWIPTL", 40072}, {"CWIPTX", 40073}});
    f.selectionRule = fill(QStringLiteral(" when 1 then 'CRFO' when 2 then 'CRFA' when 3 then 'CRFN' when 4 then 'CRFL' else '' end "),
                           {{"CRFO", 40080}, {"CRFA", 40081}, {"CRFN", 40082}, {"CRFL", 40083}});
    return f;
}

QString quantityText(bool planRate)
{
    return planRate ? QString::fromUtf8(QtyFixedPlan) + QString::fromUtf8(QtyVariablePlan)
                    : QString::fromUtf8(QtyFixed) + QString::fromUtf8(QtyVariable);
}

ReportSqlParts newSqlParts()
{
    ReportSqlParts parts;
    parts.List6 = QVariantList{QVariant(int(1))};
    parts.List7 = QVariantList{QVariant(int(0))};
    return parts;
}

void locateSql(const QVariant& reportInfo, const ReportSqlParts& parts)
{
    letProperty(toObject(reportInfo), QStringLiteral("LocateSQLString"), QVariant::fromValue(parts));
}

void locateSelect(const QVariant& reportInfo, const QString& select, const QString& from, const QString& where, const QString& order)
{
    ReportSqlParts parts = newSqlParts();
    parts.SqlSelect = select;
    parts.SqlFrom = from;
    parts.SqlWhere = where;
    parts.SqlOrder = order;
    parts.List8 = QVariantList{QStringLiteral("b.CreateUser")};
    locateSql(reportInfo, parts);
}

} // namespace ReportProtocol

} // namespace q7::component
