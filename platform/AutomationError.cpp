#include "platform/AutomationError.h"

namespace q7 {

AutomationError::AutomationError(int number, QString description)
    : number_(number), description_(std::move(description)),
      what_(QStringLiteral("Run-time error %1: %2").arg(number_).arg(description_).toStdString())
{
}

AutomationError::AutomationError(int number) : AutomationError(number, standardDescription(number)) {}

QString AutomationError::standardDescription(int number)
{
    switch (number) {
    case ErrBadCallOrArgument: return QStringLiteral("Invalid procedure call or argument");
    case ErrOverflow: return QStringLiteral("Overflow");
    case ErrSubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case ErrTypeMismatch: return QStringLiteral("Type mismatch");
    case ErrNameInvalid: return QStringLiteral("Invalid name");
    case ErrObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case ErrInvalidUseOfNull: return QStringLiteral("Invalid use of Null");
    case ErrInvalidPropertyValue: return QStringLiteral("Invalid property value");
    case ErrCannotCreateObject: return QStringLiteral("ActiveX component can't create object");
    case ErrNoSuchMember: return QStringLiteral("Object doesn't support this property or method");
    case ErrWrongArgumentCount: return QStringLiteral("Wrong number of arguments or invalid property assignment");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

} // namespace q7
