#pragma once

#include "platform/forms/Control.h"

#include <QImage>
#include <QList>
#include <QSharedPointer>
#include <QStringList>

namespace q7::forms {

// Images by key, for toolbars.
class ImageList : public Control {
    Q_OBJECT
    Q_PROPERTY(int Count READ count)
public:
    using Control::Control;
    Q_INVOKABLE void AddImage(const QString& key, const QVariant& image); // a QImage or a bitmap number of the component
    Q_INVOKABLE void Clear() { images_.clear(); keys_.clear(); }
    int count() const { return static_cast<int>(keys_.size()); }
    QImage image(const QString& key) const;
    QStringList keys() const { return keys_; }

private:
    QStringList keys_;
    QList<QImage> images_;
};

// A toolbar button; style 0 button, 3 separator, 5 drop-down; its menu entries.
class ToolbarButton : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Key MEMBER key)
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(int Style MEMBER style)
    Q_PROPERTY(bool Enabled MEMBER enabled)
    Q_PROPERTY(bool Visible MEMBER visible)
    Q_PROPERTY(QString ToolTipText MEMBER toolTip)
public:
    QString key, caption, toolTip, image;
    int style = 0;
    bool enabled = true, visible = true;
    QStringList menuKeys, menuCaptions;
    Q_INVOKABLE QVariant AddMenu(const QString& key, const QString& caption)
    {
        menuKeys.append(key);
        menuCaptions.append(caption);
        return QVariant();
    }
};

// The classic toolbar: buttons with images from its image list. Events:
// ButtonClick (button), ButtonMenuClick (key).
class Toolbar : public Control {
    Q_OBJECT
    Q_PROPERTY(int Align MEMBER align)
    Q_PROPERTY(QVariant ImageList READ imageList WRITE setImageList)
public:
    using Control::Control;
    Q_INVOKABLE QVariant AddButton(const QString& key, const QString& caption, int style, const QVariant& image, const QString& toolTip);
    Q_INVOKABLE void ClearButtons()
    {
        buttons_.clear();
        rebuild();
    }
    Q_INVOKABLE QVariant Button(const QString& key) const;
    Q_INVOKABLE void SetButtonEnabled(const QString& key, bool enabled);
    Q_INVOKABLE void click(const QString& key);
    QVariant imageList() const { return imageList_; }
    void setImageList(const QVariant& list)
    {
        imageList_ = list;
        rebuild();
    }
    const QList<QSharedPointer<ToolbarButton>>& buttons() const { return buttons_; }
    int align = 1;

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    void rebuild();
    void fill(QWidget* bar);
    QList<QSharedPointer<ToolbarButton>> buttons_;
    QVariant imageList_;
};

// The maker's toolbar: takes over a classic toolbar's buttons and shows them
// in a display style (1 its own, 2 the classic one); a click is passed on to
// the classic toolbar's button of the same key.
class MvToolbar : public Control {
    Q_OBJECT
    Q_PROPERTY(bool SpecialEffect MEMBER specialEffect)
public:
    using Control::Control;
    Q_INVOKABLE void SetToolbar(const QVariant& toolbar) { toolbar_ = toObject(toolbar); }
    Q_INVOKABLE void SetDisplayStyle(int style) { style_ = style; }
    Q_INVOKABLE int GetToolbarStyle() const { return style_; }
    Q_INVOKABLE void TakeSettings(int) {}
    Q_INVOKABLE void click(const QString& key);
    bool specialEffect = false;

private:
    Object toolbar_;
    int style_ = 2;
};

// Carries a window's title text.
class CaptionManager : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER caption)
public:
    using Control::Control;
    QString caption;
};

// The host's window extension; it offers nothing the component calls.
class MDIExtend : public Control {
    Q_OBJECT
public:
    using Control::Control;
};

} // namespace q7::forms
