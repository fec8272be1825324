#pragma once

#include "platform/AutomationError.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

namespace q7::host::process::ops {

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

// Rows per set-based statement of the maintenance journal's batches (on the
// file the rows are the statement's parameters).
inline constexpr int JournalChunkRows = 500;
// Rows per chunk of the journal's batches on the server: a chunk is copied
// into a scratch table and written by a few statements joined to it, so its
// size only sets how often the progress is told.
inline constexpr int ServerJournalChunkRows = 25000;

// Who runs an operation, whether it only previews, and who hears of its
// progress while it writes (rows done, rows in all).
struct RunOptions {
    QString user;
    bool dryRun = false;
    std::function<void(int64_t, int64_t)> progress = {};
    // Rows per chunk of the journal's batches; 0 writes row by row; none: the
    // backend's own size (JournalChunkRows, ServerJournalChunkRows).
    std::optional<int> journalChunkRows = std::nullopt;

    void report(int64_t done, int64_t total) const
    {
        if (progress && (done % 1000 == 0 || done == total))
            progress(done, total);
    }
};

} // namespace q7::host::process::ops
