#pragma once

#include "platform/forms/Units.h"

#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

namespace q7::forms {

class Control;

// Something that holds controls and has a scale: a form, a picture box, a
// frame, a user control. Scale modes as the platform's; with the user scale
// the inner size in twips is divided into ScaleWidth × ScaleHeight units
// (a negative extent runs the other way).
class Container {
public:
    virtual ~Container();

    // Inner (client) size in twips.
    virtual double innerWidthTwips() const = 0;
    virtual double innerHeightTwips() const = 0;
    // The widget children are shown in (made on first use), and whether it exists.
    virtual QWidget* childWidget() = 0;
    virtual bool hasChildWidget() const = 0;
    // The object whose members receive the events of the controls held here.
    virtual QObject* codeModule() = 0;
    virtual QObject* asObject() = 0;

    int scaleMode() const { return scaleMode_; }
    void setScaleMode(int mode);
    // A user scale: origin and extent in units.
    void setScale(double left, double top, double width, double height);
    double scaleLeft() const { return scaleLeft_; }
    double scaleTop() const { return scaleTop_; }
    double scaleWidth() const;  // inner width in units
    double scaleHeight() const; // inner height in units

    // Twips per unit of this container's scale (negative when the axis runs the other way).
    double twipsPerUnitX() const;
    double twipsPerUnitY() const;
    double xToTwips(double x) const { return (x - scaleLeftOrZero()) * twipsPerUnitX(); }
    double yToTwips(double y) const { return (y - scaleTopOrZero()) * twipsPerUnitY(); }
    double xFromTwips(double twips) const { return twips / twipsPerUnitX() + scaleLeftOrZero(); }
    double yFromTwips(double twips) const { return twips / twipsPerUnitY() + scaleTopOrZero(); }
    // Converts a horizontal (vertical) size between scale modes, as ScaleX / ScaleY.
    double ScaleX(double value, int fromMode, int toMode) const;
    double ScaleY(double value, int fromMode, int toMode) const;

    // Controls held here, in the order they were added.
    QList<Control*> controls() const;
    Control* control(const QString& name, int index = -1) const; // exact name ignoring case; nullptr when absent
    // Adds a control made by the caller; the container owns it.
    template <typename T, typename... Args>
    T* add(Args&&... args)
    {
        QSharedPointer<T> owned(new T(this, std::forward<Args>(args)...));
        adopt(owned);
        return owned.data();
    }
    // The counted reference to a control held here (for late-bound callers).
    QSharedPointer<Control> reference(const Control* control) const;
    void remove(Control* control);

    // Called when the inner size or the scale changed.
    virtual void scaleChanged() {}

protected:
    void adopt(QSharedPointer<Control> control);
    double scaleLeftOrZero() const { return scaleMode_ == ScaleUser ? scaleLeft_ : 0.0; }
    double scaleTopOrZero() const { return scaleMode_ == ScaleUser ? scaleTop_ : 0.0; }

private:
    std::vector<QSharedPointer<Control>> controls_;
    int scaleMode_ = ScaleTwips;
    double scaleLeft_ = 0, scaleTop_ = 0, scaleWidth_ = 0, scaleHeight_ = 0;
};

} // namespace q7::forms
