#include "app/CsvCells.h"

#include "app/CsvField.h"
#include "app/ExactNumber.h"

#include <sqlite3.h>

#include <charconv>
#include <cstring>

namespace q7::app {

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
    writeCsvField(utf8, [this](char c) { put(c); }, [this](const char* from, std::size_t size) { append(from, size); });
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
