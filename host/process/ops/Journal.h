#pragma once

#include "host/process/ops/OperationResult.h"

#include <QJsonObject>
#include <QList>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>
#include <span>

namespace q7::data {
class Connection;
}

namespace q7::host::process::ops {

// Creates the maintenance tables (low-level codes, runs and their changes,
// form conditions) when the account does not have them yet.
void ensureMaintenanceTables(data::Connection& connection);

// Records a run of an operation and every row it changes, so that the run
// can be undone as a whole. Used inside the operation's transaction: each
// change goes through update / remove / insert, which snapshot the row
// before and after.
// A row of a keyed table as a batch writes it: its key and the new values of the batch's columns.
struct KeyedRow {
    qint64 key = 0;
    QVariantList values;
};

class Journal {
public:
    Journal(QSqlDatabase& db, const QString& operation, const QString& user, const QString& parameters);

    void update(const QString& table, qint64 rowid, const QVariantMap& values);
    void remove(const QString& table, qint64 rowid);
    qint64 insert(const QString& table, const QVariantMap& values);
    // Inserts a copy of the row with the given columns changed (the others as
    // they are); answers the copy's key.
    qint64 copy(const QString& table, qint64 rowid, const QVariantMap& changed);

    // Many rows of a table that has its own key (see keyColumn in the source),
    // recorded in the order given exactly as update / insert record them one by
    // one, but written a chunk at a time: one SELECT of the rows before, one
    // UPDATE … FROM (VALUES …) of those present, one multi-row INSERT, one
    // SELECT after, one multi-row INSERT into the journal. updateMany refuses
    // (writing nothing) when a row is absent; put makes the absent rows with
    // their key. A key may appear once per call. progress gets the rows done
    // before each chunk is written, and all rows at the end.
    void updateMany(const QString& table, const QStringList& columns, const QList<KeyedRow>& rows,
                    const std::function<void(qsizetype)>& progress = {});
    void put(const QString& table, const QStringList& columns, const QList<KeyedRow>& rows, const std::function<void(qsizetype)>& progress = {});
    // Rows per chunk; 0 writes each row through update / insert (the way
    // the batches are checked against); none: the backend's own size.
    void setChunkRows(std::optional<int> rows) { chunkRows_ = rows; }
    // Writes the summary and the number of changes; answers the run's id.
    int finish(const QString& summary);
    int changes() const { return seq_; }

private:
    void record(const QString& table, qint64 rowid, const std::optional<QJsonObject>& before, const std::optional<QJsonObject>& after);
    // A statement prepared once per run (a run may write many thousand rows).
    QSqlQuery& prepared(const QString& sql);
    std::optional<QJsonObject> snapshot(const QString& table, qint64 rowid);
    void writeMany(const QString& table, const QStringList& columns, const QList<KeyedRow>& rows, bool makeAbsent,
                   const std::function<void(qsizetype)>& progress);
    void writeChunk(const QString& table, const QStringList& columns, std::span<const KeyedRow> rows, bool makeAbsent);
    // The server's way: the chunk copied into a scratch table, the rows read and written by joining it.
    void copyChunk(const QString& table, const QStringList& columns, std::span<const KeyedRow> rows, bool makeAbsent);
    QHash<qint64, QJsonObject> snapshots(const QString& table, std::span<const KeyedRow> rows);
    // Where a value of the column goes in a VALUES list ("?", on the server cast to the column's type).
    QString valuePlace(const QString& table, const QString& column);

    QSqlDatabase& db_;
    QHash<QString, QSqlQuery> statements_;
    QHash<QString, QString> columnTypes_; // table.column → the server's type
    int runId_ = 0;
    int seq_ = 0;
    std::optional<int> chunkRows_;
};

// The row of a table found by its key (its rowid where it has no key), as a
// JSON object with that key as "rowid"; nothing when absent.
std::optional<QJsonObject> rowSnapshot(QSqlDatabase& db, const QString& table, qint64 rowid);
// The rows of a table with these keys as rowSnapshot gives them, by key (absent rows
// missing), read a chunk of keys per statement.
QHash<qint64, QJsonObject> rowSnapshots(QSqlDatabase& db, const QString& table, const QList<qint64>& keys);

struct RunRecord {
    int runId = 0;
    QString operation, user, runAt, parameters, summary;
    int changes = 0;
    QString undoneBy, undoneAt;
};
QList<RunRecord> maintenanceRuns(data::Connection& connection);

// Restores every row of the run as it was before, in one transaction, and
// marks the run undone. Refused (nothing written) when the run does not
// exist or was undone already, or when any of its rows has changed since.
OperationResult undoRun(data::Connection& connection, int runId, const QString& user);

} // namespace q7::host::process::ops
