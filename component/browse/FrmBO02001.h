#pragma once

#include "platform/Framework.h"

#include <QObject>
#include <QVariant>

// The multi-level BOM browse window, reached by the host only through
// IFormView. Entering it sets the browse mode from the menu key of the view
// context and arms the condition dialog for the first activation.
class FrmBO02001 : public QObject, public q7::framework::IFormView {
    Q_OBJECT
    Q_CLASSINFO("AutomationKind", "Form")
public:
    bool Active() override { return true; }
    bool Enter(QVariant& first, QVariant& second) override;
    bool ExitIt() override { return true; }

    Q_INVOKABLE void FormLoad();

    const QVariant& viewContext() const { return m_viewContext; }

private:
    QVariant m_viewContext;
};
