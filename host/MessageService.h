#pragma once

#include "host/MessagePresenter.h"
#include "platform/HostServices.h"

#include <QObject>

namespace q7::host {

// Shows messages through the current presenter. A numeric message is a
// resource of the library's string table whose "%s" placeholders are
// replaced in order by the argument array; a text is shown unchanged.
class MessageService : public QObject, public IMessage {
    Q_OBJECT
public:
    explicit MessageService(QString library = QStringLiteral("Q7BomLib")) : library_(std::move(library)) {}

    QVariant ShowCheckMessage(const QVariant& message, const QVariant& style = missingValue(),
                              const QVariant& arguments = missingValue(), const QVariant& extra = missingValue()) override;
    QVariant ShowErrorMessage(const QVariant& message, const QVariant& style = missingValue(),
                              const QVariant& arguments = missingValue(), const QVariant& extra = missingValue()) override;
    QVariant ShowMessage(const QVariant& message, const QVariant& style = missingValue(),
                         const QVariant& arguments = missingValue(), const QVariant& extra = missingValue()) override;

    // The text the user sees for a message and its arguments.
    QString format(const QVariant& message, const QVariantList& arguments) const;

private:
    QVariant show(MessageKind kind, const QVariant& message, const QVariant& arguments);
    QString library_;
};

} // namespace q7::host
