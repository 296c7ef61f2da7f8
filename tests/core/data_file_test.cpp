#include "core/command.h"
#include "core/data_file.h"
#include "records/machine_record.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>

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

TEST(SortedRewrite, AFieldLongerThanItsSortPrefixIsOrderedByAllOfIt)
{
    test::TestContext t;
    using namespace std::string_view_literals;
    // Names alike in their first eight bytes, a trailing NUL, unsigned bytes and a repeated name.
    const std::vector<std::pair<const char*, std::string_view>> names = {{"1", "PRENSA HIDRAULICA 2"sv},
                                                                         {"2", "PRENSA HIDRAULICA 10"sv},
                                                                         {"3", "\xC1RBOL"sv},
                                                                         {"4", "PRENSA\0"sv},
                                                                         {"5", "PRENSA HIDRAULICA 2"sv},
                                                                         {"6", "PRENSA"sv},
                                                                         {"7", "PRENSAS"sv}};
    std::vector<TMachineRecord> recs;
    for (const auto& [code, name] : names) {
        recs.push_back(Machine(code));
        recs.back().Denominacion.setBytes(name);
    }
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), recs);
    ASSERT_TRUE(SortedRewrite<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"),
                                              ByField(&TMachineRecord::Denominacion),
                                              KeyIsDeleted(&TMachineRecord::Codigo)));
    EXPECT_EQ(Codes(LoadRecords<TMachineRecord>(t.ctx, QStringLiteral("E.MQW"))),
              (std::vector<std::string>{"6", "4", "2", "1", "5", "7", "3"}));
}

TEST(SortedRewrite, RenameVariantKeepsTheOldFileAsItStood)
{
    test::TestContext t;
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), std::vector<TMachineRecord>{Machine("B"), Machine("A")});
    const std::string torn = t.ReadFile(QStringLiteral("E.MQW")) + "cola";
    t.WriteFile(QStringLiteral("E.MQW"), torn);
    ASSERT_TRUE(SortedRewrite<TMachineRecord>(
        t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"), ByField(&TMachineRecord::Codigo),
        KeyIsDeleted(&TMachineRecord::Codigo), {.twin = TwinVariant::Rename}));
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
        KeyIsDeleted(&TMachineRecord::Codigo), {.twin = TwinVariant::CopyReversed}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MBK")), Bytes({recs[2], recs[1], recs[0]}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), Bytes({recs[1], recs[0], recs[2]}));
    // Read from the last record: the copy twin is reversed and ties meet in that order.
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), recs);
    ASSERT_TRUE(SortedRewrite<TMachineRecord>(
        t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK"), ByField(&TMachineRecord::Codigo),
        KeyIsDeleted(&TMachineRecord::Codigo), {.twin = TwinVariant::Copy, .order = LoadOrder::LastToFirst}));
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

TEST(OrderedList, TheHeadTakesAnEqualKeyAndAWholeListOrdersAsOneByOneInsertion)
{
    // Descending: a node equal to the head goes before it; elsewhere after its equals.
    const auto before = [](const Node& a, const Node& b) { return a.key > b.key; };
    std::vector<Node> one;
    const std::vector<Node> arrivals = {{2, 'a'}, {2, 'b'}, {1, 'c'}, {1, 'd'}, {2, 'e'},
                                        {3, 'f'}, {2, 'g'}, {3, 'h'}, {0, 'i'}};
    for (Node n : arrivals)
        InsertOrderedHeadFirst(one, n, before);
    std::string tags;
    for (const Node& n : one)
        tags += n.tag;
    EXPECT_EQ(tags, "hfebagcdi");

    std::vector<Node> whole = arrivals;
    OrderAsInserted(whole, before, TieRule::HeadFirst);
    tags.clear();
    for (const Node& n : whole)
        tags += n.tag;
    EXPECT_EQ(tags, "hfebagcdi");

    // Arrivals in ascending order (a descending file read from its end) come out reversed.
    std::vector<Node> rising = {{1, 'a'}, {1, 'b'}, {2, 'c'}, {2, 'd'}, {5, 'e'}};
    OrderAsInserted(rising, before, TieRule::HeadFirst);
    tags.clear();
    for (const Node& n : rising)
        tags += n.tag;
    EXPECT_EQ(tags, "edcba");

    // Many small keys, many ties: the whole-list order is the one-by-one order.
    std::uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        std::vector<Node> items;
        for (int i = 0; i < 40; ++i) {
            seed = seed * 1103515245u + 12345u;
            items.push_back({static_cast<int>((seed >> 16) % 5), static_cast<char>('A' + i)});
        }
        std::vector<Node> inserted;
        for (Node n : items)
            InsertOrderedHeadFirst(inserted, n, before);
        OrderAsInserted(items, before, TieRule::HeadFirst);
        std::string a, b;
        for (std::size_t i = 0; i < items.size(); ++i) {
            a += items[i].tag;
            b += inserted[i].tag;
        }
        ASSERT_EQ(a, b) << "round " << round;
    }
}

