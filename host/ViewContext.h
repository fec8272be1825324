#pragma once

#include <QObject>
#include <QVariant>

namespace q7::host {

class ViewContext : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant Account MEMBER account)
    Q_PROPERTY(QVariant MenuKey MEMBER menuKey)
public:
    QVariant account;
    QVariant menuKey;
};

} // namespace q7::host
