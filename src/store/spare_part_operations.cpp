#include "store/spare_part_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "store/spare_part_browse.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"

namespace gim {

void RegisterSpareParts(OperationRegistry& registry, Context&, const PictureCodec&)
{
    registry.Register(Op::LoadSparePartList, LoadSparePartList);
    registry.Register(Op::FreeSparePartList, FreeSparePartList);
    registry.Register(Op::AddSparePart, AddSparePart);
    registry.Register(Op::SortSparePartFile, [](Context& c) { SortSparePartFile(c); });
    registry.Register(Op::LoadMovementList, LoadMovementList);
    registry.Register(Op::FreeMovementList, FreeMovementList);
    registry.Register(Op::EditMovementsByWeek, EditMovementsByWeek);
    registry.Register(Op::BrowseSpareParts, BrowseSpareParts);
}

} // namespace gim
