#include "host/process/ops/Journal.h"

#include "host/db/BomChanges.h"
#include "host/db/SqlInserter.h"
#include "host/process/ops/Transaction.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QSet>
#include <QSqlRecord>

#include <algorithm>

namespace q7::host::process::ops {

namespace {

const QString RowidColumn = QStringLiteral("rowid");

void fail(const QSqlQuery& query) { q7::data::throwProviderError(query.lastError()); }

void run(QSqlQuery& query)
{
    if (!query.exec())
        fail(query);
}

bool onServer(const QSqlDatabase& db) { return db.driverName() != QLatin1String("QSQLITE"); }

// The column by which the journal finds a row of the table: the table's own
// key where it has one (in the embedded file the same number as the row's
// rowid, so runs recorded before read the same), else the row's number, which
// the server's tables carry as a column named rowid.
QString keyColumn(const QString& table)
{
    static const QHash<QString, QString> keys{{QStringLiteral("bom_opcomponent"), QStringLiteral("OpComponentId")},
                                              {QStringLiteral("bom_opcomponentopt"), QStringLiteral("OptionsId")},
                                              {QStringLiteral("bom_opcomponentrmk"), QStringLiteral("OpComponentId")},
                                              {QStringLiteral("bas_part_llc"), QStringLiteral("PartId")},
                                              {QStringLiteral("bom_bom"), QStringLiteral("BomId")},
                                              {QStringLiteral("ecn_ecnapply"), QStringLiteral("ApplyId")},
                                              {QStringLiteral("ecn_ecnapplydetail"), QStringLiteral("ApplyDId")}};
    return keys.value(table.toLower(), RowidColumn);
}

// A column name as the snapshot has it (the server names columns in lower
// case, and one of them is the keyword offset).
QString quoted(const QString& column) { return u'"' + QString(column).replace(u'"', QStringLiteral("\"\"")) + u'"'; }

// "?, ?, ?" or "(?, ?), (?, ?)": the places of a statement of many rows.
QString places(qsizetype count, const QString& place)
{
    QStringList all;
    all.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        all.append(place);
    return all.join(QStringLiteral(", "));
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

void deleteRow(QSqlDatabase& db, const QString& table, qint64 rowid)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, keyColumn(table)));
    query.addBindValue(rowid);
    run(query);
}

struct Change {
    QString table;
    qint64 rowid;
    std::optional<QJsonObject> before, after;
};

// Puts back rows of one table (each key once) as their snapshots have them: the rows
// as they are now go, those with a snapshot before come back, many rows per statement.
void restoreMany(QSqlDatabase& db, std::span<const Change> changes)
{
    const QString& table = changes.front().table;
    const QString key = keyColumn(table);
    for (size_t first = 0; first < changes.size(); first += JournalChunkRows) {
        const size_t count = std::min<size_t>(JournalChunkRows, changes.size() - first);
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 IN (%3)").arg(table, key, places(static_cast<qsizetype>(count), QStringLiteral("?"))));
        for (size_t i = first; i < first + count; ++i)
            query.addBindValue(changes[i].rowid);
        run(query);
    }
    // the rows that come back, by their columns (a snapshot lists its columns in one order)
    const bool byRowid = key == RowidColumn;
    QMap<QStringList, QList<const Change*>> byColumns;
    for (const Change& change : changes)
        if (change.before) {
            QStringList names;
            for (auto it = change.before->begin(); it != change.before->end(); ++it)
                if (it.key().compare(RowidColumn, Qt::CaseInsensitive) != 0)
                    names.append(it.key());
            byColumns[names].append(&change);
        }
    for (auto group = byColumns.cbegin(); group != byColumns.cend(); ++group) {
        const QStringList& names = group.key();
        QStringList columns;
        if (byRowid)
            columns.append(RowidColumn);
        for (const QString& name : names)
            columns.append(quoted(name));
        const QString row = u'(' + places(columns.size(), QStringLiteral("?")) + u')';
        const qsizetype perStatement = std::max<qsizetype>(1, std::min<qsizetype>(JournalChunkRows, 30000 / columns.size()));
        const QList<const Change*>& rows = group.value();
        for (qsizetype first = 0; first < rows.size(); first += perStatement) {
            const qsizetype count = std::min(perStatement, rows.size() - first);
            QSqlQuery query(db);
            query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES %3").arg(table, columns.join(u','), places(count, row)));
            for (qsizetype i = first; i < first + count; ++i) {
                if (byRowid)
                    query.addBindValue(rows[i]->rowid);
                for (const QString& name : names)
                    query.addBindValue(valueOf(rows[i]->before->value(name)));
            }
            run(query);
        }
    }
}

