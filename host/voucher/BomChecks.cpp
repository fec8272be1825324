#include "host/voucher/BomChecks.h"

#include "host/db/LineQuantity.h"
#include "host/voucher/LineKeys.h"
#include "host/voucher/VoucherFields.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/values/Values.h"

#include <QDate>

#include <cmath>
#include <optional>

namespace q7::host::voucher {

namespace {

constexpr int YesNo = 0, SupplyType = 1, FixedVariable = 2, BomTypeList = 3, SelectionRule = 4;

QString text(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::QString) // what a field mostly holds: read as is
        return values::trim(*static_cast<const QString*>(v.constData()));
    if (isNull(v) || v.metaType().id() == QMetaType::QVariantList || v.metaType().id() == QMetaType::QStringList)
        return QString();
    return values::trim(values::toTextOrEmpty(v));
}

// The ten free items' keys of a head ("InvFree_") or a line ("DInvFree_").
QList<FieldKey> freeKeys(const char* prefix)
{
    QList<FieldKey> keys;
    for (int n = 1; n <= 10; ++n)
        keys.append(QString::fromLatin1(prefix) + QString::number(n));
    return keys;
}
const QList<FieldKey>& headFrees()
{
    static const QList<FieldKey> keys = freeKeys("InvFree_");
    return keys;
}
const QList<FieldKey>& lineFrees()
{
    static const QList<FieldKey> keys = freeKeys("DInvFree_");
    return keys;
}

// The problems of one part of the document (its head or a line).
class Checker {
public:
    Checker(const Fields& fields, int line, QList<Problem>& problems) : fields_(fields), line_(line), problems_(problems) {}

    QString value(FieldKey key) const
    {
        const QVariant* found = fields_.find(key);
        return found ? text(*found) : QString();
    }

    void fail(FieldKey field, const QString& what)
    {
        problems_.append({line_, field.name(), QStringLiteral("[ %1 ] %2").arg(caption(field.name()), what)});
    }

    bool filled(FieldKey key)
    {
        if (!value(key).isEmpty())
            return true;
        fail(key, QStringLiteral("必须输入"));
        return false;
    }

    // The number in the field as the voucher reads it; none when blank or not a number.
    std::optional<double> number(FieldKey key)
    {
        const QString t = value(key);
        if (t.isEmpty())
            return std::nullopt;
        try {
            const double n = values::toDouble(t);
            if (std::isfinite(n))
                return n;
        } catch (const AutomationError&) {
        }
        fail(key, QStringLiteral("不是有效的数字：%1").arg(t));
        return std::nullopt;
    }