TEST(OrderedList, AHeadFirstListPutsAKeyEqualToTheHeadsFirstAndWholeOrQueuedListsAgreeWithOneByOne)
{
    // Descending keys: 5 then 5 again takes the head; 3 goes after its equals; 7 leads; 5 now follows.
    const auto before = [](const Node& a, const Node& b) { return a.key > b.key; };
    std::vector<Node> list;
    const std::vector<Node> arrivals{{5, 'a'}, {5, 'b'}, {3, 'c'}, {3, 'd'},
                                     {7, 'e'}, {5, 'f'}, {7, 'g'}, {1, 'h'}};
    for (const Node& n : arrivals)
        InsertOrderedHeadFirst(list, n, before);
    std::string tags;
    for (const Node& n : list)
        tags += n.tag;
    EXPECT_EQ(tags, "gebafcdh");

    std::vector<Node> whole = arrivals;
    OrderAsInserted(whole, before, TieRule::HeadFirst);
    std::string wholeTags;
    for (const Node& n : whole)
        wholeTags += n.tag;
    EXPECT_EQ(wholeTags, "gebafcdh");

    // Many ties over a few keys, in both directions of order.
    std::uint32_t seed = 12345;
    for (int round = 0; round < 50; ++round) {
        std::vector<Node> items;
        for (int i = 0; i < 60; ++i) {
            seed = seed * 1103515245u + 12345u;
            items.push_back({static_cast<int>((seed >> 16) % 6), static_cast<char>(i)});
        }
        for (const bool descending : {true, false}) {
            const auto order = [descending](const Node& a, const Node& b) {
                return descending ? a.key > b.key : a.key < b.key;
            };
            std::vector<Node> oneByOne;
            for (const Node& n : items)
                InsertOrderedHeadFirst(oneByOne, n, order);
            std::vector<Node> sorted = items;
            OrderAsInserted(sorted, order, TieRule::HeadFirst);
            std::string a, b;
            for (const Node& n : oneByOne)
                a += n.tag;
            for (const Node& n : sorted)
                b += n.tag;
            ASSERT_EQ(a, b) << "round " << round;
            // The last 50 queued at the end of the list the first 10 made, and settled at once.
            std::vector<Node> queued;
            for (std::size_t i = 0; i < 10; ++i)
                InsertOrderedHeadFirst(queued, items[i], order);
            queued.insert(queued.end(), items.begin() + 10, items.end());
            SettleQueued(queued, 50, order, TieRule::HeadFirst);
            ASSERT_TRUE(std::equal(queued.begin(), queued.end(), oneByOne.begin(), oneByOne.end(),
                                   [](const Node& x, const Node& y) { return x.tag == y.tag; }))
                << "round " << round;
        }
    }
}

// A keyed file as the owners describe theirs: machines by code, read from the first record or the last.
struct CodeFile : TableFile<DataFile::Machine, TMachineRecord>
{
    static bool Before(const Record& a, const Record& b) { return a.Codigo < b.Codigo; }
    static bool SameKey(const Record& a, const Record& b) { return a.Codigo == b.Codigo; }
    static bool Deleted(const Record& r) { return r.Codigo == "Z"; }
};
struct BackwardCodeFile : CodeFile
{
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
};

