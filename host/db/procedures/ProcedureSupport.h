#pragma once

#include "platform/data/Ado.h"
#include "host/db/procedures/Statement.h"
#include "platform/data/ResultSet.h"

#include <QString>
#include <QVariantList>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <memory>


// What the BOM procedures share: reading their arguments, the bounds they
// take, the parts a range selects, and the row limit of their results.
namespace q7::host::db::procedures {

// Reads a procedure's arguments in order; a missing trailing argument is an error.
class Arguments {
public:
    Arguments(const QVariantList& args, const char* procedure) : args_(args), procedure_(procedure) {}
    QString text();
    double number(double whenEmpty);
    void finish() const;

private:
    QVariant next();
    const QVariantList& args_;
    const char* procedure_;
    int index_ = 0;
};

// A range of texts; an empty bound is open. The report statements write an
// open bound with a stand-in ('' below, twenty z above), which reads as open.
struct Range {
    QString low, high;
    static Range codes(QString low, QString high);
    static Range dates(QString low, QString high);   // '2000-01-01' .. '2099-12-31' stand for open
};
// A range of versions; 0 below and 99999999 above stand for open.
struct VersionRange {
    double low = 0, high = 0;
    bool openLow() const { return low <= 0; }
    bool openHigh() const { return high >= 99999999; }
};

QVector<Range> freeRanges(Arguments& a);

// Parts whose code and free items fall in the ranges, in code order.
QVector<int> matchingParts(const Database& db, const Range& code, const QVector<Range>& free);

// The rows a procedure may give before it stops with a message; kept with the connection.
int64_t rowLimit(data::Connection& connection);
void setRowLimit(data::Connection& connection, int64_t limit);
inline constexpr int64_t DefaultRowLimit = 5'000'000;

// A flag another thread sets to stop the procedures running on a connection:
// they stop at their next row with an error. Kept with the connection.
void setStopFlag(data::Connection& connection, std::shared_ptr<const std::atomic<bool>> stop);
const std::atomic<bool>* stopFlag(data::Connection& connection);

// Takes a procedure's rows, refusing to pass the limit: into the result, or
// straight to the connection's consumer when the caller streams (the result's
// columns must be set before the first row).
class RowSink {
public:
    RowSink(data::ResultSet& out, int64_t limit, data::RowConsumer* consumer = nullptr, const std::atomic<bool>* stop = nullptr)
        : out_(out), limit_(limit), consumer_(consumer), stop_(stop) {}
    // A sink of one of several walks side by side: the limit holds for the rows of all of them, counted in shared.
    RowSink(data::ResultSet& out, int64_t limit, std::atomic<int64_t>& shared, const std::atomic<bool>* stop = nullptr)
        : out_(out), limit_(limit), consumer_(nullptr), shared_(&shared), stop_(stop) {}
    void add(QVector<QVariant>&& row);
    int64_t limit() const { return limit_; }
    const std::atomic<bool>* stop() const { return stop_; }

private:
    data::ResultSet& out_;
    int64_t limit_;
    data::RowConsumer* consumer_;
    std::atomic<int64_t>* shared_ = nullptr;
    const std::atomic<bool>* stop_ = nullptr;
    int64_t count_ = 0;
};

// The texts of a line's fixed/variable flag and supply type; empty for an unknown value.
const QString& fvText(int flag);
const QString& wipText(int type);

} // namespace q7::host::db::procedures
