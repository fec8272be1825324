#include "platform/Forms.h"

#include "platform/AutomationError.h"

namespace q7 {

bool isForm(const QObject* object)
{
    if (!object)
        return false;
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfClassInfo("AutomationKind");
    return index >= 0 && qstrcmp(meta->classInfo(index).value(), "Form") == 0;
}

Object requireForm(const QVariant& argument)
{
    if (!isObject(argument))
        throw AutomationError(ErrTypeMismatch);
    Object form = toObject(argument);
    if (form && !isForm(form.data())) // Nothing passes; using it raises 91
        throw AutomationError(ErrTypeMismatch);
    return form;
}

} // namespace q7
