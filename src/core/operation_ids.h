#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <variant>

// Every operation and condition the menu commands call, named once. A name that is not on these lists
// does not compile, so a misspelt step can no longer leave its menu item switched off in silence.

// clang-format off
#define GIM_OPERATIONS(X)                                                                                   \
    /* The main window and the program-wide state */                                                        \
    X(LoadEnvironment) X(ClearInteractiveFlag) X(ClearCardSaved) X(MachineBook) X(JobDescriptions)          \
    X(AddWorkReportFile) X(ShowHelp) X(MaintenanceReport) X(AboutMaker)                                     \
    X(ShowFontDialog) X(ShowPrintDialog) X(CascadeWindows) X(ShowPictureViewer) X(ShowMailComposer)         \
    /* Máquinas */                                                                                          \
    X(AddMachines) X(SortMachineFile) X(LoadMachineList) X(ListMachines) X(FreeMachineList)                 \
    X(ListMachinesByAccount) X(EditMachine) X(SaveMachineRecord) X(PrintMachineLabels) X(ShowMachineSheet)  \
    /* Procedimientos */                                                                                    \
    X(AddProcedure) X(SortProcedureFile) X(LoadProcedureList) X(ListProcedures) X(FreeProcedureList)        \
    X(EditProceduresSelective)                                                                              \
    /* Gamas */                                                                                             \
    X(LoadOperationList) X(AddOperations) X(SaveOperationList) X(FreeOperationList)                         \
    X(DeleteMachineOperations) X(ListOperations) X(EditOperations) X(CopyOperations) X(DefineBudget)        \
    X(PreventiveBudget)                                                                                     \
    /* Pláning */                                                                                           \
    X(LaunchMaintenanceRoutes) X(LaunchWeeklyPlan) X(AskHourControlOutput) X(CreatePlanning)                \
    X(ShowMaintenanceLoad) X(IncreaseWeeklyHours) X(PlanMachine) X(ListAnnualPlan) X(AutoLoadPlanning)      \
    X(ContinuePlanFromEnvironment)                                                                          \
    /* Historial MP */                                                                                      \
    X(ControlPlan) X(SortRevisionFile) X(NewRevision) X(EditRevisionHistory) X(ReportRevisionHistory)       \
    X(PreventiveRatios) X(FreeRevisionList) X(ControlRoutes)                                                \
    /* Averías */                                                                                           \
    X(AddBreakdowns) X(SortBreakdownFile) X(FreeBreakdownList) X(LoadBreakdownList) X(EditBreakdowns)       \
    X(BreakdownReport) X(RepetitiveBreakdownReport)                                                         \
    /* Reparaciones */                                                                                      \
    X(NewPlannedRepair) X(SortPlannedRepairFile) X(EditPlannedRepairs) X(ReportRepairHistory)               \
    X(RepairRatios)                                                                                         \
    /* OT/Prspuestos */                                                                                     \
    X(NewWorkOrder) X(EditWorkOrder) X(CloseWorkOrder) X(EditBudgetHours) X(ListWorkOrders)                 \
    X(WorkOrderReport) X(WorkOrderRatios)                                                                   \
    /* Predictivo */                                                                                        \
    X(LoadPredictiveList) X(PredictiveAlertReport) X(AddPredictiveRecord) X(RewritePredictiveFile)          \
    X(EditPredictiveRecord) X(PredictiveRegisterReport)                                                     \
    /* Energías */                                                                                          \
    X(AddEnergyReading) X(SortEnergyReadings) X(LoadEnergyReadings) X(EditEnergyReadings)                   \
    X(EnergyConsumptionReport) X(EnergyPeriodReport)                                                        \
    /* Repuestos */                                                                                         \
    X(LoadSparePartList) X(FreeSparePartList) X(EditMovementsByWeek) X(AddSparePart) X(BrowseSpareParts)    \
    X(StoreInventoryReport) X(StockBreakageReport) X(RequestOffersBySupplier) X(OrdersFromStockBreakage)    \
    X(StoreMovementsReport) X(LoadMovementList) X(StoreRotationReport) X(FreeMovementList)                  \
    X(SortSparePartFile) X(InventoryEvolutionReport) X(YearMovementRatios)                                  \
    /* Compras */                                                                                           \
    X(AddPurchaseOrderLine) X(SortPurchaseOrderFile) X(LoadPurchaseOrders) X(EditPurchaseOrders)            \
    X(FreePurchaseOrderList) X(PurchaseOrderReport) X(OrderSituationReport) X(WeeklyPurchasesReport)        \
    /* Costes */                                                                                            \
    X(MachineCostReport) X(BudgetValuationReport) X(EditBudget)                                             \
    /* Personal */                                                                                          \
    X(LoadPersonnel) X(NewPersonnelCard) X(NewPersonnelEntry) X(PurgePersonnelEntries) X(NewHourPrice)      \
    X(ListPersonnel) X(EditPersonnelExpedient) X(ListHourPrices) X(EditPersonnelCard) X(EditHourPrices)     \
    X(ReportPersonnelHours) X(PersonnelHoursRatios) X(SortPersonnelFile)                                    \
    /* Partes */                                                                                            \
    X(LoadWorkReports) X(FreeWorkReportList) X(LoadPlannedRepairs) X(AddWorkReportLine)                     \
    X(SavePlannedRepairList) X(FreePlannedRepairList) X(SortWorkReportFile) X(CostAccountAnalysis)          \
    X(ModifyWorkReport) X(PersonnelDailyHoursReport) X(MaintenanceHoursReport) X(MergeWorkReportFile)       \
    X(PersonnelWeeklyHoursReport)                                                                           \
    /* Proveedores */                                                                                       \
    X(AddSupplier) X(CompactSupplierFile) X(LoadSupplierList) X(ListSuppliers) X(FreeSupplierList)          \
    X(EditSupplier)                                                                                         \
    /* Utiles */                                                                                            \
    X(ChangeAccessCode) X(CreateNextYearEnvironment) X(BackupToDefaultFolder) X(BackupToChosenFolder)       \
    X(RestoreFromDefaultFolder) X(RestoreFromChosenFolder) X(RestoreWebBackup) X(BrowseDataFiles)           \
    X(ShowImportWindow) X(EditReservedCodes) X(OpenWebService) X(ShowWebDailyReportFile)                    \
    X(ShowWebWorkOrderFile) X(ShowWebPersonnelFile) X(ShowWebMachineFile) X(ShowWebMaintenanceTypeFile)     \
    X(ExportMaintenanceTypes) X(BuildWebWorkOrderFile) X(BuildWebDailyReportFile) X(UploadWebFile)          \
    X(SyncWorkOrders) X(SyncDailyReports) X(StartUpdater)                                                   \
    /* The report window's Editar items: they hand the selected row over to the edit commands */            \
    X(EditarPartes) X(EditarGamas) X(EditarRepara) X(EditarAverias) X(EditarOrdenesT) X(EditarCompras)      \
    X(EditarRAlmacen) X(EditarProcedimientos) X(EditarEnergias)                                             \
    /* Run by one feature and registered by the one that does the work (no menu item names them) */        \
    X(UnloadPlannedMachine) X(ReloadPlannedMachine) X(DownloadWorkOrderPhoto) X(ShowSparePartPicture)       \
    X(PrintSparePartLabels) X(RestartStoreYear)

