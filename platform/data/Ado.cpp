#include "platform/data/Ado.h"

#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/system/SystemSettings.h"
#include "platform/data/ConnectionString.h"
#include "platform/data/DatabaseError.h"
#include "platform/data/ProcedureRegistry.h"
#include "platform/data/ServerConnection.h"
#include "platform/data/SqliteFunctions.h"
#include "platform/data/TSqlBridge.h"

#include <QAtomicInt>
#include <QSqlDriver>
#include <QSqlError>

#include <cmath>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

#include <algorithm>

namespace q7::data {

namespace {

constexpr int ErrItemNotFound = 3265; // no such field
constexpr int ErrNoCurrentRecord = 3021;

QString uniqueConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("q7ado-%1").arg(counter.fetchAndAddRelaxed(1));
}

// The value of key in parsed pairs, ignoring case of keys.
QString valueOf(const QList<std::pair<QString, QString>>& pairs, const QString& key)
{
    for (const auto& [k, v] : pairs)
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    return {};
}

QVariant fromSql(const QVariant& value) { return value.isNull() ? nullValue() : value; }

data::ResultSet readAll(QSqlQuery& query, data::RowConsumer* consumer)
{
    data::ResultSet result;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        result.columns.append(record.fieldName(i));
    if (consumer)
        consumer->columns(result.columns);
    while (query.next()) {
        QVector<QVariant> row(record.count());
        for (int i = 0; i < record.count(); ++i)
            row[i] = fromSql(query.value(i));
        if (consumer)
            consumer->row(row);
        else
            result.rows.append(std::move(row));
    }
    // next() answers false both at the end and on an error (a lock, a damaged page): tell them apart
    if (query.lastError().isValid())
        q7::data::throwProviderError(query.lastError());
    return result;
}

QVariant argumentValue(const data::Token& token)
{
    switch (token.kind) {
    case data::Token::Kind::String:
        return token.text.isNull() ? QString("") : token.text; // '' is an empty text, not NULL
    case data::Token::Kind::Number: {
        // Whole numbers stay whole while a 64-bit integer holds them; anything else is a double, and a
        // text neither can read is refused rather than read as 0.
        bool ok = false;
        if (!token.text.contains(u'.')) {
            const qlonglong whole = token.text.toLongLong(&ok);
            if (ok)
                return whole;
        }
        const double number = token.text.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            q7::data::throwProviderError(QStringLiteral("Not a number the database can hold: %1").arg(token.text));
        return number;
    }
    case data::Token::Kind::Word:
        return nullValue();
    default:
        return missingValue();
    }
}

// Texts compare as the server compares them: trailing blanks do not count.
QString withoutTrailingBlanks(QString text)
{
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

} // namespace

Connection::Connection() : name_(uniqueConnectionName()) {}

Connection::~Connection() { Close(); }

void Connection::Open(const QString& connectionString)
{
    Close();
    connectionString_ = connectionString;
    const QString server = data::serverConnectionOf(connectionString);
    if (!server.isEmpty()) {
        embedded_ = false;
        server_ = true;
        data::quietServerDriver();
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
        if (!db_.isValid())
            q7::data::throwProviderError(QStringLiteral("The PostgreSQL driver of Qt (QPSQL) is not installed"));
        data::configureServerDatabase(db_, server);
        if (!db_.open()) // the connection text is not repeated: the driver's message names what failed
            q7::data::throwProviderError(QStringLiteral("Cannot open the server account: %1").arg(q7::data::errorText(db_.lastError())));
        QSqlQuery(db_).exec(QStringLiteral("SET client_min_messages TO warning")); // the server's notices are not the user's
        return;
    }
    server_ = false;
    // Text that does not read as key=value pairs is a plain path, whatever it contains.
    QList<std::pair<QString, QString>> pairs;
    const bool pairsRead = parseConnectionString(connectionString, pairs);
    const bool odbc = pairsRead && (!valueOf(pairs, QStringLiteral("Driver")).isEmpty() || !valueOf(pairs, QStringLiteral("DSN")).isEmpty());
    const bool named = pairsRead && std::any_of(pairs.begin(), pairs.end(), [](const auto& pair) {
                           return pair.first.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0;
                       });
    const QString source = named ? valueOf(pairs, QStringLiteral("Data Source")) : connectionString;
    if (!odbc && source.isEmpty())
        q7::data::throwProviderError(QStringLiteral("The connection string names no Data Source: %1").arg(connectionString));
    embedded_ = !odbc;
    db_ = QSqlDatabase::addDatabase(odbc ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE"), name_);
    db_.setDatabaseName(odbc ? connectionString : source);
    if (!db_.open())
        q7::data::throwProviderError(QStringLiteral("Cannot open %1: %2").arg(connectionString, q7::data::errorText(db_.lastError())));
    if (embedded_) {
        data::registerSqlServerFunctions(db_);
        // Reports read large parts of the file: map it rather than copy it page by page, and keep more pages.
        QSqlQuery(db_).exec(QStringLiteral("PRAGMA mmap_size = 1073741824"));
        QSqlQuery(db_).exec(QStringLiteral("PRAGMA cache_size = -65536"));
    }
}

void Connection::Close()
{
    attachments_.clear();
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
}

bool Connection::isOpen() const { return db_.isValid() && db_.isOpen(); }

QSqlQuery runBound(QSqlDatabase& db, const QString& sql, const QVariantList& binds)
{
    QSqlQuery query(db);
    if (binds.isEmpty()) { // a server prepares only some statements (not CREATE, SAVEPOINT)
        if (!query.exec(sql))
            q7::data::throwProviderError(query.lastError());
        return query;
    }
    query.prepare(sql);
    for (const QVariant& b : binds)
        query.addBindValue(b);
    if (!query.exec())
        q7::data::throwProviderError(query.lastError());
    return query;
}

data::ResultSet Connection::query(const QString& sql)
{
    if (!isOpen())
        q7::data::throwProviderError(QStringLiteral("The connection is closed"));
    try {
        if (embedded_ || server_) { // the account's procedures run in this process on either database
            data::ProcedureCall call;
            if (data::parseProcedureCall(sql, call)) {
                const data::Procedure* procedure = data::findProcedure(call.name);
                if (!procedure)
                    q7::data::throwProviderError(QStringLiteral("Unknown procedure %1").arg(call.name));
                QVariantList arguments;
                for (const data::Token& token : call.arguments)
                    arguments.append(argumentValue(token));
                return (*procedure)(*this, arguments);
            }
        }
        const QString text = embedded_ ? data::translateSelect(sql)
                             : server_ ? data::translateSelect(sql, data::Dialect::PostgreSQL, system::today().toString(QStringLiteral("yyyy-MM-dd")))
                                       : sql;
        if (embedded_ && consumer_)
            if (data::RawRowSink* sink = consumer_->rawSink()) {
                streamRaw(text, *sink);
                return {};
            }
        QSqlQuery query(db_);
        query.setForwardOnly(true);
        if (!query.exec(text))
            q7::data::throwProviderError(query.lastError());
        return readAll(query, consumer_);
    } catch (const data::BridgeError& error) {
        q7::data::throwProviderError(QStringLiteral("Statement not supported: %1").arg(QString::fromUtf8(error.what())));
    }
}

void Connection::streamRaw(const QString& sql, data::RawRowSink& sink)
{
    const QVariant handle = db_.driver()->handle();
    sqlite3* sqlite = *static_cast<sqlite3* const*>(handle.constData());
    sqlite3_stmt* raw = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(sqlite, text.constData(), static_cast<int>(text.size()), &raw, nullptr) != SQLITE_OK)
        q7::data::throwProviderError(QString::fromUtf8(sqlite3_errmsg(sqlite)));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    const int count = sqlite3_column_count(raw);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QString::fromUtf8(sqlite3_column_name(raw, i)));
    sink.columns(names);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW)
        sink.row(raw, count);
    if (step != SQLITE_DONE) // a lock, a damaged page, an interrupt: not the end of the rows
        q7::data::throwProviderError(QString::fromUtf8(sqlite3_errmsg(sqlite)));
}

