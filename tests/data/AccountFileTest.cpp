#include "app/InitDbCommand.h"
#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <memory>
#include <thread>
#include <vector>

using namespace q7;
using namespace q7::app;
using host::db::AccountState;
using host::db::Existing;

namespace {

// The text a one-value query answers on an account opened as every command opens it ("error" when it fails).
QString textOf(const QString& path, const QString& sql)
{
    data::Connection connection;
    host::db::openAccount(connection, path);
    QSqlQuery query(connection.database());
    if (!query.exec(sql) || !query.next())
        return QStringLiteral("error");
    return query.value(0).toString();
}

// Row counts that tell a complete demo account from a part of one.
QString countsOf(const QString& path)
{
    return textOf(path, QStringLiteral("SELECT (SELECT count(*) FROM Inventory) || '/' || (SELECT count(*) FROM bom_opcomponent) || '/' || "
                                       "(SELECT count(*) FROM UserDef)"));
}
// Every line's quantities, as a report of the account would read them.
QString quantitiesOf(const QString& path)
{
    return textOf(path, QStringLiteral("SELECT group_concat(OpComponentId || '=' || BaseQtyN || '/' || BaseQtyD, ' ') FROM "
                                       "(SELECT * FROM bom_opcomponent ORDER BY OpComponentId)"));
}

// A writer killed in its transaction: a child process changes every `every`-th line with a
// small cache (so that changed pages reach the file before the commit) and is killed there.
void killWriterMidTransaction(const QString& path, int every)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray sql = "PRAGMA cache_size = 1; BEGIN; UPDATE bom_opcomponent SET BaseQtyN = BaseQtyN + 100 WHERE OpComponentId % " +
                               QByteArray::number(every) + " = 0; UPDATE bom_pack_down SET PartId = PartId;";
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        raise(SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
}


QString refusalOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const AutomationError& error) {
        return error.description();
    }
    return {};
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Takes the finished mark off an account, as a creator killed before the end would leave it.
void unmark(const QString& path)
{
    data::Connection connection;
    connection.Open(host::db::connectionStringFor(path));
    connection.executeNative(QStringLiteral("PRAGMA user_version = 0"));
}

int initDb(const QStringList& args) { return runInitDb(args); }

} // namespace