#define GIM_CONDITIONS(X)                                                                                   \
    X(ContinueFlag) X(MachineCardRequest) X(OperationDeleted) X(PredictiveRecordStored)                     \
    X(EnergyReadingStored) X(PurchaseLineChanged) X(EntryAddedFlag) X(RevisionPosted) X(BreakdownPosted)    \
    X(PlannedRepairPosted) X(WorkReportWritten) X(PersonnelEntryPosted)
// clang-format on

namespace gim {

#define GIM_ID_ENUMERATOR(name) name,
#define GIM_ID_TEXT(name) #name,
#define GIM_ID_COUNT(name) +1

// An operation a menu command runs.
enum class Op : std::uint16_t { GIM_OPERATIONS(GIM_ID_ENUMERATOR) };
inline constexpr std::size_t kOperationCount = 0 GIM_OPERATIONS(GIM_ID_COUNT);

// A condition under which a step of a menu command runs.
enum class Cond : std::uint8_t { GIM_CONDITIONS(GIM_ID_ENUMERATOR) };
inline constexpr std::size_t kConditionCount = 0 GIM_CONDITIONS(GIM_ID_COUNT);

namespace detail {
inline constexpr std::array<const char*, kOperationCount> kOperationNames{GIM_OPERATIONS(GIM_ID_TEXT)};
inline constexpr std::array<const char*, kConditionCount> kConditionNames{GIM_CONDITIONS(GIM_ID_TEXT)};
} // namespace detail

#undef GIM_ID_ENUMERATOR
#undef GIM_ID_TEXT
#undef GIM_ID_COUNT

constexpr std::size_t Index(Op op)
{
    return static_cast<std::size_t>(op);
}
constexpr std::size_t Index(Cond cond)
{
    return static_cast<std::size_t>(cond);
}

// The name as messages and test transcripts show it: "AddMachines".
constexpr const char* Name(Op op)
{
    return detail::kOperationNames[Index(op)];
}
constexpr const char* Name(Cond cond)
{
    return detail::kConditionNames[Index(cond)];
}

// A step's condition: it holds when the registered condition does, or, negated, when it does not.
struct StepCondition
{
    Cond cond;
    bool negated = false;

    constexpr StepCondition(Cond c, bool negate = false) : cond(c), negated(negate) {}
    bool operator==(const StepCondition&) const = default;
};

constexpr StepCondition Not(Cond cond)
{
    return StepCondition(cond, true);
}

// What a menu item needs registered before it is offered: an operation or a condition.
using Requirement = std::variant<Op, Cond>;

constexpr const char* Name(const Requirement& requirement)
{
    return std::visit([](auto id) { return Name(id); }, requirement);
}

// The operations and conditions the menu names that no feature has built yet. Their items stay
// disabled; the change that builds one registers it and takes it off this list (a test holds the two
// together).
inline constexpr std::array<Requirement, 0> kOperationsNotBuiltYet{};

} // namespace gim
