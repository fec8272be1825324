#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <type_traits>

namespace q7::app {

// A CSV field is written as it is unless it holds a comma, a quote or a line
// break; then it goes between quotes, each quote inside doubled. The rule for
// every CSV the program writes, whether its text is UTF-8 bytes or UTF-16.
constexpr bool needsCsvQuotes(char32_t c) { return c == U',' || c == U'"' || c == U'\n' || c == U'\r'; }

// Writes a field through put (one character) and append (a run of them).
template <typename Char, typename Put, typename Append>
void writeCsvField(std::basic_string_view<Char> text, Put&& put, Append&& append)
{
    const auto first = std::find_if(text.begin(), text.end(), [](Char c) { return needsCsvQuotes(static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(c))); });
    if (first == text.end()) {
        append(text.data(), text.size());
        return;
    }
    put(Char('"'));
    append(text.data(), static_cast<std::size_t>(first - text.begin()));
    for (auto c = first; c != text.end(); ++c) {
        if (*c == Char('"'))
            put(Char('"'));
        put(*c);
    }
    put(Char('"'));
}

} // namespace q7::app
