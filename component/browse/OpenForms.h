#pragma once

#include "platform/ObjectRef.h"

#include <QString>

namespace q7::component {

// The forms of the calling thread that are loaded, by name (compared in
// lower case), as the platform's Forms collection offers them. The list
// holds each form from its loading until it unloads.
namespace OpenForms {
void add(const QString& name, const q7::Object& form);
void remove(const QObject* form);
q7::Object find(const QString& name);
} // namespace OpenForms

} // namespace q7::component
