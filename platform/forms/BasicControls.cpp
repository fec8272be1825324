#include "platform/forms/BasicControls.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"
#include "platform/forms/Form.h"
#include "platform/forms/Keys.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace q7::forms {

// ---- Label ----
void Label::setCaption(const QString& caption)
{
    caption_ = caption;
    sync();
}
void Label::setAlignment(int alignment)
{
    alignment_ = alignment;
    sync();
}
QWidget* Label::createWidget(QWidget* parent)
{
    auto* label = new QLabel(caption_, parent);
    label->setAutoFillBackground(true);
    label->setFont(font_);
    label->setAlignment((alignment_ == 1 ? Qt::AlignRight : alignment_ == 2 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    label->setWordWrap(wordWrap_);
    return label;
}
void Label::sync()
{
    if (auto* label = qobject_cast<QLabel*>(existingWidget())) {
        label->setText(caption_);
        label->setWordWrap(wordWrap_);
        label->setFont(font_);
        label->setAlignment((alignment_ == 1 ? Qt::AlignRight : alignment_ == 2 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    }
}

// ---- TextBox ----
void TextBox::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
    if (auto* edit = qobject_cast<QLineEdit*>(existingWidget()); edit && edit->text() != text)
        edit->setText(text);
    raise(QStringLiteral("Change"), QVariantList{});
}

void TextBox::setSelStart(int position)
{
    selStart_ = std::clamp(position, 0, static_cast<int>(text_.size()));
    if (auto* edit = qobject_cast<QLineEdit*>(existingWidget()))
        edit->setCursorPosition(selStart_);
}

namespace {
// The form's KeyPreview first, then the control's own KeyDown; the key code left.
int raiseKeyDown(Control& control, int keyCode, int shift)
{
    if (auto* form = dynamic_cast<Form*>(control.container()))
        keyCode = form->previewKeyDown(keyCode, shift);
    if (keyCode == 0)
        return 0;
    QVariantList args{keyCode, shift};
    control.raise(QStringLiteral("KeyDown"), args);
    return values::toLong(args[0]);
}
} // namespace

int TextBox::keyDown(int keyCode, int shift) { return raiseKeyDown(*this, keyCode, shift); }

void TextBox::type(const QString& characters)
{
    if (locked)
        return;
    QString accepted;
    for (const QChar c : characters)
        if (!forbiddenCharacters.contains(c))
            accepted += c;
    if (accepted.isEmpty())
        return;
    for (const QChar c : accepted)
        keyDown(c.toUpper().unicode(), 0);
    QString text = text_;
    text.insert(selStart_, accepted);
    selStart_ += static_cast<int>(accepted.size());
    setText(text);
}

bool TextBox::leave()
{
    QVariantList args{false};
    raise(QStringLiteral("Validate"), args);
    const bool cancelled = values::toBoolean(args[0]);
    if (cancelled)
        SetFocus();
    return !cancelled;
}

QWidget* TextBox::createWidget(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setText(text_);
    QObject::connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& typed) {
        QString cleaned;
        for (const QChar c : typed)
            if (!forbiddenCharacters.contains(c))
                cleaned += c;
        if (cleaned != typed)
            edit->setText(cleaned);
        selStart_ = edit->cursorPosition();
        setText(cleaned);
    });
    QObject::connect(edit, &QLineEdit::editingFinished, this, [this] { leave(); });
    forwardKeys(edit, [this](int keyCode, int shift) { return keyDown(keyCode, shift); });
    return edit;
}

// ---- ComboBox ----
void ComboBox::AddItem(const QString& item)
{
    items_.append(item);
    sync();
}
void ComboBox::Clear()
{
    items_.clear();
    index_ = -1;
    text_.clear();
    sync();
}
QString ComboBox::List(int index) const
{
    if (index < 0 || index >= items_.size())
        throw AutomationError(ErrInvalidPropertyValue);
    return items_[index];
}
void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= items_.size())
        throw AutomationError(ErrInvalidPropertyValue);
    index_ = index;
    text_ = index >= 0 ? items_[index] : QString();
    sync();
    raise(QStringLiteral("Click"), QVariantList{});
}
void ComboBox::setText(const QString& text)
{
    text_ = text;
    index_ = static_cast<int>(items_.indexOf(text));
    sync();
    raise(QStringLiteral("Change"), QVariantList{});
}
QWidget* ComboBox::createWidget(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    fill(*combo); // what was set before the window was made
    QObject::connect(combo, &QComboBox::activated, this, [this](int index) { setListIndex(index); });
    forwardKeys(combo, [this](int keyCode, int shift) { return keyDown(keyCode, shift); });
    return combo;
}
int ComboBox::keyDown(int keyCode, int shift) { return raiseKeyDown(*this, keyCode, shift); }

void ComboBox::sync()
{
    if (auto* combo = qobject_cast<QComboBox*>(existingWidget()))
        fill(*combo);
}

void ComboBox::fill(QComboBox& combo) const
{
    const QSignalBlocker block(&combo);
    combo.clear();
    combo.addItems(items_);
    combo.setCurrentIndex(index_);
    combo.setEditText(text_);
}

// ---- CommandButton ----
void CommandButton::setCaption(const QString& caption)
{
    caption_ = caption;
    if (auto* button = qobject_cast<QPushButton*>(existingWidget()))
        button->setText(caption);
}
void CommandButton::setPicture(const QImage& picture)
{
    picture_ = picture;
    if (auto* button = qobject_cast<QPushButton*>(existingWidget()))
        button->setIcon(QPixmap::fromImage(picture));
}
void CommandButton::click() { raise(QStringLiteral("Click"), QVariantList{}); }
QWidget* CommandButton::createWidget(QWidget* parent)
{
    auto* button = new QPushButton(caption_, parent);
    if (!picture_.isNull())
        button->setIcon(QPixmap::fromImage(picture_));
    QObject::connect(button, &QPushButton::clicked, this, [this] { click(); });
    return button;
}

// ---- FlatScrollBar ----
void FlatScrollBar::setMin(int v)
{
    min_ = v;
    setValue(value_);
    sync();
}
void FlatScrollBar::setMax(int v)
{
    max_ = v;
    setValue(value_);
    sync();
}
void FlatScrollBar::setValue(int v)
{
    const int bounded = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (bounded == value_)
        return;
    value_ = bounded;
    sync();
    raise(QStringLiteral("Change"), QVariantList{});
}
QWidget* FlatScrollBar::createWidget(QWidget* parent)
{
    auto* bar = new QScrollBar(orientation == 0 ? Qt::Vertical : Qt::Horizontal, parent);
    QObject::connect(bar, &QScrollBar::valueChanged, this, [this](int v) {
        if (v != value_) {
            value_ = v;
            raise(QStringLiteral("Scroll"), QVariantList{});
            raise(QStringLiteral("Change"), QVariantList{});
        }
    });
    return bar;
}
void FlatScrollBar::sync()
{
    if (auto* bar = qobject_cast<QScrollBar*>(existingWidget())) {
        const QSignalBlocker block(bar);
        bar->setRange(min_, max_);
        bar->setValue(value_);
    }
}

} // namespace q7::forms
