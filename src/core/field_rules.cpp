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

// The numbers of a date or week code "a/b/c", each part blanks and digits; nothing when a part is not.
std::optional<std::array<int, 3>> ThreeParts(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return std::nullopt;
    std::array<int, 3> numbers{};
    for (int i = 0; i < 3; ++i) {
        const QString part = parts[i].trimmed();
        bool ok = !part.isEmpty() && part.size() <= 4;
        for (const QChar c : part)
            ok = ok && c.isDigit() && c.unicode() < 128;
        if (!ok)
            return std::nullopt;
        numbers[static_cast<std::size_t>(i)] = part.toInt();
    }
    return numbers;
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
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    const Int64Parse n = ParseInt64(t);
    if (n.errorPos != 0)
        return std::nullopt;
    return n.value;
}

std::optional<std::int64_t> CentsOfText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    const Int64Parse n = ParseCents(t);
    if (n.errorPos != 0)
        return std::nullopt;
    return n.value;
}

std::optional<int> HourOfText(const QString& text, bool until24)
{
    if (NothingTyped(text))
        return 0;
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    int hm[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const QString part = parts[i].trimmed();
        bool ok = !part.isEmpty() && part.size() <= 2;
        for (const QChar c : part)
            ok = ok && c.isDigit() && c.unicode() < 128;
        if (!ok)
            return std::nullopt;
        hm[i] = part.toInt();
    }
    if (hm[1] > 59 || hm[0] > 24 || (hm[0] == 24 && (!until24 || hm[1] != 0)))
        return std::nullopt;
    return hm[0] * 60 + hm[1];
}

FieldRule WholeRule(std::int64_t min, std::int64_t max, bool required)
{
    return RangeRule(WholeOfText, min, max, required,
                     QStringLiteral("UN NÚMERO ENTERO DE %1 A %2").arg(min).arg(max));
}

FieldRule MinutesRule(std::int64_t highest)
{
    FieldRule rule = WholeRule(0, highest);
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
    FieldRule rule;
    rule.accepted = QStringLiteral("UNA FECHA DEL CALENDARIO dd/mm/aa");
    rule.accepts = [required](const QString& text) {
        if (NothingTyped(text))
            return !required;
        const auto parts = ThreeParts(text);
        if (!parts)
            return false;
        const QString year = text.section(QLatin1Char('/'), 2).trimmed();
        if (year.size() != 2 && year.size() != 4)
            return false;
        const int y = year.size() == 2 ? 2000 + (*parts)[2] : (*parts)[2];
        return QDate(y, (*parts)[1], (*parts)[0]).isValid();
    };
    return rule;
}

FieldRule WeekCodeRule(bool required)
{
    FieldRule rule;
    rule.accepted = QStringLiteral("UNA FECHA aa/ss/d CON SU SEMANA Y SU DÍA DE LA SEMANA");
    rule.accepts = [required](const QString& text) {
        if (NothingTyped(text))
            return !required;
        const auto parts = ThreeParts(text);
        if (!parts)
            return false;
        const QString code = QStringLiteral("%1/%2/%3")
                                 .arg((*parts)[0], 2, 10, QLatin1Char('0'))
                                 .arg((*parts)[1], 2, 10, QLatin1Char('0'))
                                 .arg((*parts)[2]);
        if ((*parts)[0] > 99 || (*parts)[2] < 1 || (*parts)[2] > 7)
            return false;
        // The code names a day only when that day's own code is this one.
        const std::optional<QDate> date = WeekCodeToDate(code);
        return date && WeekCodeOf(*date) == code;
    };
    return rule;
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

} // namespace gim
