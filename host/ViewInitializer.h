#pragma once

#include <QObject>
#include <QVariant>

namespace q7::host {

// Fills a view context from the arguments of Enter: the first is the account
// context, the second the menu key.
class ViewInitializer : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE bool Init(QVariant& context, const QVariant& account, const QVariant& menuKey);
};

} // namespace q7::host
