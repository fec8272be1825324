#include "MillionLineAccount.h"

#include "host/db/AccountDatabase.h"

#include <QTemporaryDir>

const QString& millionLineAccount()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("synthetic.db"));
        q7::host::db::createSyntheticAccount(file, {125000, 5, 10, 1});
        return file;
    }();
    return path;
}
