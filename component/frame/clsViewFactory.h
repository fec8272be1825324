#pragma once

#include "platform/Framework.h"

#include <QObject>

namespace q7::component {

// Creates the BOM browse view for the view keys "Morvex.Q7.", two
// characters, then ".BO02001" or ".BO02002".
class clsViewFactory : public QObject, public q7::IViewFactory {
    Q_OBJECT
public:
    q7::Object CreateView(const QString& key) override;
    Q_INVOKABLE QVariant CreateView(const QVariant& key) { return q7::fromObject(CreateView(key.toString())); }
};

} // namespace q7::component
