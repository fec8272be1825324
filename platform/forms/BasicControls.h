#pragma once

#include "platform/forms/Control.h"
#include "platform/forms/PictureBox.h"

#include <QFont>
#include <QImage>
#include <QStringList>

class QComboBox;

namespace q7::forms {

// A label: a caption with an alignment (0 left, 1 right, 2 centre) and a font.
class Label : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool FontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ fontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontUnderline READ fontUnderline WRITE setFontUnderline)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
public:
    using Control::Control;
    QString caption() const { return caption_; }
    // A long caption goes on over the next lines instead of being cut at the right edge.
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool wrap) { wordWrap_ = wrap; sync(); }
    void setCaption(const QString& caption);
    int alignment() const { return alignment_; }
    void setAlignment(int alignment);
    QString fontName() const { return font_.family(); }
    double fontSize() const { return font_.pointSizeF(); }
    bool fontBold() const { return font_.bold(); }
    bool fontItalic() const { return font_.italic(); }
    bool fontUnderline() const { return font_.underline(); }
    void setFontName(const QString& name) { font_.setFamily(name); sync(); }
    void setFontSize(double size) { if (size > 0) font_.setPointSizeF(size); sync(); }
    void setFontBold(bool bold) { font_.setBold(bold); sync(); }
    void setFontItalic(bool italic) { font_.setItalic(italic); sync(); }
    void setFontUnderline(bool underline) { font_.setUnderline(underline); sync(); }

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    void sync();
    QString caption_;
    int alignment_ = 0;
    bool wordWrap_ = false;
    QFont font_ = QFont(QStringLiteral("WenQuanYi Zen Hei"), 9);
};

// An edit box. Characters listed in forbiddenCharacters cannot be typed.
// Events: Change, GotFocus, KeyDown (KeyCode, Shift), Validate (Cancel):
// a cancelled Validate keeps the focus in the box.
class TextBox : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(int SelStart READ selStart WRITE setSelStart)
    Q_PROPERTY(bool Locked MEMBER locked)
public:
    using Control::Control;
    QString text() const { return text_; }
    void setText(const QString& text);
    int selStart() const { return selStart_; }
    void setSelStart(int position);
    bool locked = false;
    QString forbiddenCharacters;

    // What the user types: forbidden characters are dropped; raises KeyDown and Change.
    void type(const QString& characters);
    // A key went down in the box (the form's KeyPreview first); the key code left for the box.
    int keyDown(int keyCode, int shift);
    // The focus is leaving: raises Validate; false when the handler cancelled.
    bool leave();

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    QString text_;
    int selStart_ = 0;
};

// A drop-down list. Events: Click (a choice), Change (typed text), KeyDown (KeyCode, Shift).
class ComboBox : public Control {
    Q_OBJECT
    Q_PROPERTY(int ListCount READ listCount)
    Q_PROPERTY(int ListIndex READ listIndex WRITE setListIndex)
    Q_PROPERTY(QString Text READ text WRITE setText)
public:
    using Control::Control;
    Q_INVOKABLE void AddItem(const QString& item);
    Q_INVOKABLE void Clear();
    Q_INVOKABLE QString List(int index) const;
    int listCount() const { return static_cast<int>(items_.size()); }
    int listIndex() const { return index_; }
    void setListIndex(int index); // −1 for no selection; raises Click
    QString text() const { return text_; }
    void setText(const QString& text);
    // A key went down in the list; the key code left for the list.
    int keyDown(int keyCode, int shift);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    void sync();
    void fill(QComboBox& combo) const; // the list, the choice and the text in the widget
    QStringList items_;
    int index_ = -1;
    QString text_;
};

// A command button with a caption and an optional picture. Event: Click.
class CommandButton : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
public:
    using Control::Control;
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    void setPicture(const QImage& picture);
    QImage picture() const { return picture_; }
    Q_INVOKABLE void click();

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    QString caption_;
    QImage picture_;
};

// A frame: a captioned container.
class Frame : public PictureBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER caption)
public:
    using PictureBox::PictureBox;
    QString caption;
};

// A flat scroll bar. Events: Change and Scroll.
class FlatScrollBar : public Control {
    Q_OBJECT
    Q_PROPERTY(int Min READ min WRITE setMin)
    Q_PROPERTY(int Max READ max WRITE setMax)
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(int Orientation MEMBER orientation)
public:
    using Control::Control;
    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }
    void setMin(int v);
    void setMax(int v);
    void setValue(int v); // kept within Min..Max; raises Change when it changes
    int orientation = 1;  // 0 vertical, 1 horizontal

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    void sync();
    int min_ = 0, max_ = 100, value_ = 0;
};

} // namespace q7::forms
