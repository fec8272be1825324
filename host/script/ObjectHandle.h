#pragma once

#include "platform/ObjectRef.h"

#include <QObject>

namespace q7::host::script {

// What a script holds for an object of the run-time: a counted reference,
// released when the script's engine collects the handle. The handle shows
// none of the object's members to the engine; the script reaches them only
// through the run-time's late binding.
class ObjectHandle : public QObject {
    Q_OBJECT
public:
    explicit ObjectHandle(Object object) : object_(std::move(object)) {}
    const Object& object() const { return object_; }

private:
    Object object_;
};

} // namespace q7::host::script
