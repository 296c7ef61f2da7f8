#include "core/field_rules.h"

#include "core/texts.h"
#include "core/week_codes.h"

#include <QDate>
#include <QStringList>
#include <array>

namespace gim {

namespace {

// The rule of a number read by `read`: empty reads 0; the range is checked on the number read.
FieldRule RangeRule(std::function<std::optional<std::int64_t>(const QString&)> read, std::int64_t min,
                    std::int64_t max, bool required, QString accepted)
{
    FieldRule rule;
    rule.accepted = std::move(accepted);
    rule.accepts = [read = std::move(read), min, max, required](const QString& text) {
        if (required && NothingTyped(text))
            return false;
        const std::optional<std::int64_t> v = read(text);
        return v && *v >= min && *v <= max;
    };
    return rule;
}

// A part of a date or an hour: blanks around at most `digits` digits.
std::optional<int> PartNumber(const QString& text, int digits)
{
    const QString part = text.trimmed();
    if (part.isEmpty() || part.size() > digits)
        return std::nullopt;
    for (const QChar c : part)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return part.toInt();
}

// The numbers of a date or week code "a/b/c"; nothing when a part is not one.
std::optional<std::array<int, 3>> ThreeParts(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return std::nullopt;
    std::array<int, 3> numbers{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<int> n = PartNumber(parts[static_cast<int>(i)], 4);
        if (!n)
            return std::nullopt;
        numbers[i] = *n;
    }
    return numbers;
}

// The rule of a date-like value: empty unless required, else three numbers that `valid` accepts.
FieldRule PartsRule(QString accepted, bool required,
                    std::function<bool(const QString&, const std::array<int, 3>&)> valid)
{
    FieldRule rule;
    rule.accepted = std::move(accepted);
    rule.accepts = [required, valid = std::move(valid)](const QString& text) {
        if (NothingTyped(text))
            return !required;
        const auto parts = ThreeParts(text);
        return parts && valid(text, *parts);
    };
    return rule;
}

// A number read by `parse` from a trimmed text; empty reads 0.
std::optional<std::int64_t> ParsedNumber(const QString& text, Int64Parse (*parse)(QStringView))
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    const Int64Parse n = parse(t);
    if (n.errorPos != 0)
        return std::nullopt;
    return n.value;
}

} // namespace

bool NothingTyped(const QString& text)
{
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('/') && c != QLatin1Char(':') && c != QLatin1Char('_'))
            return false;
    return true;
}

std::optional<std::int64_t> WholeOfText(const QString& text)
{
    return ParsedNumber(text, ParseInt64);
}

std::optional<std::int64_t> CentsOfText(const QString& text)
{
    return ParsedNumber(text, ParseCents);
}

std::optional<int> HourOfText(const QString& text, bool until24)
{
    if (NothingTyped(text))
        return 0;
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    const std::optional<int> h = PartNumber(parts[0], 2);
    const std::optional<int> m = PartNumber(parts[1], 2);
    if (!h || !m || *m > 59 || *h > 24 || (*h == 24 && (!until24 || *m != 0)))
        return std::nullopt;
    return *h * 60 + *m;
}

FieldRule WholeRule(std::int64_t min, std::int64_t max, bool required)
{
    return RangeRule(WholeOfText, min, max, required,
                     QStringLiteral("UN NÚMERO ENTERO DE %1 A %2").arg(min).arg(max));
}

FieldRule MinutesRule(std::int64_t highest, bool required)
{
    FieldRule rule = WholeRule(0, highest, required);
    rule.message = QStringLiteral("TIEMPO FUERA DE LÍMITE: DE 0 A %1 MINUTOS").arg(highest);
    return rule;
}

FieldRule MoneyRule(std::int64_t minCents, std::int64_t maxCents, bool required)
{
    return RangeRule(
        CentsOfText, minCents, maxCents, required,
        QStringLiteral("UN IMPORTE DE %1 A %2").arg(CentsToText(minCents), CentsToText(maxCents)));
}

FieldRule WeekRule(bool required)
{
    FieldRule rule = WholeRule(0, 53, required);
    rule.accepted = QStringLiteral("UNA SEMANA DE 0 A 53");
    return rule;
}

FieldRule YearRule(bool required)
{
    return WholeRule(2000, 2099, required);
}

FieldRule HourRule(bool until24, bool required)
{
    FieldRule rule;
    rule.accepted = until24 ? QStringLiteral("UNA HORA hh:mm DE 00:00 A 24:00")
                            : QStringLiteral("UNA HORA hh:mm DE 00:00 A 23:59");
    rule.accepts = [until24, required](const QString& text) {
        return !(required && NothingTyped(text)) && HourOfText(text, until24).has_value();
    };
    return rule;
}

FieldRule DateRule(bool required)
{
    return PartsRule(QStringLiteral("UNA FECHA DEL CALENDARIO dd/mm/aa"), required,
                     [](const QString& text, const std::array<int, 3>& parts) {
                         const QString year = text.section(QLatin1Char('/'), 2).trimmed();
                         if (year.size() != 2 && year.size() != 4)
                             return false;
                         const int y = year.size() == 2 ? 2000 + parts[2] : parts[2];
                         return QDate(y, parts[1], parts[0]).isValid();
                     });
}

FieldRule WeekCodeRule(bool required)
{
    return PartsRule(QStringLiteral("UNA FECHA aa/ss/d CON SU SEMANA Y SU DÍA DE LA SEMANA"), required,
                     [](const QString&, const std::array<int, 3>& parts) {
                         if (parts[0] > 99 || parts[2] < 1 || parts[2] > 7)
                             return false;
                         const QString code = QStringLiteral("%1/%2/%3")
                                                  .arg(parts[0], 2, 10, QLatin1Char('0'))
                                                  .arg(parts[1], 2, 10, QLatin1Char('0'))
                                                  .arg(parts[2]);
                         // The code names a day only when that day's own code is this one.
                         const std::optional<QDate> date = WeekCodeToDate(code);
                         return date && WeekCodeOf(*date) == code;
                     });
}

FieldRule CodeRule(const QStringList& codes, bool required)
{
    FieldRule rule;
    rule.accepted = QStringLiteral("UNO DE LOS CÓDIGOS ") + codes.join(QStringLiteral(", "));
    rule.accepts = [codes, required](const QString& text) {
        if (text.isEmpty())
            return !required;
        return codes.contains(text);
    };
    return rule;
}

FieldRule FilledRule(const QString& accepted)
{
    FieldRule rule;
    rule.accepted = accepted;
    rule.accepts = [](const QString& text) { return !NothingTyped(text); };
    return rule;
}

} // namespace gim