// A column of a snapshot, whatever the case of its name.
QJsonValue columnOf(const QJsonObject& row, const QString& name)
{
    for (auto it = row.begin(); it != row.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return QJsonValue(QJsonValue::Undefined);
}

// Whether the server's tables have the row numbers of the tables without
// keys, and the numbering of the runs.
struct ServerColumns {
    bool rowids, numbered;
};

ServerColumns serverColumns(QSqlQuery& query)
{
    if (!query.exec(QStringLiteral(
            "SELECT (SELECT count(*) FROM pg_attribute WHERE attname = 'rowid' AND NOT attisdropped "
            "AND attrelid IN (to_regclass('bom_opcomponentsub'), to_regclass('bom_opcomponentloc'))), "
            "(SELECT count(*) FROM pg_attribute WHERE attrelid = to_regclass('q7_maint_run') AND attname = 'runid' AND attidentity <> '')")))
        fail(query);
    if (!query.next())
        fail(query);
    const ServerColumns columns{query.value(0).toInt() == 2, query.value(1).toInt() == 1};
    query.finish();
    return columns;
}

// On a server account made by an earlier version: those columns, added on first use.
void upgradeServerAccount(QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (const ServerColumns columns = serverColumns(query); columns.rowids && columns.numbered)
        return;
    // One client upgrades; another that waited here finds it done. (Read committed, so that
    // the second look sees what the first client committed.)
    if (!db.transaction())
        q7::data::throwProviderError(db.lastError());
    try {
        if (!query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(0x51374d55)))
            fail(query);
        query.finish();
        const ServerColumns columns = serverColumns(query);
        QStringList statements;
        if (!columns.rowids)
            for (const char* table : {"bom_opcomponentsub", "bom_opcomponentloc"})
                statements.append(QStringLiteral("ALTER TABLE %1 ADD COLUMN IF NOT EXISTS rowid bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE")
                                      .arg(QLatin1String(table)));
        if (!columns.numbered)
            statements << QStringLiteral("ALTER TABLE q7_maint_run ALTER COLUMN RunId ADD GENERATED BY DEFAULT AS IDENTITY")
                       << QStringLiteral(
                              "SELECT setval(pg_get_serial_sequence('q7_maint_run', 'runid'), coalesce(max(RunId), 0) + 1, false) FROM q7_maint_run");
        for (const QString& statement : statements)
            if (!query.exec(statement))
                fail(query);
        query.finish();
        if (!db.commit())
            q7::data::throwProviderError(db.lastError());
    } catch (...) {
        db.rollback();
        throw;
    }
}

QString now() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

} // namespace

void ensureMaintenanceTables(data::Connection& connection)
{
    if (!connection.isEmbedded()) { // the server's schema has the tables
        upgradeServerAccount(connection.database());
        return;
    }
    QFile file(QStringLiteral(":/q7host/maintenance.sql"));
    if (!file.open(QIODevice::ReadOnly))
        q7::data::throwProviderError(QStringLiteral("The maintenance schema is missing"));
    connection.executeNative(QString::fromUtf8(file.readAll()));
}

namespace {

// The row the query stands on (its first column the key) as a snapshot, with the key as rowid.
// A row may be the columns from first to end of a longer one (the first its key again).
QJsonObject rowObject(const QSqlQuery& query, const QSqlRecord& record, qint64 rowid, int first = 0, int end = -1)
{
    QJsonObject row;
    row.insert(RowidColumn, rowid);
    for (int i = first + 1; i < (end < 0 ? record.count() : end); ++i) {
        const QVariant value = query.value(i);
        row.insert(record.fieldName(i), value.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue::fromVariant(value));
    }
    return row;
}

std::optional<QJsonObject> snapshotWith(QSqlQuery& query, qint64 rowid)
{
    query.addBindValue(rowid);
    run(query);
    if (!query.next()) {
        query.finish();
        return std::nullopt;
    }
    const QJsonObject row = rowObject(query, query.record(), rowid);
    query.finish();
    return row;
}

QString snapshotSql(const QString& table) { return QStringLiteral("SELECT %2, * FROM %1 WHERE %2 = ?").arg(table, keyColumn(table)); }

} // namespace

