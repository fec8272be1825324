#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace q7::data {
class Connection;
}

namespace q7::host::process {

// The condition values of each parameter form, kept in the account
// (table q7_process_condition) so that a form opens with the values of its
// last run. Late-bound: GetConditionData(process info, key array, value array out).
class ProcessManager : public QObject {
    Q_OBJECT
public:
    explicit ProcessManager(data::Connection& connection) : connection_(connection) {}

    // values ← one value per key (Empty for a key never stored).
    Q_INVOKABLE void GetConditionData(const QVariant& processInfo, const QVariant& keys, QVariant& values);

    QVariant storedValue(const QString& menuKey, const QString& key) const;
    void store(const QString& menuKey, const QString& key, const QString& value);

private:
    data::Connection& connection_;
};

} // namespace q7::host::process
