#pragma once

#include <QDate>
#include <QString>

namespace gim {

// Dates as the calendars, cards and listings write them: "dd/MM/yyyy", or "dd/MM/yy" where a mask or
// a stamp keeps two digits of the year. An invalid date gives an empty text.
inline constexpr const char* kDateFormat = "dd/MM/yyyy";
inline QString FormatDate(QDate date)
{
    return date.toString(QLatin1String(kDateFormat));
}
inline QString FormatShortDate(QDate date)
{
    return date.toString(QStringLiteral("dd/MM/yy"));
}

// "dd/MM/yyyy" read back; an invalid date for any other text.
inline QDate ParseDate(const QString& text)
{
    return QDate::fromString(text, QLatin1String(kDateFormat));
}
// "dd/MM/yy" read back. The year lands in 1900-1999; the caller says which century it means.
inline QDate ParseShortDate(const QString& text)
{
    return QDate::fromString(text, QStringLiteral("dd/MM/yy"));
}

// A day typed in a prompt, "dd/mm/yyyy" or "dd/mm/yy" (a two-digit year counts from 2000); an invalid
// date for any other text.
inline QDate ParseTypedDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QDate date = ParseDate(trimmed);
    if (date.isValid())
        return date;
    const QDate shortDate = ParseShortDate(trimmed);
    return shortDate.isValid() && shortDate.year() < 2000 ? shortDate.addYears(100) : shortDate;
}

// A period as the date-range picker shows it: "dd/MM/yyyy - dd/MM/yyyy".
inline QString FormatDateRange(QDate start, QDate end)
{
    return FormatDate(start) + QStringLiteral(" - ") + FormatDate(end);
}

} // namespace gim
