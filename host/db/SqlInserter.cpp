#include "host/db/SqlInserter.h"
#include "platform/SqlText.h"

#include "platform/AutomationError.h"
#include "platform/data/DatabaseError.h"

#include <QMutex>
#include <QMultiHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

#include <cmath>
#include <exception>

namespace q7::host::account {

namespace {
[[noreturn]] void fail(sqlite3* db, const QString& what)
{
    q7::data::throwProviderError(what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)));
}

bool embedded(QSqlDatabase& db) { return qstrcmp(db.driver()->handle().typeName(), "sqlite3*") == 0; }

// Rows gathered per statement on a server.
constexpr int RowsPerStatement = 1000;

// The inserters gathering rows, by connection: exec sends their rows first.
QMutex liveMutex;
QMultiHash<QString, SqlInserter*>& live()
{
    static QMultiHash<QString, SqlInserter*> inserters;
    return inserters;
}

// A value as a literal of the server's SQL.
QString literal(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return QString::number(value.toLongLong());
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            q7::data::throwProviderError(QStringLiteral("Not a number the database can hold"));
        return QString::number(number, 'g', 17);
    }
    default: {
        return sqltext::quoted(value.toString());
    }
    }
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
        const qsizetype values = sql.indexOf(QLatin1String("VALUES"), 0, Qt::CaseInsensitive);
        if (values < 0)
            q7::data::throwProviderError(QStringLiteral("Not an INSERT … VALUES statement: %1").arg(sql));
        head_ = serverNames(sql.left(values + 6)) + u' ';
        // the row's text split at each '?' outside quotes
        const QString row = sql.mid(values + 6).trimmed();
        QString piece;
        bool quoted = false;
        for (const QChar c : row) {
            if (c == u'\'')
                quoted = !quoted;
            if (c == u'?' && !quoted) {
                pieces_.append(piece);
                piece.clear();
            } else {
                piece += c;
            }
        }
        pieces_.append(piece);
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
    const QString sql = head_ + rows_.join(u',');
    rows_.clear();
    runOnServer(database_, sql);
}

void SqlInserter::step()
{
    if (sqlite3_step(statement_) != SQLITE_DONE)
        fail(db_, QStringLiteral("insert"));
    sqlite3_reset(statement_);
}

void SqlInserter::insert(std::initializer_list<QVariant> values)
{
    if (!db_) {
        if (static_cast<qsizetype>(values.size()) != pieces_.size() - 1)
            q7::data::throwProviderError(QStringLiteral("%1 values for %2 places").arg(values.size()).arg(pieces_.size() - 1));
        QString row = pieces_.first();
        qsizetype i = 1;
        for (const QVariant& value : values)
            row += literal(value) + pieces_[i++];
        rows_.append(row);
        if (rows_.size() >= RowsPerStatement)
            flush();
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
        QString row = pieces_.first();
        qsizetype i = 1;
        for (long long value : values)
            row += QString::number(value) + pieces_.value(i++);
        rows_.append(row);
        if (rows_.size() >= RowsPerStatement)
            flush();
        return;
    }
    int index = 1;
    for (long long value : values)
        sqlite3_bind_int64(statement_, index++, value);
    step();
}

} // namespace q7::host::account
