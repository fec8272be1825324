#pragma once

#include "platform/HostServices.h"

#include <QObject>

namespace q7::host {

// Toolbars: standard keys, images by bitmap number, buttons and button menus
// reached on the toolbar object by name ("AddButton", "AddImage", "AddMenu").
class ToolbarService : public QObject, public IToolbar {
    Q_OBJECT
public:
    QString AddKey() override { return QStringLiteral("tlbAdd"); }
    QString StandardKey(const QString& button) override { return QStringLiteral("tlb") + button; }
    void SetButtonEnabled(const Object& toolbar, const QString& key, bool enabled) override;
    void AddImage(QVariant& imageList, int index, const QString& key, int bitmapNumber, int flag) override;
    QVariant AddButton(QVariant& toolbar, const QString& key, const QString& caption, int style, const QVariant& image, int a,
                       int b, const QString& toolTip) override;
    QVariant AddButtonMenu(const QVariant& button, const QString& key, const QString& caption) override;
};

} // namespace q7::host
