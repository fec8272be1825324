#include "host/db/procedures/packs/UsePack.h"

namespace q7::host::db::procedures::packs {

// Format: the part's description; the number of parents, and per parent its
// id, whether it is used, its main BOMs (their number, then each one's id,
// version and dates), its description (none when it is used: its own pack,
// read next, holds it), and its lines in main BOMs that use the part (their
// number, then each one's BOM, the parent's scrap and the line as the BOM
// packs keep it). A description is 0 when there is none, else 1, the six
// texts and the attribute.

struct UseWriter::Buffers {
    Writer pack, description, parents, boms, parentDescription, lines; // an empty description: none
    bool open = false;
    int parentCount = 0, bomCount = 0, lineCount = 0;
    int parentId = 0;
    bool used = false;
};

UseWriter::UseWriter() : buffers_(std::make_unique<Buffers>()) {}
UseWriter::~UseWriter() = default;

void UseWriter::describe(const DescriptionBytes& description)
{
    buffers_->description.data().clear();
    putDescription(buffers_->description, description);
}

void UseWriter::beginParent(int parentId, bool used)
{
    endParent();
    buffers_->open = true;
    buffers_->parentId = parentId;
    buffers_->used = used;
}

void UseWriter::addParentBom(int bomId, double version, int from, int until)
{
    ++buffers_->bomCount;
    buffers_->boms.putInt(bomId);
    buffers_->boms.putReal(version);
    buffers_->boms.putInt(from);
    buffers_->boms.putInt(until);
}

void UseWriter::describeParent(const DescriptionBytes& description)
{
    buffers_->parentDescription.data().clear();
    putDescription(buffers_->parentDescription, description);
}

void UseWriter::addLine(const BomLine& line, int from, int until)
{
    ++buffers_->lineCount;
    buffers_->lines.putInt(line.bomId);
    buffers_->lines.putReal(line.parentScrap);
    putPackedLine(buffers_->lines, line, from, until);
}

void UseWriter::endParent()
{
    if (!buffers_->open)
        return;
    Writer& out = buffers_->parents;
    ++buffers_->parentCount;
    out.putInt(buffers_->parentId);
    out.putInt(buffers_->used ? 1 : 0);
    out.putInt(buffers_->bomCount);
    out.data() += buffers_->boms.data();
    appendDescription(out, buffers_->parentDescription);
    out.putInt(buffers_->lineCount);
    out.data() += buffers_->lines.data();
    buffers_->boms.data().clear(); // the buffers stay for the next parent
    buffers_->lines.data().clear();
    buffers_->bomCount = buffers_->lineCount = 0;
    buffers_->open = false;
}

QByteArray UseWriter::finish()
{
    endParent();
    Writer& pack = buffers_->pack;
    appendDescription(pack, buffers_->description);
    pack.putInt(buffers_->parentCount);
    pack.data() += buffers_->parents.data();
    const QByteArray result = pack.bytes(); // the buffers stay for the next
    pack.data().clear();
    buffers_->parents.data().clear();
    buffers_->parentCount = 0;
    return result;
}

} // namespace q7::host::db::procedures::packs
