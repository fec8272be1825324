#pragma once

#include "host/db/procedures/BomGraph.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSqlDatabase>

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// Packed BOMs of the embedded account: per part, one row of bom_pack_down
// holds what an explosion needs of the part: its description and its main
// BOMs with every line (whatever its dates), so that an explosion reads a
// part with one seek instead of a seek per line, option and description
// table. The packs are a cache of the tables: triggers drop a pack (and note
// its part in bom_pack_down_stale) whenever anything it holds changes, the
// saving code packs the noted parts again before it commits, and a part
// without a pack is read from the tables.
namespace q7::host::procedures::packs {

// A date as the packs keep it (yyyymmdd), for texts written yyyy-mm-dd only:
// for those, comparing the numbers is comparing the texts.
std::optional<int> day(QByteArrayView text);

// A date column as the packs keep it (a NULL as whenNull); false when it is
// not a yyyy-mm-dd text, or NULL and whenNull is 0.
bool dateOf(const Statement& statement, int column, int whenNull, int& out);

// A text of a pack, NULL kept apart from empty.
struct Text {
    QByteArrayView utf8;
    bool null = true;
    QString toString() const { return null ? QString() : QString::fromUtf8(utf8); }
};

// A part's description as the tables give it (descriptionColumns), UTF-8, to
// be packed: code, name, model and size, unit, free items 1 and 2 (none for
// NULL), the attribute.
struct DescriptionBytes {
    std::optional<QByteArray> texts[6];
    int attr = 0;
};
DescriptionBytes readDescriptionBytes(const Statement& statement, int first);

// A part's description as the packs keep it.
struct Description {
    bool present = false; // false: no part row
    Text texts[6];        // code, name, model and size, unit, free items 1 and 2
    int attr = 0;
};

struct Line {
    BomLine line; // the line's own columns, as readLine reads them
    int from = 0, until = 0;
};

// One BOM of the part as the explosion's join meets it (a BOM listed twice
// for the part is met twice), with all its lines.
struct Bom {
    int bomId = 0;
    double version = 0;
    int from = 0, until = 0; // a missing date open
    double parentScrap = 0;
    std::vector<Line> lines;
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

// Reads a part's pack: describe(description), then take(bom) for every BOM in
// the order the join meets them; false when the pack is damaged (the part is
// then read from the tables).
template <typename Describe, typename Take>
bool forEachBom(QByteArrayView pack, Describe&& describe, Take&& take);
// The description alone, at the head of a part's pack.
bool readDescription(QByteArrayView pack, Description& description);

// Writes the pack of one part: its description, then its BOMs in the order
// the explosion's join meets them, each followed by its lines in the order
// they were entered.
class PackWriter {
public:
    PackWriter();
    ~PackWriter();
    // The part's description; without a call, the part has none (no part row).
    void describe(const DescriptionBytes& description);
    void beginBom(int bomId, double version, int from, int until, double parentScrap);
    void addLine(const BomLine& line, int from, int until);
    // The part's pack; the writer starts over.
    QByteArray finish();

private:
    void endBom();
    struct Buffers;
    std::unique_ptr<Buffers> buffers_;
    int lineCount_ = 0;
    bool open_ = false;
};
inline constexpr int OpenFrom = INT_MIN;    // a missing version date
inline constexpr int OpenUntil = 99991231;  // '9999-12-31', what a missing end date reads as

// Creates the pack tables when missing (a bulk load fills them before the triggers exist).
void prepareTables(sqlite3* db);
// Creates the pack tables and the triggers that keep them (dropping those of
// the format before, a pack of BOMs and one of descriptions), and packs every
// part that has no pack yet.
void packAll(sqlite3* db);
// Packs again the parts whose packs the triggers dropped. To be called in the
// transaction that changed the BOM tables, before it commits. Does nothing on
// an account without packs.
void refresh(sqlite3* db);
// The same on a connection of any kind (on a server account it does nothing).
void refresh(QSqlDatabase& db);
// A bulk write (an import) in one transaction: the triggers that drop packs
// row by row rest while it runs and the keys of the rows it changes are kept
// (on this connection only); releaseTriggers, in the same transaction before
// refresh, drops the packs those rows are held in, each watch once over all
// its keys, and puts the triggers back. The keys are resolved against the
// tables as the write leaves them, which names the same packs as the rows'
// own triggers would so long as the write removes lines only, never a BOM or
// a part. Packs are not to be read while held. False (nothing held) on an
// account without pack triggers.
bool holdTriggers(sqlite3* db);
void releaseTriggers(sqlite3* db);
// Whether the account keeps packs (an account packed by an earlier version has none until packed again).
bool kept(sqlite3* db);
// Whether it keeps where-used packs too (an account packed by an earlier version has none until packed again).
bool usesKept(sqlite3* db);

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

bool readBom(Reader& reader, Bom& bom);
// A line's own columns and its dates, as both kinds of BOM pack keep them.
void putPackedLine(Writer& writer, const BomLine& line, int from, int until);
bool readPackedLine(Reader& reader, Line& line);
// A description within a pack: 0 when there is none, else 1, the six texts
// (code, name, model and size, unit, free items 1 and 2; UTF-8, none for NULL)
// and the item's attribute.
bool readDescription(Reader& reader, Description& description);
void putDescription(Writer& writer, const DescriptionBytes& description);
// Appends a description put into its own writer, or none when it is empty, and empties it.
void appendDescription(Writer& out, Writer& description);

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

template <typename Describe, typename Take>
bool forEachBom(QByteArrayView pack, Describe&& describe, Take&& take)
{
    Reader reader(pack);
    Description own;
    if (!readDescription(reader, own))
        return false;
    describe(static_cast<const Description&>(own));
    Bom bom;
    while (!reader.atEnd()) {
        if (!readBom(reader, bom))
            return false;
        take(static_cast<const Bom&>(bom));
    }
    return true;
}

} // namespace q7::host::procedures::packs
