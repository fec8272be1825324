#include "host/db/procedures/UsePack.h"

namespace q7::host::procedures::packs {

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

UseWriter::UseWriter() : b_(std::make_unique<Buffers>()) {}
UseWriter::~UseWriter() = default;

void UseWriter::describe(const DescriptionBytes& description)
{
    b_->description.data().clear();
    putDescription(b_->description, description);
}

void UseWriter::beginParent(int parentId, bool used)
{
    endParent();
    b_->open = true;
    b_->parentId = parentId;
    b_->used = used;
}

void UseWriter::addParentBom(int bomId, double version, int from, int until)
{
    ++b_->bomCount;
    b_->boms.putInt(bomId);
    b_->boms.putReal(version);
    b_->boms.putInt(from);
    b_->boms.putInt(until);
}

void UseWriter::describeParent(const DescriptionBytes& description)
{
    b_->parentDescription.data().clear();
    putDescription(b_->parentDescription, description);
}

void UseWriter::addLine(const BomLine& line, int from, int until)
{
    ++b_->lineCount;
    b_->lines.putInt(line.bomId);
    b_->lines.putReal(line.parentScrap);
    putPackedLine(b_->lines, line, from, until);
}

void UseWriter::endParent()
{
    if (!b_->open)
        return;
    Writer& out = b_->parents;
    ++b_->parentCount;
    out.putInt(b_->parentId);
    out.putInt(b_->used ? 1 : 0);
    out.putInt(b_->bomCount);
    out.data() += b_->boms.data();
    appendDescription(out, b_->parentDescription);
    out.putInt(b_->lineCount);
    out.data() += b_->lines.data();
    b_->boms.data().clear(); // the buffers stay for the next parent
    b_->lines.data().clear();
    b_->bomCount = b_->lineCount = 0;
    b_->open = false;
}

QByteArray UseWriter::finish()
{
    endParent();
    Writer& pack = b_->pack;
    appendDescription(pack, b_->description);
    pack.putInt(b_->parentCount);
    pack.data() += b_->parents.data();
    const QByteArray result = pack.bytes(); // the buffers stay for the next
    pack.data().clear();
    b_->parents.data().clear();
    b_->parentCount = 0;
    return result;
}

} // namespace q7::host::procedures::packs
