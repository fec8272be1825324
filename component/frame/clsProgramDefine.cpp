#include "frame/clsProgramDefine.h"

#include "platform/ClassRegistry.h"

#include <array>

namespace q7::component {

namespace {

struct ProgramEntry {
    const char* menuId;
    int programType;
    const char* voucherType; // nullptr: left unchanged
    const char* handlerClass; // nullptr: no handler
};

constexpr std::array programTable{
    ProgramEntry{"BO02000", 2, nullptr, nullptr},
    ProgramEntry{"BO01001", 3, "BO11", "clsBO01001"},
    ProgramEntry{"BO01002", 6, "BO61", "clsBO01002"},
    ProgramEntry{"BO01003", 6, "BO62", "clsBO01003"},
    ProgramEntry{"BO01004", 6, nullptr, "clsBO01004"},
    ProgramEntry{"BO01005", 6, "BO63", "clsBO01005"},
    ProgramEntry{"BO02001", 8, nullptr, nullptr},
    ProgramEntry{"BO02002", 8, nullptr, nullptr},
    ProgramEntry{"BO02003", 5, nullptr, "clsBO02003"},
    ProgramEntry{"BO02004", 5, nullptr, "clsBO02004"},
    ProgramEntry{"BO02005", 5, nullptr, "clsBO02005"},
    ProgramEntry{"BO02006", 5, nullptr, "clsBO02006"},
    ProgramEntry{"BO02007", 5, nullptr, "clsBO02007"},
    ProgramEntry{"BO02008", 5, nullptr, "clsBO02008"},
    ProgramEntry{"BO02009", 5, nullptr, "clsBO02009"},
    ProgramEntry{"BO02010", 5, nullptr, "clsBO02010"},
};

} // namespace

void clsProgramDefine::SetProgramType(const QString& sMenuID, const QString& /*sAuthID*/, QVariant& eProgramType,
                                      QVariant& sVouType, QVariant& oClass)
{
    for (const ProgramEntry& entry : programTable) {
        if (sMenuID != QLatin1String(entry.menuId))
            continue;
        eProgramType = entry.programType;
        if (entry.voucherType)
            sVouType = QString::fromLatin1(entry.voucherType);
        if (entry.handlerClass)
            oClass = q7::fromObject(q7::createObject(QStringLiteral("Q7BomLib.") + QLatin1String(entry.handlerClass)));
        return;
    }
}

} // namespace q7::component
