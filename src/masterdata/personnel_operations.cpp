#include "masterdata/personnel_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "core/startup.h"
#include "masterdata/hour_prices.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_entries.h"
#include "masterdata/personnel_listings.h"
#include "masterdata/personnel_reports.h"

namespace gim {

void RegisterPersonnel(OperationRegistry& registry, Context& ctx)
{

    registry.Register(Op::LoadPersonnel, LoadPersonnel);
    registry.Register(Op::NewPersonnelCard, NewPersonnelCard);
    registry.Register(Op::EditPersonnelCard, EditPersonnelCard);
    registry.Register(Op::SortPersonnelFile, [](Context& c) { SortPersonnelFile(c); });
    registry.Register(Op::NewHourPrice, NewHourPrice);
    registry.Register(Op::EditHourPrices, EditHourPrices);
    registry.Register(Op::ListHourPrices, ListHourPrices);
    registry.Register(Op::NewPersonnelEntry, NewPersonnelEntry);
    registry.Register(Op::PurgePersonnelEntries, PurgePersonnelEntries);
    registry.Register(Op::EditPersonnelExpedient, EditPersonnelExpedient);
    registry.Register(Op::ListPersonnel, ListPersonnel);
    registry.Register(Op::ReportPersonnelHours, ReportPersonnelHours);
    registry.Register(Op::PersonnelHoursRatios, PersonnelHoursRatios);
    registry.RegisterCondition(Cond::EntryAddedFlag, [&entries = PersonnelEntries(ctx)](const Context&) {
        return entries.EntryAddedFlag == 1;
    });

    ctx.Module<StartupSteps>().environmentData.emplace(8, LoadPersonnel);
}

} // namespace gim
