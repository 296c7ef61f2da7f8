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

GamaTimes GamaTimeTable::Sum(const MachineCode& code, const FrequencyCode& frequency) const
{
    GamaTimes times;
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
    for (auto it = first; it != last; ++it) {
        if (!FrequencyIncludes(frequency.text, it->Frequency.str()))
            continue;
        const std::uint32_t minutes = it->Minutes.get();
        if (it->Speciality.str().startsWith(QLatin1Char('P'))) {
            times.route += minutes;
        } else {
            times.gama += minutes;
            if (it->State == "P")
                times.stop += minutes;
        }
    }
    return times;
}

GamaTimes SumGamaTimes(Context& ctx, const MachineCode& code, const FrequencyCode& frequency)
{
    return GamaTimeTable(ctx).Sum(code, frequency);
}

} // namespace gim
