#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <climits>
#include <cstring>
#include <optional>
#include <string>

// The encoding the packs are written in: dates as yyyymmdd numbers, numbers
// as variable-length integers, texts with their length. It knows nothing of
// what a pack holds.
namespace q7::host::db::procedures::packs {

// A date as the packs keep it (yyyymmdd), for texts written yyyy-mm-dd only:
// for those, comparing the numbers is comparing the texts.
std::optional<int> day(QByteArrayView text);

inline constexpr int OpenFrom = INT_MIN;    // a missing version date
inline constexpr int OpenUntil = 99991231;  // '9999-12-31', what a missing end date reads as

// A text of a pack, NULL kept apart from empty.
struct Text {
    QByteArrayView utf8;
    bool null = true;
    QString toString() const { return null ? QString() : QString::fromUtf8(utf8); }
};

// The writing side of the format. Numbers as variable-length integers (small
// ones take a byte): an integer n as zigzag(n); a real r as 2 × zigzag(r) when
// it is a whole number of moderate size, else 1 followed by its 8 bytes; texts
// as their length + 1 (0 for NULL) and their UTF-8 bytes.
class Writer {
public:
    void putInt(int value) { putVarint(zigzag(value)); }
    void putReal(double value);
    void putText(const std::optional<QByteArray>& text);
    // What was written; clear() keeps the buffer for what comes next.
    std::string& data() { return data_; }
    QByteArray bytes() const { return QByteArray(data_.data(), static_cast<qsizetype>(data_.size())); }

private:
    static unsigned long long zigzag(long long n) { return (static_cast<unsigned long long>(n) << 1) ^ static_cast<unsigned long long>(n >> 63); }
    void putVarint(unsigned long long value)
    {
        if (value < 0x80) { // most numbers: a byte
            data_.push_back(static_cast<char>(value));
            return;
        }
        char bytes[10];
        size_t size = 0;
        while (value >= 0x80) {
            bytes[size++] = static_cast<char>((value & 0x7F) | 0x80);
            value >>= 7;
        }
        bytes[size++] = static_cast<char>(value);
        data_.append(bytes, size);
    }
    std::string data_;
};

// The reading side of the format.
class Reader {
public:
    explicit Reader(QByteArrayView data) : data_(data) {}
    bool readVarint(unsigned long long& value);
    bool readInt(int& value);
    bool readReal(double& value);
    bool readText(Text& text);
    bool atEnd() const { return position_ == data_.size(); }

private:
    QByteArrayView data_;
    qsizetype position_ = 0;
};

inline bool Reader::readVarint(unsigned long long& value)
{
    value = 0;
    for (int shift = 0; shift < 64 && position_ < data_.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(data_[position_++]);
        value |= static_cast<unsigned long long>(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

namespace detail {
inline long long unzigzag(unsigned long long u) { return static_cast<long long>(u >> 1) ^ -static_cast<long long>(u & 1); }
} // namespace detail

inline bool Reader::readInt(int& value)
{
    unsigned long long u = 0;
    if (!readVarint(u))
        return false;
    const long long n = detail::unzigzag(u);
    if (n < INT_MIN || n > INT_MAX)
        return false;
    value = static_cast<int>(n);
    return true;
}

inline bool Reader::readReal(double& value)
{
    unsigned long long u = 0;
    if (!readVarint(u))
        return false;
    if (!(u & 1)) {
        value = static_cast<double>(detail::unzigzag(u >> 1));
        return true;
    }
    if (u != 1 || data_.size() - position_ < qsizetype(sizeof value))
        return false;
    std::memcpy(&value, data_.data() + position_, sizeof value);
    position_ += sizeof value;
    return true;
}

inline bool Reader::readText(Text& text)
{
    unsigned long long size = 0;
    if (!readVarint(size))
        return false;
    if (size == 0) {
        text = Text{};
        return true;
    }
    if (size - 1 > static_cast<unsigned long long>(data_.size() - position_))
        return false;
    text.null = false;
    text.utf8 = data_.sliced(position_, static_cast<qsizetype>(size - 1));
    position_ += static_cast<qsizetype>(size - 1);
    return true;
}

} // namespace q7::host::db::procedures::packs
