#pragma once

#include "host/voucher/FieldKey.h"

// The fields of a BOM line that typing, the BOM rules and the write read for
// every line, interned once (the names are the voucher's body keys).
namespace q7::host::voucher::lineKeys {

inline const FieldKey invCode{QStringLiteral("DInvCode")};
inline const FieldKey invName{QStringLiteral("DInvName")};
inline const FieldKey sortSeq{QStringLiteral("DSortSeq")};
inline const FieldKey opSeq{QStringLiteral("DOpSeq")};
inline const FieldKey baseQtyN{QStringLiteral("DBaseQtyN")};
inline const FieldKey baseQtyD{QStringLiteral("DBaseQtyD")};
inline const FieldKey compScrap{QStringLiteral("DCompScrap")};
inline const FieldKey fvFlag{QStringLiteral("DFVFlag")};
inline const FieldKey wipType{QStringLiteral("DWIPType")};
inline const FieldKey effBegDate{QStringLiteral("DEffBegDate")};
inline const FieldKey effEndDate{QStringLiteral("DEffEndDate")};
inline const FieldKey offset{QStringLiteral("DOffset")};
inline const FieldKey planRate{QStringLiteral("DPlanRate")};
inline const FieldKey byproductFlag{QStringLiteral("DByproductFlag")};
inline const FieldKey accuCostFlag{QStringLiteral("DAccuCostFlag")};
inline const FieldKey optionalFlag{QStringLiteral("DOptionalFlag")};
inline const FieldKey mutexRule{QStringLiteral("DMutexRule")};
inline const FieldKey whCode{QStringLiteral("DWhCode")};
inline const FieldKey deptCode{QStringLiteral("DDeptCode")};
inline const FieldKey remark{QStringLiteral("DRemark")};
inline const FieldKey factor{QStringLiteral("DFactor")};
inline const FieldKey replaceFlag{QStringLiteral("DReplaceFlag")};

} // namespace q7::host::voucher::lineKeys
