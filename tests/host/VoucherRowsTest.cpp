#include "host/voucher/VoucherControl.h"
#include "platform/ObjectRef.h"

#include <gtest/gtest.h>

#include <vector>

using q7::host::voucher::Fields;
using q7::host::voucher::VoucherControl;

namespace {

const QStringList bodyKeys{QStringLiteral("DInvCode"), QStringLiteral("DBaseQtyN"), QStringLiteral("DSortSeq")};

TEST(VoucherRows, WhatMakesARowFilled)
{
    struct Case {
        const char* what;
        QVariantMap row;
        bool empty;
    };
    const std::vector<Case> cases{
        {"defaults only", {{QStringLiteral("DBaseQtyN"), QStringLiteral("1")}, {QStringLiteral("DSortSeq"), QStringLiteral("10")}}, true},
        {"a free-item flag", {{QStringLiteral("DBStrFree_1"), QStringLiteral("是")}}, true},
        {"hidden fields", {{QStringLiteral("_Substitutes"), QVariantList{1}}, {QStringLiteral("_Locations"), QStringList{QStringLiteral("R1")}}}, true},
        {"a stored line's id", {{QStringLiteral("OpComponentId"), 12}}, true},
        {"blanks", {{QStringLiteral("DInvCode"), QStringLiteral("   ")}}, true},
        {"null", {{QStringLiteral("DRemark"), q7::nullValue()}}, true},
        {"a component", {{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}}, false},
        {"a field met for the first time", {{QStringLiteral("NeverSeenBefore_7"), QStringLiteral("x")}}, false},
        {"defaults and a remark", {{QStringLiteral("DBaseQtyN"), QStringLiteral("1")}, {QStringLiteral("DRemark"), QStringLiteral("r")}}, false},
    };
    VoucherControl control({}, bodyKeys);
    control.setDefaultKeys({QStringLiteral("DBaseQtyN"), QStringLiteral("DSortSeq")});
    for (const Case& c : cases)
        control.appendRow(c.row);
    for (int r = 1; r <= int(cases.size()); ++r)
        EXPECT_EQ(control.BodyRowIsEmpty(r), cases[size_t(r - 1)].empty) << cases[size_t(r - 1)].what;
    EXPECT_EQ(control.bodyRows(), 3);
    // the defaults change: a quantity no longer a default fills the row (nothing kept of the keys before)
    control.setDefaultKeys({QStringLiteral("DSortSeq")});
    EXPECT_FALSE(control.BodyRowIsEmpty(1));
    EXPECT_TRUE(control.BodyRowIsEmpty(0));
    EXPECT_TRUE(control.BodyRowIsEmpty(int(cases.size()) + 1));
}

TEST(VoucherRows, BodyColumnsReadEveryFilledRow)
{
    VoucherControl control({}, bodyKeys);
    control.appendRow(QVariantMap{{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}, {QStringLiteral("DBaseQtyN"), QStringLiteral("2")}});
    control.appendRow(QVariantMap{});
    control.appendRow(QVariantMap{{QStringLiteral("DInvCode"), QStringLiteral("BS-200")}});
    const QVariantList rows = control.BodyColumns(QStringList{QStringLiteral("DBaseQtyN"), QStringLiteral("DInvCode")});
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].toList(), (QVariantList{QStringLiteral("2"), QStringLiteral("BK-100")}));
    EXPECT_TRUE(rows[1].toList().isEmpty()); // an empty row
    EXPECT_EQ(rows[2].toList(), (QVariantList{QString(), QStringLiteral("BS-200")})); // a field the row has not: ""
}

TEST(VoucherRows, LateBoundTextsReachTheRowsFields)
{
    VoucherControl control({}, bodyKeys);
    control.appendRow(Fields{{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}});
    QVariantList let{1, QStringLiteral("dScriptOnly"), QStringLiteral("v")};
    QVariant result;
    ASSERT_TRUE(control.dispatch(q7::DynamicDispatch::Access::Let, QStringLiteral("bodyText"), let, result));
    EXPECT_EQ(control.rowFields(1).value(QStringLiteral("dScriptOnly")), QStringLiteral("v"));
    EXPECT_EQ(control.row(1), (QVariantMap{{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}, {QStringLiteral("dScriptOnly"), QStringLiteral("v")}}));
    QVariantList get{1, QStringLiteral("DMissing")};
    ASSERT_TRUE(control.dispatch(q7::DynamicDispatch::Access::Get, QStringLiteral("bodyText"), get, result));
    EXPECT_EQ(result, QVariant(QString())); // a field the row has not reads as ""
    EXPECT_TRUE(control.rowFields(2).isEmpty()); // no such row
}

} // namespace
