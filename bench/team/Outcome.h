#pragma once

#include <QString>

// What became of one attempt of an operation under load.
namespace q7::bench::team {

enum class Outcome {
    Done,
    Changed,       // refused: someone changed the BOM since it was read (a voucher save, an undo)
    Busy,          // refused: the file's write lock stayed with another writer ("database is locked")
    Serialization, // refused: the server's snapshot met a concurrent write (SQLSTATE 40001)
    Gone,          // nothing left to do: a concurrent replace took the component away first
    Error,         // anything else: a fault to look into
};

// The outcome's name in the tables and files ("done", "changed", "busy", …).
QString outcomeName(Outcome outcome);
Outcome outcomeNamed(const QString& name); // Error for an unknown name

// Why an operation failed, from the message it failed with. The refusals
// above are the ways writers are expected to lose against each other; a
// reader is never refused, so any failure of a reader is an error.
Outcome classifyFailure(const QString& message, bool writer);

} // namespace q7::bench::team
