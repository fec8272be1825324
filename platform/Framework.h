#pragma once

#include "platform/ObjectRef.h"

#include <QString>
#include <QVariant>

// The host UI framework's view interfaces: a view factory answers a view key
// with a view; the framework enters, activates and exits views.
namespace q7 {

class IFormView {
public:
    virtual ~IFormView() = default;
    virtual bool Active() = 0;
    virtual bool Enter(QVariant& first, QVariant& second) = 0;
    virtual bool ExitIt() = 0;
};

class IViewFactory {
public:
    virtual ~IViewFactory() = default;
    virtual Object CreateView(const QString& key) = 0; // a null reference when the key is not served
};

// Class identifier of the framework object that fills a view context from
// the two arguments of Enter ("Init" (context by reference, first, second)
// → Boolean); the context then answers "Account" and "MenuKey".
inline constexpr const char* ViewInitializerClassId = "Q7Host.ViewInitializer";

} // namespace q7
