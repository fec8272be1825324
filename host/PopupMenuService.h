#pragma once

#include "platform/HostServices.h"

#include <QObject>

namespace q7::host {

// Popup menus as lists of captions; showing one answers the chosen entry
// (1 for the first) or 0 when the user chose nothing.
class PopupMenuService : public QObject, public IPopupMenu {
    Q_OBJECT
public:
    void CreateMenu(QVariant& menu, int flag) override;
    void AddMenuEntry(QVariant& menu, int a, const QString& caption, int b) override;
    void ShowMenu(const QVariant& menu, const QVariant& window, QVariant& chosen) override;
    void InitMenuRecord(QVariant& record, int count) override;
    void SetMenuRecord(QVariant& record, int index, const QString& caption) override;
};

} // namespace q7::host
