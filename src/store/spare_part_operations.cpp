#include "store/spare_part_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "core/texts.h"
#include "platform/handover.h"
#include "store/spare_part_browse.h"
#include "store/spare_part_card.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "store/store_reports.h"

namespace gim {

void RegisterSpareParts(OperationRegistry& registry, Context& ctx)
{
    // Editar > R.Almacén and, for the purchase orders the store will own, Editar > Compras: both listings
    // carry the part key joined, whose machine code may be shorter than its 8 characters. The store query
    // lists key, name, make, minimum stock, units and location.
    const std::vector<std::pair<QString, int>> partKey{
        {"Codigo", 8}, {"Equipo", 2}, {"Util", 3}, {"Pieza", 3}};
    HandoverRegistry& handover = ctx.Module<HandoverRegistry>();
    HandoverMap& parts = handover.Map(EditItem::RAlmacen);
    parts.keys = {{1, partKey, false}};
    parts.fields = {
        {2, "Nombre", 130}, {4, "Stock", kNumberText}, {5, "Exist", kNumberText}, {6, "Local", 4}};
    // The row's part becomes the key the next Correcciones searches by.
    handover.SetDeliver(EditItem::RAlmacen, [&ctx](const HandoverFields& fields) {
        TSparePartRecord& input = SpareParts(ctx).SparePartInput;
        for (const auto& [name, value] : fields)
            SparePartCardBinding().Keep(name, input, value);
    });
    HandoverMap& orders = handover.Map(EditItem::Compras); // the three dates are week codes
    orders.fields = {{1, "Nped", kNumberText},
                     {3, "Sumtro", 10},
                     {4, "fechALTA", 8},
                     {5, "fechaENT", 8},
                     {6, "Fechcierr", 8}};
    orders.keys = {{2, partKey, false}};

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
    registry.Register(Op::StoreInventoryReport, StoreInventoryReport);
    registry.Register(Op::StoreMovementsReport, StoreMovementsReport);
    registry.Register(Op::StoreRotationReport, StoreRotationReport);
    registry.Register(Op::InventoryEvolutionReport, InventoryEvolutionReport);
    registry.Register(Op::YearMovementRatios, YearMovementRatios);
    registry.Register(Op::PrintSparePartLabels,
                      [](Context& c) { PrintSparePartLabels(c, SpareParts(c).SparePartBuffer); });
    registry.Register(Op::RestartStoreYear, [](Context& c) { RestartStoreYear(c, c.st.NewEnvironment); });
}

} // namespace gim
