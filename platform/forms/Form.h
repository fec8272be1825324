#pragma once

#include "platform/LateBinding.h"
#include "platform/forms/Container.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace q7::forms {

class Control;

// A form: a top-level window holding controls, with its size in twips (outer,
// including the frame of 8 × 27 pixels) and its inner size in its scale
// units. Controls are reached by name (late-bound "cmdOK"; control arrays as
// "lblHint" with an index). Its own events go to its members "Form_Load",
// "Form_Activate", "Form_Resize", "Form_QueryUnload" (cancel and unload mode
// by reference), "Form_Unload" (cancel by reference) and "Form_Terminate"
// (the last reference to a form made with makeObject is going).
//
// Closing the window (its title bar, or close() on its widget where a host
// embeds it) unloads the form as Unload does, with unload mode 0; a handler
// that cancels keeps the window open.
class Form : public QObject, public Container, public DynamicDispatch, public ReleaseNotified {
    Q_OBJECT
    Q_CLASSINFO("AutomationKind", "Form")
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(double Width READ widthTwips WRITE setWidthTwips)
    Q_PROPERTY(double Height READ heightTwips WRITE setHeightTwips)
    Q_PROPERTY(double ScaleWidth READ scaleWidth)
    Q_PROPERTY(double ScaleHeight READ scaleHeight)
    Q_PROPERTY(int ScaleMode READ scaleMode WRITE setScaleMode)
    Q_PROPERTY(int WindowState READ windowState WRITE setWindowState)
    Q_PROPERTY(bool KeyPreview MEMBER keyPreview)
    Q_PROPERTY(int HelpContextID MEMBER helpContextId)
    Q_PROPERTY(bool Visible READ isVisible)
    Q_PROPERTY(QImage Icon READ icon WRITE setIcon)
public:
    static constexpr int FramePixelsX = 8;
    static constexpr int FramePixelsY = 27;

    Form();
    ~Form() override;

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    double widthTwips() const { return width_; }
    double heightTwips() const { return height_; }
    void setWidthTwips(double width);
    void setHeightTwips(double height);
    int windowState() const { return windowState_; } // 0 normal, 1 minimised, 2 maximised
    void setWindowState(int state) { windowState_ = state; }
    bool isVisible() const { return visible_; }
    bool keyPreview = false;
    // The help page F1 opens in the form (0: none, the help's index).
    int helpContextId = 0;
    QImage icon() const { return icon_; }
    void setIcon(const QImage& icon);

    // Modal (1): the call returns when the form is hidden or unloaded; on the
    // offscreen platform (tests) there is nobody to close it, so it returns at once.
    Q_INVOKABLE void Show(int modal = 0);
    // A driver acts for the user while a form is shown modally (scripted
    // sessions, tests); none by default.
    static void setModalDriver(std::function<void(Form&)> driver);
    Q_INVOKABLE void Hide();
    Q_INVOKABLE void Unload() { unload(UnloadByCode); }
    // How an unload came about, as Form_QueryUnload is told.
    enum UnloadMode { UnloadByControlMenu = 0, UnloadByCode = 1 };
    // QueryUnload, then Form_Unload; false when a handler cancelled (the form stays loaded).
    bool unload(UnloadMode mode);
    bool isLoaded() const { return loaded_; }
    void released() noexcept override;

    double innerWidthTwips() const override;
    double innerHeightTwips() const override;
    QWidget* childWidget() override;
    QObject* codeModule() override { return this; }
    QObject* asObject() override { return this; }
    bool hasChildWidget() const override { return !window_.isNull(); }

    // Ambient properties offered to user controls.
    QColor ambientBackColor = QColor(0xf0, 0xf0, 0xf0);
    bool ambientRightToLeft = false;
    bool userMode = true;

    // The window (made on first use); its size follows the form's inner size.
    QWidget* window();
    // A key went down in one of the form's controls: with KeyPreview the form
    // sees it first (Form_KeyDown) and may swallow it by setting KeyCode to 0.
    // Returns the key code left for the control.
    int previewKeyDown(int keyCode, int shift);

    // F1 in the form: the help window on the page of its HelpContextID.
    void showHelp() const;

    // The window was resized by the user (pixels of the inner area).
    void windowResized(int widthPixels, int heightPixels);

    bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) override;

signals:
    // The form has unloaded (a host closes the window it embedded it in).
    void unloaded();

protected:
    // Calls the form's member for an event; by-reference arguments come back in args.
    void raiseFormEvent(const char* event, QVariantList& args);
    void raiseFormEvent(const char* event)
    {
        QVariantList none;
        raiseFormEvent(event, none);
    }

private:
    void sizeChanged();
    QString caption_;
    QImage icon_;
    double width_ = 4800, height_ = 3600;
    int windowState_ = 0;
    bool visible_ = false;
    bool loaded_ = false;
    bool unloading_ = false;
    QPointer<QWidget> window_;
};

} // namespace q7::forms
