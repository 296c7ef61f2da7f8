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
    // After a command that stored parts (ContinueFlag) the sort is the step's follow-up, not the step.
    registry.Register(Op::SortSparePartFile, [](Context& c) {
        if (c.st.ContinueFlag)
            SortStoredSpareParts(c);
        else
            SortSparePartFile(c);
    });
    registry.Register(Op::LoadMovementList, LoadMovementList);
    registry.Register(Op::FreeMovementList, FreeMovementList);
    registry.Register(Op::EditMovementsByWeek, EditMovementsByWeek);
    registry.Register(Op::BrowseSpareParts, BrowseSpareParts);
}

} // namespace gim
