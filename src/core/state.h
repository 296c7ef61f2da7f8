#pragma once

#include "core/ordered_list.h"
#include "records/data_files.h"
#include "records/hour_price_record.h"
#include "records/machine_record.h"
#include "records/personnel_record.h"
#include "records/work_report_record.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <random>
#include <unistd.h>
#include <vector>

namespace gim {

// The deferred edits a report window can ask of the main window, in menu order: Partes, Gamas, Repara,
// Averías, OrdenesT, Compras, R.Almacén, Procedimientos, Energías.
inline constexpr std::size_t kPendingEditCount = 9;

// A random identity for a program run: 32 random bits over the process id.
inline std::uint64_t DrawProgramId()
{
    std::random_device random;
    return std::uint64_t{random()} << 32 | static_cast<std::uint32_t>(::getpid());
}

// The program-wide variables of the old program, kept in one object that travels in the Context.
// Names are those of the old program; texts are QStrings cut to the old capacity where it matters.
struct State
{
    // Environment
    QString CurrentEnvironment; // string[10]
    QString AccessCode;         // string[16]
    QString NewEnvironment;     // string[10]: the environment a year restart is creating
    std::uint8_t Plan1SFlag = 0;
    std::uint8_t Plan2SFlag = 0;
    QString BaseDir; // data folder: root of the picture and report sub-folders
    QString WorkDir; // data folder: the record files
    QString DriveText;

    // Date and time of the last InitCurrentDate
    QDateTime CurrentDateTime;
    int CurrentYear = 0, CurrentMonth = 0, CurrentDay = 0;
    int CurrentHour = 0, CurrentMinute = 0, CurrentSecond = 0, CurrentMSec = 0;
    QString DayText, MonthText, YearText, TodayText, DateText, TimeText, WeekText, WeekdayText;
    // The date ("dd/mm/yyyy") the work-order listing's picker chose last; calendar cards start there.
    QString LastChosenDateText;

    // Planning horizon, years since 2000
    std::uint16_t FirstYear = 0;
    std::uint16_t LastYear = 0;
    std::uint16_t PlanWeeks = 0;
    QString FirmName; // string[16]

    std::uint8_t LastIOResult = 0;
    // Why this program may not write the data folder (the folder lock cannot be had, the journal cannot
    // be written through); empty while it may. Every write is refused with this text.
    QString ReadOnlyReason;
    // Who this program is, drawn when it starts: what it commits to the journal carries it, so that a
    // program knows its own steps from another's.
    std::uint64_t ProgramId = DrawProgramId();
    int ValErrorPos = 0; // position of the first bad character of the last TextToInt64, 0 = none

    // Mode codes, string[2] each
    QString ActionCode, OutputCode, SubCode, AnswerCode, AnswerCode2;

    std::uint8_t PrintFlag = 0;
    std::uint8_t InteractiveFlag = 1;
    std::uint8_t ContinueFlag = 0;
    std::uint8_t RunFlag = 0;
    // 1 when a revision or planned-repair card saved, deleted or handed over a record in this command.
    std::uint8_t CardSaved = 0;
    std::uint8_t RecordAddedFlag = 0;
    // Why the add that just ran stored nothing, in the few words an import echo ends with ("" = not said).
    QString RefusalReason;
    std::uint8_t ExportFlag = 0;
    std::uint8_t PhotoAssignFlag = 0;
    std::uint8_t MachineCodesOk = 0;
    std::uint8_t EditorOpenFlag = 0;
    std::array<std::uint8_t, kPendingEditCount> PendingEditFlags{};

    TMachineRecord CurrentMachine{};
    TMachineRecord FoundMachine{};
    TMachineRecord ImportedMachine{};
    TPersonnelRecord FoundPerson{};

    std::uint16_t WorkYear = 0;
    std::uint16_t WorkWeek = 0;
    std::uint16_t CurrentRecordIndex = 0;
    std::uint32_t ListedCount = 0; // wide enough for every record a file can hold
    std::uint32_t CurrentWorkOrderNumber = 0;
    QString SelectedAccount;
    QString PhotoFileName; // string[34]
    QDateTime RangeStartDate, RangeEndDate;
    QString RangeStartWeek, RangeEndWeek; // string[7]
    QString CurrentSubFolder;
    QString ReportFileName; // string[34]

    // Hour prices, loaded with the personnel
    std::vector<THourPriceRecord> HourPriceTable;
    std::int64_t AverageHourPrice = 100;

    // The daily-report lines loaded for the command (LoadWorkReports), latest week date first and within a
    // date the highest operator first; the work orders read them too.
    std::vector<ListEntry<TWorkReportRecord>> WorkReportList;

    // Data-file name table, rebuilt by LoadEnvironment
    std::array<QString, kDataFileCount> DataFileNames;
    std::array<QString, kDataFileCount> BackupFileNames; // empty where the file has no twin
    QString PlanYearsFileName;                           // ".LON"
    QString PersonnelFileName, PersonnelTempFileName;
    QString SupplierFileName, SupplierTempFileName;

    const QString& FileName(DataFile f) const { return DataFileNames[static_cast<std::size_t>(f)]; }
    const QString& BackupFileName(DataFile f) const { return BackupFileNames[static_cast<std::size_t>(f)]; }
};

} // namespace gim
