#include "core/operations.h"

#include "support/test_context.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace gim {
namespace {

std::string Refusal(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "no refusal";
}

TEST(OperationIds, EachNameIsItsIdentifier)
{
    // The first and the last of each list, and one of either kind through a requirement.
    EXPECT_STREQ(Name(Op::LoadEnvironment), "LoadEnvironment");
    EXPECT_STREQ(Name(Op::AddMachines), "AddMachines");
    EXPECT_STREQ(Name(Op::EditarEnergias), "EditarEnergias");
    EXPECT_STREQ(Name(Cond::ContinueFlag), "ContinueFlag");
    EXPECT_STREQ(Name(Cond::PersonnelEntryPosted), "PersonnelEntryPosted");
    EXPECT_STREQ(Name(Requirement(Cond::MachineCardRequest)), "MachineCardRequest");
    EXPECT_STREQ(Name(Requirement(Op::ListMachines)), "ListMachines");
}

TEST(OperationRegistry, RunsWhatIsRegisteredAndRefusesTheRestByName)
{
    test::TestContext t;
    OperationRegistry registry;
    QStringList ran;
    registry.Register(Op::AddMachines, [&](Context&) { ran << QStringLiteral("first"); });
    registry.Register(Op::AddMachines, [&](Context&) { ran << QStringLiteral("second"); });
    registry.Run(t.ctx, Op::AddMachines);
    EXPECT_EQ(ran, QStringList{"second"}) << "a later registration replaces the earlier one";

    EXPECT_FALSE(registry.Has(Op::SortMachineFile));
    EXPECT_FALSE(registry.RunIfRegistered(t.ctx, Op::SortMachineFile));
    EXPECT_EQ(Refusal([&] { registry.Run(t.ctx, Op::SortMachineFile); }),
              "operation not registered: SortMachineFile");
    EXPECT_EQ(Refusal([&] { registry.Holds(t.ctx, Cond::RevisionPosted); }),
              "condition not registered: RevisionPosted");

    // An operation on a chosen file counts as registered but runs only with its file.
    QString merged;
    registry.RegisterFileOperation(Op::MergeWorkReportFile,
                                   [&](Context&, const QString& path) { merged = path; });
    EXPECT_TRUE(registry.Has(Op::MergeWorkReportFile));
    EXPECT_TRUE(registry.Has(Requirement(Op::MergeWorkReportFile)));
    EXPECT_EQ(Refusal([&] { registry.Run(t.ctx, Op::MergeWorkReportFile); }),
              "operation not registered: MergeWorkReportFile");
    registry.RunWithFile(t.ctx, Op::MergeWorkReportFile, QStringLiteral("/datos/P.pda"));
    EXPECT_EQ(merged, "/datos/P.pda");
    EXPECT_EQ(Refusal([&] { registry.RunWithFile(t.ctx, Op::AddMachines, QString()); }),
              "file operation not registered: AddMachines");
}

TEST(OperationRegistry, ConditionsHoldOrAreNegatedAsTheStepSays)
{
    test::TestContext t;
    OperationRegistry registry;
    EXPECT_FALSE(registry.Has(Cond::ContinueFlag));
    EXPECT_FALSE(registry.Has(Requirement(Cond::ContinueFlag)));
    registry.RegisterCondition(Cond::ContinueFlag,
                               [](const Context& ctx) { return ctx.st.ContinueFlag != 0; });
    EXPECT_TRUE(registry.Has(Requirement(Cond::ContinueFlag)));
    EXPECT_FALSE(registry.Has(Requirement(Op::ContinuePlanFromEnvironment)));

    t.ctx.st.ContinueFlag = 1;
    EXPECT_TRUE(registry.Holds(t.ctx, Cond::ContinueFlag));
    EXPECT_FALSE(registry.Holds(t.ctx, Not(Cond::ContinueFlag)));
    t.ctx.st.ContinueFlag = 0;
    EXPECT_FALSE(registry.Holds(t.ctx, Cond::ContinueFlag));
    EXPECT_TRUE(registry.Holds(t.ctx, Not(Cond::ContinueFlag)));
}

} // namespace
} // namespace gim
