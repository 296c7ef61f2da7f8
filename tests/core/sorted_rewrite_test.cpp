#include "core/ordered_list.h"
#include "core/sorted_rewrite.h"
#include "records/machine_record.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace gim {
namespace {

TMachineRecord Machine(const char* code, const char* name = "N")
{
    TMachineRecord r{};
    r.Codigo = code;
    r.Denominacion = name;
    r.Cuenta = "CTA";
    return r;
}

std::vector<std::string> Codes(const std::vector<TMachineRecord>& v)
{
    std::vector<std::string> out;
    for (const auto& r : v)
        out.emplace_back(r.Codigo.bytes());
    return out;
}

std::string Bytes(const std::vector<TMachineRecord>& v)
{
    return std::string(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(TMachineRecord));
}

TEST(SortedRewrite, TwinTakesTheOldFileAndTheDataFileIsSortedWithoutDeleted)
{
    test::TestContext t;
    // "PR" before "PR1", unsigned bytes ("\xD1" after "Z"), ties in file order, "Z" dropped.
    std::vector<TMachineRecord> recs = {Machine("PR1"),
                                        Machine("Z"),
                                        Machine("\xD1"
                                                "A"),
                                        Machine("PR", "primero"),
                                        Machine("B"),
                                        Machine("PR", "segundo"),
                                        Machine("Z")};
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), recs);
    const std::string old = t.ReadFile(QStringLiteral("E.MQW"));

    ASSERT_TRUE(SortedRewrite<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"),
                                              ByField(&TMachineRecord::Codigo),
                                              KeyIsDeleted(&TMachineRecord::Codigo)));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MBK")), old);
    const auto now = LoadRecords<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"));
    EXPECT_EQ(Codes(now), (std::vector<std::string>{"B", "PR", "PR", "PR1",
                                                    "\xD1"
                                                    "A"}));
    EXPECT_TRUE(now[1].Denominacion == "primero");
    EXPECT_TRUE(now[2].Denominacion == "segundo");
    // Records travel whole: the bytes past each text's length are kept.
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), Bytes({recs[4], recs[3], recs[5], recs[0], recs[2]}));
}

TEST(SortedRewrite, RenameVariantKeepsTheOldFileAsItStood)
{
    test::TestContext t;
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), std::vector<TMachineRecord>{Machine("B"), Machine("A")});
    const std::string torn = t.ReadFile(QStringLiteral("E.MQW")) + "cola";
    t.WriteFile(QStringLiteral("E.MQW"), torn);
    ASSERT_TRUE(SortedRewrite<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"),
                                              ByField(&TMachineRecord::Codigo),
                                              KeyIsDeleted(&TMachineRecord::Codigo), TwinVariant::Rename));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MBK")), torn);
    EXPECT_EQ(Codes(LoadRecords<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"))),
              (std::vector<std::string>{"A", "B"}));
}

TEST(SortedRewrite, ReversedTwinAndReadingFromTheLastRecord)
{
    test::TestContext t;
    const std::vector<TMachineRecord> recs = {Machine("B", "1"), Machine("A"), Machine("B", "2")};
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), recs);
    // The twin holds the records from the last to the first; ties keep file order.
    ASSERT_TRUE(SortedRewrite<TMachineRecord>(
        t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"), ByField(&TMachineRecord::Codigo),
        KeyIsDeleted(&TMachineRecord::Codigo), TwinVariant::CopyReversed));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MBK")), Bytes({recs[2], recs[1], recs[0]}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), Bytes({recs[1], recs[0], recs[2]}));
    // Read from the last record: the copy twin is reversed and ties meet in that order.
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), recs);
    ASSERT_TRUE(SortedRewrite<TMachineRecord>(
        t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"), ByField(&TMachineRecord::Codigo),
        KeyIsDeleted(&TMachineRecord::Codigo), TwinVariant::Copy, true, LoadOrder::LastToFirst));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MBK")), Bytes({recs[2], recs[1], recs[0]}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), Bytes({recs[1], recs[2], recs[0]}));
}

TEST(SortedRewrite, MissingFileIsReportedAndNothingIsCreated)
{
    test::TestContext t;
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    EXPECT_FALSE(SortedRewrite<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"),
                                               ByField(&TMachineRecord::Codigo),
                                               KeyIsDeleted(&TMachineRecord::Codigo)));
    EXPECT_FALSE(t.Exists(QStringLiteral("E.MQW")));
    EXPECT_FALSE(t.Exists(QStringLiteral("E.MBK")));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(SortedRewrite, AFailureWhileWritingLeavesTheDataFileIntact)
{
    test::TestContext t;
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), std::vector<TMachineRecord>{Machine("B"), Machine("A")});
    const std::string old = t.ReadFile(QStringLiteral("E.MQW"));
    FileFaults faults;
    faults.inject = [&](FileOp op, const QString& path) {
        return op == FileOp::Rename && path.endsWith(QLatin1String("E.MQW")) ? EIO : 0;
    };
    t.ctx.faults = &faults;
    EXPECT_THROW(SortedRewrite<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"),
                                               ByField(&TMachineRecord::Codigo),
                                               KeyIsDeleted(&TMachineRecord::Codigo)),
                 IoAbort);
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), old);
}

struct Node
{
    int key;
    char tag;
};

TEST(OrderedList, EqualKeysKeepTheirArrivalOrder)
{
    std::vector<Node> asc;
    const auto before = [](const Node& a, const Node& b) { return a.key < b.key; };
    for (Node n : {Node{2, 'a'}, Node{1, 'b'}, Node{2, 'c'}, Node{1, 'd'}, Node{3, 'e'}})
        InsertOrdered(asc, n, before);
    std::string tags;
    for (const Node& n : asc)
        tags += n.tag;
    EXPECT_EQ(tags, "bdace");

    // The descending word list: a new node goes after every node whose key is not smaller.
    std::vector<Node> desc;
    for (Node n : {Node{2, 'a'}, Node{5, 'b'}, Node{2, 'c'}, Node{7, 'd'}, Node{5, 'e'}})
        InsertNodeByKey(desc, n, [](const Node& x) { return x.key; });
    tags.clear();
    for (const Node& n : desc)
        tags += n.tag;
    EXPECT_EQ(tags, "dbeac");
    FreeNodeList(desc);
    EXPECT_TRUE(desc.empty());
}

TEST(OrderedList, LoadKeepsPositionsAndReadingDirectionDecidesTies)
{
    test::TestContext t;
    StoreRecords(t.ctx, QStringLiteral("E.MQW"),
                 std::vector<TMachineRecord>{Machine("B", "1"), Machine("A", "2"), Machine("B", "3")});
    const auto fwd =
        LoadOrderedList<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"), ByField(&TMachineRecord::Codigo));
    ASSERT_EQ(fwd.size(), 3u);
    EXPECT_EQ(fwd[0].pos, 1u);
    EXPECT_EQ(fwd[1].pos, 0u);
    EXPECT_EQ(fwd[2].pos, 2u);
    const auto back = LoadOrderedList<TMachineRecord>(
        t.ctx, QStringLiteral("E.MQW"), ByField(&TMachineRecord::Codigo), LoadOrder::LastToFirst);
    EXPECT_EQ(back[1].pos, 2u);
    EXPECT_EQ(back[2].pos, 0u);
}

} // namespace
} // namespace gim