namespace {

// The rows a query (run, its first column the key) answers, as rowSnapshots gives them.
void addSnapshots(QSqlQuery& query, QHash<qint64, QJsonObject>& found)
{
    const QSqlRecord record = query.record();
    while (query.next()) {
        const qint64 key = query.value(0).toLongLong();
        found.insert(key, rowObject(query, record, key));
    }
}

// The rows a statement answers, the key and then the table's columns (t.*).
QHash<qint64, QJsonObject> snapshotsOf(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        fail(query);
    QHash<qint64, QJsonObject> found;
    addSnapshots(query, found);
    return found;
}

void execute(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        fail(query);
}

} // namespace

QHash<qint64, QJsonObject> rowSnapshots(QSqlDatabase& db, const QString& table, const QList<qint64>& keys)
{
    QHash<qint64, QJsonObject> found;
    found.reserve(keys.size());
    for (qsizetype first = 0; first < keys.size(); first += JournalChunkRows) {
        const qsizetype count = std::min<qsizetype>(JournalChunkRows, keys.size() - first);
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.prepare(QStringLiteral("SELECT %2, * FROM %1 WHERE %2 IN (%3)").arg(table, keyColumn(table), places(count, QStringLiteral("?")))))
            fail(query);
        for (qsizetype i = first; i < first + count; ++i)
            query.addBindValue(keys[i]);
        run(query);
        addSnapshots(query, found);
    }
    return found;
}

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
    const bool server = onServer(db_);
    query.prepare(QStringLiteral("INSERT INTO q7_maint_run (Operation, UserName, RunAt, Parameters) VALUES (?, ?, ?, ?)")
                  + (server ? QStringLiteral(" RETURNING RunId") : QString()));
    query.addBindValue(operation);
    query.addBindValue(user);
    query.addBindValue(now());
    query.addBindValue(parameters);
    run(query);
    runId_ = server ? (query.next() ? query.value(0).toInt() : 0) : query.lastInsertId().toInt();
    if (runId_ <= 0)
        q7::data::throwProviderError(QStringLiteral("The run was not numbered"));
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
        q7::data::throwProviderError(QStringLiteral("%1 has no row %2").arg(table).arg(rowid));
    QStringList sets;
    for (auto it = values.begin(); it != values.end(); ++it)
        sets.append(it.key() + QStringLiteral(" = ?"));
    QSqlQuery& query = prepared(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(table, sets.join(QStringLiteral(", ")), keyColumn(table)));
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
    QStringList marks, columns;
    const QString key = keyColumn(table);
    const bool server = onServer(db_);
    for (const QString& column : values.keys()) {
        marks.append(QStringLiteral("?"));
        columns.append(quoted(server ? column.toLower() : column)); // the server's names are in lower case, and one is a keyword
    }
    QSqlQuery& query = prepared(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(u','), marks.join(u','))
                                + (server ? QStringLiteral(" RETURNING ") + key : QString()));
    for (auto it = values.begin(); it != values.end(); ++it)
        query.addBindValue(it.value());
    run(query);
    const qint64 rowid = server ? (query.next() ? query.value(0).toLongLong() : 0) : query.lastInsertId().toLongLong();
    query.finish();
    if (rowid <= 0)
        q7::data::throwProviderError(QStringLiteral("%1: the new row was not numbered").arg(table));
    record(table, rowid, std::nullopt, snapshot(table, rowid));
    return rowid;
}

qint64 Journal::copy(const QString& table, qint64 rowid, const QVariantMap& changed)
{
    const auto row = snapshot(table, rowid);
    if (!row)
        q7::data::throwProviderError(QStringLiteral("%1 has no row %2").arg(table).arg(rowid));
    QVariantMap values;
    for (auto it = row->begin(); it != row->end(); ++it) {
        if (it.key().compare(RowidColumn, Qt::CaseInsensitive) == 0)
            continue; // the copy gets a number of its own
        const auto given = std::find_if(changed.keyBegin(), changed.keyEnd(), [&](const QString& name) { return name.compare(it.key(), Qt::CaseInsensitive) == 0; });
        values.insert(it.key(), given == changed.keyEnd() ? valueOf(it.value()) : changed.value(*given));
    }
    return insert(table, values);
}

void Journal::updateMany(const QString& table, const QStringList& columns, const QList<KeyedRow>& rows,
                         const std::function<void(qsizetype)>& progress)
{
    writeMany(table, columns, rows, false, progress);
}

void Journal::put(const QString& table, const QStringList& columns, const QList<KeyedRow>& rows, const std::function<void(qsizetype)>& progress)
{
    writeMany(table, columns, rows, true, progress);
}

