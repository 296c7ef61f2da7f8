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

    registry.Register(QStringLiteral("LoadPersonnel"), LoadPersonnel);
    registry.Register(QStringLiteral("NewPersonnelCard"), NewPersonnelCard);
    registry.Register(QStringLiteral("EditPersonnelCard"), EditPersonnelCard);
    registry.Register(QStringLiteral("SortPersonnelFile"), [](Context& c) { SortPersonnelFile(c); });
    registry.Register(QStringLiteral("NewHourPrice"), NewHourPrice);
    registry.Register(QStringLiteral("EditHourPrices"), EditHourPrices);
    registry.Register(QStringLiteral("ListHourPrices"), ListHourPrices);

    ctx.Module<StartupSteps>().environmentData.emplace(8, LoadPersonnel);
}

} // namespace gim