TEST(AccountFile, ParallelCreatorsKeepEveryReaderOnACompleteAccount)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    host::db::createDemoAccount(path);
    const QString complete = countsOf(path);
    ASSERT_EQ(complete, QStringLiteral("28/34/10"));

    for (int round = 0; round < 4; ++round) {
        std::atomic<int> creatorsLeft = 4;
        std::atomic<int> refusedCreators = 0;
        std::vector<QString> seen[2];
        std::vector<std::thread> threads;
        for (int c = 0; c < 4; ++c) {
            threads.emplace_back([&, c] {
                // Half replace the account, half only create it (and must be refused).
                const Existing existing = c % 2 == 0 ? Existing::Replace : Existing::Refuse;
                if (!refusalOf([&] { host::db::createDemoAccount(path, existing); }).isEmpty())
                    ++refusedCreators;
                --creatorsLeft;
            });
        }
        for (int r = 0; r < 2; ++r) {
            threads.emplace_back([&, r] {
                do {
                    const QString error = refusalOf([&] { seen[r].push_back(countsOf(path)); });
                    if (!error.isEmpty())
                        seen[r].push_back(error);
                } while (creatorsLeft > 0);
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_EQ(refusedCreators, 2) << "round " << round;
        for (const auto& readings : seen)
            for (const QString& reading : readings)
                EXPECT_EQ(reading, complete) << "round " << round;
        EXPECT_EQ(host::db::accountStateOf(path), AccountState::Finished);
    }
    // Nothing left behind but the account and its lock file.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("demo.db"), QStringLiteral("demo.db.lock")}));
}

TEST(AccountFile, FirstUseByManyAtOnceBuildsOneCompleteAccount)
{
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new/demo.db")); // the folder does not exist yet
        std::vector<QString> results(4);
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i) {
            threads.emplace_back([&, i] {
                results[i] = refusalOf([&] { host::db::createDemoAccount(path, Existing::Keep); });
                if (results[i].isEmpty())
                    results[i] = countsOf(path);
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_EQ(results, std::vector<QString>(4, QStringLiteral("28/34/10"))) << "round " << round;
    }
}

// The command line, several processes at once: reports on a new machine
// (each creating the default demo account on first use), then creators
// replacing an account that reports are reading.
TEST(AccountFile, ProcessesAtOnceOnTheCommandLine)
{
    const auto start = [](const QStringList& args, const QString& dataHome) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(Q7BOM_PATH), args);
        return process;
    };
    const auto finish = [](QProcess& process) {
        process.waitForFinished(120000);
        return QStringLiteral("%1 %2").arg(process.exitCode()).arg(QString::fromUtf8(process.readAllStandardOutput()).size());
    };
    const QStringList report{QStringLiteral("report"), QStringLiteral("BO02004"), QStringLiteral("--format"), QStringLiteral("csv")};

    for (int round = 0; round < 3; ++round) {
        QTemporaryDir home;
        std::vector<std::unique_ptr<QProcess>> reports;
        for (int i = 0; i < 4; ++i)
            reports.push_back(start(report, home.path()));
        QStringList results;
        for (auto& process : reports)
            results.append(finish(*process));
        EXPECT_EQ(results.size(), 4);
        EXPECT_TRUE(results.first().startsWith(QStringLiteral("0 "))) << results.first().toStdString();
        EXPECT_EQ(results.count(results.first()), 4) << results.join(u'|').toStdString();
        EXPECT_EQ(host::db::accountStateOf(home.filePath(QStringLiteral("q7bom/demo.db"))), AccountState::Finished);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bom.db"));
    host::db::createDemoAccount(path);
    QStringList withDb = report;
    withDb << QStringLiteral("--db") << path;
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<QProcess>> creators, readers;
        for (int i = 0; i < 3; ++i)
            creators.push_back(start({QStringLiteral("init-db"), QStringLiteral("--force"), QStringLiteral("--path"), path}, dir.path()));
        for (int i = 0; i < 3; ++i)
            readers.push_back(start(withDb, dir.path()));
        for (auto& process : creators)
            EXPECT_EQ(finish(*process).section(u' ', 0, 0), QStringLiteral("0"));
        QStringList results;
        for (auto& process : readers)
            results.append(finish(*process));
        EXPECT_TRUE(results.first().startsWith(QStringLiteral("0 "))) << results.first().toStdString();
        EXPECT_EQ(results.count(results.first()), 3) << results.join(u'|').toStdString();
        EXPECT_EQ(countsOf(path), QStringLiteral("28/34/10"));
    }
}

TEST(AccountFile, OnlyFinishedAccountsOpen)
{
    QTemporaryDir dir;
    const QString account = dir.filePath(QStringLiteral("a.db"));
    host::db::createDemoAccount(account);
    const QString halfBuilt = dir.filePath(QStringLiteral("half.db"));
    QFile::copy(account, halfBuilt);
    unmark(halfBuilt);
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    writeFile(text, "BK-100 red\n");
    const QString empty = dir.filePath(QStringLiteral("empty.db"));
    writeFile(empty, "");
    const QString other = dir.filePath(QStringLiteral("other.db")); // another program's database
    {
        data::Connection connection;
        connection.Open(host::db::connectionStringFor(other));
        connection.executeNative(QStringLiteral("CREATE TABLE notes (t TEXT)"));
    }
    const QString missing = dir.filePath(QStringLiteral("missing.db"));

    struct Case {
        QString path;
        AccountState state;
        const char* refusal; // part of the message, or nullptr when it opens
    };
    const Case cases[] = {
        {account, AccountState::Finished, nullptr},
        {halfBuilt, AccountState::Unfinished, "is an unfinished account database"},
        {text, AccountState::Foreign, "is not an account database"},
        {empty, AccountState::Foreign, "is not an account database"},
        {other, AccountState::Foreign, "is not an account database"},
        {dir.path(), AccountState::Foreign, "is not an account database"},
        {missing, AccountState::Missing, "No account database at"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(host::db::accountStateOf(c.path), c.state) << c.path.toStdString();
        data::Connection connection;
        const QString refusal = refusalOf([&] { host::db::openAccount(connection, c.path); });
        if (c.refusal) {
            EXPECT_TRUE(refusal.contains(QString::fromUtf8(c.refusal))) << refusal.toStdString();
            EXPECT_FALSE(connection.isOpen());
        } else {
            EXPECT_EQ(refusal, QString());
        }
    }
    EXPECT_FALSE(QFile::exists(missing)); // opening did not create it
    EXPECT_EQ(readFile(text), QByteArray("BK-100 red\n"));
}

TEST(AccountFile, ADamagedAccountIsADatabaseErrorAndIsNeverReplaced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.db"));
    host::db::createDemoAccount(path);
    QByteArray bytes = readFile(path);
    bytes.replace(100, 100, QByteArray(100, '\xff')); // the table of tables, right after the file header
    writeFile(path, bytes);

    const QString refusal = refusalOf([&] { host::db::accountStateOf(path); });
    EXPECT_TRUE(refusal.contains(QStringLiteral("malformed"))) << refusal.toStdString();
    data::Connection connection;
    EXPECT_TRUE(refusalOf([&] { host::db::openAccount(connection, path); }).contains(QStringLiteral("malformed")));
    EXPECT_THROW(initDb({QStringLiteral("--force"), QStringLiteral("--path"), path}), AutomationError); // exit status 1
    EXPECT_EQ(readFile(path), bytes);
}

TEST(AccountFile, AFailedCreationLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.db"));
    // What a creator killed halfway leaves; the next creator clears it away, and only it.
    writeFile(dir.filePath(QStringLiteral(".s.db.Ab12Cd.partial")), "half");
    writeFile(dir.filePath(QStringLiteral(".s.db.Ab12Cd.partial-journal")), "half");
    writeFile(dir.filePath(QStringLiteral(".other.db.Ab12Cd.partial")), "someone else's");
    const auto stopHalfway = [](int64_t done, int64_t) {
        if (done > 0)
            throw AutomationError(ErrBadCallOrArgument, QStringLiteral("stopped"));
    };
    EXPECT_THROW(host::db::createSyntheticAccount(path, {60000, 3, 2, 1}, stopHalfway), AutomationError);
    EXPECT_EQ(host::db::accountStateOf(path), AccountState::Missing);

    // The same over a good account: it stays as it was.
    host::db::createSyntheticAccount(path, {100, 3, 2, 1});
    const QByteArray before = readFile(path);
    EXPECT_THROW(host::db::createSyntheticAccount(path, {60000, 3, 2, 1}, stopHalfway, Existing::Replace), AutomationError);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral(".other.db.Ab12Cd.partial"), QStringLiteral("s.db"), QStringLiteral("s.db.lock")}));
}

