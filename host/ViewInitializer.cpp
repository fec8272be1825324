#include "host/ViewInitializer.h"

#include "host/ViewContext.h"
#include "platform/ObjectRef.h"
#include "platform/values/Values.h"

namespace q7::host {

bool ViewInitializer::Init(QVariant& context, const QVariant& account, const QVariant& menuKey)
{
    if (isEmpty(menuKey) || values::toTextOrEmpty(menuKey).isEmpty())
        return false;
    auto view = makeObject<ViewContext>();
    view->account = account;
    view->menuKey = menuKey;
    context = fromObject(view);
    return true;
}

} // namespace q7::host
