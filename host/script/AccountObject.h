#pragma once

#include "platform/data/Ado.h"

#include <QObject>
#include <QString>
#include <QVariant>

namespace q7::host::script {

inline constexpr const char* AccountClassId = "Q7Host.Account";

// The account database as a script's host holds it. Late-bound:
// Open(path) (an existing account only), Path, Query(sql) → {columns, rows}
// with the rows as arrays in column order, Execute(sql) → a recordset.
// Statements go through the account's connection (its SQL dialect, its
// procedures), as the component's own do.
class AccountObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Path READ path)
public:
    AccountObject() = default;

    Q_INVOKABLE void Open(const QString& path);
    Q_INVOKABLE QVariant Query(const QString& sql);
    Q_INVOKABLE QVariant Execute(const QString& sql);

    QString path() const { return path_; }
    // The open connection; error 3709 when the account is not open.
    data::Connection& connection();

private:
    QString path_;
    data::Connection connection_;
};

} // namespace q7::host::script
