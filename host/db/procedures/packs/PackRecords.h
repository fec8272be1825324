#pragma once

#include "host/db/procedures/BomLine.h"
#include "host/db/procedures/packs/PackCodec.h"

#include <QByteArray>

#include <optional>

// What both kinds of pack hold: a part's description and a BOM line with its dates.
namespace q7::host::db::procedures::packs {

// A part's description as the tables give it (descriptionColumns), UTF-8, to
// be packed: code, name, model and size, unit, free items 1 and 2 (none for
// NULL), the attribute.
struct DescriptionBytes {
    std::optional<QByteArray> texts[6];
    int attr = 0;
};
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

} // namespace q7::host::db::procedures::packs
