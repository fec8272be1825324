#include "platform/forms/Form.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"
#include "platform/forms/Control.h"
#include "platform/forms/FormPlacement.h"
#include "platform/forms/HelpWindow.h"
#include "platform/forms/UserControl.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QResizeEvent>
#include <cmath>

namespace q7::forms {

namespace {

class FormWindow : public QWidget {
public:
    explicit FormWindow(Form* form) : form_(form) { setAutoFillBackground(true); }

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        if (form_ && e->size() != e->oldSize())
            form_->windowResized(e->size().width(), e->size().height());
    }
    // F1 pressed in the window, or in a control that leaves the key to it,
    // opens the help (a help button posts F1 to the window).
    void keyPressEvent(QKeyEvent* e) override
    {
        if (form_ && e->key() == Qt::Key_F1 && e->modifiers() == Qt::NoModifier) {
            form_->showHelp();
            e->accept();
            return;
        }
        QWidget::keyPressEvent(e);
    }
    // The title bar's close (or a host closing the window it embeds) unloads the form.
    void closeEvent(QCloseEvent* e) override
    {
        if (form_ && !form_->unload(Form::UnloadByControlMenu))
            e->ignore();
        else
            e->accept();
    }

private:
    QPointer<Form> form_;
};

// A control array as the platform shows it: Item(index), Count, LBound, UBound.
class ControlArray : public QObject {
    Q_OBJECT
public:
    explicit ControlArray(QList<QSharedPointer<Control>> items) : items_(std::move(items)) {}
    Q_INVOKABLE QVariant Item(int index) const
    {
        for (const auto& c : items_)
            if (c->index() == index)
                return fromObject(c);
        throw AutomationError(ErrSubscriptOutOfRange);
    }
    Q_INVOKABLE int Count() const { return static_cast<int>(items_.size()); }
    Q_INVOKABLE int LBound() const
    {
        int low = INT_MAX;
        for (const auto& c : items_)
            low = std::min(low, c->index());
        return items_.isEmpty() ? 0 : low;
    }
    Q_INVOKABLE int UBound() const
    {
        int high = -1;
        for (const auto& c : items_)
            high = std::max(high, c->index());
        return high;
    }

private:
    QList<QSharedPointer<Control>> items_;
};

} // namespace

namespace {
std::function<void(Form&)>& modalDriver()
{
    static std::function<void(Form&)> driver;
    return driver;
}
} // namespace

void Form::setModalDriver(std::function<void(Form&)> driver) { modalDriver() = std::move(driver); }

Form::Form() = default;

Form::~Form() { delete window_.data(); }

void Form::setCaption(const QString& caption)
{
    caption_ = caption;
    if (window_)
        window_->setWindowTitle(caption);
}

void Form::setWidthTwips(double width)
{
    if (width == width_)
        return;
    width_ = width;
    sizeChanged();
}

void Form::setHeightTwips(double height)
{
    if (height == height_)
        return;
    height_ = height;
    sizeChanged();
}

void Form::sizeChanged()
{
    if (window_) {
        const QSize size(static_cast<int>(std::lround(innerWidthTwips() / Screen::twipsPerPixelX())),
                         static_cast<int>(std::lround(innerHeightTwips() / Screen::twipsPerPixelY())));
        if (window_->size() != size)
            window_->resize(size);
    }
    scaleChanged();
    raiseFormEvent("Form_Resize");
}

double Form::innerWidthTwips() const { return std::max(0.0, width_ - FramePixelsX * Screen::twipsPerPixelX()); }
double Form::innerHeightTwips() const { return std::max(0.0, height_ - FramePixelsY * Screen::twipsPerPixelY()); }

QWidget* Form::window()
{
    if (!window_) {
        window_ = new FormWindow(this);
        window_->setWindowTitle(caption_);
        window_->resize(static_cast<int>(std::lround(innerWidthTwips() / Screen::twipsPerPixelX())),
                        static_cast<int>(std::lround(innerHeightTwips() / Screen::twipsPerPixelY())));
        for (Control* control : controls())
            control->widget();
    }
    return window_;
}

