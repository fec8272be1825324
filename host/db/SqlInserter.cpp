#include "host/db/SqlInserter.h"
#include "host/db/CopyText.h"

#include "platform/AutomationError.h"
#include "platform/data/DatabaseError.h"
#include "platform/data/LibPq.h"

#include <QMutex>
#include <QMultiHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace q7::host::db {

namespace {
[[noreturn]] void fail(sqlite3* db, const QString& what)
{
    q7::data::throwProviderError(what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)));
}

bool embedded(QSqlDatabase& db) { return qstrcmp(db.driver()->handle().typeName(), "sqlite3*") == 0; }

// Bytes of rows gathered per COPY on a server.
constexpr qsizetype BytesPerCopy = 4 << 20;

// The inserters gathering rows, by connection: exec sends their rows first.
QMutex liveMutex;
QMultiHash<QString, SqlInserter*>& live()
{
    static QMultiHash<QString, SqlInserter*> inserters;
    return inserters;
}

[[noreturn]] void failOnServer(pg_conn* server, const QString& what)
{
    q7::data::throwProviderError(what + QStringLiteral(": ") + QString::fromUtf8(q7::data::libpq().errorMessage(server)).trimmed());
}

// The statement's parts: the table, its columns, and the row's fields ('?' or a constant).
struct InsertParts {
    QString table, columns;
    QStringList fields;
};

InsertParts partsOf(const QString& sql)
{
    static const QRegularExpression insert(QStringLiteral("^\\s*INSERT\\s+INTO\\s+(\\S+)\\s*\\(([^)]*)\\)\\s*VALUES\\s*\\((.*)\\)\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = insert.match(sql);
    if (!match.hasMatch())
        q7::data::throwProviderError(QStringLiteral("Not an INSERT … VALUES (…) statement: %1").arg(sql));
    InsertParts parts{match.captured(1), match.captured(2), {}};
    QString field;
    bool quoted = false;
    for (const QChar c : match.captured(3)) { // split at the commas outside quotes
        if (c == u'\'')
            quoted = !quoted;
        if (c == u',' && !quoted) {
            parts.fields.append(field.trimmed());
            field.clear();
        } else {
            field += c;
        }
    }
    parts.fields.append(field.trimmed());
    return parts;
}

// A constant of the statement as a field of COPY: 'text' (quotes doubled), NULL or a number.
QByteArray constantField(const QString& constant)
{
    if (constant.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return copytext::Null.toByteArray();
    if (constant.size() >= 2 && constant.startsWith(u'\'') && constant.endsWith(u'\''))
        return copytext::escaped(constant.mid(1, constant.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'")).toUtf8());
    return constant.toUtf8();
}

// Names the server reserves that the account uses as column names.
QString serverNames(QString sql)
{
    static const QRegularExpression offset(QStringLiteral("\\bOffset\\b"));
    return sql.replace(offset, QStringLiteral("\"offset\""));
}

void runOnServer(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        q7::data::throwProviderError(query.lastError());
}

} // namespace

sqlite3* SqlInserter::handleOf(QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        q7::data::throwProviderError(QStringLiteral("Not an embedded database"));
    return *static_cast<sqlite3* const*>(handle.constData());
}

pg_conn* SqlInserter::serverHandleOf(QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    // the driver's handle is named after the typedef or the struct, depending on how Qt names it
    const bool server = handle.isValid() && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0);
    return server ? *static_cast<pg_conn* const*>(handle.constData()) : nullptr;
}

void SqlInserter::exec(QSqlDatabase& db, const char* sql)
{
    if (!embedded(db)) {
        QList<SqlInserter*> pending;
        {
            const QMutexLocker lock(&liveMutex);
            pending = live().values(db.connectionName());
        }
        for (SqlInserter* inserter : pending)
            inserter->flush();
        const QString text = QString::fromUtf8(sql).trimmed();
        if (text.compare(QLatin1String("BEGIN"), Qt::CaseInsensitive) == 0 || text.compare(QLatin1String("COMMIT"), Qt::CaseInsensitive) == 0
            || text.startsWith(QLatin1String("PRAGMA"), Qt::CaseInsensitive))
            return;
        runOnServer(db, serverNames(text));
        return;
    }
    sqlite3* handle = handleOf(db);
    if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(handle, QString::fromUtf8(sql));
}

SqlInserter::SqlInserter(QSqlDatabase& db, const QString& sql) : database_(db), uncaught_(std::uncaught_exceptions())
{
    if (!embedded(db)) {
        server_ = serverHandleOf(db);
        if (!server_)
            q7::data::throwProviderError(QStringLiteral("Not a PostgreSQL server"));
        const InsertParts parts = partsOf(sql);
        copy_ = QStringLiteral("COPY %1 (%2) FROM STDIN").arg(parts.table, serverNames(parts.columns)).toUtf8();
        for (const QString& field : parts.fields) {
            placeholders_.append(field == u'?');
            constants_.append(field == u'?' ? QByteArray() : constantField(field));
        }
        const QMutexLocker lock(&liveMutex);
        live().insert(db.connectionName(), this);
        return;
    }
    db_ = handleOf(db);
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &statement_, nullptr) != SQLITE_OK)
        fail(db_, sql);
}

SqlInserter::~SqlInserter() noexcept(false)
{
    sqlite3_finalize(statement_);
    if (db_)
        return;
    {
        const QMutexLocker lock(&liveMutex);
        live().remove(database_.connectionName(), this);
    }
    if (std::uncaught_exceptions() == uncaught_)
        flush();
}

void SqlInserter::flush()
{
    if (rows_.isEmpty())
        return;
    const QByteArray rows = std::exchange(rows_, QByteArray());
    PGresult* started = q7::data::libpq().exec(server_, copy_.constData());
    const bool copying = q7::data::libpq().resultStatus(started) == PGRES_COPY_IN;
    q7::data::libpq().clear(started);
    if (!copying)
        failOnServer(server_, QString::fromUtf8(copy_));
    const bool sent = q7::data::libpq().putCopyData(server_, rows.constData(), static_cast<int>(rows.size())) == 1;
    const bool ended = q7::data::libpq().putCopyEnd(server_, sent ? nullptr : "the rows could not be sent") == 1;
    bool done = sent && ended;
    QString message;
    while (PGresult* result = q7::data::libpq().getResult(server_)) { // the COPY's outcome, then the end
        if (q7::data::libpq().resultStatus(result) != PGRES_COMMAND_OK) {
            done = false;
            message = QString::fromUtf8(q7::data::libpq().resultErrorMessage(result)).trimmed();
        }
        q7::data::libpq().clear(result);
    }
    if (!done)
        q7::data::throwProviderError(QString::fromUtf8(copy_) + QStringLiteral(": ")
                                     + (message.isEmpty() ? QString::fromUtf8(q7::data::libpq().errorMessage(server_)).trimmed() : message));
}

template <typename Value, typename Add>
void SqlInserter::addRow(std::span<const Value> values, Add add)
{
    const qsizetype places = std::count(placeholders_.cbegin(), placeholders_.cend(), true);
    if (static_cast<qsizetype>(values.size()) != places)
        q7::data::throwProviderError(QStringLiteral("%1 values for %2 places").arg(values.size()).arg(places));
    auto value = values.begin();
    for (qsizetype i = 0; i < placeholders_.size(); ++i) {
        if (i > 0)
            rows_ += '\t';
        if (placeholders_[i])
            add(*value++);
        else
            rows_ += constants_[i];
    }
    rows_ += '\n';
    if (rows_.size() >= BytesPerCopy)
        flush();
}

void SqlInserter::addField(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        rows_.append(copytext::Null);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        rows_ += QByteArray::number(value.toLongLong());
        break;
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            q7::data::throwProviderError(QStringLiteral("Not a number the database can hold"));
        rows_ += QByteArray::number(number, 'g', 17);
        break;
    }
    case QMetaType::QByteArray: // UTF-8 already
        copytext::appendEscaped(rows_, *static_cast<const QByteArray*>(value.constData()));
        break;
    default:
        copytext::appendEscaped(rows_, value.toString().toUtf8());
    }
}

