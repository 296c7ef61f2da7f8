#include "records/cp1252.h"

#include <array>

namespace gim {
namespace {

// Unicode code points of bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString FromCp1252(std::string_view bytes)
{
    QString out;
    AppendCp1252(out, bytes);
    return out;
}

void AppendCp1252(QString& text, std::string_view bytes)
{
    // Sized once and written in place: listings decode several fields of every line.
    const qsizetype start = text.size();
    text.resize(start + static_cast<qsizetype>(bytes.size()));
    QChar* out = text.data() + start;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b));
    }
}

char ToCp1252Char(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}

std::string ToCp1252(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A character beyond the BMP is one '?', not one per UTF-16 half.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out.push_back(ToCp1252Char(c));
    }
    return out;
}

std::string ToCp1252Lines(const QStringList& lines)
{
    std::string bytes;
    for (const QString& line : lines)
        bytes += ToCp1252(line) + "\r\n";
    return bytes;
}

} // namespace gim
