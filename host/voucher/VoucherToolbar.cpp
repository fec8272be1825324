#include "host/voucher/VoucherToolbar.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"

namespace q7::host::voucher {

QVariant ToolbarButton::AddMenu(const QString& menuKey, const QString& menuCaption)
{
    menuKeys.append(menuKey);
    menuCaptions.append(menuCaption);
    return menuKey;
}

QStringList VoucherToolbar::standardKeys()
{
    return {QStringLiteral("tlbAdd"),   QStringLiteral("tlbEdit"),     QStringLiteral("tlbDelete"), QStringLiteral("tlbSave"),
            QStringLiteral("tlbCancel"), QStringLiteral("tlbFirst"),   QStringLiteral("tlbPrevious"), QStringLiteral("tlbNext"),
            QStringLiteral("tlbLast"),  QStringLiteral("tlbRefresh")};
}

VoucherToolbar::VoucherToolbar()
{
    const QStringList captions{QStringLiteral("增加"), QStringLiteral("修改"), QStringLiteral("删除"), QStringLiteral("保存"), QStringLiteral("放弃"),
                               QStringLiteral("首张"), QStringLiteral("上张"), QStringLiteral("下张"), QStringLiteral("末张"), QStringLiteral("刷新")};
    const QStringList keys = standardKeys();
    for (int i = 0; i < keys.size(); ++i)
        AddButton(keys[i], captions[i], 0, QVariant(), captions[i]);
}

QVariant VoucherToolbar::Buttons(const QString& key) const
{
    for (const auto& b : buttons_)
        if (values::textEquals(b->key, key))
            return fromObject(b);
    throw AutomationError(35601, QStringLiteral("Element not found"));
}

QVariant VoucherToolbar::AddButton(const QString& key, const QString& caption, int style, const QVariant& image, const QString&)
{
    auto b = makeObject<ToolbarButton>();
    b->key = key;
    b->caption = caption;
    b->style = style;
    b->image = image;
    buttons_.append(b);
    return fromObject(b);
}

void VoucherToolbar::SetButtonEnabled(const QString& key, bool enabled)
{
    if (ToolbarButton* b = button(key))
        b->enabled = enabled;
}

ToolbarButton* VoucherToolbar::button(const QString& key) const
{
    for (const auto& b : buttons_)
        if (values::textEquals(b->key, key))
            return b.data();
    return nullptr;
}

bool VoucherToolbar::isEnabled(const QString& key) const
{
    const ToolbarButton* b = button(key);
    return b && b->enabled;
}

} // namespace q7::host::voucher
