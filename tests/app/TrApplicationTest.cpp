#include "TrChildProcess.h"
#include "TrTestPaths.h"

#include <gtest/gtest.h>

TEST (Headless, WithoutADisplayTheWindowedModeExplainsAndFails)
{
    const auto r = TrTest::runChild (TrTest::testrigExecutable(), {}, 60.0, { "DISPLAY", "WAYLAND_DISPLAY" });
    EXPECT_EQ (r.exitStatus, 1);
    EXPECT_TRUE (r.output.startsWith ("error: no display")) << r.output;
}