void Journal::writeMany(const QString& table, const QStringList& columns, const QList<KeyedRow>& rows, bool makeAbsent,
                        const std::function<void(qsizetype)>& progress)
{
    if (keyColumn(table) == RowidColumn)
        q7::data::throwProviderError(QStringLiteral("%1 has no key of its own to write rows by").arg(table));
    QSet<qint64> keys;
    for (const KeyedRow& row : rows) {
        if (row.values.size() != columns.size())
            q7::data::throwProviderError(QStringLiteral("%1: %2 values for %3 columns").arg(table).arg(row.values.size()).arg(columns.size()));
        if (keys.contains(row.key))
            q7::data::throwProviderError(QStringLiteral("%1: row %2 twice in one batch").arg(table).arg(row.key));
        keys.insert(row.key);
    }
    const bool server = onServer(db_);
    const qsizetype chunkRows = chunkRows_.value_or(server ? ServerJournalChunkRows : JournalChunkRows);
    const qsizetype chunk = chunkRows > 0 ? chunkRows : 1;
    for (qsizetype first = 0; first < rows.size(); first += chunk) {
        const std::span<const KeyedRow> part(rows.constData() + first, static_cast<size_t>(std::min(chunk, rows.size() - first)));
        if (progress) // before the chunk is written, as row by row before each row
            progress(first);
        if (chunkRows > 0 && server) {
            copyChunk(table, columns, part, makeAbsent);
        } else if (chunkRows > 0) {
            writeChunk(table, columns, part, makeAbsent);
        } else { // row by row
            const KeyedRow& row = part.front();
            QVariantMap values;
            for (qsizetype i = 0; i < columns.size(); ++i)
                values.insert(columns[i], row.values[i]);
            if (makeAbsent && !snapshot(table, row.key)) {
                values.insert(keyColumn(table), row.key);
                insert(table, values);
            } else {
                update(table, row.key, values);
            }
        }
    }
    if (progress && !rows.isEmpty())
        progress(rows.size());
}

QHash<qint64, QJsonObject> Journal::snapshots(const QString& table, std::span<const KeyedRow> rows)
{
    QList<qint64> keys;
    keys.reserve(static_cast<qsizetype>(rows.size()));
    for (const KeyedRow& row : rows)
        keys.append(row.key);
    return rowSnapshots(db_, table, keys);
}

QString Journal::valuePlace(const QString& table, const QString& column)
{
    if (!onServer(db_))
        return QStringLiteral("?");
    // The server reads an untyped value of a VALUES list as text: each goes in as its column's type.
    const QString name = table.toLower() + u'.' + column.toLower();
    auto found = columnTypes_.find(name);
    if (found == columnTypes_.end()) {
        QSqlQuery query(db_);
        query.prepare(QStringLiteral("SELECT format_type(atttypid, atttypmod) FROM pg_attribute "
                                     "WHERE attrelid = to_regclass(?) AND attname = ? AND NOT attisdropped"));
        query.addBindValue(table.toLower());
        query.addBindValue(column.toLower());
        run(query);
        if (!query.next())
            q7::data::throwProviderError(QStringLiteral("%1 has no column %2").arg(table, column));
        found = columnTypes_.insert(name, query.value(0).toString());
    }
    return QStringLiteral("CAST(? AS %1)").arg(*found);
}

