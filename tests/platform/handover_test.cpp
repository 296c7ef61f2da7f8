#include "platform/handover.h"

#include "records/record_bytes.h" // readable QString failures

#include <gtest/gtest.h>

namespace gim {
namespace {

// Readable in failure messages.
QString Describe(const HandoverFields& fields)
{
    QString out;
    for (const auto& [name, value] : fields)
        out += name + QLatin1Char('=') + value + QLatin1Char(';');
    return out;
}

QString Row(std::initializer_list<const char*> columns)
{
    QStringList parts;
    for (const char* c : columns)
        parts << QString::fromUtf8(c);
    return parts.join(QLatin1Char('\t'));
}

struct ItemCase
{
    EditItem item;
    QString row;
    HandoverFields expected;
};

// One sample row per Editar item, as its listing writes it, and the fields it fills.
std::vector<ItemCase> Cases()
{
    return {
        {EditItem::Partes,
         Row({"7", "000123", "M1", "07/12/2026", "N", "PRV", "30", "45", "1234", "MEROD001",
              "Cambio de rodamiento en el eje principal de la prensa hidráulica"}),
         {{"Matricula", "000123"},
          {"Codigo", "M1"},
          {"dia", "07/12/2026"},
          {"TIPOH", "N"},
          {"Tipo", "PRV"},
          {"Tinter", "30"},
          {"Tparo", "45"},
          {"Orden", "1234"},
          {"SparePart", "MEROD001"},
          {"Descripcion", "Cambio de rodamiento en el eje principal de la p"}}}, // cut at 48
        {EditItem::Gamas,
         Row({"3", "1M", "P", "20", "ME", "Engrase de guías"}),
         {{"Frequency", "1M"},
          {"State", "P"},
          {"Minutes", "20"},
          {"Speciality", "ME"},
          {"Description", "Engrase de guías"}}},
        {EditItem::Repara,
         Row({"1", "M1", "x", "90", "P", "EL", "77", "49", "2026", "Juan", "Cambiar motor"}),
         {{"Code", "M1"},
          {"Minutes", "90"},
          {"State", "P"},
          {"Specialty", "EL"},
          {"Order", "77"},
          {"Week", "49"},
          {"Year", "2026"},
          {"Executor", "Juan"},
          {"Description", "Cambiar motor"}}},
        {EditItem::Averias,
         Row({"4", "M1", "x", "y", "M", "EL", "30", "20", "5", "Pérez", "07/12/26-08:15", "z",
              "Motor quemado"}),
         {{"Code", "M1"},
          {"Shift", "M"},
          {"Type", "EL"},
          {"Stop", "30"},
          {"Intervention", "20"},
          {"Delay", "5"},
          {"Officer", "Pérez"},
          {"NoticeTime", "07/12/26-08:15"},
          {"Description", "Motor quemado"},
          {"Day", ""},
          {"Week", ""}}},
        {EditItem::OrdenesT,
         Row({"", "15", "P", "26/49/1", "26/49/2", "", "Producción", "M1", "Fuga de aceite"}),
         {{"Number", "15"},
          {"State", "P"},
          {"NoticeDate", "26/49/1"},
          {"StartDate", "26/49/2"},
          {"CloseDate", ""},
          {"Requester", "Producción"},
          {"Machine", "M1"},
          {"Description", "Fuga de aceite"}}},
        {EditItem::RAlmacen,
         Row({"2", "PRENSA01MEROD001", "Rodamiento 6204", "4", "10", "x", "A12"}),
         {{"Codigo", "PRENSA01"},
          {"Equipo", "ME"},
          {"Util", "ROD"},
          {"Pieza", "001"},
          {"Nombre", "Rodamiento 6204"},
          {"Stock", "4"},
          {"Exist", "10"},
          {"Local", "A12"}}},
        {EditItem::Compras,
         Row({"", "31", "M1MEROD001", "PROV01", "26/49/1", "26/50/1", "27/00/1", "P"}),
         {{"Nped", "31"},
          {"Codigo", "M1"},
          {"Equipo", "ME"},
          {"Util", "ROD"},
          {"Pieza", "001"},
          {"Sumtro", "PROV01"},
          {"fechALTA", "26/49/1"},
          {"fechaENT", "26/50/1"},
          {"Fechcierr", "27/00/1"}}},
        {EditItem::Procedimientos,
         Row({"", "M1 EL 02 03", "P", "15", "Desconectar"}),
         {{"MachineCode", "M1"}, {"Espec", "EL"}, {"Proced", "02"}, {"Inst", "03"}}},
        {EditItem::Energias,
         Row({"", "M1", "AGUA", "26/49/1", "1", "12345"}),
         {{"MachineCode", "M1"}, {"MeterCode", "AGUA"}, {"Date", "26/49/1"}, {"Reading", "12345"}}},
    };
}

TEST(Handover, EachItemFillsItsFieldsAndSetsOnlyItsFlag)
{
    for (const ItemCase& c : Cases()) {
        HandoverRegistry registry;
        EditFlags flags{};
        HandoverFields delivered;
        registry.SetDeliver(c.item, [&](const HandoverFields& f) { delivered = f; });
        registry.HandOver(flags, c.item, c.row);

        const int index = static_cast<int>(PendingEditIndex(c.item));
        EXPECT_EQ(Describe(delivered).toStdString(), Describe(c.expected).toStdString());
        EXPECT_EQ(Describe(registry.Buffer(c.item)).toStdString(), Describe(c.expected).toStdString());
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(flags[i], i == index ? 1 : 0) << EditItemInfoOf(c.item).caption << " flag " << i;
    }
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
    EditFlags flags{};
    registry.HandOver(flags, EditItem::Gamas, Row({"1", "1M", "P", "20", "ME", "Engrase"}) + QChar(0x2029));
    EXPECT_EQ(registry.Buffer(EditItem::Gamas).at(QStringLiteral("Description")), QStringLiteral("Engrase"));
}

TEST(Handover, JoinedKeysSplitFromTheRightSoShortMachineCodesStayWhole)
{
    const HandoverMap parts = StandardHandoverMap(EditItem::RAlmacen);
    const HandoverKey& key = parts.keys.at(0);
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
