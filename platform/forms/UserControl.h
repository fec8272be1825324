#pragma once

#include "platform/forms/Container.h"
#include "platform/forms/Control.h"
#include "platform/forms/PropertyBag.h"

#include <QStringList>

namespace q7::forms {

// A user control: a control with controls of its own, its own scale (twips
// by default, inner size = its size), ambient properties from its container,
// property-change notifications and persistence through a property bag.
// Subclasses answer the life-cycle hooks.
class UserControl : public Control, public Container {
    Q_OBJECT
    Q_PROPERTY(double ScaleWidth READ scaleWidth)
    Q_PROPERTY(double ScaleHeight READ scaleHeight)
public:
    UserControl(Container* container, QString name, int index = -1);

    struct Ambient {
        QColor backColor;
        bool rightToLeft;
        bool userMode;
        QString displayName;
    };
    Ambient ambient() const;

    double innerWidthTwips() const override { return widthTwips(); }
    double innerHeightTwips() const override { return heightTwips(); }
    QWidget* childWidget() override { return widget(); }
    QObject* codeModule() override { return this; }
    QObject* asObject() override { return this; }
    bool hasChildWidget() const override { return existingWidget() != nullptr; }

    // Life cycle, as the container drives it.
    virtual void InitProperties() {}
    virtual void ReadProperties(PropertyBag&) {}
    virtual void WriteProperties(PropertyBag&) {}
    virtual void UserControl_Show() {}
    virtual void UserControl_Hide() {}
    virtual void UserControl_Paint() {}
    virtual void UserControl_Resize() {}
    virtual void AmbientChanged(const QString&) {}

    // Names reported through PropertyChanged, in order (the container's notification).
    QStringList propertyChanges;

protected:
    void PropertyChanged(const QString& name) { propertyChanges.append(name); }
    void geometryChanged(bool sizeChanged) override;
    // Showing and hiding the control raise Show and Hide; its window raises Paint.
    void visibilityChanged(bool visible) override;
    QWidget* createWidget(QWidget* parent) override;
};

// The user controls held in a container (and in the containers it holds)
// learn that their window was shown or hidden: Show for the visible ones, Hide.
void notifyWindowShown(Container& container, bool shown);
// The user controls held directly in a container learn of a change of one
// of its ambient properties ("ScaleUnits", …).
void notifyAmbientChanged(Container& container, const QString& name);

} // namespace q7::forms