data::ResultSet Connection::stream(const QString& sql, data::RowConsumer& consumer)
{
    // Sends the columns once, whoever reads the statement; what a procedure
    // materialises anyway is handed on at the end.
    struct Once : data::RowConsumer {
        data::RowConsumer& target;
        bool started = false;
        explicit Once(data::RowConsumer& t) : target(t) {}
        void columns(const QStringList& names) override
        {
            if (!started)
                target.columns(names);
            started = true;
        }
        void row(const QVector<QVariant>& values) override { target.row(values); }
        data::RawRowSink* rawSink() override
        {
            data::RawRowSink* sink = target.rawSink();
            started = started || sink; // the sink takes the columns itself
            return sink;
        }
    } once(consumer);
    struct Streaming {
        data::RowConsumer*& slot;
        Streaming(data::RowConsumer*& s, data::RowConsumer& c) : slot(s) { slot = &c; }
        ~Streaming() { slot = nullptr; }
    };
    data::ResultSet result;
    {
        const Streaming streaming(consumer_, once);
        result = query(sql);
    }
    once.columns(result.columns);
    for (const auto& row : std::as_const(result.rows))
        once.row(row);
    result.rows.clear();
    return result;
}

std::shared_ptr<Recordset> Connection::Execute(const QString& sql) { return std::make_shared<Recordset>(query(sql)); }

