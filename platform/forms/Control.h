#pragma once

#include "platform/LateBinding.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace q7::forms {

class Container;

// Mouse buttons and shift states as the platform passes them to events.
enum MouseButton { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// A control of a form: a name (and index in a control array), geometry kept
// in twips and shown in its container's scale units, visibility, a tag, and
// a Qt widget that shows it. Events ("Click", "MouseDown", …) go to the code
// module that holds the control (its form or user control) as the member
// "<name>_<event>", with the array index first for control arrays.
class Control : public QObject, public DynamicDispatch {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name)
    Q_PROPERTY(int Index READ index)
    Q_PROPERTY(double Left READ left WRITE setLeft)
    Q_PROPERTY(double Top READ top WRITE setTop)
    Q_PROPERTY(double Width READ width WRITE setWidth)
    Q_PROPERTY(double Height READ height WRITE setHeight)
    Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QVariant Tag MEMBER tag)
    Q_PROPERTY(int MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor)
public:
    Control(Container* container, QString name, int index = -1);
    ~Control() override;

    QString name() const { return name_; }
    int index() const { return index_; }
    Container* container() const { return container_; }
    virtual QString typeName() const { return q7::typeName(this); }

    // Geometry in the container's scale units.
    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double value);
    void setTop(double value);
    void setWidth(double value);
    void setHeight(double value);
    Q_INVOKABLE void Move(double left, const QVariant& top = QVariant(), const QVariant& width = QVariant(), const QVariant& height = QVariant());

    // Geometry in twips (the source of truth).
    double leftTwips() const { return left_; }
    double topTwips() const { return top_; }
    double widthTwips() const { return width_; }
    double heightTwips() const { return height_; }
    void setGeometryTwips(double left, double top, double width, double height);

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int pointer);
    QColor backColor() const { return backColor_; }
    virtual void setBackColor(const QColor& color);

    Q_INVOKABLE virtual void Refresh();
    Q_INVOKABLE void ZOrder(int position = 0); // 0: to the front
    Q_INVOKABLE void SetFocus();

    QVariant tag;

    // The widget that shows the control (made on first use).
    QWidget* widget();
    // Raises an event of this control on its code module.
    void raise(const QString& event, QVariantList& args);
    void raise(const QString& event, QVariantList&& args) { raise(event, args); }

    // Properties that a control kind does not declare are kept by name.
    bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) override;

    int refreshCount = 0; // how often the control was asked to refresh (for tests)

    // The widget if it has been made (drawing never makes one).
    QWidget* existingWidget() const { return widget_; }

protected:
    virtual QWidget* createWidget(QWidget* parent);
    virtual void geometryChanged(bool sizeChanged);
    // The Visible property changed.
    virtual void visibilityChanged(bool visible) { Q_UNUSED(visible) }
    void syncWidget();

private:
    friend class Container;
    Container* container_;
    QString name_;
    int index_;
    double left_ = 0, top_ = 0, width_ = 1200, height_ = 900;
    bool visible_ = true, enabled_ = true;
    int mousePointer_ = 0;
    QColor backColor_ = QColor(0xf0, 0xf0, 0xf0);
    QPointer<QWidget> widget_;
    QVariantMap extra_;
};

} // namespace q7::forms
