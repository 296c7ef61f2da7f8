#pragma once

#include "platform/script/scripted_ui.h"

#include <gtest/gtest.h>

namespace gim::test {

// Success when the script was played to its end with nothing unexpected; otherwise the failures, the
// left-over expectations and the transcript.
inline ::testing::AssertionResult ScriptDone(const ScriptedUi& ui)
{
    const QString problems = ui.Verify();
    if (problems.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "script not played as written:\n" << problems.toStdString();
}

} // namespace gim::test

#define EXPECT_SCRIPT_DONE(ui) EXPECT_TRUE(::gim::test::ScriptDone(ui))
#define ASSERT_SCRIPT_DONE(ui) ASSERT_TRUE(::gim::test::ScriptDone(ui))
