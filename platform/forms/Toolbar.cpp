#include "platform/forms/Toolbar.h"

#include "platform/AutomationError.h"
#include "platform/Resources.h"
#include "platform/values/Values.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QToolButton>

namespace q7::forms {

void ImageList::AddImage(const QString& key, const QVariant& image)
{
    QImage picture = image.metaType() == QMetaType::fromType<QImage>()
        ? image.value<QImage>()
        : loadBitmap(QStringLiteral("Q7BomLib"), values::toLong(image));
    if (picture.isNull())
        throw AutomationError(ErrInvalidPropertyValue, QStringLiteral("No image for %1").arg(key));
    keys_.append(key);
    images_.append(picture);
}

QImage ImageList::image(const QString& key) const
{
    const qsizetype at = keys_.indexOf(key);
    return at < 0 ? QImage() : images_[at];
}

QVariant Toolbar::AddButton(const QString& key, const QString& caption, int style, const QVariant& image, const QString& toolTip)
{
    for (const auto& b : buttons_)
        if (!key.isEmpty() && b->key == key)
            throw AutomationError(35602, QStringLiteral("Key is not unique in collection"));
    auto button = makeObject<ToolbarButton>();
    button->key = key;
    button->caption = caption;
    button->style = style;
    button->image = values::toTextOrEmpty(isMissing(image) ? QVariant() : image);
    button->toolTip = toolTip;
    buttons_.append(button);
    rebuild();
    return fromObject(button);
}

QWidget* Toolbar::createWidget(QWidget* parent)
{
    auto* bar = new QWidget(parent);
    bar->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);
    fill(bar);
    return bar;
}

void Toolbar::rebuild()
{
    if (QWidget* bar = existingWidget())
        fill(bar);
}

// The buttons as tool buttons with their images and captions; separators as gaps.
void Toolbar::fill(QWidget* bar)
{
    if (!bar->layout())
        return;
    QLayout* layout = bar->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const auto* images = qobject_cast<ImageList*>(toObject(imageList_).data());
    QPointer<Toolbar> self(this);
    for (const auto& b : buttons_) {
        if (!b->visible)
            continue;
        if (b->style == 3) {
            auto* gap = new QFrame(bar);
            gap->setFrameShape(QFrame::VLine);
            gap->setFrameShadow(QFrame::Sunken);
            layout->addWidget(gap);
            continue;
        }
        auto* tool = new QToolButton(bar);
        tool->setText(b->caption);
        tool->setToolTip(b->toolTip);
        tool->setEnabled(b->enabled);
        tool->setAutoRaise(true);
        tool->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        if (images && !images->image(b->image).isNull())
            tool->setIcon(QIcon(QPixmap::fromImage(images->image(b->image))));
        const QString key = b->key;
        QObject::connect(tool, &QToolButton::clicked, bar, [self, key] {
            if (self)
                self->click(key);
        });
        layout->addWidget(tool);
    }
    static_cast<QHBoxLayout*>(layout)->addStretch();
}

QVariant Toolbar::Button(const QString& key) const
{
    for (const auto& b : buttons_)
        if (b->key == key)
            return fromObject(b);
    throw AutomationError(35601, QStringLiteral("Element not found"));
}

void Toolbar::SetButtonEnabled(const QString& key, bool enabled)
{
    objectCast<ToolbarButton>(toObject(Button(key)))->enabled = enabled;
}

void Toolbar::click(const QString& key)
{
    const QVariant button = Button(key);
    if (!objectCast<ToolbarButton>(toObject(button))->enabled)
        return;
    QVariantList args{button};
    raise(QStringLiteral("ButtonClick"), args);
}

void MvToolbar::click(const QString& key)
{
    if (auto* toolbar = qobject_cast<Toolbar*>(toolbar_.data()))
        toolbar->click(key);
}

} // namespace q7::forms
