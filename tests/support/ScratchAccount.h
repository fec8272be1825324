#pragma once

#include <QString>
#include <QTemporaryDir>

namespace fake {

// A copy of the demo account (with the maintenance tables) in a folder of its
// own, for tests that change data.
class ScratchAccount {
public:
    ScratchAccount();
    const QString& path() const { return path_; }
    // Runs statements of the database's own dialect on the account.
    void execute(const QString& sql) const;
    // Every row of the BOM tables and the stored low-level codes, as text
    // (to compare the account before and after).
    QString dump() const;

private:
    QTemporaryDir dir_;
    QString path_;
};

} // namespace fake