TEST(KeyedFile, LoadKeepsPositionsAndReadingDirectionDecidesTies)
{
    test::TestContext t;
    StoreRecords(t.ctx, QStringLiteral("E.MQW"),
                 std::vector<TMachineRecord>{Machine("B", "1"), Machine("A", "2"), Machine("B", "3")});
    const auto fwd = KeyedFile<CodeFile>(t.ctx, QStringLiteral("E.MQW")).LoadList();
    ASSERT_EQ(fwd.size(), 3u);
    EXPECT_EQ(fwd[0].pos, 1u);
    EXPECT_EQ(fwd[1].pos, 0u);
    EXPECT_EQ(fwd[2].pos, 2u);
    const auto back = KeyedFile<BackwardCodeFile>(t.ctx, QStringLiteral("E.MQW")).LoadList();
    EXPECT_EQ(back[1].pos, 2u);
    EXPECT_EQ(back[2].pos, 0u);
}

TEST(KeyedFile, AListReadInBlocksFromTheLastKeepsPositionsUnderOneProgressWindow)
{
    test::TestContext t;
    // Three blocks, the last one read short; seven keys that tie across the blocks.
    const std::uint32_t n = 2 * ((1u << 20) / sizeof(TMachineRecord)) + 3;
    std::vector<TMachineRecord> records;
    for (std::uint32_t i = 0; i < n; ++i)
        records.push_back(Machine(std::to_string(i % 7).c_str()));
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), records);
    std::vector<std::uint32_t> expected, positions; // key by key, equal keys as read: from the last
    for (std::uint32_t key = 0; key < 7; ++key)
        for (std::uint32_t pos = n; pos-- > 0;)
            if (pos % 7 == key)
                expected.push_back(pos);
    for (const auto& e : KeyedFile<BackwardCodeFile>(t.ctx, QStringLiteral("E.MQW"))
                             .LoadList(Report::Silent, QStringLiteral("CARGA")))
        positions.push_back(e.pos);
    EXPECT_EQ(positions, expected);
    EXPECT_EQ(t.ui.Transcript(), (QStringList{QStringLiteral("PROGRESS [CARGA] 0/13027"),
                                              QStringLiteral("PROGRESS END 13027/13027")}));
}

