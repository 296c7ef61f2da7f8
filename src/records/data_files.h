#pragma once

#include <QString>
#include <array>
#include <cstddef>

namespace gim {

// The record files of an environment: each named environment code + extension, with the twin through
// which its owner rewrites it sorted.
enum class DataFile {
    Operation,
    Machine,
    Plan,
    Budget,
    Agenda,
    PlannedRepair,
    Revision,
    Breakdown,
    EnergyReading,
    Alarm,
    Predictive,
    WorkReport,
    SparePart,
    Movement,
    OpMovement,
    WorkOrder,
    RepairBudget,
    PurchaseOrder,
    Procedure,
    HourPrice,
    PersonnelEntry,
};
inline constexpr std::size_t kDataFileCount = 21;

struct DataFileSpec
{
    DataFile file;
    const char* extension;     // ".MQW"
    const char* twinExtension; // ".MBK"; nullptr = no twin
    std::size_t recordSize;
    const char* recordType;
};

inline constexpr std::array<DataFileSpec, kDataFileCount> kDataFiles = {{
    {DataFile::Operation, ".OPR", ".OBK", 152, "TOperationRecord"},
    {DataFile::Machine, ".MQW", ".MBK", 161, "TMachineRecord"},
    {DataFile::Plan, ".PLN", ".PBK", 12, "TPlanRecord"},
    {DataFile::Budget, ".PTO", ".PTK", 36, "TBudgetRecord"},
    {DataFile::Agenda, ".CAR", nullptr, 56, "TAgendaRecord"},
    {DataFile::PlannedRepair, ".SEM", ".SBK", 184, "TPlannedRepairRecord"},
    {DataFile::Revision, ".HRC", ".HBK", 168, "TRevisionRecord"},
    {DataFile::Breakdown, ".AVR", ".AVK", 220, "TBreakdownRecord"},
    {DataFile::EnergyReading, ".ENW", ".ENK", 32, "TEnergyReadingRecord"},
    {DataFile::Alarm, ".ALR", ".ABK", 84, "TPredictiveRecord"},
    {DataFile::Predictive, ".PRD", ".PRK", 84, "TPredictiveRecord"},
    {DataFile::WorkReport, ".PDA", ".PDK", 116, "TWorkReportRecord"},
    {DataFile::SparePart, ".RPW", ".RBK", 200, "TSparePartRecord"},
    {DataFile::Movement, ".MOV", nullptr, 52, "TStoreMovementRecord"},
    {DataFile::OpMovement, ".MOP", nullptr, 52, "TStoreMovementRecord"},
    {DataFile::WorkOrder, ".OTR", ".OTK", 232, "TWorkOrderRecord"},
    {DataFile::RepairBudget, ".PRO", ".POK", 232, "TWorkOrderRecord"},
    // The purchase-order sort goes through ".CMK" instead of this twin.
    {DataFile::PurchaseOrder, ".COM", ".COK", 284, "TPurchaseOrderRecord"},
    {DataFile::Procedure, ".INT", ".IBK", 274, "TProcedureRecord"},
    {DataFile::HourPrice, ".PHR", nullptr, 36, "THourPriceRecord"},
    {DataFile::PersonnelEntry, ".APT", ".APK", 152, "TPersonnelEntryRecord"},
}};

constexpr const DataFileSpec& SpecOf(DataFile f)
{
    return kDataFiles[static_cast<std::size_t>(f)];
}

// Environment code + extension, cut to 14 characters as the old name table did.
inline QString BuildDataFileName(const QString& environment, const char* extension)
{
    return (environment + QLatin1String(extension)).left(14);
}

} // namespace gim