TEST(AccountFile, InitDbReplacesOnlyAccountsAndOnlyWithForce)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("bom.txt"));
    writeFile(text, "not an account\n");
    const QString account = dir.filePath(QStringLiteral("a.db"));
    const QString halfBuilt = dir.filePath(QStringLiteral("half.db"));

    EXPECT_EQ(initDb({QStringLiteral("--path"), text}), 2);
    EXPECT_EQ(initDb({QStringLiteral("--path"), text, QStringLiteral("--force")}), 2);
    EXPECT_EQ(initDb({QStringLiteral("--synthetic"), QStringLiteral("--parts"), QStringLiteral("20"), QStringLiteral("--path"), text,
                      QStringLiteral("--force")}),
              2);
    EXPECT_EQ(readFile(text), QByteArray("not an account\n"));

    EXPECT_EQ(initDb({QStringLiteral("--synthetic"), QStringLiteral("--parts"), QStringLiteral("20"), QStringLiteral("--path"), account}), 0);
    const QByteArray synthetic = readFile(account);
    EXPECT_EQ(initDb({QStringLiteral("--path"), account}), 2); // an account is there
    EXPECT_EQ(readFile(account), synthetic);
    EXPECT_EQ(initDb({QStringLiteral("--force"), QStringLiteral("--path"), account}), 0);
    EXPECT_EQ(countsOf(account), QStringLiteral("28/34/10"));

    QFile::copy(account, halfBuilt);
    unmark(halfBuilt);
    EXPECT_EQ(initDb({QStringLiteral("--path"), halfBuilt}), 2);
    EXPECT_EQ(initDb({QStringLiteral("--path"), halfBuilt, QStringLiteral("--force")}), 0);
    EXPECT_EQ(host::db::accountStateOf(halfBuilt), AccountState::Finished);
}

