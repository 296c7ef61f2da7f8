#include "store/spare_part_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "store/spare_parts.h"

namespace gim {

void RegisterSpareParts(OperationRegistry& registry, Context&, const PictureCodec&)
{
    registry.Register(Op::LoadSparePartList, LoadSparePartList);
    registry.Register(Op::FreeSparePartList, FreeSparePartList);
    registry.Register(Op::AddSparePart, AddSparePart);
    registry.Register(Op::SortSparePartFile, [](Context& c) { SortSparePartFile(c); });
}

} // namespace gim
