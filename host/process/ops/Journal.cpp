#include "host/process/ops/Journal.h"

#include "host/db/BomChanges.h"
#include "host/process/ops/Transaction.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace q7::host::process {

namespace {

const QString RowidColumn = QStringLiteral("rowid");

void fail(const QSqlQuery& query) { throw AutomationError(3709, query.lastError().text()); }

void run(QSqlQuery& query)
{
    if (!query.exec())
        fail(query);
}

QString json(const std::optional<QJsonObject>& row)
{
    return row ? QString::fromUtf8(QJsonDocument(*row).toJson(QJsonDocument::Compact)) : QString();
}

std::optional<QJsonObject> parse(const QVariant& text)
{
    if (text.isNull() || text.toString().isEmpty())
        return std::nullopt;
    return QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

QVariant valueOf(const QJsonValue& value)
{
    if (value.isNull() || value.isUndefined())
        return QVariant(QMetaType::fromType<QString>()); // binds NULL
    if (value.isDouble()) {
        const double d = value.toDouble();
        if (d == static_cast<double>(static_cast<qint64>(d)) && std::abs(d) < 9e15)
            return static_cast<qint64>(d);
        return d;
    }
    return value.toVariant();
}

// Puts the row back as the snapshot has it (inserting it when absent).
void restore(QSqlDatabase& db, const QString& table, qint64 rowid, const QJsonObject& row)
{
    QStringList columns{RowidColumn};
    QStringList marks{QStringLiteral("?")};
    for (auto it = row.begin(); it != row.end(); ++it)
        if (it.key() != RowidColumn) {
            columns.append(it.key());
            marks.append(QStringLiteral("?"));
        }
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 (%2) VALUES (%3)").arg(table, columns.join(u','), marks.join(u',')));
    query.addBindValue(rowid);
    for (qsizetype i = 1; i < columns.size(); ++i)
        query.addBindValue(valueOf(row.value(columns[i])));
    run(query);
}

void deleteRow(QSqlDatabase& db, const QString& table, qint64 rowid)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table));
    query.addBindValue(rowid);
    run(query);
}

QString now() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

} // namespace

