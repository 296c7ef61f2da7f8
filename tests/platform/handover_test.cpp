#include "platform/handover.h"

#include "records/record_bytes.h" // readable QString failures
#include "support/handover_rows.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

using test::Describe;
using test::Row;

// The operation listing's map, as its owner registers it.
HandoverMap GamasMap()
{
    HandoverMap m;
    m.fields = {{1, "Frequency", 2},
                {2, "State", 2},
                {3, "Minutes", 11},
                {4, "Speciality", 2},
                {5, "Description", 130}};
    m.clearedOnOpen = {"Description"};
    return m;
}

const HandoverKey kPartKey{1, {{"Codigo", 8}, {"Equipo", 2}, {"Util", 3}, {"Pieza", 3}}, false};

TEST(Handover, EachItemDeliversItsMapsFieldsAndSetsOnlyItsFlag)
{
    for (const EditItemInfo& info : EditMenuItems()) {
        HandoverRegistry registry;
        registry.Map(info.item) = GamasMap();
        EditFlags flags{};
        HandoverFields delivered;
        registry.SetDeliver(info.item, [&](const HandoverFields& f) { delivered = f; });
        registry.HandOver(flags, info.item, Row({"3", "1M", "P", "20", "ME", "Engrase de guías"}));

        const std::string expected =
            "Description=Engrase de guías;Frequency=1M;Minutes=20;Speciality=ME;State=P;";
        EXPECT_EQ(Describe(delivered), expected) << info.caption;
        EXPECT_EQ(Describe(registry.Buffer(info.item)), expected) << info.caption;
        const int index = static_cast<int>(PendingEditIndex(info.item));
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(flags[i], i == index ? 1 : 0) << info.caption << " flag " << i;
    }
}

TEST(Handover, AnItemNobodyRegisteredFillsNothingButSetsItsFlag)
{
    HandoverRegistry registry;
    EditFlags flags{};
    registry.HandOver(flags, EditItem::Energias, Row({"", "M1", "AGUA", "26/49/1", "1", "12345"}));
    EXPECT_TRUE(registry.Buffer(EditItem::Energias).empty());
    EXPECT_EQ(flags[PendingEditIndex(EditItem::Energias)], 1);
}

TEST(Handover, FlagOrderAndMenuOrderAndKeys)
{
    // The flags in the main window's order; the web synchronisation sets the first and the fifth.
    EXPECT_EQ(PendingEditIndex(EditItem::Partes), 0u);
    EXPECT_EQ(PendingEditIndex(EditItem::OrdenesT), 4u);
    EXPECT_EQ(PendingEditIndex(EditItem::Compras), 5u);
    EXPECT_EQ(PendingEditIndex(EditItem::RAlmacen), 6u);
    EXPECT_EQ(PendingEditIndex(EditItem::Energias), 8u);
    QString keys;
    for (const EditItemInfo& info : EditMenuItems())
        keys += QLatin1Char(info.key);
    EXPECT_EQ(keys, QStringLiteral("PGRVOACEN")); // menu order: R.Almacén before Compras
}

TEST(Handover, ShortSelectionSetsTheFlagButFillsNothing)
{
    HandoverRegistry registry;
    registry.Map(EditItem::Gamas) = GamasMap();
    EditFlags flags{};
    bool delivered = false;
    registry.SetDeliver(EditItem::Gamas, [&](const HandoverFields&) { delivered = true; });
    registry.HandOver(flags, EditItem::Gamas, QStringLiteral("1\t1M\tP\t")); // 7 characters
    EXPECT_EQ(flags[PendingEditIndex(EditItem::Gamas)], 1);
    EXPECT_FALSE(delivered);
    EXPECT_TRUE(registry.Buffer(EditItem::Gamas).empty());
}

TEST(Handover, ColumnsBeyondTheMapAndFieldsOutsideItAreLeftAlone)
{
    HandoverRegistry registry;
    registry.Map(EditItem::Gamas) = GamasMap();
    EditFlags flags{};
    registry.HandOver(flags, EditItem::Gamas, Row({"1", "1M", "P", "20", "ME", "Engrase", "extra", "más"}));
    EXPECT_EQ(registry.Buffer(EditItem::Gamas).size(), 5u);

    // A shorter row empties the named fields it does not reach.
    registry.HandOver(flags, EditItem::Gamas, Row({"123", "2S", "O"}));
    EXPECT_EQ(registry.Buffer(EditItem::Gamas).at(QStringLiteral("Frequency")), QStringLiteral("2S"));
    EXPECT_EQ(registry.Buffer(EditItem::Gamas).at(QStringLiteral("Description")), QString());
}

