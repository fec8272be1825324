#include "host/db/procedures/ProcedureSupport.h"

#include "host/db/procedures/Statement.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/data/DatabaseError.h"

#include <memory>

namespace q7::host::db::procedures {

QString Arguments::text()
{
    const QVariant v = next();
    return isNull(v) || isMissing(v) ? QString("") : v.toString();
}

double Arguments::number(double whenEmpty)
{
    const QVariant v = next();
    if (isNull(v) || isMissing(v))
        return whenEmpty;
    bool ok = false;
    const double d = v.toString().toDouble(&ok);
    if (!ok || !std::isfinite(d))
        q7::data::throwProviderError(QStringLiteral("%1: argument %2 is not a number").arg(QLatin1String(procedure_)).arg(index_));
    return d;
}

void Arguments::finish() const
{
    if (index_ != args_.size())
        q7::data::throwProviderError(QStringLiteral("%1 expects %2 arguments, got %3").arg(QLatin1String(procedure_)).arg(index_).arg(args_.size()));
}

QVariant Arguments::next()
{
    if (index_ >= args_.size())
        q7::data::throwProviderError(QStringLiteral("%1: too few arguments (%2)").arg(QLatin1String(procedure_)).arg(args_.size()));
    return args_[index_++];
}

Range Range::codes(QString low, QString high)
{
    if (high == QLatin1String("zzzzzzzzzzzzzzzzzzzz"))
        high.clear();
    return {std::move(low), std::move(high)};
}

Range Range::dates(QString low, QString high)
{
    if (low == QLatin1String("2000-01-01"))
        low.clear();
    if (high == QLatin1String("2099-12-31"))
        high.clear();
    return {std::move(low), std::move(high)};
}

QVector<Range> freeRanges(Arguments& a)
{
    QVector<Range> ranges(10);
    for (Range& r : ranges) {
        QString low = a.text();
        r = Range::codes(std::move(low), a.text());
    }
    return ranges;
}

QVector<int> matchingParts(const Database& db, const Range& code, const QVector<Range>& free)
{
    QString sql = QStringLiteral("SELECT PartId FROM bas_part WHERE 1 = 1");
    QList<QByteArray> binds;
    const auto bound = [&](const QString& column, const Range& r) {
        if (!r.low.isEmpty()) {
            sql += QStringLiteral(" AND %1 >= ?").arg(column);
            binds.append(r.low.toUtf8());
        }
        if (!r.high.isEmpty()) {
            sql += QStringLiteral(" AND %1 <= ?").arg(column);
            binds.append(r.high.toUtf8());
        }
    };
    bound(QStringLiteral("InvCode"), code);
    for (int i = 0; i < free.size(); ++i)
        bound(QStringLiteral("Free%1").arg(i + 1), free[i]);
    sql += QStringLiteral(" ORDER BY InvCode, Free1 NULLS FIRST, Free2 NULLS FIRST, PartId");
    Statement statement(db, sql.toUtf8().constData());
    for (int i = 0; i < binds.size(); ++i)
        statement.bind(i + 1, binds[i]);
    QVector<int> parts;
    while (statement.next())
        parts.append(statement.integer(0));
    return parts;
}

namespace {
struct Limit {
    int64_t rows = DefaultRowLimit;
};
const QString limitKey = QStringLiteral("row-limit");
} // namespace

int64_t rowLimit(data::Connection& connection)
{
    const auto limit = std::static_pointer_cast<Limit>(connection.attachment(limitKey));
    return limit ? limit->rows : DefaultRowLimit;
}

void setRowLimit(data::Connection& connection, int64_t limit) { connection.attach(limitKey, std::make_shared<Limit>(Limit{limit})); }

namespace {
const QString stopKey = QStringLiteral("stop-flag");
} // namespace

void setStopFlag(data::Connection& connection, std::shared_ptr<const std::atomic<bool>> stop)
{
    connection.attach(stopKey, std::const_pointer_cast<std::atomic<bool>>(std::move(stop)));
}

const std::atomic<bool>* stopFlag(data::Connection& connection)
{
    return std::static_pointer_cast<const std::atomic<bool>>(connection.attachment(stopKey)).get();
}

void RowSink::add(QVector<QVariant>&& row)
{
    if (stop_ && stop_->load(std::memory_order_relaxed))
        q7::data::throwProviderError(QStringLiteral("The report was stopped"));
    if ((shared_ ? (*shared_)++ : count_) >= limit_)
        q7::data::throwProviderError(QStringLiteral("The report has more than %1 rows and stops there; raise the row limit to see them all")
                                               .arg(limit_));
    if (consumer_) {
        if (count_ == 0)
            consumer_->columns(out_.columns);
        consumer_->row(row);
    } else {
        out_.rows.append(std::move(row));
    }
    ++count_;
}

const QString& fvText(int flag)
{
    static const QString fixed = QStringLiteral("固定"), variable = QStringLiteral("变动"), none;
    return flag == 0 ? fixed : flag == 1 ? variable : none;
}

const QString& wipText(int type)
{
    static const QString texts[] = {QString(), QStringLiteral("入库倒冲"), QStringLiteral("工序倒冲"), QStringLiteral("领用"), QStringLiteral("虚拟件")};
    return type >= 1 && type <= 4 ? texts[type] : texts[0];
}

} // namespace q7::host::db::procedures
