#pragma once

#include "platform/ObjectRef.h"

#include <QList>
#include <QObject>
#include <QStringList>

namespace q7::host::voucher {

class ToolbarButton : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled MEMBER enabled)
    Q_PROPERTY(int Style MEMBER style)
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(QString Key MEMBER key)
public:
    Q_INVOKABLE QVariant AddMenu(const QString& menuKey, const QString& menuCaption);
    QString key, caption;
    bool enabled = true;
    int style = 0; // 5: a drop-down button
    QVariant image;
    QStringList menuKeys, menuCaptions;
};

// The voucher form's toolbar: standard buttons (add, edit, delete, save,
// cancel, first, previous, next, last, refresh) and those the handler adds.
class VoucherToolbar : public QObject {
    Q_OBJECT
public:
    VoucherToolbar();
    Q_INVOKABLE QVariant Buttons(const QString& key) const; // error 35601 for an unknown key
    Q_INVOKABLE QVariant AddButton(const QString& key, const QString& caption, int style, const QVariant& image, const QString& toolTip);
    Q_INVOKABLE void SetButtonEnabled(const QString& key, bool enabled);
    ToolbarButton* button(const QString& key) const; // nullptr when absent
    bool isEnabled(const QString& key) const;
    const QList<QSharedPointer<ToolbarButton>>& buttons() const { return buttons_; }

    static QStringList standardKeys();

private:
    QList<QSharedPointer<ToolbarButton>> buttons_;
};

} // namespace q7::host::voucher