TEST(DataFileNames, ADataFileIsRemovedWhateverItsCaseAndATwinThatStaysStopsTheRewrite)
{
    test::TestContext t;
    // A twin that cannot be removed stops the rewrite before the file is created.
    t.WriteFile(QStringLiteral("e.mbk"), "x");
    FileFaults injected;
    injected.inject = [](FileOp op, const QString&) { return op == FileOp::Remove ? EACCES : 0; };
    t.ctx.faults = &injected;
    t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    EXPECT_FALSE(
        KeyedFile<CodeFile>(t.ctx, QStringLiteral("E.MQW"), QStringLiteral("E.MBK")).Rewrite({Machine("A")}));
    EXPECT_FALSE(t.Exists(QStringLiteral("E.MQW")));
    t.ctx.faults = nullptr;
    EXPECT_TRUE(RemoveDataFile(t.ctx, QStringLiteral("E.MBK")).ok());
    EXPECT_FALSE(t.Exists(QStringLiteral("e.mbk")));
    EXPECT_TRUE(RemoveDataFile(t.ctx, QStringLiteral("E.MBK")).ok()); // what is not there counts as removed
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(KeyedFile, ReadAtGivesOneRecordAndNothingPastTheLastWholeOne)
{
    test::TestContext t;
    const KeyedFile<CodeFile> file(t.ctx, QStringLiteral("E.MQW"));
    // No file: nothing, and the silent caller finds the error kept, no message shown.
    EXPECT_FALSE(file.ReadAt(0, Report::Silent).has_value());
    EXPECT_EQ(t.ctx.st.LastIOResult, 2);

    const std::vector<TMachineRecord> stored = {Machine("A", "1"), Machine("B", "2"), Machine("C", "3")};
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), stored);
    t.WriteFile(QStringLiteral("E.MQW"), t.ReadFile(QStringLiteral("E.MQW")) + "cola");
    const std::optional<TMachineRecord> second = file.ReadAt(1, Report::Silent);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(Bytes({*second}), Bytes({stored[1]}));
    EXPECT_EQ(t.ctx.st.LastIOResult, 0);
    ASSERT_TRUE(file.ReadAt(2).has_value());
    EXPECT_TRUE(file.ReadAt(2)->Denominacion == "3");
    // The torn tail is no record.
    EXPECT_FALSE(file.ReadAt(3).has_value());
    EXPECT_FALSE(file.ReadAt(std::uint64_t{1} << 40).has_value());
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(KeyedFile, AppendUniqueCreatesTheFileOnceAndRefusesAKeyAlreadyStored)
{
    test::TestContext t;
    KeyedFile<CodeFile> file(t.ctx, QStringLiteral("E.MQW"));
    std::uint32_t position = 99;
    EXPECT_EQ(file.AppendUnique(Machine("B"), position), AppendResult::Stored);
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(file.AppendUnique(Machine("A"), position), AppendResult::Stored);
    EXPECT_EQ(position, 1u);
    EXPECT_EQ(file.AppendUnique(Machine("B", "otra"), position), AppendResult::Duplicate);
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), Bytes({Machine("B"), Machine("A")}));
    EXPECT_SCRIPT_DONE(t.ui);
}

struct OrderedCodeFile : CodeFile
{
    static constexpr bool kSameKeyInOrder = true;
};

// A sorted file is searched by halves up to where its order is known, the rest one by one: but for the
// first, each case leaves "E" where a search by halves over the whole file would miss it.
TEST(KeyedFile, AppendUniqueFindsAKeyInTheSortedPartAndInWhatCameAfterIt)
{
    const auto sorted = [](Context& ctx) {
        StoreRecords(ctx, QStringLiteral("E.MQW"), std::vector{Machine("A"), Machine("C"), Machine("E")});
        KeyedFile<OrderedCodeFile>(ctx, QStringLiteral("E.MQW")).Sort();
    };
    struct Case
    {
        const char* what;
        std::function<void(Context&)> after; // what happens to the sorted file before the append
        std::uint32_t position;              // where "E" is found
    };
    const Case cases[] = {
        {"a key of the sorted part", [](Context&) {}, 2},
        {"a write in place ahead of it",
         [](Context& ctx) {
             auto list = KeyedFile<OrderedCodeFile>(ctx, QStringLiteral("E.MQW")).LoadList();
             KeyedFile<OrderedCodeFile>(ctx, QStringLiteral("E.MQW")).WriteAt(list[1], Machine("X"));
         },
         2},
        {"appended after the sort",
         [](Context& ctx) {
             StoreRecords(ctx, QStringLiteral("E.MQW"), std::vector{Machine("A"), Machine("C")});
             KeyedFile<OrderedCodeFile>(ctx, QStringLiteral("E.MQW")).Sort();
             KeyedFile<OrderedCodeFile>(ctx, QStringLiteral("E.MQW")).Append(Machine("X"));
             KeyedFile<OrderedCodeFile>(ctx, QStringLiteral("E.MQW")).Append(Machine("E"));
         },
         3},
        {"the file replaced by another program",
         [](Context& ctx) {
             StoreRecords(ctx, QStringLiteral("E.MQW"),
                          std::vector{Machine("G"), Machine("X"), Machine("E")});
         },
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestContext t;
        sorted(t.ctx);
        c.after(t.ctx);
        const std::string before = t.ReadFile(QStringLiteral("E.MQW"));
        std::uint32_t position = 99;
        EXPECT_EQ(
            KeyedFile<OrderedCodeFile>(t.ctx, QStringLiteral("E.MQW")).AppendUnique(Machine("E"), position),
            AppendResult::Duplicate);
        EXPECT_EQ(position, c.position);
        EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), before);
        EXPECT_SCRIPT_DONE(t.ui);
    }
}

