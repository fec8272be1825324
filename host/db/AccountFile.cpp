#include "host/db/AccountDatabase.h"

#include "host/db/AccountSchema.h"
#include "host/db/SqlInserter.h"
#include "host/db/procedures/packs/PackUpkeep.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace q7::host::db {

namespace {

// Whether the BOM tables are there; reading the table of tables parses the
// whole schema, so it also finds a damaged one.
constexpr const char* BomTablesProbe = "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'bom_bom'";

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// An exclusive lock on "<path>.lock", held for the object's life. The lock
// file stays: removing it would let two creators lock different files.
class CreatorLock {
public:
    explicit CreatorLock(const QString& path)
    {
        const QByteArray name = QFile::encodeName(path + QStringLiteral(".lock"));
        fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0)
            q7::data::throwProviderError(QStringLiteral("Cannot create the lock file %1.lock: %2").arg(path, systemError()));
        int result;
        while ((result = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (result != 0) {
            const QString reason = systemError();
            ::close(fd_);
            q7::data::throwProviderError(QStringLiteral("Cannot lock %1.lock: %2").arg(path, reason));
        }
    }
    ~CreatorLock() { ::close(fd_); } // closing releases the lock
    CreatorLock(const CreatorLock&) = delete;
    CreatorLock& operator=(const CreatorLock&) = delete;

private:
    int fd_ = -1;
};

// A read-only SQLite handle that never creates a file. A writer killed in
// the middle of a transaction leaves a journal that must be rolled back
// before anyone reads, which a read-only handle may not do: then the file is
// opened for writing once (never created), the first read rolls the journal
// back, and the account is read as it was last committed.
class ReadOnlyDatabase {
public:
    explicit ReadOnlyDatabase(const QString& path) : path_(QFile::encodeName(path)) { open(SQLITE_OPEN_READONLY); }
    ~ReadOnlyDatabase() { sqlite3_close(db_); }

    void open(int flags)
    {
        sqlite3_close(db_);
        db_ = nullptr;
        code_ = sqlite3_open_v2(path_.constData(), &db_, flags, nullptr);
        if (code_ == SQLITE_OK)
            sqlite3_busy_timeout(db_, 5000); // as the connections of the reports wait
    }
    ReadOnlyDatabase(const ReadOnlyDatabase&) = delete;
    ReadOnlyDatabase& operator=(const ReadOnlyDatabase&) = delete;

    // The first column of the statement's first row (0 without rows); code() tells failures.
    long long value(const char* sql)
    {
        if (code_ != SQLITE_OK)
            return 0;
        sqlite3_stmt* statement = nullptr;
        code_ = sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
        long long result = 0;
        if (code_ == SQLITE_OK) {
            code_ = sqlite3_step(statement);
            if (code_ == SQLITE_ROW) {
                result = sqlite3_column_int64(statement, 0);
                code_ = SQLITE_OK;
            } else if (code_ == SQLITE_DONE) {
                code_ = SQLITE_OK;
            }
        }
        const bool hotJournal = code_ != SQLITE_OK && db_ && sqlite3_extended_errcode(db_) == SQLITE_READONLY_ROLLBACK;
        if (code_ != SQLITE_OK)
            message_ = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code_));
        sqlite3_finalize(statement);
        if (hotJournal && !recovered_) {
            recovered_ = true;
            open(SQLITE_OPEN_READWRITE);
            return value(sql);
        }
        return result;
    }
    int code() const { return code_ & 0xff; }
    QString message() const { return message_; }

private:
    QByteArray path_;
    sqlite3* db_ = nullptr;
    int code_ = SQLITE_OK;
    QString message_;
    bool recovered_ = false;
};

// The file's state, read through an open handle. A damaged or locked
// database is an error of its own, not a judgement on what the file is.
// Schema::Read also reads the table of tables, which parses the whole schema
// and finds a damaged one; Schema::Later trusts a finished account's mark (in
// the file's header) and leaves that to whoever opens the account next.
enum class Schema { Read, Later };

AccountState stateOf(ReadOnlyDatabase& db, const QString& path, Schema schema)
{
    const long long mark = db.value("PRAGMA user_version");
    const bool count = schema == Schema::Read || mark != FinishedAccountMark;
    const long long tables = count ? db.value(BomTablesProbe) : 0;
    if (db.code() == SQLITE_NOTADB)
        return AccountState::Foreign;
    if (db.code() != SQLITE_OK)
        q7::data::throwProviderError(QStringLiteral("Cannot read %1: %2").arg(path, db.message()));
    if (mark == FinishedAccountMark)
        return AccountState::Finished;
    return tables > 0 ? AccountState::Unfinished : AccountState::Foreign; // an earlier version's account has the tables too
}