void SqlInserter::step()
{
    if (sqlite3_step(statement_) != SQLITE_DONE)
        fail(db_, QStringLiteral("insert"));
    sqlite3_reset(statement_);
}

void SqlInserter::insert(std::span<const QVariant> values)
{
    if (!db_) {
        addRow(values, [this](const QVariant& value) { addField(value); });
        return;
    }
    int index = 1;
    for (const QVariant& value : values) {
        if (!value.isValid() || value.isNull()) {
            sqlite3_bind_null(statement_, index);
        } else {
            switch (value.metaType().id()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::Bool:
                sqlite3_bind_int64(statement_, index, value.toLongLong());
                break;
            case QMetaType::Double:
                sqlite3_bind_double(statement_, index, value.toDouble());
                break;
            case QMetaType::QByteArray: { // UTF-8 already
                const QByteArray& text = *static_cast<const QByteArray*>(value.constData());
                sqlite3_bind_text(statement_, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(statement_, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            }
            }
        }
        ++index;
    }
    step();
}

void SqlInserter::insertInts(std::initializer_list<long long> values)
{
    if (!db_) {
        addRow(std::span<const long long>(values.begin(), values.size()), [this](long long value) { rows_ += QByteArray::number(value); });
        return;
    }
    int index = 1;
    for (long long value : values)
        sqlite3_bind_int64(statement_, index++, value);
    step();
}

} // namespace q7::host::db
