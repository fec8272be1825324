#include "frame/Registration.h"

#include "browse/FrmBO02001.h"
#include "frame/Bitmaps.h"
#include "frame/StringTable.h"
#include "frame/clsProgramDefine.h"
#include "frame/clsViewFactory.h"
#include "handlers/clsBO01002.h"
#include "handlers/clsBO01003.h"
#include "handlers/clsBO01004.h"
#include "handlers/clsBO01005.h"
#include "handlers/clsBO01001.h"
#include "platform/Resources.h"
#include "reports/clsBO02003.h"
#include "reports/clsBO02004.h"
#include "reports/clsBO02005.h"
#include "reports/clsBO02006.h"
#include "reports/clsBO02007.h"
#include "reports/clsBO02008.h"
#include "reports/clsBO02009.h"
#include "reports/clsBO02010.h"
#include "ui/SplitRegion.h"

namespace q7::component {

namespace {

template <typename T>
q7::ClassFactory factory()
{
    return [] { return q7::Object(q7::makeObject<T>()); };
}

const q7::ClassEntry classes[] = {
    {"Q7BomLib.clsProgramDefine", factory<clsProgramDefine>()},
    {"Q7BomLib.clsViewFactory", factory<clsViewFactory>()},
    {"Q7BomLib.clsBO01001", factory<clsBO01001>()},
    {"Q7BomLib.clsBO01002", factory<clsBO01002>()},
    {"Q7BomLib.clsBO01003", factory<clsBO01003>()},
    {"Q7BomLib.clsBO01004", factory<clsBO01004>()},
    {"Q7BomLib.clsBO01005", factory<clsBO01005>()},
    {"Q7BomLib.clsBO02003", factory<clsBO02003>()},
    {"Q7BomLib.clsBO02004", factory<clsBO02004>()},
    {"Q7BomLib.clsBO02005", factory<clsBO02005>()},
    {"Q7BomLib.clsBO02006", factory<clsBO02006>()},
    {"Q7BomLib.clsBO02007", factory<clsBO02007>()},
    {"Q7BomLib.clsBO02008", factory<clsBO02008>()},
    {"Q7BomLib.clsBO02009", factory<clsBO02009>()},
    {"Q7BomLib.clsBO02010", factory<clsBO02010>()},
    // a user control made outside a container; a form adds its own with Container::add
    {"Q7BomLib.SplitRegion", [] { return q7::Object(q7::makeObject<SplitRegion>(nullptr, QStringLiteral("SplitRegion1"))); }},
};

} // namespace

std::span<const q7::ClassEntry> q7bomlibClasses() { return classes; }

int DllRegisterServer()
{
    q7::publishStrings(QString::fromLatin1(StringTable::LibraryName), StringTable::find);
    q7::publishBitmaps(QString::fromLatin1(StringTable::LibraryName), Bitmaps::bitmap);
    return q7::registerServer(classes);
}

int DllUnregisterServer() { return q7::unregisterServer(classes); }

q7::ClassFactory DllGetClassObject(const QString& classId) { return q7::getClassObject(classes, classId); }

bool DllCanUnloadNow() { return true; }

} // namespace q7::component
