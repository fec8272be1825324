#pragma once

#include "platform/AutomationError.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace q7::host::process {

// What a maintenance operation reports: rows (the preview of the lines it
// changes, or what a check found), a one-line summary, and the run under
// which the changes were recorded (0 when nothing was written).
struct OperationResult {
    QStringList headers;
    QList<QStringList> rows;
    QString summary;
    int runId = 0;
    bool changed() const { return runId != 0; }
};

// An operation refused for its input or for the state of the account
// (nothing was written). The description is the message for the user.
class RefusedOperation : public AutomationError {
public:
    explicit RefusedOperation(const QString& message) : AutomationError(ErrBadCallOrArgument, message) {}
};

// Who runs an operation, and whether it only previews.
struct RunOptions {
    QString user;
    bool dryRun = false;
};

} // namespace q7::host::process