void Journal::writeChunk(const QString& table, const QStringList& columns, std::span<const KeyedRow> rows, bool makeAbsent)
{
    const QString key = keyColumn(table);
    const QHash<qint64, QJsonObject> before = snapshots(table, rows);
    QList<const KeyedRow*> present, absent;
    for (const KeyedRow& row : rows)
        (before.contains(row.key) ? present : absent).append(&row);
    if (!absent.isEmpty() && !makeAbsent)
        q7::data::throwProviderError(QStringLiteral("%1 has no row %2").arg(table).arg(absent.front()->key));

    if (!present.isEmpty()) {
        QStringList sets, typed{valuePlace(table, key)};
        for (qsizetype i = 0; i < columns.size(); ++i) {
            sets.append(QStringLiteral("%1 = v.column%2").arg(columns[i]).arg(i + 2));
            typed.append(valuePlace(table, columns[i]));
        }
        QSqlQuery& query = prepared(QStringLiteral("UPDATE %1 SET %2 FROM (VALUES %3) AS v WHERE %1.%4 = v.column1")
                                        .arg(table, sets.join(QStringLiteral(", ")),
                                             places(present.size(), u'(' + typed.join(QStringLiteral(", ")) + u')'), key));
        for (const KeyedRow* row : present) {
            query.addBindValue(row->key);
            for (const QVariant& value : row->values)
                query.addBindValue(value);
        }
        run(query);
    }
    if (!absent.isEmpty()) {
        QSqlQuery& query = prepared(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES %4")
                                        .arg(table, key, columns.join(QStringLiteral(", ")),
                                             places(absent.size(), u'(' + places(columns.size() + 1, QStringLiteral("?")) + u')')));
        for (const KeyedRow* row : absent) {
            query.addBindValue(row->key);
            for (const QVariant& value : row->values)
                query.addBindValue(value);
        }
        run(query);
    }

    const QHash<qint64, QJsonObject> after = snapshots(table, rows);
    QSqlQuery& query = prepared(QStringLiteral("INSERT INTO q7_maint_change (RunId, Seq, TableName, RowKey, Before, After) VALUES %1")
                                    .arg(places(rows.size(), QStringLiteral("(?, ?, ?, ?, ?, ?)"))));
    const QVariant none(QMetaType::fromType<QString>()); // binds NULL
    for (const KeyedRow& row : rows) {
        const auto was = before.find(row.key), is = after.find(row.key);
        query.addBindValue(runId_);
        query.addBindValue(++seq_);
        query.addBindValue(table);
        query.addBindValue(row.key);
        query.addBindValue(was != before.end() ? QVariant(json(*was)) : none);
        query.addBindValue(is != after.end() ? QVariant(json(*is)) : none);
    }
    run(query);
}