TEST(KeyedFile, EveryRecordOfAKeyIsFoundInFileOrderInTheSortedPartAndAfterIt)
{
    test::TestContext t;
    KeyedFile<OrderedCodeFile> file(t.ctx, QStringLiteral("E.MQW"));
    StoreRecords(t.ctx, QStringLiteral("E.MQW"),
                 std::vector{Machine("C", "1"), Machine("A"), Machine("C", "2"), Machine("E")});
    file.Sort();
    // A record rewritten with its key keeps the file's order known; then two more come after the sort.
    auto list = file.LoadList();
    ASSERT_EQ(file.WriteAt(list[2], Machine("C", "2b")), WriteResult::Written);
    file.Append(Machine("C", "3"));
    file.Append(Machine("B"));
    const auto found = file.FindAllByKey(Machine("C"));
    ASSERT_TRUE(found);
    std::vector<std::pair<std::uint32_t, std::string>> got;
    for (const auto& e : *found)
        got.emplace_back(e.pos, std::string(e.rec.Denominacion.bytes()));
    EXPECT_EQ(got, (std::vector<std::pair<std::uint32_t, std::string>>{{1, "1"}, {2, "2b"}, {4, "3"}}));
    EXPECT_TRUE(file.FindAllByKey(Machine("D"))->empty());
}

// A file never sorted whose look-ups go through the keys remembered of it.
struct AppendedCodeFile : CodeFile
{
    static std::string_view Key(const Record& r) { return r.Codigo.bytes(); }
};