    void baseQuantity(FieldKey key)
    {
        if (const auto n = number(key); n && !db::validBaseQuantity(*n))
            fail(key, QStringLiteral("必须大于 0：%1").arg(value(key)));
    }
    void atLeast(FieldKey key, double low)
    {
        if (const auto n = number(key); n && *n < low)
            fail(key, QStringLiteral("不能小于 %1：%2").arg(low).arg(value(key)));
    }
    void percent(FieldKey key)
    {
        if (const auto n = number(key); n && !db::validScrap(*n))
            fail(key, QStringLiteral("必须在 0 到 100 之间（不含 100）：%1").arg(value(key)));
    }
    void whole(FieldKey key, double low)
    {
        if (const auto n = number(key); n && !(*n == std::floor(*n) && *n >= low && *n <= 2147483647))
            fail(key, QStringLiteral("必须是 %1 到 2147483647 的整数：%2").arg(low).arg(value(key)));
    }
    void date(FieldKey key)
    {
        if (const QString t = value(key); !t.isEmpty() && !isDateText(t))
            fail(key, QStringLiteral("不是有效的日期（yyyy-mm-dd）：%1").arg(t));
    }
    void period(FieldKey from, FieldKey until)
    {
        date(from);
        date(until);
        const QString a = value(from), b = value(until);
        if (isDateText(a) && isDateText(b) && !(a < b))
            fail(until, QStringLiteral("必须晚于 %1：%2").arg(a, b));
    }
    void listed(FieldKey key, int listKind)
    {
        const QString t = value(key);
        if (!t.isEmpty() && !lists::texts(listKind).contains(lists::codeToText(listKind, lists::textToCode(listKind, t))))
            fail(key, QStringLiteral("必须是 %1 之一：%2").arg(lists::texts(listKind).join(u'、'), t));
    }
    void exists(FieldKey key, const std::function<bool(const QString&)>& exists, const char* what)
    {
        if (const QString t = value(key); !t.isEmpty() && exists && !exists(t))
            fail(key, QStringLiteral("%1 %2 不存在").arg(QString::fromUtf8(what), t));
    }
    // An item of the account and its free items: filled where the item uses them, empty elsewhere.
    void item(FieldKey key, const QList<FieldKey>& frees, const AccountFacts& facts, const char* what)
    {
        const QString code = value(key);
        if (code.isEmpty() || !facts.freeItemsOf)
            return;
        const auto uses = facts.freeItemsOf(code);
        if (!uses) {
            fail(key, QStringLiteral("%1 %2 不存在").arg(QString::fromUtf8(what), code));
            return;
        }
        for (int n = 1; n <= 10; ++n) {
            const FieldKey free = frees[n - 1];
            const bool filled = !value(free).isEmpty();
            if ((*uses)[static_cast<size_t>(n - 1)] && !filled)
                fail(free, QStringLiteral("必须输入（%1 使用此自由项）").arg(code));
            else if (!(*uses)[static_cast<size_t>(n - 1)] && filled)
                fail(free, QStringLiteral("%1 不使用此自由项：%2").arg(code, value(free)));
        }
    }

private:
    const Fields& fields_;
    int line_;
    QList<Problem>& problems_;
};

void checkHead(const BomDocument& document, const AccountFacts& facts, QList<Problem>& problems)
{
    const Fields fields = Fields::fromMap(document.head);
    Checker head(fields, 0, problems);
    if (head.filled(QStringLiteral("cInvCode")))
        head.item(QStringLiteral("cInvCode"), headFrees(), facts, "存货");
    head.listed(QStringLiteral("BomType"), BomTypeList);
    const bool main = lists::textToCode(BomTypeList, head.value(QStringLiteral("BomType"))) != QLatin1String("2");
    if (main) {
        if (head.filled(QStringLiteral("Version"))) {
            const QString version = head.value(QStringLiteral("Version"));
            const auto n = head.number(QStringLiteral("Version"));
            if (n && !isVersionNumber(*n))
                head.fail(QStringLiteral("Version"), QStringLiteral("必须是 1 到 99999999 的整数：%1").arg(version));
        }
        if (head.filled(QStringLiteral("VersionEffDate")))
            head.date(QStringLiteral("VersionEffDate"));
    } else {
        head.filled(QStringLiteral("IdentCode"));
        head.date(QStringLiteral("VersionEffDate"));
    }
    head.percent(QStringLiteral("ParentScrap"));
}

void checkLine(const BomLine& line, int number, const AccountFacts& facts, QList<Problem>& problems)
{
    using namespace lineKeys;
    Checker body(line.fields, number, problems);
    if (body.filled(invCode))
        body.item(invCode, lineFrees(), facts, "存货");
    body.baseQuantity(baseQtyN);
    body.baseQuantity(baseQtyD);
    body.percent(compScrap);
    body.atLeast(planRate, 0);
    body.whole(sortSeq, 0);
    body.whole(offset, -2147483647); // an offset may put the component's need before the parent's start
    body.period(effBegDate, effEndDate);
    body.listed(fvFlag, FixedVariable);
    body.listed(wipType, SupplyType);
    body.listed(byproductFlag, YesNo);
    body.listed(accuCostFlag, YesNo);
    body.listed(optionalFlag, YesNo);
    body.listed(mutexRule, SelectionRule);
    body.exists(whCode, facts.wareHouseExists, "仓库");
    body.exists(deptCode, facts.departmentExists, "部门");
    for (const QVariantMap& substitute : line.substitutes) {
        const Fields fields = Fields::fromMap(substitute);
        Checker sub(fields, number, problems);
        if (sub.filled(invCode))
            sub.item(invCode, lineFrees(), facts, "替代料");
        sub.baseQuantity(factor);
        sub.period(effBegDate, effEndDate);
        sub.listed(replaceFlag, YesNo);
    }
}

} // namespace

bool isVersionNumber(double version) { return version >= 1 && version <= 99999999 && version == std::floor(version); }

bool isDateText(const QString& text)
{
    if (text.size() != 10)
        return false;
    // digits where the pattern has them: the date is read at once (what every file and account holds)
    const auto digits = [&](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t c = text.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    if (year >= 0 && month >= 0 && day >= 0 && text.at(4) == u'-' && text.at(7) == u'-')
        return QDate(year, month, day).isValid();
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid();
}

QList<Problem> checkBom(const BomDocument& document, const AccountFacts& facts)
{
    QList<Problem> problems;
    checkHead(document, facts, problems);
    for (int i = 0; i < document.lines.size(); ++i)
        checkLine(document.lines[i], i + 1, facts, problems);
    return problems;
}

} // namespace q7::host::voucher
