#include "app/PackCommand.h"

#include "app/CommandParser.h"
#include "host/db/AccountDatabase.h"
#include "host/db/SqlInserter.h"
#include "host/db/procedures/packs/PackUpkeep.h"
#include "platform/data/Ado.h"

#include <QElapsedTimer>
#include <QSqlQuery>

#include <cstdio>

namespace q7::app {

int runPackCommand(const QStringList& args)
{
    CommandParser command(QStringLiteral("pack"), QStringLiteral("[--db FILE]"),
                          QStringLiteral("Packs every BOM of the account file (the demo account without --db) into one row per part,\n"
                                         "so that explosions read a BOM with one seek. New accounts are packed when they are made and\n"
                                         "kept packed by the saving code; this is for accounts made by an earlier version."));
    command.addOption({QStringLiteral("db"), QStringLiteral("The account database file."), QStringLiteral("FILE")});
    if (const auto done = command.parse(args))
        return *done;
    QString path = command.value(QStringLiteral("db"));
    if (q7::host::db::isServerAccount(path))
        return command.refuse(QStringLiteral("a server account reads its BOMs from the tables; only account files are packed"));
    if (path.isEmpty())
        path = q7::host::db::ensureDemoAccount();
    q7::data::Connection connection;
    q7::host::db::openAccount(connection, path);
    QElapsedTimer timer;
    timer.start();
    q7::host::db::procedures::packs::packAll(q7::host::db::SqlInserter::handleOf(connection.database()));
    QSqlQuery count(connection.database());
    const int packed = count.exec(QStringLiteral("SELECT count(*) FROM bom_pack_down")) && count.next() ? count.value(0).toInt() : 0;
    std::printf("%s\n%d parts packed in %.2f s\n", path.toUtf8().constData(), packed, timer.elapsed() / 1000.0);
    return 0;
}

} // namespace q7::app
