#pragma once

#include "records/operation_record.h"

#include <QString>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace gim {

struct Context;

// A machine code and a frequency code are both short texts; their own types keep a call from taking one
// for the other.
struct MachineCode
{
    explicit MachineCode(QString code) : text(std::move(code)) {}
    QString text;
};
struct FrequencyCode
{
    explicit FrequencyCode(QString code) : text(std::move(code)) {}
    QString text;
};

// Programmed minutes of a machine's routine done at a frequency: every operation the frequency covers,
// the route specialities ("P...") apart, and of the rest those that need the machine stopped.
struct GamaTimes
{
    std::uint32_t gama = 0;
    std::uint32_t stop = 0;
    std::uint32_t route = 0;
};

// The operation file read once and looked up by halves, for walks that ask for many machines.
class GamaTimeTable
{
public:
    explicit GamaTimeTable(Context& ctx);
    GamaTimes Sum(const MachineCode& code, const FrequencyCode& frequency) const;
    // The machine's operations, in the file's order.
    std::span<const TOperationRecord> Operations(const MachineCode& code) const;

private:
    std::vector<TOperationRecord> m_operations; // in the file's order, by machine code
};

// Whether an operation belongs on the sheet or the route of a routine done at `due`: route specialities
// apart, every operation whose frequency the due code covers.
bool OnRoutineSheet(const FrequencyCode& due, const TOperationRecord& operation);

// The times of one machine's routine. A missing file or machine gives zeros.
GamaTimes SumGamaTimes(Context& ctx, const MachineCode& code, const FrequencyCode& frequency);

} // namespace gim
