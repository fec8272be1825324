#pragma once

#include "platform/Events.h"

#include <QObject>

// What the four grid maintenance handlers share: the maintenance form and
// the binding of its event source.
class ProcessHandler : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void FormProcess(const QVariant& frm);

    const q7::Object& form() const { return m_frmProcess; }
    const q7::EventVariable& events() const { return objEvent; }

protected:
    q7::Object m_frmProcess;
    q7::EventVariable objEvent{this, QStringLiteral("objEvent")};
};

// Maintenance handler of menu BO01002.
class clsBO01002 : public ProcessHandler {
    Q_OBJECT
};
// Maintenance handler of menu BO01003.
class clsBO01003 : public ProcessHandler {
    Q_OBJECT
};
// Maintenance handler of menu BO01004.
class clsBO01004 : public ProcessHandler {
    Q_OBJECT
};
// Maintenance handler of menu BO01005.
class clsBO01005 : public ProcessHandler {
    Q_OBJECT
};
