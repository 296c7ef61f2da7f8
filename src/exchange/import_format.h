#pragma once

#include "core/context.h"
#include "platform/date_text.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace gim {

// Tab-separated import lines. A line's field n is the text after its n-th TAB; the text before the first
// TAB (field 0) is never read. Each table describes its fields once (ImportTable) and one parser reads
// every table's lines into the table's own line record, which its add routine then stores.

enum class ImportFieldKind {
    Text,   // kept as typed, cut at the field's width; nothing trimmed
    Number, // a whole number (ParseInt64); an empty text reads as 0, any other that is not one refuses
    Cents,  // an amount with a decimal comma or point, in cents (ParseCents); likewise
    Date,   // "dd/mm/yyyy" or "dd/mm/yy" (ParseTypedDate), whatever the system's locale
};

// What a field's store step receives once the whole line has been read.
struct ImportFieldValue
{
    QString text;            // the gathered text (after its lead), cut at the width
    std::int64_t number = 0; // Number and Cents
    QDate date;              // Date: valid unless the text was short enough to be taken unconverted
};

// One field of a table. `Line` is the table's line record: usually the record the table stores, or a
// small struct around it when conversions need more than one field (a week from a week and a year).
template <typename Line> struct ImportField
{
    int number = 1; // how many TABs stand before it
    ImportFieldKind kind = ImportFieldKind::Text;
    // Characters gathered: for text the record field's width in Windows-1252 bytes (one byte per
    // character of the code page), for numbers and dates how much of the text is read (0 = all).
    int width = 0;
    // Number and Cents: the range the target holds (a word 0..65535, a byte). A value outside it refuses
    // the line instead of being cut to the target's width.
    std::int64_t minimum = std::numeric_limits<std::int64_t>::min();
    std::int64_t maximum = std::numeric_limits<std::int64_t>::max();
    // Date: a text this long or shorter is handed over unconverted (date invalid); a longer one must be a
    // date, or the line is refused. -1: every text, the empty one included, must be a date.
    int convertAbove = -1;
    // Text: what the field holds before its characters (a reference's leading "W"); they count against
    // the width.
    std::function<QString(const Context&)> lead;
    // Puts the value into the line record. Text fields left empty (two TABs in a row, or a field the line
    // does not reach) are not stored, so the line record keeps its default there.
    std::function<void(Context&, Line&, const ImportFieldValue&)> store;
};

// Limits of the integer widths the records use.
inline constexpr std::int64_t kWordMax = 65535;
inline constexpr std::int64_t kByteMax = 255;

// A table of the import window: its fields, the record each line starts from, the steps around the line
// loop and the add routine. `add` takes the parsed record as its argument and returns whether it stored
// it; it commits what it stored before returning (one line, one transaction).
template <typename Line> struct ImportTable
{
    int minimumLength = 7; // a line this long or shorter is not parsed and adds nothing
    std::vector<ImportField<Line>> fields;
    std::function<Line(Context&)> blank;            // the defaults of each line
    std::function<bool(Context&, Line&)> complete;  // conversions over several fields; false refuses
    std::function<void(Context&)> before;           // before the first line
    std::function<bool(Context&, const Line&)> add; // stores one line; whether it stored it
    std::function<void(Context&)> after;            // after the last line, also when no line was read
    std::function<void(Context&)> sort;             // then the rewrites, when a line was stored
    QString lineCaption; // the gateway window's Label2 while each line is read ("" = left alone)
    QString endText;     // written after an empty line at the end of the echo ("" = none)
};

// The fields of one line by TAB count, 0 .. lastField; fields past lastField are dropped. A trailing CR
// (a CRLF text split on LF) is not part of the line.
QStringList GatewayLineFormat(QStringView line, int lastField);

// Why a line is refused, in the few words its echo ends with.
inline constexpr const char* kBadDate = "FECHA NO VÁLIDA";
inline constexpr const char* kBadNumber = "NÚMERO NO VÁLIDO";
inline constexpr const char* kNumberOutOfRange = "NÚMERO FUERA DE LÍMITE";

// Reads a whole-number or cents text (empty: 0); nothing, with the reason, when it is no such number or
// lies outside [minimum, maximum].
std::optional<std::int64_t> ImportNumber(Context& ctx, ImportFieldKind kind, const QString& text,
                                         std::int64_t minimum, std::int64_t maximum,
                                         QString* reason = nullptr);

// A text field's characters as the record keeps them: control characters become blanks and the text is
// cut where its Windows-1252 bytes reach `width` (a character outside the code page is one "?" byte).
QString ImportText(const QString& text, int width);

// Parses one line into the table's line record: the defaults, then every field the table names, then
// `complete`. Nothing, with the reason where one is known, when a date does not convert, a number is
// malformed or lies outside its target's range, or `complete` refuses the line.
template <typename Line>
std::optional<Line> ParseImportLine(Context& ctx, const ImportTable<Line>& table, QStringView line,
                                    QString* reason = nullptr)
{
    int lastField = 0;
    for (const auto& field : table.fields)
        lastField = std::max(lastField, field.number);
    const QStringList texts = GatewayLineFormat(line, lastField);

    Line parsed = table.blank ? table.blank(ctx) : Line{};
    for (const auto& field : table.fields) {
        ImportFieldValue value;
        QString text = field.number < texts.size() ? texts[field.number] : QString();
        if (field.kind == ImportFieldKind::Text && field.lead)
            text.prepend(field.lead(ctx));
        value.text = field.kind == ImportFieldKind::Text ? ImportText(text, field.width)
                     : field.width > 0                   ? text.left(field.width)
                                                         : text;
        switch (field.kind) {
        case ImportFieldKind::Text:
            if (value.text.isEmpty())
                continue;
            break;
        case ImportFieldKind::Number:
        case ImportFieldKind::Cents: {
            const auto number =
                ImportNumber(ctx, field.kind, value.text, field.minimum, field.maximum, reason);
            if (!number)
                return std::nullopt;
            value.number = *number;
            break;
        }
        case ImportFieldKind::Date:
            if (value.text.size() > field.convertAbove) {
                value.date = ParseTypedDate(value.text);
                if (!value.date.isValid()) {
                    if (reason)
                        *reason = QString::fromUtf8(kBadDate);
                    return std::nullopt;
                }
            }
            break;
        }
        if (field.store)
            field.store(ctx, parsed, value);
    }
    if (table.complete && !table.complete(ctx, parsed))
        return std::nullopt;
    return parsed;
}

// A table with its line record type forgotten: what the gateway's line loop runs.
struct ImportJob
{
    int minimumLength = 7;
    std::function<void(Context&)> before;
    std::function<void(Context&)> after;
    std::function<void(Context&)> sort;
    // Parses one line longer than the minimum and adds it; whether it was stored, else why not where
    // the parse knows it.
    std::function<bool(Context&, QStringView line, QString& reason)> importLine;
    QString lineCaption;
    QString endText;
};

template <typename Line> ImportJob MakeImportJob(ImportTable<Line> table)
{
    ImportJob job;
    job.minimumLength = table.minimumLength;
    job.before = table.before;
    job.after = table.after;
    job.sort = table.sort;
    job.lineCaption = table.lineCaption;
    job.endText = table.endText;
    job.importLine = [table = std::move(table)](Context& ctx, QStringView line, QString& reason) {
        const std::optional<Line> parsed = ParseImportLine(ctx, table, line, &reason);
        return parsed && table.add && table.add(ctx, *parsed);
    };
    return job;
}

} // namespace gim
