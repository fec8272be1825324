#pragma once

#include "platform/ObjectRef.h"

#include <QMetaClassInfo>
#include <QObject>

namespace q7 {

// Forms declare Q_CLASSINFO("AutomationKind", "Form"); set-up methods that
// take a form refuse anything else with a type mismatch.
bool isForm(const QObject* object);
Object requireForm(const QVariant& argument); // error 13 unless a form

} // namespace q7
