#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

struct sqlite3_value;

namespace q7::app {

// CSV text written straight from the cells of the embedded database: the
// bytes gather in one large buffer, written out whenever it fills. The text
// is what OutputTable renders for the same values: integers in full, doubles
// in their shortest exact text, NULL as nothing, text (and blobs, read as
// UTF-8) quoted when it holds a comma, a quote or a line break.
class CsvCells {
public:
    explicit CsvCells(std::FILE* out) : out_(out), bytes_(std::make_unique<char[]>(Capacity)) {}
    ~CsvCells() { flush(); }
    CsvCells(const CsvCells&) = delete;
    CsvCells& operator=(const CsvCells&) = delete;

    void cell(sqlite3_value* value);
    void text(std::string_view utf8);
    void separator() { put(','); }
    void endRow()
    {
        put('\n');
        if (used_ >= Capacity / 2)
            flush();
    }
    void flush();

private:
    static constexpr std::size_t Capacity = std::size_t{1} << 17;
    void put(char c)
    {
        room(1);
        bytes_[used_++] = c;
    }
    void append(const char* from, std::size_t size);
    void room(std::size_t size)
    {
        if (used_ + size > Capacity)
            flush();
    }

    std::FILE* out_;
    std::unique_ptr<char[]> bytes_;
    std::size_t used_ = 0;
};

} // namespace q7::app
