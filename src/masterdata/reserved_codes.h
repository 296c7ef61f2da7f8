#pragma once

#include "core/record_file.h"
#include "platform/code_table.h"
#include "records/reserved_code_record.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace gim {

struct Context;
struct State;

// The fixed vocabularies: seven lists of action codes a daily report line can carry and three lists of
// routine codes the operation card offers. The codes are built in; the environment's .CDG file keeps,
// one record per item in list order, each code's description and whether the entry forms offer it.
enum class ReservedList : std::uint8_t {
    CodPreven, // preventive actions
    CodeCon,   // running maintenance
    CodeRep,   // programmed repairs
    CodeAv,    // breakdowns
    CODINGEN,  // engineering
    CODRUTAS,  // routes
    CODVARIOS, // miscellaneous
    FrecueMTP, // routine frequencies
    EspeciMTP, // routine specialities
    EstadoMTP, // machine state during a routine
};
inline constexpr std::size_t kReservedListCount = 10;

struct ReservedCodeList
{
    ReservedList list;
    const char* name;               // "CodPreven": also names the list's items on the window
    const char* caption;            // "MTO. PREVENTIVO"
    const char* descriptionCaption; // shown above the description of a clicked code
    const char* listingHeading;     // "\t\tACCIONES DE MANTENIMIENTO PREVENTIVO"
    bool actionSheet;               // on the sheet "Acciones Partes Diarios", else "Gamas MTP"
    CodeTable items;                // codes of at most 5 characters and their descriptions
    std::size_t firstRecord;        // record index of the first item
};

// The ten lists in file order.
const std::array<ReservedCodeList, kReservedListCount>& ReservedCodeLists();
const ReservedCodeList& ReservedCodeListOf(ReservedList list);
// The list a record index falls in (the last list for an index past the end).
const ReservedCodeList& ReservedCodeListOfRecord(std::size_t index);

// The item counts the daily report and the operation card read the file by.
struct ReservedCodeCounts
{
    std::uint16_t CodPrevenCount, CodeConCount, CodeRepCount, CodeAvCount, CODINGENCount, CODRUTASCount,
        CODVARIOSCount, FrecueMTPCount, EspeciMTPCount, EstadoMTPCount;
    std::uint16_t ActionReservedCodeCount; // the seven action lists = index of the first routine code
    std::uint16_t GamaReservedCodeCount;   // the three routine lists
    std::uint16_t Total() const { return ActionReservedCodeCount + GamaReservedCodeCount; }
};
const ReservedCodeCounts& ReservedCounts();

// Environment code + ".CDG".
QString ReservedCodesFileName(const State& st);

// The built-in description of the record's code; a code outside the lists keeps its description.
void DefaultReservedDescription(TReservedCodeRecord& rec);

// The file's records as the built-in lists give them; `visible` holds one flag per record, empty = all.
std::vector<TReservedCodeRecord> BuiltInReservedCodes(const std::vector<bool>& visible = {});

// The file's records, read-only: a write-protected file reads as any. Nothing when it cannot be opened
// (LastIOResult says why; shown when the caller reports).
std::optional<std::vector<TReservedCodeRecord>> ReadReservedCodes(Context& ctx, Report report);

// Rewrites the file from the built-in lists with these visibility flags (empty = all shown). A failure
// is shown, and a file that may not be written keeps its bytes; returns whether the file was written.
bool WriteReservedCodes(Context& ctx, const std::vector<bool>& visible = {});

// Start-up: a file whose record count no longer matches the built-in lists is rewritten with every code
// shown. A missing or unreadable file is left for the first use; one that may not be written is reported
// and kept.
void CheckReservedCodesFile(Context& ctx);

// Year restart: the new environment takes a copy of the file (none when this one has none). A copy that
// cannot be written abandons the restart.
void CopyReservedCodes(Context& ctx, const QString& newEnvironment);

// The lists the entry forms offer.
// Daily report types: the shown action codes; a missing file is first created with every code shown.
QStringList ActionCodeChoices(Context& ctx);
// The operation card's lists: the shown codes of the three routine lists; every built-in code before the
// file is made.
struct GamaCodeChoices
{
    QStringList frequencies;
    QStringList specialities;
    QStringList states;
};
GamaCodeChoices GamaCodeChoicesFromFile(Context& ctx);

} // namespace gim
