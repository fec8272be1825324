#include "host/MessageService.h"

#include "platform/Resources.h"
#include "platform/values/Values.h"

namespace q7::host {

QString MessageService::format(const QVariant& message, const QVariantList& arguments) const
{
    const bool numeric = message.metaType().id() != QMetaType::QString && values::isNumeric(message) && !isEmpty(message);
    if (!numeric)
        return values::toTextOrEmpty(message);
    const int number = values::toLong(message);
    QString text = loadString(library_, number).value_or(QStringLiteral("#%1").arg(number));
    qsizetype from = 0;
    for (const QVariant& argument : arguments) {
        const qsizetype at = text.indexOf(QStringLiteral("%s"), from);
        if (at < 0)
            break;
        const QString value = values::toTextOrEmpty(argument);
        text.replace(at, 2, value);
        from = at + value.size(); // a value holding "%s" is not filled again
    }
    return text;
}

QVariant MessageService::show(MessageKind kind, const QVariant& message, const QVariant& arguments)
{
    const QVariantList list = arguments.metaType().id() == QMetaType::QVariantList ? arguments.toList() : QVariantList{};
    messagePresenter().present({kind, message, list, format(message, list)});
    return {};
}

QVariant MessageService::ShowCheckMessage(const QVariant& message, const QVariant&, const QVariant& arguments, const QVariant&)
{
    return show(MessageKind::Check, message, arguments);
}
QVariant MessageService::ShowErrorMessage(const QVariant& message, const QVariant&, const QVariant& arguments, const QVariant&)
{
    return show(MessageKind::Error, message, arguments);
}
QVariant MessageService::ShowMessage(const QVariant& message, const QVariant&, const QVariant& arguments, const QVariant&)
{
    return show(MessageKind::Info, message, arguments);
}

} // namespace q7::host
