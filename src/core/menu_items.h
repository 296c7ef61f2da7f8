#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The main menu's layout: every item by its id, in menu order, the pop-up menu's commands last. The
// feature that runs an item declares it with its captions, key and steps (CommandRegistry::Add); here
// it only takes its place.

// clang-format off
#define GIM_MENU_ITEMS(X)                                                                                   \
    /* Máquinas */                                                                                          \
    X(MachinesAdd) X(MachinesListMachines) X(MachinesListAccounts) X(MachinesEdit) X(MachinesLabels)        \
    X(MachinesReports)                                                                                      \
    /* Procedimientos */                                                                                    \
    X(ProceduresAdd) X(ProceduresListProcedures) X(ProceduresListInstructions) X(ProceduresEdit)            \
    /* Gamas */                                                                                             \
    X(RoutinesAdd) X(RoutinesDelete) X(RoutinesList) X(RoutinesEdit) X(RoutinesCopySelective)               \
    X(RoutinesCopyTotal) X(RoutinesBudgetUpdate) X(RoutinesBudgetList)                                      \
    /* Pláning */                                                                                           \
    X(PlanningLaunchRoutes) X(PlanningLaunchWeeklyPlan) X(PlanningLaunchHourControl) X(PlanningCreate)      \
    X(PlanningResourcesList) X(PlanningResourcesIncrease) X(PlanningAddLoadManual)                          \
    X(PlanningAddLoadAutoRandom) X(PlanningAddLoadAutoSynchronous) X(PlanningAddLoadAutoContinuePlan)       \
    X(PlanningAddUnloadManual) X(PlanningAddUnloadAuto) X(PlanningAddAgenda) X(PlanningAnnualPlan)          \
    /* Historial MP */                                                                                      \
    X(HistoryAddPlan) X(HistoryAddSelective) X(HistoryEdit) X(HistoryQuery) X(HistoryControlPlan)           \
    X(HistoryControlMachine) X(HistoryControlWeek) X(HistoryControlRoutes) X(HistoryRatiosPlan)             \
    X(HistoryRatiosWeek) X(HistoryRatiosRoutes)                                                             \
    /* Averías */                                                                                           \
    X(BreakdownsAdd) X(BreakdownsEdit) X(BreakdownsQuery) X(BreakdownsReportType)                           \
    X(BreakdownsReportWeek) X(BreakdownsReportIntervention)                                                 \
    /* Reparaciones */                                                                                      \
    X(RepairsAddPending) X(RepairsAddNotice) X(RepairsEditPendingLabour) X(RepairsEditSelective)            \
    X(RepairsEditNotices) X(RepairsQuerySelective) X(RepairsQueryPendingNotices) X(RepairsRatios)           \
    /* OT/Prspuestos */                                                                                     \
    X(WorkOrdersAddOrder) X(WorkOrdersAddBudget) X(WorkOrdersEditOrder) X(WorkOrdersEditClose)              \
    X(WorkOrdersEditBudgetHours) X(WorkOrdersEditBudgetMaterials) X(WorkOrdersQueryOrdersList)              \
    X(WorkOrdersQueryOrdersPendingLabour) X(WorkOrdersQueryOrdersPendingInProgress)                         \
    X(WorkOrdersQueryOrdersPendingMaterials) X(WorkOrdersQueryOrdersDetails)                                \
    X(WorkOrdersQueryBudgetsSelective) X(WorkOrdersQueryBudgetsList) X(WorkOrdersRatios)                    \
    /* Predictivo */                                                                                        \
    X(PredictiveAddMeasurement) X(PredictiveAddAlarm) X(PredictiveEditMeasurements)                         \
    X(PredictiveEditAlarms) X(PredictiveList) X(PredictiveMachinesAlert) X(PredictiveMachinesControl)       \
    /* Energías */                                                                                          \
    X(EnergyAddReading) X(EnergyEdit) X(EnergyReportsByReadings) X(EnergyReportsByPeriod)                   \
    X(EnergyReportsByMeter)                                                                                 \
    /* Repuestos */                                                                                         \
    X(SparePartsAdd) X(SparePartsInOut) X(SparePartsQueryByCode) X(SparePartsQueryBySupplier)               \
    X(SparePartsEditCorrections) X(SparePartsEditMovements) X(SparePartsEditLabels)                         \
    X(SparePartsStockBreaks) X(SparePartsOffersSupplier) X(SparePartsOffersStockBreaks)                     \
    X(SparePartsMovementsWeekly) X(SparePartsMovementsSparePart) X(SparePartsMovementsRequests)             \
    X(SparePartsInventoryGeneral) X(SparePartsInventoryStatistics) X(SparePartsInventoryEvolution)          \
    X(SparePartsRatios)                                                                                     \
    /* Compras */                                                                                           \
    X(PurchasesAddNewOrder) X(PurchasesAddAddItem) X(PurchasesEdit) X(PurchasesReceiptPending)              \
    X(PurchasesListDatesRequest) X(PurchasesListDatesEntry) X(PurchasesListDatesClosing)                    \
    X(PurchasesListSupplier) X(PurchasesListReference) X(PurchasesListDeliveryNote)                         \
    X(PurchasesListSparePart) X(PurchasesListClosed) X(PurchasesReportsWeekly)                              \
    X(PurchasesReportsPending) X(PurchasesReportsOverdue) X(PurchasesRatios)                                \
    /* Costes */                                                                                            \
    X(CostsAnalysisWorkReportsAnnual) X(CostsAnalysisWorkReportsPeriod)                                     \
    X(CostsAnalysisWorkReportsAccounts) X(CostsAnalysisHistoryAnnual) X(CostsAnalysisHistoryPeriod)         \
    X(CostsAnalysisHistoryAccounts) X(CostsBudgetDefine) X(CostsBudgetList) X(CostsEditBudget)              \
    /* Personal */                                                                                          \
    X(PersonnelAddCard) X(PersonnelAddExpedient) X(PersonnelAddHourPrices) X(PersonnelListCards)            \
    X(PersonnelListExpedient) X(PersonnelListHourPrices) X(PersonnelEditCard) X(PersonnelEditExpedient)     \
    X(PersonnelEditHourPrices) X(PersonnelHoursReport) X(PersonnelRatios)                                   \
    /* Partes */                                                                                            \
    X(WorkReportsAdd) X(WorkReportsListWorkReports) X(WorkReportsListOrders)                                \
    X(WorkReportsListCostAccounts) X(WorkReportsEdit) X(WorkReportsReportsDaily)                            \
    X(WorkReportsReportsPeriod) X(WorkReportsFileMerge) X(WorkReportsFileSplit)                             \
    X(WorkReportsFileJobDescriptions) X(WorkReportsRatios)                                                  \
    /* Proveedores */                                                                                       \
    X(SuppliersAdd) X(SuppliersList) X(SuppliersEdit)                                                       \
    /* Utiles */                                                                                            \
    X(ToolsFonts) X(ToolsPrinters) X(ToolsPictures) X(ToolsEnvironmentAccess)                               \
    X(ToolsEnvironmentRestartYear) X(ToolsBackupMakeDefaultFolder) X(ToolsBackupMakeChosen)                 \
    X(ToolsBackupRestoreDefaultFolder) X(ToolsBackupRestoreChosen) X(ToolsBackupRestoreWebBackup)           \
    X(ToolsDataFiles) X(ToolsHelp) X(ToolsMessages) X(ToolsReports) X(ToolsExportRoutines)                  \
    X(ToolsExportEnergy) X(ToolsImport) X(ToolsReservedCodes) X(ToolsAbout) X(ToolsWebAccess)               \
    X(ToolsWebShowWorkReports) X(ToolsWebShowWorkOrders) X(ToolsWebShowPersonnel)                           \
    X(ToolsWebShowMachines) X(ToolsWebShowMaintenanceTypes) X(ToolsWebBuildMachines)                        \
    X(ToolsWebBuildPersonnel) X(ToolsWebBuildMaintenanceTypes) X(ToolsWebBuildWorkOrders)                   \
    X(ToolsWebBuildWorkReports) X(ToolsWebUpload) X(ToolsWebSyncWorkOrders) X(ToolsWebSyncWorkReports)      \
    X(ToolsUpdates)                                                                                         \
    /* The pop-up menu */                                                                                   \
    X(PopupSortFiles)
// clang-format on

namespace gim {

#define GIM_MENU_ENUMERATOR(name) name,
#define GIM_MENU_TEXT(name) #name,
#define GIM_MENU_COUNT(name) +1

enum class MenuItem : std::uint16_t { GIM_MENU_ITEMS(GIM_MENU_ENUMERATOR) };
inline constexpr std::size_t kMenuItemCount = 0 GIM_MENU_ITEMS(GIM_MENU_COUNT);

namespace detail {
inline constexpr std::array<const char*, kMenuItemCount> kMenuItemNames{GIM_MENU_ITEMS(GIM_MENU_TEXT)};
} // namespace detail

#undef GIM_MENU_ENUMERATOR
#undef GIM_MENU_TEXT
#undef GIM_MENU_COUNT

// The id's name, for the messages of a menu that does not compose.
constexpr const char* MenuItemName(MenuItem item)
{
    return detail::kMenuItemNames[static_cast<std::size_t>(item)];
}

} // namespace gim
