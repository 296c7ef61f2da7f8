#include "core/hour_types.h"

#include "platform/code_table.h"
#include "records/hour_price_record.h"

#include <array>

namespace gim {

namespace {

struct HourType
{
    CodeLabel name;
    HourKind kind;
    LeU16 THourPriceRecord::*price; // none: the hour is not paid
};

constexpr HourType kHourTypes[] = {
    {{"C", "Horas Normales"}, HourKind::Normal, &THourPriceRecord::HCONTRATO},
    {{"E", "Horas Extras Nornales"}, HourKind::Overtime, &THourPriceRecord::HEX},
    {{"EC", "Horas Extras Compensable"}, HourKind::CompensatedOvertime, &THourPriceRecord::HEC},
    {{"V", "Vacaciones"}, HourKind::Holidays, &THourPriceRecord::HCONTRATO},
    {{"F", "Formación"}, HourKind::Training, &THourPriceRecord::HCONTRATO},
    {{"EF", "Horas Extras Festivas"}, HourKind::HolidayOvertime, &THourPriceRecord::HEF},
    {{"EN", "Horas Extras Nocturnas"}, HourKind::NightOvertime, &THourPriceRecord::HEN},
    {{"N", "Horas Nocturnas Nornales"}, HourKind::Night, &THourPriceRecord::HN},
    {{"P", "Permiso"}, HourKind::Leave, &THourPriceRecord::HCONTRATO},
    {{"B", "Baja Laboral"}, HourKind::SickLeave, nullptr},
};

constexpr auto kNames = [] {
    std::array<CodeLabel, std::size(kHourTypes)> names{};
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = kHourTypes[i].name;
    return names;
}();

const HourType* Find(HourKind kind)
{
    for (const HourType& type : kHourTypes)
        if (type.kind == kind)
            return &type;
    return nullptr;
}

} // namespace

std::optional<HourKind> HourKindOf(std::string_view code)
{
    for (const HourType& type : kHourTypes)
        if (code == type.name.code)
            return type.kind;
    return std::nullopt;
}

std::optional<HourKind> HourKindOf(const QString& code)
{
    for (const HourType& type : kHourTypes)
        if (code == QLatin1String(type.name.code))
            return type.kind;
    return std::nullopt;
}

bool IsOvertime(HourKind kind)
{
    return kind == HourKind::Overtime || kind == HourKind::CompensatedOvertime ||
           kind == HourKind::HolidayOvertime || kind == HourKind::NightOvertime;
}

std::uint16_t HourPriceOf(const THourPriceRecord& row, HourKind kind)
{
    const HourType* type = Find(kind);
    return type && type->price ? (row.*(type->price)).get() : std::uint16_t{0};
}

QString HourTypeName(const QString& code)
{
    return CodeTable(kNames).LabelOr(code);
}

QStringList HourTypeCodes()
{
    return CodeTable(kNames).Codes();
}

} // namespace gim
