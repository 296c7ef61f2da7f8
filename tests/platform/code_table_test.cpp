#include "platform/code_table.h"
#include "platform/date_text.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

constexpr CodeLabel kTable[] = {
    {"1S", "Semanal"}, {"M", "Mensual"}, {"S4", "Bieal"}, {"TF", "Horas Funcionamiento"}};

TEST(CodeTableTest, LooksLabelsUpByExactCode)
{
    const CodeTable table(kTable);
    EXPECT_EQ(table.Label(QStringLiteral("M")), QStringLiteral("Mensual"));
    EXPECT_EQ(table.Label(QStringLiteral("m")), std::nullopt);
    EXPECT_EQ(table.Label(QStringLiteral("M ")), std::nullopt);
    EXPECT_EQ(table.LabelOr(QStringLiteral("X")), QString());
    EXPECT_EQ(table.LabelOr(QStringLiteral("X"), QStringLiteral("No valida")), QStringLiteral("No valida"));
    EXPECT_EQ(table.Codes(), (QStringList{"1S", "M", "S4", "TF"}));
    const CodeTable middle = table.Slice(1, 2);
    EXPECT_EQ(middle.Codes(), (QStringList{"M", "S4"}));
    EXPECT_EQ(middle.Label(QStringLiteral("TF")), std::nullopt);
}

TEST(DateTextTest, WritesAndReadsTheCalendarForms)
{
    EXPECT_EQ(FormatDate(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
    EXPECT_EQ(FormatShortDate(QDate(2024, 3, 5)), QStringLiteral("05/03/24"));
    EXPECT_EQ(FormatDate(QDate()), QString());
    EXPECT_EQ(FormatDateRange(QDate(2023, 12, 31), QDate(2024, 1, 7)),
              QStringLiteral("31/12/2023 - 07/01/2024"));
    EXPECT_EQ(ParseDate(QStringLiteral("29/02/2024")), QDate(2024, 2, 29));
    EXPECT_FALSE(ParseDate(QStringLiteral("29/02/2023")).isValid());
    EXPECT_FALSE(ParseDate(QStringLiteral("05/03/24")).isValid());
    EXPECT_EQ(ParseShortDate(QStringLiteral("05/03/24")), QDate(1924, 3, 5));
}

} // namespace
} // namespace gim
