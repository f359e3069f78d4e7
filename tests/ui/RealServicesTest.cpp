// The services as the program installs them, on a machine without a sound device or viewer.

#include "platform/ui/RealServices.h"
#include "platform/ui/sound/SoundModule.h"
#include "platform/ui/testing/UiTesting.h"
#include "tests/common/TestLibrary.h"
#include "tests/support/TestDriver.h"

#include <chrono>
#include <dlfcn.h>
#include <functional>
#include <gtest/gtest.h>
#include <string>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

// The sound runs on the screen's thread, as in the program, with a wave file that is not one.
class DeviceSoundTest : public ::testing::Test {
protected:
    DeviceSoundTest() {
        testing_support::WriteFile(m_folder.File("sound1.wav"), "RIFF not really a wave");
    }
    void Run(const std::function<void()>& work) {
        m_driver.Run(work, [](CScript& s) { EXPECT_TRUE(s.WaitForProgramEnd()); });
    }

    CTestDriver m_driver;
    testing_support::TempFolder m_folder;
    const CString m_strWave = CString::FromUtf8(m_folder.File("sound1.wav"));
};

// The player module as the build makes it, and one that is not there.
TEST_F(DeviceSoundTest, WithoutADeviceFailsAtOnceAndStopsCleanly) {
    Run([&] {
        CDeviceSound sound(CString::FromUtf8(LOMEVA_SOUND_MODULE));
        const auto start = std::chrono::steady_clock::now();
        sound.PlaySound(m_strWave.GetString(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP);
        sound.PlaySound(u"/no/such/sound.wav", nullptr, SND_FILENAME | SND_ASYNC);
        EXPECT_TRUE(sound.PlaySound(nullptr, nullptr, SND_FILENAME | SND_ASYNC));
        // Never blocks: nothing here waits for a device.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_FALSE(sound.PlaySound(u"/no/such/sound.wav", nullptr, SND_FILENAME));
    });
}

// The module's own edge, as CDeviceSound finds it: every function there and a player made.
TEST_F(DeviceSoundTest, ThePlayerModuleLoadsAndMakesAPlayer) {
    Run([] {
        void* module = ::dlopen(LOMEVA_SOUND_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << ::dlerror();
        const auto create =
            reinterpret_cast<LomevaSoundCreate>(::dlsym(module, SoundModule::kCreate));
        const auto play = reinterpret_cast<LomevaSoundPlay>(::dlsym(module, SoundModule::kPlay));
        const auto stop = reinterpret_cast<LomevaSoundStop>(::dlsym(module, SoundModule::kStop));
        const auto destroy =
            reinterpret_cast<LomevaSoundDestroy>(::dlsym(module, SoundModule::kDestroy));
        ASSERT_TRUE(create != nullptr && play != nullptr && stop != nullptr && destroy != nullptr);
        LomevaSoundPlayer* player = create();
        ASSERT_NE(player, nullptr);
        const std::u16string missing = u"/no/such/sound.wav";
        EXPECT_EQ(play(player, missing.data(), missing.size(), 1), 0);
        stop(player);
        destroy(player);
    });
}

bool ModuleIsLoaded() {
    void* handle = ::dlopen(LOMEVA_SOUND_MODULE, RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) {
        ::dlclose(handle); // only the reference taken here
    }
    return handle != nullptr;
}

// The reader's own player: the module beside the executable, loaded at the first play and not
// with the program. (Each test runs in a process of its own under ctest; run together in one
// process, an earlier test may have loaded the module already.)
TEST_F(DeviceSoundTest, ThePlayerModuleIsLoadedFromTheProgramFolderAtTheFirstPlay) {
    const std::string module = LOMEVA_SOUND_MODULE;
    UiTesting::SetModuleFileName(
        CString::FromUtf8(module.substr(0, module.rfind('/') + 1) + "lomeva"));
    Run([&] {
        const bool loadedBefore = ModuleIsLoaded();
        CDeviceSound sound;
        if (!loadedBefore) {
            EXPECT_FALSE(ModuleIsLoaded());
        }
        sound.PlaySound(m_strWave.GetString(), nullptr, SND_FILENAME | SND_LOOP);
        EXPECT_TRUE(ModuleIsLoaded());
    });
    UiTesting::SetModuleFileName(CString());
}

TEST_F(DeviceSoundTest, WithoutItsModulePlaysNothing) {
    Run([&] {
        CDeviceSound sound(CString::FromUtf8(m_folder.File("liblomeva_sound.so")));
        EXPECT_FALSE(sound.PlaySound(m_strWave.GetString(), nullptr, SND_FILENAME | SND_LOOP));
        EXPECT_FALSE(sound.PlaySound(m_strWave.GetString(), nullptr, SND_FILENAME | SND_NOSTOP));
        EXPECT_TRUE(sound.PlaySound(nullptr, nullptr, SND_FILENAME));
    });
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
