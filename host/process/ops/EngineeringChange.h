#pragma once

#include <QSet>
#include <QSqlDatabase>
#include <QString>

namespace q7::host::process::ops {

class Journal;

// A run recorded as an engineering change in the account's change tables:
// one ecn_ecnapply row with its document code, one ecn_ecnapplydetail row per
// BOM the run changes, which that BOM's ApplyDId then names (the change
// column of the BOM reports). Written through the run's journal, so that undo
// takes it back with the lines.
class EngineeringChange {
public:
    // Numbers the change and its document ("ECN-2027-003": the year of the
    // date it takes effect, then the next number of that year).
    EngineeringChange(QSqlDatabase& db, Journal& journal, const QString& effectiveDate);

    const QString& docCode() const { return docCode_; }
    // Records that the change touches the BOM (once per BOM, however often called).
    void touch(int bomId);

private:
    QSqlDatabase& db_;
    Journal& journal_;
    qint64 applyId_ = 0;
    QString docCode_;
    QSet<int> boms_;
};

} // namespace q7::host::process::ops