TEST(Handover, RowEndingWithItsLineBreakDoesNotCarryIt)
{
    HandoverRegistry registry;
    registry.Map(EditItem::Gamas) = GamasMap();
    EditFlags flags{};
    registry.HandOver(flags, EditItem::Gamas, Row({"1", "1M", "P", "20", "ME", "Engrase"}) + QChar(0x2029));
    EXPECT_EQ(registry.Buffer(EditItem::Gamas).at(QStringLiteral("Description")), QStringLiteral("Engrase"));
}

TEST(Handover, JoinedKeysSplitFromTheRightSoShortMachineCodesStayWhole)
{
    const HandoverKey& key = kPartKey;
    struct Case
    {
        const char* joined;
        QStringList split;
    };
    const Case cases[] = {
        {"PRENSA01MEROD001", {"PRENSA01", "ME", "ROD", "001"}},
        {"M1MEROD001", {"M1", "ME", "ROD", "001"}}, // a split at fixed widths would give "M1MEROD0"
        {"ALMACEN_GRTOR???", {"ALMACEN_", "GR", "TOR", "???"}},
        {"ROD001", {"", "", "ROD", "001"}},
        {"", {"", "", "", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitJoinedKey(key, QString::fromLatin1(c.joined)), c.split) << c.joined;
}

TEST(Handover, AKeyLookupWinsOverTheSplitByWidths)
{
    HandoverRegistry registry;
    registry.Map(EditItem::RAlmacen).keys = {kPartKey};
    EditFlags flags{};
    // A part whose use code is two characters long: only the part list knows where the key splits.
    registry.Map(EditItem::RAlmacen).lookupKey = [](const HandoverKey&,
                                                    const QString& joined) -> std::optional<QStringList> {
        if (joined == QStringLiteral("M1MEXY001"))
            return QStringList{QStringLiteral("M1"), QStringLiteral("ME"), QStringLiteral("XY"),
                               QStringLiteral("001")};
        return std::nullopt;
    };
    registry.HandOver(flags, EditItem::RAlmacen, Row({"1", "M1MEXY001", "Junta"}));
    EXPECT_EQ(registry.Buffer(EditItem::RAlmacen).at(QStringLiteral("Util")), QStringLiteral("XY"));
    EXPECT_EQ(registry.Buffer(EditItem::RAlmacen).at(QStringLiteral("Codigo")), QStringLiteral("M1"));

    registry.HandOver(flags, EditItem::RAlmacen, Row({"1", "M2MEROD002", "Rodamiento"}));
    EXPECT_EQ(registry.Buffer(EditItem::RAlmacen).at(QStringLiteral("Codigo")), QStringLiteral("M2"));
}

TEST(Handover, ANewWindowEmptiesTheKeyAndTextFieldsOfTheBuffers)
{
    HandoverRegistry registry;
    HandoverMap& partes = registry.Map(EditItem::Partes);
    partes.fields = {{1, "Matricula", 6}, {2, "Codigo", 8}, {10, "Descripcion", 48}};
    partes.clearedOnOpen = {"Matricula", "Codigo"};
    registry.Map(EditItem::Averias).clearedOnOpen = {"Code", "Description"};
    EditFlags flags{};
    QStringList cleared;
    registry.SetClear(EditItem::Averias, [&](const QStringList& fields) { cleared = fields; });
    registry.HandOver(flags, EditItem::Partes,
                      Row({"1", "000123", "M1", "07/12/2026", "N", "PRV", "", "", "", "", "Rev"}));
    registry.ClearForNewWindow();
    EXPECT_EQ(registry.Buffer(EditItem::Partes).at(QStringLiteral("Matricula")), QString());
    EXPECT_EQ(registry.Buffer(EditItem::Partes).at(QStringLiteral("Codigo")), QString());
    EXPECT_EQ(registry.Buffer(EditItem::Partes).at(QStringLiteral("Descripcion")), QStringLiteral("Rev"));
    EXPECT_EQ(cleared, (QStringList{QStringLiteral("Code"), QStringLiteral("Description")}));
}

} // namespace
} // namespace gim
