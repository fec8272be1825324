#include "app/gui/ModuleMenu.h"

#include "host/process/ProcessFields.h"
#include "host/report/FilterDefinitions.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/Resources.h"
#include "platform/values/Values.h"

namespace q7::app::gui {

namespace {

struct MenuSource {
    const char* key;
    int stringNumber; // 0: the caption comes from the entry's definition
    const char* fallback;
    const char* group;
};

constexpr MenuSource menuSources[] = {
    {"BO01001", 0, "物料清单", "物料清单维护"},
    {"BO01002", 0, nullptr, "物料清单维护"},
    {"BO01003", 0, nullptr, "物料清单维护"},
    {"BO01004", 0, nullptr, "物料清单维护"},
    {"BO01005", 0, nullptr, "物料清单维护"},
    {"BO02000", 0, "物料清单查询", "物料清单查询"},
    {"BO02001", 40045, nullptr, "物料清单查询"},
    {"BO02002", 40046, nullptr, "物料清单查询"},
    {"BO02003", 0, nullptr, "物料清单报表"},
    {"BO02004", 0, nullptr, "物料清单报表"},
    {"BO02005", 0, nullptr, "物料清单报表"},
    {"BO02006", 0, nullptr, "物料清单报表"},
    {"BO02007", 0, nullptr, "物料清单报表"},
    {"BO02008", 0, nullptr, "物料清单报表"},
    {"BO02009", 0, nullptr, "物料清单报表"},
    {"BO02010", 0, nullptr, "物料清单报表"},
};

QString captionOf(const MenuSource& source)
{
    const QString key = QString::fromLatin1(source.key);
    if (source.stringNumber != 0)
        if (const auto text = loadString(QStringLiteral("Q7BomLib"), source.stringNumber))
            return values::trim(*text);
    if (host::report::reportKeys().contains(key))
        return host::report::definition(key).title;
    if (const auto* form = host::process::formDefinition(key))
        return form->caption;
    return source.fallback ? QString::fromUtf8(source.fallback) : key;
}

} // namespace

QList<MenuEntry> moduleMenu()
{
    QList<MenuEntry> entries;
    for (const MenuSource& source : menuSources)
        entries.append({QString::fromLatin1(source.key), captionOf(source), QString::fromUtf8(source.group)});
    return entries;
}

ProgramAnswer askProgramType(const QString& menuKey)
{
    const Object programDefine = createObject(QStringLiteral("Q7BomLib.clsProgramDefine"));
    QVariantList args{menuKey, QString(""), emptyValue(), emptyValue(), nothing()};
    callByName(programDefine, QStringLiteral("SetProgramType"), args);
    ProgramAnswer answer;
    answer.programType = isEmpty(args[2]) ? 0 : static_cast<int>(values::toLong(args[2]));
    answer.voucherType = values::toTextOrEmpty(args[3]);
    answer.handler = toObject(args[4]);
    return answer;
}

} // namespace q7::app::gui
