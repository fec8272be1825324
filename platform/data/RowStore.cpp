#include "platform/data/RowStore.h"

#include "platform/ObjectRef.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace q7::data {

namespace {

// What a cell's first byte says it holds; the bytes that follow:
enum Tag : char {
    NullCell,    // none: SQL NULL, the platform's Null
    IntegerCell, // 8: a 64-bit integer
    RealCell,    // 8: a double
    TextCell,    // 4 (length) and the UTF-8 bytes
    BlobCell,    // 4 (length) and the bytes
    Int32Cell,   // 4: an int (a procedure's count, kept as its type)
    BoolCell,    // 1
    InvalidCell, // none: no value at all
    OtherCell,   // 4: the index of the value kept aside
};

constexpr std::size_t BlockSize = std::size_t{1} << 20;
constexpr std::uint64_t OffsetMask = 0xffffffffu;

template <typename T>
void put(std::vector<char>& out, const T& value)
{
    const std::size_t at = out.size();
    out.resize(at + sizeof value);
    std::memcpy(out.data() + at, &value, sizeof value);
}

void putBytes(std::vector<char>& out, Tag tag, const void* bytes, std::size_t size)
{
    if (size > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("a cell of more than 4 GB");
    out.push_back(tag);
    put(out, static_cast<std::uint32_t>(size));
    out.insert(out.end(), static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size);
}

template <typename T>
T read(const char*& at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

// The cell at `at`, which moves past it; `value` null to skip it.
void readCell(const char*& at, QVariant* value, const std::vector<QVariant>& others)
{
    const Tag tag = static_cast<Tag>(*at++);
    switch (tag) {
    case NullCell:
        if (value)
            *value = nullValue();
        return;
    case IntegerCell: {
        const auto number = read<qlonglong>(at);
        if (value)
            *value = number;
        return;
    }
    case RealCell: {
        const auto number = read<double>(at);
        if (value)
            *value = number;
        return;
    }
    case TextCell:
    case BlobCell: {
        const auto size = read<std::uint32_t>(at);
        if (value)
            *value = tag == TextCell ? QVariant(QString::fromUtf8(at, static_cast<qsizetype>(size)))
                                     : QVariant(QByteArray(at, static_cast<qsizetype>(size)));
        at += size;
        return;
    }
    case Int32Cell: {
        const auto number = read<int>(at);
        if (value)
            *value = number;
        return;
    }
    case BoolCell: {
        const bool flag = *at++ != 0;
        if (value)
            *value = flag;
        return;
    }
    case InvalidCell:
        if (value)
            *value = QVariant();
        return;
    case OtherCell: {
        const auto index = read<std::uint32_t>(at);
        if (value)
            *value = others[index];
        return;
    }
    }
}

} // namespace

RowStore::~RowStore() = default;
RowStore::RowStore(RowStore&&) noexcept = default;
RowStore& RowStore::operator=(RowStore&&) noexcept = default;

void RowStore::row(sqlite3_stmt* statement, int columnCount)
{
    row_.clear();
    put(row_, static_cast<std::uint32_t>(columnCount));
    for (int i = 0; i < columnCount; ++i) {
        sqlite3_value* cell = sqlite3_column_value(statement, i);
        switch (sqlite3_value_type(cell)) {
        case SQLITE_NULL: row_.push_back(NullCell); break;
        case SQLITE_INTEGER:
            row_.push_back(IntegerCell);
            put(row_, static_cast<qlonglong>(sqlite3_value_int64(cell)));
            break;
        case SQLITE_FLOAT:
            row_.push_back(RealCell);
            put(row_, sqlite3_value_double(cell));
            break;
        case SQLITE_BLOB: {
            const void* bytes = sqlite3_value_blob(cell);
            putBytes(row_, BlobCell, bytes, static_cast<std::size_t>(sqlite3_value_bytes(cell)));
            break;
        }
        default: {
            const unsigned char* text = sqlite3_value_text(cell);
            putBytes(row_, TextCell, text, static_cast<std::size_t>(sqlite3_value_bytes(cell)));
            break;
        }
        }
    }
    keepRow();
}

void RowStore::append(const QVector<QVariant>& values)
{
    row_.clear();
    put(row_, static_cast<std::uint32_t>(values.size()));
    for (const QVariant& value : values) {
        if (!value.isValid()) {
            row_.push_back(InvalidCell);
            continue;
        }
        if (isNull(value)) {
            row_.push_back(NullCell);
            continue;
        }
        switch (value.typeId()) {
        case QMetaType::LongLong:
            row_.push_back(IntegerCell);
            put(row_, value.toLongLong());
            break;
        case QMetaType::Double:
            row_.push_back(RealCell);
            put(row_, value.toDouble());
            break;
        case QMetaType::Int:
            row_.push_back(Int32Cell);
            put(row_, value.toInt());
            break;
        case QMetaType::Bool:
            row_.push_back(BoolCell);
            row_.push_back(value.toBool() ? 1 : 0);
            break;
        case QMetaType::QString: {
            const QByteArray text = value.toString().toUtf8();
            putBytes(row_, TextCell, text.constData(), static_cast<std::size_t>(text.size()));
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            putBytes(row_, BlobCell, bytes.constData(), static_cast<std::size_t>(bytes.size()));
            break;
        }
        default:
            row_.push_back(OtherCell);
            put(row_, static_cast<std::uint32_t>(others_.size()));
            others_.push_back(value);
            break;
        }
    }
    keepRow();
}

void RowStore::keepRow()
{
    const std::size_t size = row_.size();
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < size) {
        const std::size_t capacity = std::max(BlockSize, size);
        blocks_.push_back(Block{std::make_unique_for_overwrite<char[]>(capacity), capacity, 0});
    }
    Block& block = blocks_.back();
    std::memcpy(block.bytes.get() + block.used, row_.data(), size);
    starts_.push_back((static_cast<std::uint64_t>(blocks_.size() - 1) << 32) | block.used);
    block.used += size;
}

const char* RowStore::rowStart(qsizetype row) const
{
    const std::uint64_t start = starts_[static_cast<std::size_t>(row)];
    return blocks_[start >> 32].bytes.get() + (start & OffsetMask);
}

int RowStore::cellCount(qsizetype row) const
{
    if (row < 0 || row >= size())
        return 0;
    const char* at = rowStart(row);
    return static_cast<int>(read<std::uint32_t>(at));
}

QVariant RowStore::value(qsizetype row, int column) const
{
    if (row < 0 || row >= size() || column < 0)
        return {};
    const char* at = rowStart(row);
    const auto count = read<std::uint32_t>(at);
    if (static_cast<std::uint32_t>(column) >= count)
        return {};
    for (int i = 0; i < column; ++i)
        readCell(at, nullptr, others_);
    QVariant value;
    readCell(at, &value, others_);
    return value;
}

QVector<QVariant> RowStore::values(qsizetype row) const
{
    if (row < 0 || row >= size())
        return {};
    const char* at = rowStart(row);
    QVector<QVariant> values(static_cast<qsizetype>(read<std::uint32_t>(at)));
    for (QVariant& value : values)
        readCell(at, &value, others_);
    return values;
}

int RowStore::columnIndex(const QString& name) const
{
    for (qsizetype i = 0; i < columns_.size(); ++i)
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

std::size_t RowStore::blockBytes() const
{
    std::size_t bytes = 0;
    for (const Block& block : blocks_)
        bytes += block.capacity;
    return bytes;
}

void RowStore::clear()
{
    blocks_.clear();
    starts_.clear();
    others_.clear();
    row_.clear();
}

} // namespace q7::data
