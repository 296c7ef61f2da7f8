#include "store/store_operations.h"

#include "core/command_table.h"
#include "core/context.h"
#include "core/operations.h"
#include "store/purchase_orders.h"
#include "store/stock_breaks.h"
#include "store/supplier_listings.h"
#include "store/suppliers.h"

namespace gim {

void RegisterStore(OperationRegistry& registry, Context& ctx)
{
    RegisterPurchaseOrders(registry, ctx);
    registry.Register(Op::LoadSupplierList, LoadSupplierList);
    registry.Register(Op::FreeSupplierList, FreeSupplierList);
    registry.Register(Op::AddSupplier, AddSupplier);
    registry.Register(Op::EditSupplier, EditSupplier);
    registry.Register(Op::CompactSupplierFile, [](Context& c) { CompactSupplierFile(c); });
    registry.Register(Op::ListSuppliers, ListSuppliers);
    registry.Register(Op::StockBreakageReport, StockBreakageReport);
    registry.Register(Op::RequestOffersBySupplier, RequestOffersBySupplier);
    registry.Register(Op::OrdersFromStockBreakage, OrdersFromStockBreakage);
}

void DeclareStoreCommands(CommandRegistry& menu)
{
    using enum Op;
    using enum Cond;
    menu.Add(MenuItem::PurchasesAddNewOrder, "Compra&s > &Altas > &Nuevo Pedido", "", "", Codes().A("N"),
             {AddPurchaseOrderLine, When(ContinueFlag, SortPurchaseOrderFile)});
    menu.Add(MenuItem::PurchasesAddAddItem, "Compra&s > &Altas > &Añadir Item", "", "", Codes().A("A"),
             {AddPurchaseOrderLine, When(ContinueFlag, SortPurchaseOrderFile)});
    menu.Add(MenuItem::PurchasesEdit, "Compra&s > &Edición", "", "", Codes().A("E"),
             {LoadPurchaseOrders, EditPurchaseOrders, When(PurchaseLineChanged, SortPurchaseOrderFile),
              FreePurchaseOrderList})
        .pendingEdit = PendingEdit(EditItem::Compras);
    menu.Add(MenuItem::PurchasesReceiptPending, "Compra&s > &Recepción Pedidos > &Pendientes", "", "",
             Codes().A("P"),
             {LoadPurchaseOrders, EditPurchaseOrders, When(PurchaseLineChanged, SortPurchaseOrderFile),
              FreePurchaseOrderList});
    menu.Add(MenuItem::PurchasesListDatesRequest, "Compra&s > &Listado > Fechas &Pedido > &Solicitud", "", "",
             Codes().A("D"), {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesListDatesEntry, "Compra&s > &Listado > Fechas &Pedido > &Entrada", "", "",
             Codes().A("H"), {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesListDatesClosing, "Compra&s > &Listado > Fechas &Pedido > &Cierre", "", "",
             Codes().A("J"), {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesListSupplier, "Compra&s > &Listado > &Suministrador", "", "", Codes().A("I"),
             {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesListReference, "Compra&s > &Listado > &Referencia", "", "", Codes().A("G"),
             {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesListDeliveryNote, "Compra&s > &Listado > &Albarán", "", "", Codes().A("A"),
             {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesListSparePart, "Compra&s > &Listado > R&epuesto", "", "", Codes().A("C"),
             {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesListClosed, "Compra&s > &Listado > &Cerrados", "", "", {},
             {LoadPurchaseOrders, OrderSituationReport, FreePurchaseOrderList});
    menu.Add(MenuItem::PurchasesReportsWeekly, "Compra&s > &Informes > &Semanal", "", "", Codes().A("F"),
             {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesReportsPending, "Compra&s > &Informes > &Pendientes", "", "", Codes().A("P"),
             {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesReportsOverdue, "Compra&s > &Informes > &Fuera Plazo", "", "", Codes().A("R"),
             {LoadPurchaseOrders, PurchaseOrderReport});
    menu.Add(MenuItem::PurchasesRatios, "Compra&s > Ra&tios", "", "", {},
             {WeeklyPurchasesReport, PersonnelWeeklyHoursReport});
    menu.Add(MenuItem::SuppliersAdd, "Pro&veedores > &Alta", "Ctrl+F12", "", Codes().A("1"),
             {AddSupplier, When(ContinueFlag, CompactSupplierFile)});
    menu.Add(MenuItem::SuppliersList, "Pro&veedores > &Listado", "F12", "", {},
             {LoadSupplierList, ListSuppliers, FreeSupplierList});
    menu.Add(MenuItem::SuppliersEdit, "Pro&veedores > &Edición", "Shift+F12", "", {},
             {LoadSupplierList, EditSupplier, FreeSupplierList, CompactSupplierFile});
    menu.Add(MenuItem::WorkOrdersEditBudgetMaterials, "OT/Prspues&tos > &Edición > &Presupuesto > &Mat/Rep",
             "", "", Codes().A("S"), {LoadSparePartList, EditMovementsByWeek, FreeSparePartList});
    menu.Add(MenuItem::SparePartsAdd, "Repuest&os > &Alta", "Ctrl+F9", "", Codes().A("W"),
             {LoadSparePartList, AddSparePart, When(ContinueFlag, SortSparePartFile), FreeSparePartList});
    menu.Add(MenuItem::SparePartsInOut, "Repuest&os > En&tradas/Salidas", "Shift+F9", "", Codes().A("M"),
             {LoadSparePartList, BrowseSpareParts, FreeSparePartList});
    menu.Add(MenuItem::SparePartsQueryByCode, "Repuest&os > &Consultas > &Código", "F9", "", Codes().A("C"),
             {LoadSparePartList, StoreInventoryReport, FreeSparePartList});
    menu.Add(MenuItem::SparePartsQueryBySupplier, "Repuest&os > &Consultas > &Proveedor", "", "",
             Codes().A("P"), {LoadSparePartList, StoreInventoryReport, FreeSparePartList});
    menu.Add(MenuItem::SparePartsEditCorrections, "Repuest&os > &Edición In/Out > &Correcciones",
             "Ctrl+Shift+F9", "", Codes().A("A"),
             {LoadSparePartList, BrowseSpareParts, When(ContinueFlag, SortSparePartFile), FreeSparePartList})
        .pendingEdit = PendingEdit(EditItem::RAlmacen);
    menu.Add(MenuItem::SparePartsEditMovements, "Repuest&os > &Edición In/Out > &Movimientos", "", "",
             Codes().A("E"), {LoadSparePartList, EditMovementsByWeek, FreeSparePartList});
    menu.Add(MenuItem::SparePartsEditLabels, "Repuest&os > &Edición In/Out > E&tiquetas", "", "",
             Codes().A("E"), {LoadSparePartList, BrowseSpareParts, FreeSparePartList});
    menu.Add(MenuItem::SparePartsStockBreaks, "Repuest&os > &Roturas Stock", "", "", {},
             {LoadSparePartList, StockBreakageReport, FreeSparePartList});
    menu.Add(MenuItem::SparePartsOffersSupplier, "Repuest&os > &Peticiones OFERTAS > &Suministrador", "", "",
             {}, {LoadSparePartList, RequestOffersBySupplier, FreeSparePartList});
    menu.Add(
        MenuItem::SparePartsOffersStockBreaks, "Repuest&os > &Peticiones OFERTAS > &Rotura Stock", "", "", {},
        {LoadSparePartList, StockBreakageReport, OrdersFromStockBreakage, FreeSparePartList, CascadeWindows});
    menu.Add(MenuItem::SparePartsMovementsWeekly, "Repuest&os > &Informes Movim. > &Semanal", "", "",
             Codes().A("M").O("P"), {LoadSparePartList, StoreMovementsReport, FreeSparePartList});
    menu.Add(MenuItem::SparePartsMovementsSparePart, "Repuest&os > &Informes Movim. > &Repuesto", "", "",
             Codes().A("W").O("P"), {LoadSparePartList, StoreMovementsReport, FreeSparePartList});
    menu.Add(MenuItem::SparePartsMovementsRequests, "Repuest&os > &Informes Movim. > &Nº Peticiones", "", "",
             Codes().A("V").O("P"),
             {LoadSparePartList, LoadMovementList, StoreRotationReport, FreeMovementList, FreeSparePartList});
    menu.Add(MenuItem::SparePartsInventoryGeneral, "Repuest&os > In&ventario > &General", "", "",
             Codes().O("I"), {SortSparePartFile, FreeSparePartList});
    // The statistical sample is asked for with OutputCode "I3".
    menu.Add(MenuItem::SparePartsInventoryStatistics, "Repuest&os > In&ventario > &Estadístico", "", "",
             Codes().O("I3"), {SortSparePartFile, FreeSparePartList});
    menu.Add(
        MenuItem::SparePartsInventoryEvolution, "Repuest&os > In&ventario > E&volución", "", "", {},
        {LoadSparePartList, LoadMovementList, InventoryEvolutionReport, FreeSparePartList, FreeMovementList});
    // The store ratios also list the weekly purchases and the weekly hours of the daily reports.
    menu.Add(MenuItem::SparePartsRatios, "Repuest&os > Ra&tios", "", "", {},
             {YearMovementRatios, WeeklyPurchasesReport, PersonnelWeeklyHoursReport});
}

} // namespace gim
