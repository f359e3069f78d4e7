// The services as the program installs them, on a machine without a sound device or viewer.

#include "platform/ui/RealServices.h"
#include "tests/common/TestLibrary.h"
#include "tests/support/TestDriver.h"

#include <chrono>
#include <gtest/gtest.h>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

TEST(RealServices, SoundWithoutADeviceFailsAtOnceAndStopsCleanly) {
    CTestDriver driver;
    testing_support::TempFolder folder;
    testing_support::WriteFile(folder.File("sound1.wav"), "RIFF not really a wave");
    const CString path = CString::FromUtf8(folder.File("sound1.wav"));
    driver.Run(
        [&] {
            CDeviceSound sound;
            const auto start = std::chrono::steady_clock::now();
            sound.PlaySound(path.GetString(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP);
            sound.PlaySound(u"/no/such/sound.wav", nullptr, SND_FILENAME | SND_ASYNC);
            EXPECT_TRUE(sound.PlaySound(nullptr, nullptr, SND_FILENAME | SND_ASYNC));
            // Never blocks: nothing here waits for a device.
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
            EXPECT_FALSE(sound.PlaySound(u"/no/such/sound.wav", nullptr, SND_FILENAME));
        },
        [](CScript& s) { EXPECT_TRUE(s.WaitForProgramEnd()); });
}

TEST(RealServices, OnlyThePictureViewerIsLaunched) {
    CViewerLauncher launcher;
    SHELLEXECUTEINFO info{};
    info.cbSize = 60;
    info.lpVerb = u"open";
    info.lpFile = u"sh";
    info.lpParameters = u"-c 'touch /tmp/lomeva-launched'";
    EXPECT_FALSE(launcher.ShellExecuteEx(&info));
    info.lpFile = nullptr;
    EXPECT_FALSE(launcher.ShellExecuteEx(&info));
    EXPECT_FALSE(launcher.ShellExecuteEx(nullptr));
}

} // namespace
