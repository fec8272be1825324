#include "host/db/procedures/StatementBackend.h"

#include "platform/AutomationError.h"
#include "platform/data/DatabaseError.h"
#include "platform/data/LibPq.h"


#include <QRegularExpression>

#include <charconv>
#include <map>

namespace q7::host::db::procedures {

QByteArray serverDialect(const char* sql)
{
    const QByteArray in(sql);
    QByteArray out;
    out.reserve(in.size() + 32);
    int nextPlain = 1;
    bool quoted = false;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c == '\'') {
            quoted = !quoted;
            out += c;
            continue;
        }
        if (quoted) {
            out += c;
            continue;
        }
        if (c == '?') {
            qsizetype j = i + 1;
            while (j < in.size() && in[j] >= '0' && in[j] <= '9')
                ++j;
            out += '$' + (j > i + 1 ? in.mid(i + 1, j - i - 1) : QByteArray::number(nextPlain++));
            i = j - 1;
            continue;
        }
        out += c;
    }
    // IDS($n) f -> unnest($n::int[]) f(value)
    static const QRegularExpression ids(QStringLiteral("IDS\\((\\$\\d+)\\)\\s+(\\w+)"));
    QString text = QString::fromUtf8(out);
    text.replace(ids, QStringLiteral("unnest(\\1::int[]) \\2(value)"));
    text.replace(QStringLiteral(" CROSS JOIN "), QStringLiteral(" JOIN "));
    return text.toUtf8();
}

namespace {

[[noreturn]] void throwServerError(const char* message)
{
    q7::data::throwProviderError(QString::fromUtf8(message).trimmed());
}

// Runs with the bound values at the first step; the whole answer is then read row by row.
class ServerStatement final : public Statement::Backend {
public:
    ServerStatement(pg_conn* db, const char* sql) : db_(db), sql_(serverDialect(sql)) {}
    ~ServerStatement() override { clear(); }

    void bindInt(int index, int value) override { params_[index] = QByteArray::number(value); }
    void bindText(int index, const QByteArray& utf8) override { params_[index] = utf8; }
    void bindBlob(int index, const QByteArray& data) override { params_[index] = data; }
    void bindReal(int index, double value) override
    {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        params_[index] = QByteArray(buffer, end - buffer);
    }
    QByteArray idList(const QVector<int>& ids) const override { return idListText(ids, '{', '}'); } // an array literal
    bool next() override
    {
        if (!result_)
            run();
        return ++row_ < q7::data::libpq().ntuples(result_);
    }
    void reset() override
    {
        clear();
        params_.clear();
    }
    int integer(int column) const override { return static_cast<int>(real(column)); }
    double real(int column) const override
    {
        const char* value = q7::data::libpq().getvalue(result_, row_, column);
        double number = 0;
        std::from_chars(value, value + q7::data::libpq().getlength(result_, row_, column), number);
        return number;
    }
    bool isNull(int column) const override { return q7::data::libpq().getisnull(result_, row_, column) != 0; }
    QString text(int column) const override
    {
        if (isNull(column))
            return QString();
        return QString::fromUtf8(q7::data::libpq().getvalue(result_, row_, column), q7::data::libpq().getlength(result_, row_, column));
    }

    bool isText(int column) const override { return !isNull(column); }
    QByteArrayView utf8(int column) const override
    {
        return QByteArrayView(q7::data::libpq().getvalue(result_, row_, column), q7::data::libpq().getlength(result_, row_, column));
    }

private:
    void run()
    {
        const int count = params_.empty() ? 0 : params_.rbegin()->first;
        std::vector<const char*> values(static_cast<size_t>(count), nullptr);
        for (const auto& [index, value] : params_)
            values[static_cast<size_t>(index - 1)] = value.constData();
        result_ = q7::data::libpq().execParams(db_, sql_.constData(), count, nullptr, values.data(), nullptr, nullptr, 0);
        if (q7::data::libpq().resultStatus(result_) != PGRES_TUPLES_OK) {
            const QByteArray message = result_ ? QByteArray(q7::data::libpq().resultErrorMessage(result_)) : QByteArray(q7::data::libpq().errorMessage(db_));
            clear();
            throwServerError(message.constData());
        }
        row_ = -1;
    }
    void clear()
    {
        if (result_)
            q7::data::libpq().clear(result_);
        result_ = nullptr;
    }

    pg_conn* db_;
    QByteArray sql_;
    std::map<int, QByteArray> params_;
    PGresult* result_ = nullptr;
    int row_ = -1;
};

} // namespace

std::unique_ptr<Statement::Backend> serverStatement(pg_conn* db, const char* sql) { return std::make_unique<ServerStatement>(db, sql); }

bool beginServerSnapshot(pg_conn* db)
{
    if (q7::data::libpq().transactionStatus(db) != PQTRANS_IDLE)
        return false;
    // The procedures read a level of parts at a time by their keys: each statement walks the
    // indexes from the listed ids, which the planner, guessing the list's size, does not always see.
    PGresult* result = q7::data::libpq().exec(db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY; "
                                  "SET LOCAL enable_hashjoin = off; SET LOCAL enable_mergejoin = off; SET LOCAL enable_seqscan = off");
    const bool ok = q7::data::libpq().resultStatus(result) == PGRES_COMMAND_OK;
    const QByteArray message = ok ? QByteArray() : QByteArray(q7::data::libpq().errorMessage(db));
    q7::data::libpq().clear(result);
    if (!ok)
        throwServerError(message.constData());
    return true;
}

void endServerSnapshot(pg_conn* db) { q7::data::libpq().clear(q7::data::libpq().exec(db, "ROLLBACK")); }

} // namespace q7::host::db::procedures
