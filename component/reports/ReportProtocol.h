#pragma once

#include "platform/ObjectRef.h"
#include "platform/ReportTypes.h"

#include <QString>
#include <QVariant>

#include <functional>

namespace q7::component {

// What the report handlers share when they talk to the viewer's filter
// object: its items, defaults, caption fragments, quantity texts and quoting.
namespace ReportProtocol {

// One item of the viewer's filter, reached by its late-bound members.
class FilterItem {
public:
    explicit FilterItem(q7::Object item) : item_(std::move(item)) {}
    QString name() const;
    QString value() const;   // varValue as text (Null and Empty as "")
    QString value2() const;  // varValue2 as text
    QString caption() const; // strCaption
    QVariant rawValue() const;
    void setValue(const QString& value) const;     // varValue
    void setListValue(const QString& value) const; // listValue1
    void setGroupToken(int token) const;           // LngGrouptoken
    bool is(const char* key) const;                // name equals key, ignoring case

private:
    q7::Object item_;
};

// Walks FilterList from 1 to Count.
void forEachItem(const q7::Object& filter, const std::function<void(const FilterItem&)>& visit);

// The filter object of an event argument (type mismatch if not an object).
q7::Object filterOf(const QVariant& argument);

// Writes a default into varValue and listValue1 when varValue is exactly empty.
void writeDefault(const FilterItem& item, const QString& value);

// " AND column >= 'v1'" and " AND column <= 'v2'" for the bounds that are filled.
QString codeBounds(const QString& column, const QString& v1, const QString& v2);
// The same for a free item, written without a blank before the upper bound's operator.
QString freeItemBounds(const QString& column, const QString& v1, const QString& v2);

// Appends a condition text unless it is blank after trimming.
void appendUnlessBlank(QString& where, const QString& conditions);

// A value placed between single quotes, its own single quotes doubled.
QString quoted(const QString& value);
// Whether a value is a plain decimal number that may stand unquoted in SQL:
// digits with an optional point and minus sign, blanks around it allowed, a
// value of blanks not.
bool isPlainNumber(const QString& value);
// A plain number that is a quantity: positive, and no larger than 2^53, the
// largest whole number a double still holds exactly.
bool isQuantity(const QString& value);

// The five caption fragments, placeholders replaced by resource texts.
struct CaptionFragments {
    QString yesNo;
    QString itemAttribute;
    QString fixedVariable;
    QString supplyType;
    QString selectionRule;
};
CaptionFragments buildCaptionFragments();

// The component-quantity texts, concatenated after "case when ".
inline constexpr const char* QtyFixed = "c.FVFlag = 0 then c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100)";
inline constexpr const char* QtyVariable =
    " when c.FVFlag = 1 then c.BaseQtyN / c.BaseQtyD / (1 - p.ParentScrap / 100 ) * (1 + c.CompScrap / 100) end";
inline constexpr const char* QtyFixedPlan =
    "c.FVFlag = 0 then c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100) *  coalesce(o.PlanFactor,100) /100";
inline constexpr const char* QtyVariablePlan =
    " when c.FVFlag = 1 then c.BaseQtyN / c.BaseQtyD / (1 - p.ParentScrap / 100 ) * (1 + c.CompScrap / 100) * coalesce(o.PlanFactor,100) /100 end";

// The two component-quantity texts joined, in the plan-rate form when asked.
QString quantityText(bool planRate);

// A fresh record with List6 = {1} and List7 = {0}.
q7::ReportSqlParts newSqlParts();
// Hands the record to the viewer's report-information object.
void locateSql(const QVariant& reportInfo, const q7::ReportSqlParts& parts);
// Hands a SELECT report's statement parts to the viewer in a fresh record,
// with List8 naming the column of the creating operator ("b.CreateUser").
void locateSelect(const QVariant& reportInfo, const QString& select, const QString& from, const QString& where, const QString& order);

} // namespace ReportProtocol

} // namespace q7::component
