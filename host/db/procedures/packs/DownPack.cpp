#include "host/db/procedures/packs/DownPack.h"

namespace q7::host::db::procedures::packs {

// Pack format: the part's description, then per BOM met its header (BOM id,
// version, dates, parent scrap, number of lines) and its lines; texts as their
// length + 1 (0 for NULL) and their UTF-8 bytes.

struct PackWriter::Buffers {
    Writer description, boms, header, lines, pack;
};

void PackWriter::describe(const DescriptionBytes& description)
{
    buffers_->description.data().clear();
    putDescription(buffers_->description, description);
}

PackWriter::PackWriter() : buffers_(std::make_unique<Buffers>()) {}
PackWriter::~PackWriter() = default;

void PackWriter::beginBom(int bomId, double version, int from, int until, double parentScrap)
{
    endBom();
    Writer& header = buffers_->header;
    header.putInt(bomId);
    header.putReal(version);
    header.putInt(from);
    header.putInt(until);
    header.putReal(parentScrap);
    open_ = true;
}

void PackWriter::addLine(const BomLine& line, int from, int until)
{
    ++lineCount_;
    putPackedLine(buffers_->lines, line, from, until);
}

void PackWriter::endBom()
{
    if (!open_)
        return;
    buffers_->header.putInt(lineCount_);
    buffers_->boms.data() += buffers_->header.data();
    buffers_->boms.data() += buffers_->lines.data();
    buffers_->header.data().clear();
    buffers_->lines.data().clear();
    lineCount_ = 0;
    open_ = false;
}

QByteArray PackWriter::finish()
{
    endBom();
    Writer& pack = buffers_->pack;
    appendDescription(pack, buffers_->description);
    pack.data() += buffers_->boms.data();
    const QByteArray result = pack.bytes(); // the buffers stay for the next
    pack.data().clear();
    buffers_->boms.data().clear();
    return result;
}

bool readBom(Reader& r, Bom& bom)
{
    int count = 0;
    if (!(r.readInt(bom.bomId) && r.readReal(bom.version) && r.readInt(bom.from) && r.readInt(bom.until) && r.readReal(bom.parentScrap) &&
          r.readInt(count)) ||
        count < 0)
        return false;
    bom.lines.resize(static_cast<size_t>(count));
    for (Line& l : bom.lines)
        if (!readPackedLine(r, l))
            return false;
    return true;
}

bool readDescription(QByteArrayView pack, Description& d)
{
    Reader r(pack);
    return readDescription(r, d);
}

} // namespace q7::host::db::procedures::packs
