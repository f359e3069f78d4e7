// The driver's own guard: a run that does not end by itself is ended, and the test fails.

#include "platform/ui/Dialog.h"
#include "tests/support/TestDriver.h"
#include "tests/ui/TestTemplates.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

INT_PTR g_result = 0;

// The script never ends the screen, and takes longer than the run may.
void RunThatOverstaysItsLimit() {
    RegisterTestTemplates();
    CTestDriver driver;
    driver.Run([] { g_result = CDialog(kBareDialog).DoModal(); },
               [](CScript& s) { s.Pause(std::chrono::seconds(3)); }, std::chrono::seconds(1));
}

TEST(DriverTest, TheWatchdogEndsARunThatTakesTooLongAndFailsTheTest) {
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(RunThatOverstaysItsLimit(), "took longer than 1 s");
    EXPECT_EQ(g_result, IDCANCEL);
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

} // namespace
