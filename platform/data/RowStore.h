#pragma once

#include "platform/data/ResultSet.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace q7::data {

// Rows held as the database gives their cells, packed one after another in
// large blocks: a tag byte and the cell's bytes (an integer or a double in
// 8 bytes, a text in UTF-8 with its length), no variant or string object per
// cell. A million rows of a wide report take about the size of their text,
// not several gigabytes of variants, and rows read in place from a statement
// of the file (RawRowSink) are copied without being turned into values.
//
// value() gives back the variant the query would have given: SQL NULL as the
// platform's Null, integers as 64-bit integers, doubles, texts, blobs as bytes;
// rows appended as variants keep their types (other kinds of value are kept as
// they are beside the blocks).
class RowStore : public RawRowSink {
public:
    RowStore() = default;
    ~RowStore() override;
    RowStore(RowStore&&) noexcept;
    RowStore& operator=(RowStore&&) noexcept;
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    void columns(const QStringList& names) override { columns_ = names; }
    void row(sqlite3_stmt* statement, int columnCount) override;
    void append(const QVector<QVariant>& values);

    const QStringList& columnNames() const { return columns_; }
    int columnCount() const { return static_cast<int>(columns_.size()); }
    int columnIndex(const QString& name) const; // ignoring case; -1 when absent
    qsizetype size() const { return static_cast<qsizetype>(starts_.size()); }
    bool isEmpty() const { return starts_.empty(); }
    // The cells a row holds (a row appended with fewer values than columns holds fewer).
    int cellCount(qsizetype row) const;

    QVariant value(qsizetype row, int column) const; // an invalid variant past the row's cells
    QVector<QVariant> values(qsizetype row) const;
    // The bytes the blocks hold: what the rows cost beyond one index entry each.
    std::size_t blockBytes() const;

    void clear();

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    void keepRow(); // copies the row built in row_ into the blocks
    const char* rowStart(qsizetype row) const;

    QStringList columns_;
    std::vector<Block> blocks_;
    std::vector<std::uint64_t> starts_; // a row's block (high half) and offset in it (low half)
    std::vector<QVariant> others_;      // values of kinds the tags do not cover
    std::vector<char> row_;             // the row being appended
};

} // namespace q7::data
