#pragma once

#include "bench/team/BomState.h"

#include <QList>
#include <QString>

#include <memory>

class QFile;

// The journal of the writes a client made: one record per successful voucher
// save, replace and undo, each with the BOM as the client knows it after its
// own commit.
namespace q7::bench::team {

struct WriteRecord {
    QString kind;      // "save", "replace", "undo"
    int client = 0;
    qint64 at = 0;     // CLOCK_MONOTONIC in ns when the commit returned (one clock for every process of the machine)
    qint64 before = 0; // the BOM's change counter read before the write began
    int moved = 0;     // by how much the write itself moves the counter (at least)
    bool exact = false; // state is the write's own result (a save), not a snapshot read after it (replace, undo)
    BomState state;
};

// Appends records to a file, one JSON object a line, each flushed as it is
// written, so that the records of a client that dies are kept.
class WriteLog {
public:
    explicit WriteLog(const QString& path);
    ~WriteLog();
    WriteLog(const WriteLog&) = delete;
    WriteLog& operator=(const WriteLog&) = delete;
    void append(const WriteRecord& record);

private:
    std::unique_ptr<QFile> file_;
};

// Every record of the files "writes-*.jsonl" in the folder and the folders below it.
QList<WriteRecord> readWriteLogs(const QString& folder);

qint64 monotonicNow();

} // namespace q7::bench::team