void ensureMaintenanceTables(ado::Connection& connection)
{
    QFile file(QStringLiteral(":/q7host/maintenance.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw AutomationError(3709, QStringLiteral("The maintenance schema is missing"));
    connection.executeNative(QString::fromUtf8(file.readAll()));
}

namespace {

std::optional<QJsonObject> snapshotWith(QSqlQuery& query, qint64 rowid)
{
    query.addBindValue(rowid);
    run(query);
    if (!query.next()) {
        query.finish();
        return std::nullopt;
    }
    QJsonObject row;
    const QSqlRecord record = query.record();
    row.insert(RowidColumn, rowid);
    for (int i = 1; i < record.count(); ++i) {
        const QVariant value = query.value(i);
        row.insert(record.fieldName(i), value.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue::fromVariant(value));
    }
    query.finish();
    return row;
}

QString snapshotSql(const QString& table) { return QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?").arg(table); }

} // namespace

std::optional<QJsonObject> rowSnapshot(QSqlDatabase& db, const QString& table, qint64 rowid)
{
    QSqlQuery query(db);
    query.prepare(snapshotSql(table));
    return snapshotWith(query, rowid);
}

QSqlQuery& Journal::prepared(const QString& sql)
{
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
        QSqlQuery query(db_);
        if (!query.prepare(sql))
            fail(query);
        found = statements_.insert(sql, query);
    }
    return *found;
}

std::optional<QJsonObject> Journal::snapshot(const QString& table, qint64 rowid) { return snapshotWith(prepared(snapshotSql(table)), rowid); }

Journal::Journal(QSqlDatabase& db, const QString& operation, const QString& user, const QString& parameters) : db_(db)
{
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("INSERT INTO q7_maint_run (Operation, UserName, RunAt, Parameters) VALUES (?, ?, ?, ?)"));
    query.addBindValue(operation);
    query.addBindValue(user);
    query.addBindValue(now());
    query.addBindValue(parameters);
    run(query);
    runId_ = query.lastInsertId().toInt();
}

void Journal::record(const QString& table, qint64 rowid, const std::optional<QJsonObject>& before, const std::optional<QJsonObject>& after)
{
    QSqlQuery& query = prepared(QStringLiteral("INSERT INTO q7_maint_change (RunId, Seq, TableName, RowKey, Before, After) VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(runId_);
    query.addBindValue(++seq_);
    query.addBindValue(table);
    query.addBindValue(rowid);
    query.addBindValue(before ? QVariant(json(before)) : QVariant(QMetaType::fromType<QString>()));
    query.addBindValue(after ? QVariant(json(after)) : QVariant(QMetaType::fromType<QString>()));
    run(query);
}

void Journal::update(const QString& table, qint64 rowid, const QVariantMap& values)
{
    const auto before = snapshot(table, rowid);
    if (!before)
        throw AutomationError(3709, QStringLiteral("%1 has no row %2").arg(table).arg(rowid));
    QStringList sets;
    for (auto it = values.begin(); it != values.end(); ++it)
        sets.append(it.key() + QStringLiteral(" = ?"));
    QSqlQuery& query = prepared(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(table, sets.join(QStringLiteral(", "))));
    for (auto it = values.begin(); it != values.end(); ++it)
        query.addBindValue(it.value());
    query.addBindValue(rowid);
    run(query);
    record(table, rowid, before, snapshot(table, rowid));
}

void Journal::remove(const QString& table, qint64 rowid)
{
    const auto before = snapshot(table, rowid);
    if (!before)
        return;
    deleteRow(db_, table, rowid);
    record(table, rowid, before, std::nullopt);
}

qint64 Journal::insert(const QString& table, const QVariantMap& values)
{
    QStringList marks;
    for (qsizetype i = 0; i < values.size(); ++i)
        marks.append(QStringLiteral("?"));
    QSqlQuery& query = prepared(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, values.keys().join(u','), marks.join(u',')));
    for (auto it = values.begin(); it != values.end(); ++it)
        query.addBindValue(it.value());
    run(query);
    const qint64 rowid = query.lastInsertId().toLongLong();
    record(table, rowid, std::nullopt, snapshot(table, rowid));
    return rowid;
}

int Journal::finish(const QString& summary)
{
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("UPDATE q7_maint_run SET Summary = ?, Changes = ? WHERE RunId = ?"));
    query.addBindValue(summary);
    query.addBindValue(seq_);
    query.addBindValue(runId_);
    run(query);
    return runId_;
}

QList<RunRecord> maintenanceRuns(ado::Connection& connection)
{
    ensureMaintenanceTables(connection);
    QSqlQuery query(connection.database());
    query.prepare(QStringLiteral("SELECT RunId, Operation, UserName, RunAt, Parameters, Summary, Changes, UndoneBy, UndoneAt "
                                 "FROM q7_maint_run ORDER BY RunId"));
    run(query);
    QList<RunRecord> runs;
    while (query.next())
        runs.append({query.value(0).toInt(), query.value(1).toString(), query.value(2).toString(), query.value(3).toString(),
                     query.value(4).toString(), query.value(5).toString(), query.value(6).toInt(), query.value(7).toString(),
                     query.value(8).toString()});
    return runs;
}

OperationResult undoRun(ado::Connection& connection, int runId, const QString& user)
{
    ensureMaintenanceTables(connection);
    QSqlDatabase& db = connection.database();
    Transaction transaction(db);

    QSqlQuery runQuery(db);
    runQuery.prepare(QStringLiteral("SELECT Operation, UndoneAt FROM q7_maint_run WHERE RunId = ?"));
    runQuery.addBindValue(runId);
    run(runQuery);
    if (!runQuery.next())
        throw RefusedOperation(QStringLiteral("没有运行记录 %1").arg(runId));
    if (!runQuery.value(1).isNull() && !runQuery.value(1).toString().isEmpty())
        throw RefusedOperation(QStringLiteral("运行 %1 已于 %2 撤销").arg(runId).arg(runQuery.value(1).toString()));

    struct Change {
        QString table;
        qint64 rowid;
        std::optional<QJsonObject> before, after;
    };
    QList<Change> changes;
    QSqlQuery changeQuery(db);
    changeQuery.prepare(QStringLiteral("SELECT TableName, RowKey, Before, After FROM q7_maint_change WHERE RunId = ? ORDER BY Seq DESC"));
    changeQuery.addBindValue(runId);
    run(changeQuery);
    while (changeQuery.next())
        changes.append({changeQuery.value(0).toString(), changeQuery.value(1).toLongLong(), parse(changeQuery.value(2)), parse(changeQuery.value(3))});

    // A row changed since the run (or changed by a later run) is not put back over.
    QStringList moved;
    for (const Change& change : changes)
        if (rowSnapshot(db, change.table, change.rowid) != change.after)
            moved.append(QStringLiteral("%1 %2").arg(change.table).arg(change.rowid));
    if (!moved.isEmpty())
        throw RefusedOperation(QStringLiteral("运行 %1 之后这些行已被修改，不能撤销：%2").arg(runId).arg(moved.join(QStringLiteral(", "))));

    OperationResult result;
    result.headers = {QStringLiteral("表"), QStringLiteral("行"), QStringLiteral("撤销")};
    for (const Change& change : changes) {
        QString what;
        if (change.before) {
            restore(db, change.table, change.rowid, *change.before);
            what = change.after ? QStringLiteral("恢复修改") : QStringLiteral("恢复删除");
        } else {
            deleteRow(db, change.table, change.rowid);
            what = QStringLiteral("删除新增");
        }
        result.rows.append({change.table, QString::number(change.rowid), what});
        // the BOM whose lines come back has changed for a voucher that loaded it
        const QJsonObject& row = change.before ? *change.before : *change.after;
        if (change.table == QLatin1String("bom_opcomponent"))
            account::noteChange(db, row.value(QStringLiteral("BomId")).toInt());
        else if (change.table.startsWith(QLatin1String("bom_opcomponent")) && row.contains(QStringLiteral("OpComponentId"))) {
            QSqlQuery owner(db);
            owner.prepare(QStringLiteral("SELECT BomId FROM bom_opcomponent WHERE OpComponentId = ?"));
            owner.addBindValue(row.value(QStringLiteral("OpComponentId")).toVariant());
            run(owner);
            if (owner.next())
                account::noteChange(db, owner.value(0).toInt());
        }
    }
    QSqlQuery mark(db);
    mark.prepare(QStringLiteral("UPDATE q7_maint_run SET UndoneBy = ?, UndoneAt = ? WHERE RunId = ?"));
    mark.addBindValue(user);
    mark.addBindValue(now());
    mark.addBindValue(runId);
    run(mark);
    transaction.commit();
    result.summary = QStringLiteral("运行 %1 已撤销，恢复 %2 行").arg(runId).arg(changes.size());
    return result;
}

} // namespace q7::host::process
