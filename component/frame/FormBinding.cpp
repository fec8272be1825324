#include "frame/FormBinding.h"

#include "platform/Forms.h"
#include "platform/LateBinding.h"

namespace q7::component {

void bindFormEventHandler(const QVariant& form, q7::Object& formSlot, q7::EventVariable& events)
{
    formSlot = q7::requireForm(form);
    const q7::Object handler = q7::toObject(q7::getProperty(formSlot, QStringLiteral("EventHandler")));
    events.bind(handler);
}

} // namespace q7::component
