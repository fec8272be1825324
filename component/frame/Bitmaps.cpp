#include "frame/Bitmaps.h"


namespace q7::component {

namespace Bitmaps {

namespace {

struct Glyph {
    int number;
    char letter;  // drawn in the middle
    QRgb colour;
};

// Filter, refresh, help, exit, column, copy, sharing, reference, calendar.
constexpr Glyph glyphs[] = {
    {219, '.', 0xff606060}, {308, 'F', 0xff2060c0}, {501, 'R', 0xff20a040}, {502, '?', 0xff2080c0},
    {503, 'X', 0xffc03020}, {504, 'C', 0xff806020}, {507, 'D', 0xff6040a0}, {901, 'S', 0xff208080},
    {1108, '#', 0xffa04040},
};

} // namespace

QList<int> numbers()
{
    QList<int> list;
    for (const Glyph& glyph : glyphs)
        list.append(glyph.number);
    return list;
}

QImage bitmap(int number)
{
    for (const Glyph& glyph : glyphs) {
        if (glyph.number != number)
            continue;
        // A frame in the glyph's colour with a mark derived from its letter;
        // drawn pixel by pixel so that no font (and no GUI session) is needed.
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        for (int i = 0; i < 16; ++i) {
            image.setPixel(i, 0, glyph.colour);
            image.setPixel(i, 15, glyph.colour);
            image.setPixel(0, i, glyph.colour);
            image.setPixel(15, i, glyph.colour);
        }
        const int bits = static_cast<unsigned char>(glyph.letter);
        for (int y = 4; y < 12; ++y)
            for (int x = 4; x < 12; ++x)
                if ((bits >> ((x + y) % 8)) & 1)
                    image.setPixel(x, y, glyph.colour);
        return image;
    }
    return {};
}

} // namespace Bitmaps

} // namespace q7::component
