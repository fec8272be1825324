#include "host/db/procedures/packs/PackCodec.h"

#include <cmath>

namespace q7::host::db::procedures::packs {

std::optional<int> day(QByteArrayView text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int value = 0;
    for (qsizetype i = 0; i < 10; ++i) {
        if (i == 4 || i == 7)
            continue;
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

void Writer::putReal(double value)
{
    if (value == std::trunc(value) && std::abs(value) < 1e9 && !(value == 0 && std::signbit(value))) {
        putVarint(zigzag(static_cast<long long>(value)) << 1);
        return;
    }
    putVarint(1);
    data_.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void Writer::putText(const std::optional<QByteArray>& text)
{
    if (!text) {
        putVarint(0);
        return;
    }
    putVarint(static_cast<unsigned long long>(text->size()) + 1);
    data_.append(text->constData(), static_cast<size_t>(text->size()));
}

} // namespace q7::host::db::procedures::packs
