#include "preventive/gama_times.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/week_codes.h"
#include "masterdata/routines.h"

#include <algorithm>

namespace gim {

GamaTimeTable::GamaTimeTable(Context& ctx)
    : m_operations(
          KeyedFile<OperationFile>(ctx).Read(Report::Silent).value_or(std::vector<TOperationRecord>{}))
{
}

std::span<const TOperationRecord> GamaTimeTable::Operations(const MachineCode& code) const
{
    ShortString<8> key;
    key = code.text;
    // The file is sorted by machine code: the machine's operations stand together.
    const auto [first, last] =
        std::equal_range(m_operations.begin(), m_operations.end(), key, [](const auto& a, const auto& b) {
            if constexpr (std::is_same_v<std::decay_t<decltype(a)>, TOperationRecord>)
                return a.MachineCode < b;
            else
                return a < b.MachineCode;
        });
    return {first, last};
}

GamaTimes GamaTimeTable::Sum(const MachineCode& code, const FrequencyCode& frequency) const
{
    GamaTimes times;
    for (const TOperationRecord& operation : Operations(code)) {
        if (!FrequencyIncludes(frequency.text, operation.Frequency.str()))
            continue;
        const std::uint32_t minutes = operation.Minutes.get();
        if (operation.Speciality.bytes().starts_with('P')) {
            times.route += minutes;
        } else {
            times.gama += minutes;
            if (operation.State == "P")
                times.stop += minutes;
        }
    }
    return times;
}

bool OnRoutineSheet(const FrequencyCode& due, const TOperationRecord& operation)
{
    const QString frequency = operation.Frequency.str();
    return !frequency.startsWith(QLatin1Char('P')) && due.text >= frequency &&
           FrequencyIncludes(due.text, frequency);
}

GamaTimes SumGamaTimes(Context& ctx, const MachineCode& code, const FrequencyCode& frequency)
{
    return GamaTimeTable(ctx).Sum(code, frequency);
}

} // namespace gim
