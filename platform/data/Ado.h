#pragma once

#include "platform/LateBinding.h"
#include "platform/data/ConnectionString.h"
#include "platform/data/ResultSet.h"

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>
#include <utility>

// ADO-shaped access to the account database over QtSql. The embedded
// SQLite file is the default; SQL Server statements pass through the T-SQL
// bridge, and "Exec" calls go to the procedure registry. An ODBC connection
// string goes to Qt's ODBC driver unchanged.
namespace q7::data {

enum CursorLocation { adUseServer = 2, adUseClient = 3 };
enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType { adLockReadOnly = 1 };

class Recordset;

// Runs a statement of the database's own dialect with bound values (in
// order); run-time error 3709 with the database's message on failure.
QSqlQuery runBound(QSqlDatabase& db, const QString& sql, const QVariantList& binds = {});

class Connection : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ConnectionString READ connectionString)
public:
    Connection();
    ~Connection() override;

    // "Data Source=FILE" (or a plain path) opens the embedded database;
    // "Driver=…;…" or "DSN=…" goes to ODBC; "Provider=PostgreSQL;Connection=\"host=… dbname=…\""
    // or a postgresql:// URI to a server account. Run-time error on failure.
    // A path with ';' or '=' must be quoted: Data Source="a;b.db".
    Q_INVOKABLE void Open(const QString& connectionString);
    Q_INVOKABLE void Close();
    bool isOpen() const;
    QString connectionString() const { return connectionString_; }

    // Runs a statement; a SELECT or Exec answers a recordset.
    std::shared_ptr<Recordset> Execute(const QString& sql);
    // The statement's rows (SELECT through the bridge, Exec through the registry).
    data::ResultSet query(const QString& sql);
    // The statement's rows handed to a consumer as they are read; the answer
    // holds the columns only. Memory stays bounded by what the statement
    // itself keeps, not by the rows it gives.
    data::ResultSet stream(const QString& sql, data::RowConsumer& consumer);
    // The consumer of the statement being streamed, nullptr when rows are materialised.
    data::RowConsumer* rowConsumer() const { return consumer_; }
    // Runs statements in the database's own dialect (schema, bulk loads).
    void executeNative(const QString& sql);

    QSqlDatabase& database() { return db_; }
    // State that code working on this connection keeps with it (caches);
    // dropped when the connection closes.
    std::shared_ptr<void> attachment(const QString& key) const { return attachments_.value(key); }
    void attach(const QString& key, std::shared_ptr<void> value) { attachments_.insert(key, std::move(value)); }
    bool isEmbedded() const { return embedded_; }
    // A PostgreSQL server account (Provider=PostgreSQL;Connection="…" or a postgresql:// URI).
    bool isServer() const { return server_; }

private:
    void streamRaw(const QString& sql, data::RawRowSink& sink); // a statement of the file, its rows read in place
    QString name_;
    QString connectionString_;
    QSqlDatabase db_;
    bool embedded_ = true;
    bool server_ = false;
    QHash<QString, std::shared_ptr<void>> attachments_;
    data::RowConsumer* consumer_ = nullptr;
};

// "EOF" and "BOF" are answered through DynamicDispatch (EOF is a C macro).
class Recordset : public QObject, public DynamicDispatch {
    Q_OBJECT
    Q_PROPERTY(int RecordCount READ recordCount)
    Q_PROPERTY(QString Filter READ filter WRITE setFilter)
public:
    Recordset() = default;
    explicit Recordset(data::ResultSet rows) { load(std::move(rows)); }

    void Open(const QString& sql, Connection& connection, int cursorType = adOpenForwardOnly, int lockType = adLockReadOnly);
    Q_INVOKABLE void Close();
    Q_INVOKABLE void MoveFirst();
    Q_INVOKABLE void MoveNext();
    // The current row's value of a column, named ignoring case (error 3265 when absent).
    Q_INVOKABLE QVariant Fields(const QString& name) const;
    QVariant field(int index) const;

    bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) override;
    bool isEof() const;
    bool isBof() const;
    int recordCount() const;
    QString filter() const { return filter_; }
    // A client-side filter: "column='text'" or "column=number", several
    // joined by AND; text compares ignoring case and trailing blanks. An empty filter shows all rows.
    void setFilter(const QString& filter);
    const QStringList& columns() const { return rows_.columns; }
    int cursorLocation = adUseClient;

private:
    void load(data::ResultSet rows);

    data::ResultSet rows_;
    QVector<int> visible_; // indexes of rows that pass the filter
    int position_ = 0;
    bool bof_ = false;
    bool open_ = false;
    QString filter_;
};

} // namespace q7::data
