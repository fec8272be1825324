#include "app/ExactNumber.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace q7::app {

char* exactNumberText(double value, char* buf)
{
    if (!std::isfinite(value)) {
        const char* word = std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
        const std::size_t size = std::strlen(word);
        std::memcpy(buf, word, size);
        return buf + size;
    }
    const double magnitude = std::fabs(value);
    const bool fixed = magnitude == 0 || (magnitude >= 1e-6 && magnitude < 1e21);
    return (fixed ? std::to_chars(buf, buf + 400, value, std::chars_format::fixed) : std::to_chars(buf, buf + 400, value)).ptr;
}

} // namespace q7::app