TEST(KeyedFile, RememberedKeysFollowAppendsWritesInPlaceAndAReplacedFile)
{
    const QString name = QStringLiteral("E.MQW");
    // Another program writes `r` at record `index` of the same file (after the last: an append).
    const auto elsewhere = [&](test::TestContext& t, const TMachineRecord& r, std::size_t index) {
        t.WriteFile(name, t.ReadFile(name).replace(index * sizeof r, sizeof r, Bytes({r})));
    };
    using Ctx = test::TestContext;
    const struct
    {
        const char* what;
        std::function<void(Ctx&)> after; // what happens once the keys are learnt
        const char* key;
        AppendResult result;
        std::uint32_t position;
    } cases[] = {
        {"appended by this program", [](Ctx&) {}, "B", AppendResult::Duplicate, 2},
        {"appended by another program", [&](Ctx& t) { elsewhere(t, Machine("E"), 3); }, "E",
         AppendResult::Duplicate, 3},
        {"written in place by another program", [&](Ctx& t) { elsewhere(t, Machine("E"), 1); }, "E",
         AppendResult::Duplicate, 1},
        {"erased in place by another program", [&](Ctx& t) { elsewhere(t, Machine("Z"), 0); }, "A",
         AppendResult::Stored, 3},
        {"written in place by this program",
         [&](Ctx& t) {
             auto list = KeyedFile<AppendedCodeFile>(t.ctx, name).LoadList(); // "C" at 1 is the last
             KeyedFile<AppendedCodeFile>(t.ctx, name).WriteAt(list[2], Machine("E"));
         },
         "E", AppendResult::Duplicate, 1},
        {"replaced by another program", [&](Ctx& t) { StoreRecords(t.ctx, name, std::vector{Machine("E")}); },
         "E", AppendResult::Duplicate, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestContext t;
        StoreRecords(t.ctx, name, std::vector{Machine("A"), Machine("C")});
        KeyedFile<AppendedCodeFile> file(t.ctx, name);
        std::uint32_t position = 99;
        ASSERT_EQ(file.AppendUnique(Machine("B"), position), AppendResult::Stored);
        c.after(t);
        EXPECT_EQ(file.AppendUnique(Machine(c.key, "nuevo"), position), c.result);
        EXPECT_EQ(position, c.position);
        EXPECT_EQ(file.FindByKey(Machine(c.key)), std::optional<std::size_t>(position));
    }
}

TEST(KeyedFile, AWriteAtAnEntryChecksTheRecordThereWhenItWrites)
{
    test::TestContext t;
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), std::vector<TMachineRecord>{Machine("A"), Machine("C")});
    KeyedFile<CodeFile> file(t.ctx, QStringLiteral("E.MQW"));
    auto list = file.LoadList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(file.WriteAt(list[1], Machine("C", "nuevo")), WriteResult::Written);
    EXPECT_TRUE(list[1].rec.Denominacion == "nuevo");
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), Bytes({Machine("A"), Machine("C", "nuevo")}));

    // Another program saves the file meanwhile: its sorted rewrite puts "B" where "C" stood.
    const std::string replacing = Bytes({Machine("A"), Machine("B"), Machine("C", "nuevo")});
    t.WriteFile(QStringLiteral("E.MQW.new"), replacing);
    ASSERT_EQ(std::rename(QFile::encodeName(t.Path(QStringLiteral("E.MQW.new"))).constData(),
                          QFile::encodeName(t.Path(QStringLiteral("E.MQW"))).constData()),
              0);
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    EXPECT_EQ(file.WriteAt(list[1], Machine("C", "perdido")), WriteResult::Moved);
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), replacing);
    // The same key with other contents is another program's edit, not ours to overwrite.
    list = file.LoadList();
    t.WriteFile(QStringLiteral("E.MQW"), Bytes({Machine("A"), Machine("B"), Machine("C", "suyo")}));
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    EXPECT_EQ(file.WriteAt(list[2], Machine("C", "mio")), WriteResult::Moved);
    EXPECT_TRUE(list[2].rec.Denominacion == "nuevo");
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(DataFileNames, AFileIsFoundWhateverItsCaseAndKeepsItsSpelling)
{
    test::TestContext t;
    t.WriteFile(QStringLiteral("planta.mqw"), Bytes({Machine("B"), Machine("A")}));
    KeyedFile<CodeFile> file(t.ctx, QStringLiteral("PLANTA.MQW"));
    EXPECT_TRUE(file.Exists());
    ASSERT_EQ(file.LoadList().size(), 2u);
    std::uint32_t position = 0;
    EXPECT_EQ(file.AppendUnique(Machine("C"), position), AppendResult::Stored);
    ASSERT_TRUE(
        KeyedFile<CodeFile>(t.ctx, QStringLiteral("PLANTA.MQW"), QStringLiteral("PLANTA.MBK")).Sort());
    // The file keeps its own name; a new file (the twin) takes the name asked for.
    EXPECT_EQ(t.ReadFile(QStringLiteral("planta.mqw")), Bytes({Machine("A"), Machine("B"), Machine("C")}));
    EXPECT_TRUE(QFile::exists(t.ctx.st.WorkDir + QStringLiteral("/PLANTA.MBK")));
    EXPECT_FALSE(QFile::exists(t.ctx.st.WorkDir + QStringLiteral("/PLANTA.MQW")));
    EXPECT_FALSE(QFile::exists(t.ctx.st.WorkDir + QStringLiteral("/planta.mbk")));
}

