#pragma once

#include "platform/ClassRegistry.h"

#include <span>

namespace q7::component {

// The library's registration entry points. They pass straight to the
// run-time's standard class-factory and registration services.
std::span<const q7::ClassEntry> q7bomlibClasses();
int DllRegisterServer();
int DllUnregisterServer();
q7::ClassFactory DllGetClassObject(const QString& classId);
bool DllCanUnloadNow();

} // namespace q7::component
