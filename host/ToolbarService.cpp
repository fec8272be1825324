#include "host/ToolbarService.h"

#include "platform/LateBinding.h"

namespace q7::host {

void ToolbarService::SetButtonEnabled(const Object& toolbar, const QString& key, bool enabled)
{
    call(toolbar, QStringLiteral("SetButtonEnabled"), {key, enabled});
}

void ToolbarService::AddImage(QVariant& imageList, int, const QString& key, int bitmapNumber, int)
{
    call(toObject(imageList), QStringLiteral("AddImage"), {key, bitmapNumber});
}

QVariant ToolbarService::AddButton(QVariant& toolbar, const QString& key, const QString& caption, int style, const QVariant& image,
                                   int, int, const QString& toolTip)
{
    return call(toObject(toolbar), QStringLiteral("AddButton"), {key, caption, style, image, toolTip});
}

QVariant ToolbarService::AddButtonMenu(const QVariant& button, const QString& key, const QString& caption)
{
    return call(toObject(button), QStringLiteral("AddMenu"), {key, caption});
}

} // namespace q7::host
