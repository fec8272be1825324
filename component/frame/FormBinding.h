#pragma once

#include "platform/Events.h"
#include "platform/ObjectRef.h"

#include <QVariant>

namespace q7::component {

// The set-up methods' common binding: keep the form (typed as a form; any
// other object is a type mismatch), read its late-bound "EventHandler" and
// bind the event variable to it, replacing an earlier binding.
void bindFormEventHandler(const QVariant& form, q7::Object& formSlot, q7::EventVariable& events);

} // namespace q7::component
