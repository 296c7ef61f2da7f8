#include "masterdata/personnel_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "core/startup.h"
#include "masterdata/hour_prices.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_listings.h"

namespace gim {

void RegisterPersonnel(OperationRegistry& registry, Context& ctx, const PictureCodec& codec)
{
    Personnel(ctx).photoCodec = &codec;

    registry.Register(Op::LoadPersonnel, LoadPersonnel);
    registry.Register(Op::NewPersonnelCard, NewPersonnelCard);
    registry.Register(Op::EditPersonnelCard, EditPersonnelCard);
    registry.Register(Op::SortPersonnelFile, [](Context& c) { SortPersonnelFile(c); });
    registry.Register(Op::NewHourPrice, NewHourPrice);
    registry.Register(Op::EditHourPrices, EditHourPrices);
    registry.Register(Op::ListHourPrices, ListHourPrices);

    ctx.Module<StartupSteps>().environmentData.emplace(8, LoadPersonnel);
}

} // namespace gim
