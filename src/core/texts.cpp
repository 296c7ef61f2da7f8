#include "core/texts.h"

#include "core/state.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace gim {

namespace {

int Digit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9' ? c.unicode() - '0' : -1;
}

// The listings format these for every line: the digits go straight into one buffer and one QString,
// not through number and arg temporaries. Writes `value` with at least `width` digits ending at `end`
// and gives where they start.
char16_t* DigitsBefore(char16_t* end, std::uint64_t value, int width)
{
    do {
        *--end = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
        --width;
    } while (value != 0 || width > 0);
    return end;
}

} // namespace

QString MinutesToHoursText(int minutes)
{
    const std::uint64_t magnitude = minutes < 0 ? 0 - static_cast<std::uint64_t>(std::int64_t(minutes))
                                                : static_cast<std::uint64_t>(minutes);
    char16_t text[32];
    char16_t* const end = text + std::size(text);
    char16_t* begin = DigitsBefore(end, magnitude % 60, 2);
    *--begin = u' ';
    *--begin = u':';
    *--begin = u' ';
    begin = DigitsBefore(begin, magnitude / 60, 2);
    if (minutes < 0)
        *--begin = u'-';
    return QString(reinterpret_cast<const QChar*>(begin), end - begin);
}

QString TimeToText(State& st, QTime time)
{
    const QTime t = time.isValid() ? time : QTime(0, 0);
    st.CurrentHour = t.hour();
    st.CurrentMinute = t.minute();
    st.CurrentSecond = t.second();
    st.CurrentMSec = t.msec();
    return QStringLiteral("%1:%2")
        .arg(t.hour(), 2, 10, QLatin1Char(' '))
        .arg(t.minute(), 2, 10, QLatin1Char('0'));
}

QString CentsToText(std::int64_t cents)
{
    // Through the unsigned magnitude, so that the lowest 64-bit value prints too.
    const bool negative = cents < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(cents) : std::uint64_t(cents);
    char16_t text[32];
    char16_t* const end = text + std::size(text);
    char16_t* begin = DigitsBefore(end, magnitude % 100, 2);
    *--begin = u',';
    begin = DigitsBefore(begin, magnitude / 100, 1);
    if (negative)
        *--begin = u'-';
    return QString(reinterpret_cast<const QChar*>(begin), end - begin);
}

Int64Parse ParseInt64(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Nothing to read (empty, blanks, a sign alone): the missing digit is the fault.
    if (i >= n)
        return {0, static_cast<int>(i + 1)};

    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int d = Digit(text[i]);
        if (d < 0 || magnitude > (limit - static_cast<std::uint64_t>(d)) / 10)
            return {0, static_cast<int>(i + 1)};
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(d);
    }
    return {negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude), 0};
}

Int64Parse ParseCents(QStringView text)
{
    QString kept;
    kept.reserve(text.size() + 2);
    int decimals = -1; // -1 until the decimal mark
    for (const QChar c : text) {
        if (c == u',' || c == u'.') {
            if (decimals >= 0)
                break; // a second mark ends the decimals too
            decimals = 0;
        } else if (decimals < 0) {
            kept += c;
        } else if (decimals < 2) {
            kept += c;
            ++decimals;
        }
        // Further decimals are dropped: amounts truncate to the cent.
    }
    kept += QString(2 - std::max(decimals, 0), u'0');
    return ParseInt64(kept);
}

std::int64_t TextToInt64(State& st, QStringView text)
{
    const Int64Parse r = ParseInt64(text);
    st.ValErrorPos = r.errorPos;
    return r.value;
}

std::int64_t TextToCents(State& st, QStringView text)
{
    const Int64Parse r = ParseCents(text);
    st.ValErrorPos = r.errorPos;
    return r.value;
}

std::int64_t AddCents(std::int64_t total, std::int64_t amount)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(total, amount, &sum))
        return amount < 0 ? std::numeric_limits<std::int64_t>::min()
                          : std::numeric_limits<std::int64_t>::max();
    return sum;
}

QString Int64ToText(std::int64_t n)
{
    return QString::number(static_cast<qint64>(n));
}

} // namespace gim