void Journal::copyChunk(const QString& table, const QStringList& columns, std::span<const KeyedRow> rows, bool makeAbsent)
{
    // The server's names are in lower case, and one of them is a keyword.
    const QString key = quoted(keyColumn(table).toLower());
    QStringList names{key}, sets;
    for (const QString& column : columns) {
        names.append(quoted(column.toLower()));
        sets.append(QStringLiteral("%1 = r.%1").arg(names.back()));
    }
    const QString list = names.join(QStringLiteral(", "));
    // A scratch table of the columns' own types, so that no value is read as text.
    execute(db_, QStringLiteral("DROP TABLE IF EXISTS pg_temp.q7_journal_rows"));
    execute(db_, QStringLiteral("CREATE TEMP TABLE q7_journal_rows AS SELECT %1 FROM %2 WITH NO DATA").arg(list, table));
    {
        db::SqlInserter staged(db_, QStringLiteral("INSERT INTO q7_journal_rows (%1) VALUES (%2)").arg(list, places(names.size(), QStringLiteral("?"))));
        QVariantList values;
        for (const KeyedRow& row : rows) {
            values.clear();
            values.append(row.key);
            values.append(row.values);
            staged.insert(values);
        }
    }
    execute(db_, QStringLiteral("ANALYZE q7_journal_rows")); // a few changed rows of a large table are found by its key
    if (!makeAbsent) {
        QSqlQuery absent(db_);
        absent.setForwardOnly(true);
        if (!absent.exec(QStringLiteral("SELECT r.%1 FROM q7_journal_rows r WHERE NOT EXISTS (SELECT 1 FROM %2 t WHERE t.%1 = r.%1)").arg(key, table)))
            fail(absent);
        QSet<qint64> keys;
        while (absent.next())
            keys.insert(absent.value(0).toLongLong());
        const auto first = std::find_if(rows.begin(), rows.end(), [&](const KeyedRow& row) { return keys.contains(row.key); });
        if (first != rows.end())
            q7::data::throwProviderError(QStringLiteral("%1 has no row %2").arg(table).arg(first->key));
    }
    // One UPDATE writes the rows present and answers each as it was (o, read as the
    // statement began) and as it is (t); the INSERT answers the rows it makes.
    QHash<qint64, QJsonObject> before, after;
    {
        QSqlQuery query(db_);
        if (!query.exec(QStringLiteral("UPDATE %1 AS t SET %2 FROM q7_journal_rows r JOIN %1 o ON o.%3 = r.%3 WHERE t.%3 = r.%3 "
                                       "RETURNING o.%3, o.*, t.%3, t.*")
                            .arg(table, sets.join(QStringLiteral(", ")), key)))
            fail(query);
        const QSqlRecord record = query.record();
        const int width = record.count() / 2;
        while (query.next()) {
            const qint64 rowid = query.value(0).toLongLong();
            before.insert(rowid, rowObject(query, record, rowid, 0, width));
            after.insert(rowid, rowObject(query, record, rowid, width));
        }
    }
    if (before.size() < static_cast<qsizetype>(rows.size())) // the rows present are written already
        after.insert(snapshotsOf(db_, QStringLiteral("INSERT INTO %1 AS t (%2) SELECT * FROM q7_journal_rows ON CONFLICT (%3) DO NOTHING RETURNING t.%3, t.*")
                                          .arg(table, list, key)));
    execute(db_, QStringLiteral("DROP TABLE q7_journal_rows"));

    db::SqlInserter journal(db_, QStringLiteral("INSERT INTO q7_maint_change (RunId, Seq, TableName, RowKey, Before, After) VALUES (?, ?, ?, ?, ?, ?)"));
    const QVariant none(QMetaType::fromType<QString>()); // writes NULL
    for (const KeyedRow& row : rows) {
        const auto was = before.constFind(row.key), is = after.constFind(row.key);
        journal.insert({runId_, ++seq_, table, row.key, was != before.constEnd() ? QVariant(json(*was)) : none,
                        is != after.constEnd() ? QVariant(json(*is)) : none});
    }
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

QList<RunRecord> maintenanceRuns(data::Connection& connection)
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

OperationResult undoRun(data::Connection& connection, int runId, const QString& user)
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

    QList<Change> changes;
    QSqlQuery changeQuery(db);
    changeQuery.prepare(QStringLiteral("SELECT TableName, RowKey, Before, After FROM q7_maint_change WHERE RunId = ? ORDER BY Seq DESC"));
    changeQuery.addBindValue(runId);
    run(changeQuery);
    while (changeQuery.next())
        changes.append({changeQuery.value(0).toString(), changeQuery.value(1).toLongLong(), parse(changeQuery.value(2)), parse(changeQuery.value(3))});

    // A row changed since the run (or changed by a later run) is not put back over.
    QMap<QString, QList<qint64>> keysByTable;
    for (const Change& change : changes)
        keysByTable[change.table].append(change.rowid);
    QHash<QString, QHash<qint64, QJsonObject>> current;
    for (auto it = keysByTable.cbegin(); it != keysByTable.cend(); ++it)
        current.insert(it.key(), rowSnapshots(db, it.key(), it.value()));
    QStringList moved;
    for (const Change& change : changes) {
        const QHash<qint64, QJsonObject>& rows = current[change.table];
        const auto found = rows.find(change.rowid);
        if ((found != rows.end() ? std::optional<QJsonObject>(*found) : std::nullopt) != change.after)
            moved.append(QStringLiteral("%1 %2").arg(change.table).arg(change.rowid));
    }
    if (!moved.isEmpty())
        throw RefusedOperation(QStringLiteral("运行 %1 之后这些行已被修改，不能撤销：%2").arg(runId).arg(moved.join(QStringLiteral(", "))));

    OperationResult result;
    result.headers = {QStringLiteral("表"), QStringLiteral("行"), QStringLiteral("撤销")};
    // In the journal's order backwards, runs of one table's changes (each row once) at a time.
    for (qsizetype first = 0; first < changes.size();) {
        QSet<qint64> keys;
        qsizetype end = first;
        while (end < changes.size() && changes[end].table == changes[first].table && !keys.contains(changes[end].rowid))
            keys.insert(changes[end++].rowid);
        restoreMany(db, std::span<const Change>(changes.constData() + first, static_cast<size_t>(end - first)));
        first = end;
    }
    for (const Change& change : changes) {
        const QString what = !change.before ? QStringLiteral("删除新增") : change.after ? QStringLiteral("恢复修改") : QStringLiteral("恢复删除");
        result.rows.append({change.table, QString::number(change.rowid), what});
        // the BOM whose lines come back has changed for a voucher that loaded it
        const QJsonObject& row = change.before ? *change.before : *change.after;
        if (change.table == QLatin1String("bom_opcomponent"))
            db::noteChange(db, columnOf(row, QStringLiteral("BomId")).toInt());
        else if (const QJsonValue line = columnOf(row, QStringLiteral("OpComponentId"));
                 change.table.startsWith(QLatin1String("bom_opcomponent")) && !line.isUndefined()) {
            QSqlQuery owner(db);
            owner.prepare(QStringLiteral("SELECT BomId FROM bom_opcomponent WHERE OpComponentId = ?"));
            owner.addBindValue(valueOf(line));
            run(owner);
            if (owner.next())
                db::noteChange(db, owner.value(0).toInt());
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

} // namespace q7::host::process::ops
