#include "app/CsvCells.h"

#include "app/ExactNumber.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace q7::app {

namespace {

// The bytes that make a CSV field quoted.
constexpr std::array<bool, 256> quoted = [] {
    std::array<bool, 256> special{};
    for (const unsigned char c : {',', '"', '\n', '\r'})
        special[c] = true;
    return special;
}();

} // namespace

void CsvCells::cell(sqlite3_value* value)
{
    char number[400];
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        append(number, static_cast<std::size_t>(std::to_chars(number, number + sizeof number, static_cast<long long>(sqlite3_value_int64(value))).ptr - number));
        break;
    case SQLITE_FLOAT:
        append(number, static_cast<std::size_t>(exactNumberText(sqlite3_value_double(value), number) - number));
        break;
    case SQLITE_NULL:
        break;
    default: {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
        text(std::string_view(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_value_bytes(value))));
    }
    }
}

void CsvCells::text(std::string_view utf8)
{
    const auto first = std::find_if(utf8.begin(), utf8.end(), [](char c) { return quoted[static_cast<unsigned char>(c)]; });
    if (first == utf8.end()) {
        append(utf8.data(), utf8.size());
        return;
    }
    put('"');
    append(utf8.data(), static_cast<std::size_t>(first - utf8.begin()));
    for (auto c = first; c != utf8.end(); ++c) {
        if (*c == '"')
            put('"');
        put(*c);
    }
    put('"');
}

void CsvCells::append(const char* from, std::size_t size)
{
    room(size);
    if (size > Capacity) { // a cell larger than the buffer goes out on its own
        std::fwrite(from, 1, size, out_);
        return;
    }
    std::memcpy(bytes_.get() + used_, from, size);
    used_ += size;
}

void CsvCells::flush()
{
    if (used_ == 0)
        return;
    std::fwrite(bytes_.get(), 1, used_, out_);
    used_ = 0;
}

} // namespace q7::app