TEST(DataFileNames, TwoSpellingsOfOneNamePreferTheExactThenTheUpperCase)
{
    test::TestContext t;
    for (const char* name : {"Planta.Mqw", "PLANTA.MQW"}) {
        QFile f(t.ctx.st.WorkDir + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(t.ctx.Path(QStringLiteral("planta.mqw")), t.ctx.st.WorkDir + QStringLiteral("/PLANTA.MQW"));
    EXPECT_EQ(t.ctx.Path(QStringLiteral("Planta.Mqw")), t.ctx.st.WorkDir + QStringLiteral("/Planta.Mqw"));
}

TEST(WriteProtection, AProtectedFileIsReadButNeverWrittenNorReplaced)
{
    test::TestContext t;
    const std::string bytes = Bytes({Machine("B"), Machine("A")});
    t.WriteFile(QStringLiteral("E.MQW"), bytes);
    test::WriteProtect(t.Path(QStringLiteral("E.MQW")));
    const std::string failures = test::RunUnprivileged(t.ctx.st.WorkDir, [&]() -> std::string {
        KeyedFile<CodeFile> file(t.ctx, QStringLiteral("E.MQW"));
        auto list = file.LoadList();
        if (list.size() != 2)
            return "the protected file was not read";
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (file.WriteAt(list[0], Machine("A", "cambio")) != WriteResult::Failed)
            return "a write went through";
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        std::uint32_t position = 0;
        if (file.AppendUnique(Machine("C"), position) != AppendResult::Failed)
            return "an append went through";
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (file.Sort())
            return "the sort went through";
        if (t.ctx.st.LastIOResult != 5)
            return "LastIOResult is " + std::to_string(t.ctx.st.LastIOResult);
        try {
            StoreRecords(t.ctx, QStringLiteral("E.MQW"), std::vector<TMachineRecord>{});
            return "a whole rewrite replaced the file";
        } catch (const IoAbort& e) {
            if (e.code() != 5)
                return "the rewrite failed with " + std::to_string(e.code());
        }
        const QString problems = t.ui.Verify();
        return problems.toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), bytes);
    EXPECT_FALSE(t.Exists(QStringLiteral("E.MBK")));
}

TEST(WriteLock, AWriteWaitsForAnotherProgramAndGivesUpWithAMessage)
{
    test::TestContext t;
    const std::string bytes = Bytes({Machine("A")});
    t.WriteFile(QStringLiteral("E.MQW"), bytes);
    // Another program holds the folder's lock and does not let go.
    const int other =
        ::open(QFile::encodeName(t.Path(QStringLiteral("GIM.LCK"))).constData(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    struct flock range
    {
    };
    range.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(other, F_OFD_SETLK, &range), 0);
    // Reads do not wait.
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(KeyedFile<CodeFile>(t.ctx, QStringLiteral("E.MQW")).LoadList().size(), 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    t.ui.ExpectMessage(QStringLiteral("FICHERO BLOQUEADO POR OTRO PROGRAMA"));
    EXPECT_FALSE(RunCommand(t.ctx, {}, [&] {
        std::uint32_t position = 0;
        KeyedFile<CodeFile>(t.ctx, QStringLiteral("E.MQW")).AppendUnique(Machine("B"), position);
    }));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    EXPECT_EQ(t.ctx.st.LastIOResult, 33);
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), bytes);
    // Once it lets go, the write goes through.
    ::close(other);
    std::uint32_t position = 0;
    EXPECT_EQ(KeyedFile<CodeFile>(t.ctx, QStringLiteral("E.MQW")).AppendUnique(Machine("B"), position),
              AppendResult::Stored);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(RecordFile, AnAppendCutShortByAFullDiskLeavesTheFileAsItWas)
{
    test::TestContext t;
    const std::string bytes = Bytes({Machine("A"), Machine("B")});
    t.WriteFile(QStringLiteral("E.MQW"), bytes);
    ::chmod(QFile::encodeName(t.Path(QStringLiteral("E.MQW"))).constData(), 0666);
    // A file-size limit makes the system write part of the record and then refuse the rest, as a disk
    // that fills up does.
    const std::string failures = test::RunUnprivileged(t.ctx.st.WorkDir, [&]() -> std::string {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes.size() + 100, bytes.size() + 100};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return "no file-size limit";
        RecordFile<TMachineRecord> file(t.ctx);
        if (!file.Open(QStringLiteral("E.MQW"), RawRecordFile::Mode::Update))
            return "not opened";
        try {
            file.Append(Machine("C"));
            return "the append did not fail";
        } catch (const IoAbort& e) {
            return e.code() == 101 ? "" : "failed with " + std::to_string(e.code());
        }
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.MQW")), bytes);
}

} // namespace
} // namespace gim
