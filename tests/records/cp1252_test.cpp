#include "records/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace gim {
namespace {

TEST(Cp1252, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString text = FromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToCp1252(text), all);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<unsigned char>(ToCp1252Char(text[b])), b) << "byte " << b;
}

TEST(Cp1252, SpanishAndEuroSigns)
{
    EXPECT_EQ(ToCp1252(QStringLiteral("€")), "\x80");
    EXPECT_EQ(ToCp1252(QStringLiteral("Ñ")), "\xD1");
    EXPECT_EQ(ToCp1252(QStringLiteral("AÑO año")), "A\xD1O a\xF1o");
    EXPECT_EQ(ToCp1252(QStringLiteral("Revisión Técnica ºª¿¡")), "Revisi\xF3n T\351cnica \xBA\xAA\xBF\xA1");
    EXPECT_EQ(ToCp1252(QStringLiteral("Œ“”…")), "\x8C\x93\x94\x85");
    EXPECT_EQ(FromCp1252("\x80"), QStringLiteral("€"));
    EXPECT_EQ(FromCp1252("\xD1"), QStringLiteral("Ñ"));
    EXPECT_EQ(FromCp1252("Mec\xE1nica"), QStringLiteral("Mecánica"));
    // The unassigned bytes decode to the control characters of the same value.
    EXPECT_EQ(FromCp1252("\x81\x8D\x8F\x90\x9D"), QString::fromUcs4(U"\u0081\u008D\u008F\u0090\u009D"));
    QString text = QStringLiteral("Nº ");
    AppendCp1252(text, "\x80\x81z\xF1");
    EXPECT_EQ(text, QString::fromUcs4(U"Nº €\u0081zñ"));
}

TEST(Cp1252, CharacterOutsideThePageBecomesQuestionMark)
{
    EXPECT_EQ(ToCp1252Char(QChar(0x03A9)), '?'); // Ω
    EXPECT_EQ(ToCp1252Char(QChar(0x0080)), '?'); // C1 control that 0x80 does not decode to
    EXPECT_EQ(ToCp1252(QStringLiteral("aΩ中b")), "a??b");
    EXPECT_EQ(ToCp1252(QString::fromUcs4(U"x\U0001F600y")), "x?y");
    EXPECT_EQ(ToCp1252(QString(QChar(0xD800))), "?"); // lone surrogate
}

} // namespace
} // namespace gim