QWidget* Form::childWidget() { return window(); }

void Form::windowResized(int widthPixels, int heightPixels)
{
    const double width = widthPixels * Screen::twipsPerPixelX() + FramePixelsX * Screen::twipsPerPixelX();
    const double height = heightPixels * Screen::twipsPerPixelY() + FramePixelsY * Screen::twipsPerPixelY();
    if (std::fabs(width - width_) < 1 && std::fabs(height - height_) < 1)
        return;
    width_ = width;
    height_ = height;
    scaleChanged();
    raiseFormEvent("Form_Resize");
}

void Form::setIcon(const QImage& icon)
{
    icon_ = icon;
    if (window_)
        window_->setWindowIcon(QIcon(QPixmap::fromImage(icon)));
}

void Form::Show(int modal)
{
    if (!loaded_) {
        loaded_ = true;
        raiseFormEvent("Form_Load");
    }
    const bool wasVisible = visible_;
    visible_ = true;
    if (modal)
        window()->setWindowModality(Qt::ApplicationModal);
    placeFormWindow(*window());
    window()->show();
    if (!wasVisible)
        notifyWindowShown(*this, true);
    raiseFormEvent("Form_Activate");
    if (modal && modalDriver()) {
        modalDriver()(*this);
    } else if (modal && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QEventLoop loop;
        while (visible_ && window_ && window_->isVisible())
            loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void Form::showHelp() const { forms::showHelp(helpContextId); }

int Form::previewKeyDown(int keyCode, int shift)
{
    if (!keyPreview)
        return keyCode;
    QVariantList args{keyCode, shift};
    raiseFormEvent("Form_KeyDown", args);
    return values::toLong(args[0]);
}

void Form::Hide()
{
    const bool wasVisible = visible_;
    visible_ = false;
    if (window_)
        window_->hide();
    if (wasVisible)
        notifyWindowShown(*this, false);
}

bool Form::unload(UnloadMode mode)
{
    if (unloading_)
        return true; // an unload asked for while one runs is that one
    unloading_ = true;
    QVariantList query{0, static_cast<int>(mode)};
    raiseFormEvent("Form_QueryUnload", query);
    QVariantList args{0};
    if (values::toLong(query.value(0)) == 0)
        raiseFormEvent("Form_Unload", args);
    unloading_ = false;
    if (values::toLong(query.value(0)) != 0 || values::toLong(args.value(0)) != 0)
        return false;
    Hide();
    loaded_ = false;
    emit unloaded();
    return true;
}

void Form::released() noexcept
{
    try {
        raiseFormEvent("Form_Terminate");
    } catch (...) { // nothing can travel out of a release
    }
}

void Form::raiseFormEvent(const char* event, QVariantList& args)
{
    const QString member = QString::fromLatin1(event);
    if (hasDeclaredMember(this, member))
        callByName(this, member, args);
}

bool Form::dispatch(Access access, const QString& name, QVariantList& args, QVariant& result)
{
    if (access == Access::Let)
        return false;
    QList<QSharedPointer<Control>> matches;
    for (Control* control : controls())
        if (values::textEquals(control->name(), name))
            matches.append(reference(control));
    if (matches.isEmpty())
        return false;
    const bool isArray = matches.first()->index() >= 0;
    if (!isArray && args.isEmpty()) {
        result = fromObject(matches.first());
        return true;
    }
    if (isArray && args.isEmpty()) {
        result = fromObject(makeObject<ControlArray>(matches));
        return true;
    }
    if (isArray && args.size() == 1) {
        result = ControlArray(matches).Item(values::toLong(args[0]));
        return true;
    }
    return false;
}

} // namespace q7::forms

#include "Form.moc"