QString refusal(AccountState state, const QString& path)
{
    switch (state) {
    case AccountState::Missing:
        return QStringLiteral("No account database at %1").arg(path);
    case AccountState::Unfinished:
        return QStringLiteral("%1 is an unfinished account database (its creation did not complete, or an earlier version of "
                              "q7bom made it); create the account again")
            .arg(path);
    case AccountState::Foreign:
        return QStringLiteral("%1 is not an account database").arg(path);
    case AccountState::Finished:
        break;
    }
    return {};
}

// Writes the file's data to the disk before it is renamed into place.
void flushToDisk(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString reason = systemError();
        if (fd >= 0)
            ::close(fd);
        q7::data::throwProviderError(QStringLiteral("Cannot write %1: %2").arg(path, reason));
    }
    ::close(fd);
}

// Removes what creators that died left beside the target: only a creator
// holding the lock makes these files, so with the lock held none is in use.
void removeLeftovers(const QFileInfo& target)
{
    QDir folder = target.absoluteDir();
    const QString prefix = u'.' + target.fileName() + u'.';
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        const QString rest = name.mid(prefix.size());
        if (name.startsWith(prefix) && rest.size() >= 14 && rest.at(6) == u'.'
            && (rest.mid(7) == QLatin1String("partial") || rest.mid(7) == QLatin1String("partial-journal")))
            folder.remove(name);
    }
}

} // namespace

namespace {

AccountState fileStateOf(const QString& path, Schema schema)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return AccountState::Missing;
    if (!info.isFile())
        return AccountState::Foreign;
    ReadOnlyDatabase db(path);
    return stateOf(db, path, schema);
}

} // namespace

AccountState accountStateOf(const QString& path)
{
    if (isServerAccount(path)) {
        data::Connection connection;
        connection.Open(path);
        return serverStateOf(connection);
    }
    return fileStateOf(path, Schema::Read);
}

void openAccount(data::Connection& connection, const QString& path)
{
    if (isServerAccount(path))
        return openServerAccount(connection, path);
    // Before opening (opening creates a missing file); the schema is parsed
    // once, below, on the connection that keeps it for its statements.
    const AccountState state = fileStateOf(path, Schema::Later);
    if (state != AccountState::Finished)
        throw AutomationError(ErrBadCallOrArgument, refusal(state, path));
    connection.Open(connectionStringFor(path));
    QSqlQuery query(connection.database());
    if (!query.exec(QString::fromLatin1(BomTablesProbe)) || !query.next()) {
        const QString reason = q7::data::errorText(query.lastError());
        connection.Close();
        q7::data::throwProviderError(QStringLiteral("Cannot read %1: %2").arg(path, reason));
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next() || query.value(0).toInt() != FinishedAccountMark) {
        connection.Close();
        throw AutomationError(ErrBadCallOrArgument, refusal(AccountState::Unfinished, path));
    }
}

bool buildAccountFile(const QString& path, Existing existing, const std::function<void(data::Connection&)>& fill)
{
    if (isServerAccount(path))
        return buildServerAccount(path, existing, fill);
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        q7::data::throwProviderError(QStringLiteral("Cannot create the folder %1").arg(target.absolutePath()));
    const CreatorLock lock(path);

    const AccountState state = accountStateOf(path);
    if (state == AccountState::Foreign)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("%1 exists and is not an account database; it was left unchanged").arg(path));
    if (state == AccountState::Finished && existing == Existing::Keep)
        return false;
    if (state != AccountState::Missing && existing == Existing::Refuse)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("An account database already exists at %1").arg(path));

    removeLeftovers(target);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX.partial"));
    if (!file.open())
        q7::data::throwProviderError(QStringLiteral("Cannot create a file beside %1: %2").arg(path, file.errorString()));
    file.close();
    const QString building = file.fileName();
    {
        data::Connection connection;
        connection.Open(connectionStringFor(building));
        fill(connection);
        db::procedures::packs::packAll(SqlInserter::handleOf(connection.database()));
        connection.executeNative(QStringLiteral("PRAGMA user_version = %1").arg(FinishedAccountMark));
    }
    QFile::remove(building + QStringLiteral("-journal"));
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    flushToDisk(building);
    if (std::rename(QFile::encodeName(building).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        q7::data::throwProviderError(QStringLiteral("Cannot move the new account to %1: %2").arg(path, systemError()));
    file.setAutoRemove(false);
    return true;
}

} // namespace q7::host::db
