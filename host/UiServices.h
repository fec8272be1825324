#pragma once

#include "platform/HostServices.h"

#include <QObject>

namespace q7::host {

// Reference look-ups over the current account: a searchable pick list per
// kind (platform/ReferKinds.h); Enter picks, Esc cancels and changes nothing.
class ReferService : public QObject, public IRefer {
    Q_OBJECT
public:
    void InitReferInfo(QVariant& record, int count) override;
    void SetReferInfo(QVariant& record, int number, const QString& column, const QString& referKind,
                      const QString& filter) override;
    bool ShowRefer(const QVariant& login, const QString& referKind, const QVariantList& parameters, QVariant& recordset, QVariant& picked,
                   int a, int b) override;
    bool ShowFreeItemRefer(const QVariant& login, QVariant& itemCode, QVariant& freeValues, int a, QVariant& recordset,
                           int b) override;
};

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

// Voucher templates by voucher type: the template's name only.
class TemplateService : public QObject, public ITemplate {
    Q_OBJECT
public:
    QVariant GetTemplate(const QVariant& account, const QString& voucherType) override;
};

// The calendar picker: a month calendar opened on the initial date (today
// when that is not a date); answers the picked date, or the initial text
// unchanged when the user cancels.
class CalendarPicker : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void SetLeft(int left) { left_ = left; }
    Q_INVOKABLE void SetTop(int top) { top_ = top; }
    Q_INVOKABLE void SetSeparator(const QString& separator) { separator_ = separator; }
    Q_INVOKABLE void SetInitialDate(const QVariant& date) { initial_ = date; }
    Q_INVOKABLE void SetTitle(const QString& title) { title_ = title; }
    Q_INVOKABLE QString Show(const QVariant& window);

private:
    int left_ = 0, top_ = 0;
    QString separator_ = QStringLiteral("-"), title_;
    QVariant initial_;
};

// Fills a view context from the arguments of Enter: the first is the account
// context, the second the menu key.
class ViewInitializer : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE bool Init(QVariant& context, const QVariant& account, const QVariant& menuKey);
};

class ViewContext : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant Account MEMBER account)
    Q_PROPERTY(QVariant MenuKey MEMBER menuKey)
public:
    QVariant account;
    QVariant menuKey;
};

} // namespace q7::host