TEST(AccountFile, PathsWithConnectionStringSyntaxOpenExactlyThatFile)
{
    QTemporaryDir dir;
    const QString decoy = dir.filePath(QStringLiteral("decoy.db"));
    host::db::createSyntheticAccount(decoy, {20, 2, 1, 1});
    const QString names[] = {
        QStringLiteral("a;b.db"),
        QStringLiteral("x;Data Source=decoy.db"),
        QStringLiteral("y;DSN=q7;.db"),
        QStringLiteral("\"quoted\" 'single' {brace}=;.db"),
        QStringLiteral(" blank ends .db "),
    };
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        host::db::createDemoAccount(path);
        EXPECT_TRUE(QFile::exists(path)) << name.toStdString();
        EXPECT_EQ(countsOf(path), QStringLiteral("28/34/10")) << name.toStdString(); // not the decoy's 20 items
        data::Connection connection;
        connection.Open(path); // a plain path is taken whole too
        EXPECT_TRUE(connection.isEmbedded()) << name.toStdString();
        QSqlQuery query(connection.database());
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT count(*) FROM Inventory")) && query.next());
        EXPECT_EQ(query.value(0).toInt(), 28) << name.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2 * (std::size(names) + 1)); // each account and its lock file, nothing else
}

TEST(AccountFile, ConnectionStringValues)
{
    struct Case {
        const char* text;
        QList<std::pair<QString, QString>> pairs; // empty: not a connection string
    };
    const Case cases[] = {
        {"Data Source=/tmp/a.db", {{"Data Source", "/tmp/a.db"}}},
        {"Data Source=\"/tmp/a;DSN=x.db\"", {{"Data Source", "/tmp/a;DSN=x.db"}}},
        {"Data Source='it''s.db'; Mode=Read", {{"Data Source", "it's.db"}, {"Mode", "Read"}}},
        {"Driver={SQL Server};Server=s;PWD={a}}b;c}", {{"Driver", "SQL Server"}, {"Server", "s"}, {"PWD", "a}b;c"}}},
        {"DSN=bom ; UID = sa ;", {{"DSN", "bom"}, {"UID", "sa"}}},
        {"/tmp/a;DSN=x.db", {}},        // a plain path
        {"/tmp/x=1;DSN=y", {}},         // a plain path
        {"Data Source=\"a.db", {}},     // unterminated
        {"Data Source=\"a\"b.db", {}},  // text after the quote
    };
    for (const Case& c : cases) {
        QList<std::pair<QString, QString>> pairs;
        EXPECT_EQ(data::parseConnectionString(QString::fromUtf8(c.text), pairs), !c.pairs.isEmpty()) << c.text;
        if (!c.pairs.isEmpty()) {
            EXPECT_EQ(pairs, c.pairs) << c.text;
        }
    }
    for (const QString& value : {QStringLiteral("a;b"), QStringLiteral("\"x\";DSN=y"), QStringLiteral(" sp ace "), QStringLiteral("{}'")}) {
        QList<std::pair<QString, QString>> pairs;
        ASSERT_TRUE(data::parseConnectionString(QStringLiteral("Data Source=") + data::quoteConnectionValue(value), pairs));
        EXPECT_EQ(pairs, (QList<std::pair<QString, QString>>{{QStringLiteral("Data Source"), value}}));
    }
}

// What a killed writer leaves (a journal to roll back) keeps no reader out: the
// next one that opens the account reads it as last committed.
TEST(AccountFile, AReaderAfterAKilledWriterReadsTheCommittedState)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("account.db"));
    host::db::createDemoAccount(path);
    const QString committed = quantitiesOf(path);
    ASSERT_NE(committed, QStringLiteral("error"));
    for (const int every : {1, 2, 3, 7}) {
        SCOPED_TRACE(every);
        killWriterMidTransaction(path, every);
        ASSERT_TRUE(QFile::exists(path + QStringLiteral("-journal"))) << "the writer left its journal";
        EXPECT_EQ(host::db::accountStateOf(path), AccountState::Finished);
        EXPECT_EQ(quantitiesOf(path), committed);
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));
    }
}
