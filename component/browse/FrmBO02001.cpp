#include "browse/FrmBO02001.h"

#include "frame/ModBOM.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/Values.h"

bool FrmBO02001::Enter(QVariant& first, QVariant& second)
{
    const q7::Object initializer = q7::createObject(QString::fromLatin1(q7::framework::ViewInitializerClassId));
    QVariantList args{m_viewContext, first, second};
    const bool filled = q7::values::toBoolean(q7::callByName(initializer, QStringLiteral("Init"), args));
    m_viewContext = args[0];
    if (!filled)
        return true;

    const q7::Object context = q7::toObject(m_viewContext);
    ModBOM::ThreadState& shared = ModBOM::state();
    shared.objAccount = q7::getProperty(context, QStringLiteral("Account"));
    const QString menuKey = q7::values::toTextOrEmpty(q7::getProperty(context, QStringLiteral("MenuKey")));
    if (menuKey == QLatin1String("BO02001")) {
        shared.bStructureMode = true;
        shared.bWhereUsedMode = false;
    } else if (menuKey == QLatin1String("BO02002")) {
        shared.bStructureMode = false;
        shared.bWhereUsedMode = true;
    }
    FormLoad();
    shared.bOpenFilterOnActivate = true;
    return true;
}

void FrmBO02001::FormLoad()
{
    // The window's controls are built by the browse window proper.
}
