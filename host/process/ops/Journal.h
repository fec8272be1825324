#pragma once

#include "host/process/ops/OperationResult.h"

#include <QJsonObject>
#include <QList>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace q7::ado {
class Connection;
}

namespace q7::host::process {

// Creates the maintenance tables (low-level codes, runs and their changes,
// form conditions) when the account does not have them yet.
void ensureMaintenanceTables(ado::Connection& connection);

// Records a run of an operation and every row it changes, so that the run
// can be undone as a whole. Used inside the operation's transaction: each
// change goes through update / remove / insert, which snapshot the row
// before and after.
class Journal {
public:
    Journal(QSqlDatabase& db, const QString& operation, const QString& user, const QString& parameters);

    void update(const QString& table, qint64 rowid, const QVariantMap& values);
    void remove(const QString& table, qint64 rowid);
    qint64 insert(const QString& table, const QVariantMap& values);
    // Inserts a copy of the row with the given columns changed (the others as
    // they are); answers the copy's key.
    qint64 copy(const QString& table, qint64 rowid, const QVariantMap& changed);
    // Writes the summary and the number of changes; answers the run's id.
    int finish(const QString& summary);
    int changes() const { return seq_; }

private:
    void record(const QString& table, qint64 rowid, const std::optional<QJsonObject>& before, const std::optional<QJsonObject>& after);
    // A statement prepared once per run (a run may write many thousand rows).
    QSqlQuery& prepared(const QString& sql);
    std::optional<QJsonObject> snapshot(const QString& table, qint64 rowid);

    QSqlDatabase& db_;
    QHash<QString, QSqlQuery> statements_;
    int runId_ = 0;
    int seq_ = 0;
};

// The row of a table found by its key (its rowid where it has no key), as a
// JSON object with that key as "rowid"; nothing when absent.
std::optional<QJsonObject> rowSnapshot(QSqlDatabase& db, const QString& table, qint64 rowid);

struct RunRecord {
    int runId = 0;
    QString operation, user, runAt, parameters, summary;
    int changes = 0;
    QString undoneBy, undoneAt;
};
QList<RunRecord> maintenanceRuns(ado::Connection& connection);

// Restores every row of the run as it was before, in one transaction, and
// marks the run undone. Refused (nothing written) when the run does not
// exist or was undone already, or when any of its rows has changed since.
OperationResult undoRun(ado::Connection& connection, int runId, const QString& user);

} // namespace q7::host::process