void Connection::executeNative(const QString& sql)
{
    if (embedded_) {
        const QVariant handle = db_.driver()->handle();
        sqlite3* sqlite = *static_cast<sqlite3* const*>(handle.constData());
        char* message = nullptr;
        if (sqlite3_exec(sqlite, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            const QString text = QString::fromUtf8(message ? message : "error");
            sqlite3_free(message);
            q7::data::throwProviderError(text);
        }
        return;
    }
    QSqlQuery query(db_);
    if (server_) { // the server takes several statements at once (and semicolons inside function bodies)
        if (!query.exec(sql))
            q7::data::throwProviderError(query.lastError());
        return;
    }
    for (const QString& statement : sql.split(u';', Qt::SkipEmptyParts)) {
        if (statement.trimmed().isEmpty())
            continue;
        if (!query.exec(statement))
            q7::data::throwProviderError(q7::data::errorText(query.lastError()) + QStringLiteral(" in: ") + statement.trimmed().left(200));
    }
}

void Recordset::Open(const QString& sql, Connection& connection, int, int) { load(connection.query(sql)); }

void Recordset::load(data::ResultSet rows)
{
    rows_ = std::move(rows);
    open_ = true;
    setFilter(QString());
}

void Recordset::Close()
{
    rows_ = {};
    visible_.clear();
    open_ = false;
}

bool Recordset::dispatch(Access access, const QString& name, QVariantList& args, QVariant& result)
{
    if (access == Access::Let || !args.isEmpty())
        return false;
    if (name.compare(QLatin1String("EOF"), Qt::CaseInsensitive) == 0) {
        result = isEof();
        return true;
    }
    if (name.compare(QLatin1String("BOF"), Qt::CaseInsensitive) == 0) {
        result = isBof();
        return true;
    }
    return false;
}

void Recordset::MoveFirst()
{
    position_ = 0;
    bof_ = visible_.isEmpty();
}

void Recordset::MoveNext()
{
    if (isEof())
        throw AutomationError(ErrNoCurrentRecord, QStringLiteral("Either BOF or EOF is True"));
    ++position_;
    bof_ = false;
}

bool Recordset::isEof() const { return position_ >= visible_.size(); }
bool Recordset::isBof() const { return bof_; }
int Recordset::recordCount() const { return static_cast<int>(visible_.size()); }

QVariant Recordset::field(int index) const
{
    if (isEof())
        throw AutomationError(ErrNoCurrentRecord, QStringLiteral("Either BOF or EOF is True"));
    return rows_.rows[visible_[position_]].value(index);
}

QVariant Recordset::Fields(const QString& name) const
{
    const int index = rows_.columnIndex(name);
    if (index < 0)
        throw AutomationError(ErrItemNotFound, QStringLiteral("Item cannot be found: %1").arg(name));
    return field(index);
}

void Recordset::setFilter(const QString& filter)
{
    filter_ = filter;
    struct Condition {
        int column;
        QVariant value;
    };
    QList<Condition> conditions;
    if (!filter.trimmed().isEmpty()) {
        const QList<data::Token> tokens = data::tokenize(filter);
        for (qsizetype i = 0; i < tokens.size();) {
            if (i + 2 >= tokens.size() || !tokens[i + 1].isSymbol("="))
                throw AutomationError(ErrInvalidPropertyValue, QStringLiteral("Unsupported filter: %1").arg(filter));
            const int column = rows_.columnIndex(tokens[i].text);
            if (column < 0)
                throw AutomationError(ErrItemNotFound, QStringLiteral("Item cannot be found: %1").arg(tokens[i].text));
            conditions.append({column, tokens[i + 2].kind == data::Token::Kind::Number ? QVariant(tokens[i + 2].text.toDouble())
                                                                                         : QVariant(tokens[i + 2].text)});
            i += 3;
            if (i < tokens.size()) {
                if (!tokens[i].is("and"))
                    throw AutomationError(ErrInvalidPropertyValue, QStringLiteral("Unsupported filter: %1").arg(filter));
                ++i;
            }
        }
    }
    visible_.clear();
    for (int r = 0; r < rows_.rows.size(); ++r) {
        bool pass = true;
        for (const Condition& c : conditions) {
            const QVariant& v = rows_.rows[r][c.column];
            if (isNull(v)) {
                pass = false;
            } else if (c.value.metaType().id() == QMetaType::Double) {
                pass = v.toDouble() == c.value.toDouble();
            } else {
                pass = withoutTrailingBlanks(v.toString()).compare(withoutTrailingBlanks(c.value.toString()), Qt::CaseInsensitive) == 0;
            }
            if (!pass)
                break;
        }
        if (pass)
            visible_.append(r);
    }
    position_ = 0;
    bof_ = visible_.isEmpty();
}

} // namespace q7::data
