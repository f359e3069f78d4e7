// A long session: every screen opened and closed again and again — the catalogue of 1,000 poems
// filling on its timer, the reader with its music, search, entry, and the options with a
// library switch. After every cycle no window (and so none of the timers windows own) is left,
// the music is stopped, and the resident set stays within a stated bound of where it settled.
//
// LOMEVA_SOAK_CYCLES sets the number of cycles (30 by default); README.md tells how to run
// the long variant.

#include "browse/CatalogDlg.h"
#include "browse/SearchDlg.h"
#include "entry/AddPoemDlg.h"
#include "platform/core/Sound.h"
#include "reading/PoemViewDlg.h"
#include "resources/ResourceIds.h"
#include "tests/options/OptionsFixture.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

using testing_support::CScript;

namespace {

// Growth of the resident set allowed between the end of the warm-up cycles and any later cycle:
// a little for the allocator to settle in (it moves by up to some 400 KiB in the first cycles
// after the warm-up, and then by a few dozen KiB over 1,000 cycles) and 1 KiB a cycle. Anything
// a cycle leaves behind adds up past it: the style's cached pixmaps once grew the resident set
// by 2.5 MiB in the 30 cycles of the short run and by 13 KiB a cycle over the long one. Under
// the sanitizers the allocator's quarantine alone grows past it, and LeakSanitizer checks for
// leaks at exit instead.
constexpr long kSettlingKiB = 1024;
constexpr long kGrowthPerCycleKiB = 1;
constexpr int kWarmUpCycles = 5;

long GrowthBoundKiB(int cycles) {
    return kSettlingKiB + kGrowthPerCycleKiB * std::max(0, cycles - kWarmUpCycles);
}

int Cycles() {
    const char* value = std::getenv("LOMEVA_SOAK_CYCLES");
    const int cycles = value != nullptr ? std::atoi(value) : 0;
    return cycles > 0 ? cycles : 30;
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

std::vector<testing_support::TestPoem> ThousandPoems() {
    std::vector<testing_support::TestPoem> poems;
    for (int i = 0; i < 1000; ++i) {
        const std::string n = std::to_string(i);
        poems.push_back({"诗" + n, "作者" + std::to_string(i % 37), "唐代", "五言绝句",
                         "第" + n + "首，\r\n明月照高楼。"});
    }
    return poems;
}

class SoakTest : public OptionsTest {
protected:
    SoakTest() : m_installedSound(m_sound) {}

    // One cycle through every screen; the program side.
    static void EveryScreen() {
        RunCatalogue();
        g_pLibrary->Select(nullptr, SEL_ALL);
        {
            CPoemViewDlg reader(g_pLibrary->GetResultBuffer() + 500);
            reader.DoModal();
        }
        RunSearchDialog();
        RunAddPoemDialog();
        RunOptionsSheet();
    }

    // The script side: looks at each screen at work, closes it, and switches to `library`.
    void Drive(CScript& s, const CString& library) {
        ASSERT_TRUE(s.WaitForScreen(IDD_CATALOG));
        ASSERT_TRUE(s.WaitUntil([] { return g_nCatalogRow >= 16; })); // the timer fills
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_POEMVIEW));
        ASSERT_TRUE(s.WaitUntil([this] { return !m_sound.m_strPlaying.IsEmpty(); }));
        s.PressOk();
        ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
        s.PressEscape();
        ASSERT_TRUE(s.WaitForScreen(IDD_ADDPOEM));
        s.PressEscape();
        ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_COLOURS));
        ASSERT_TRUE(ShowPage(s, 2, IDD_PAGE_LIBRARY));
        const std::vector<CString> entries = ListEntries(s, IDC_LIST_LIBRARIES_SHARED);
        const auto found = std::find(entries.begin(), entries.end(), library);
        ASSERT_NE(found, entries.end());
        s.Select(IDC_LIST_LIBRARIES_SHARED, static_cast<int>(found - entries.begin()));
        s.Click(IDC_BTN_LOAD);
        ASSERT_TRUE(s.WaitForBox());
        s.AnswerBox();
        ASSERT_TRUE(s.WaitForScreen(IDD_PAGE_LIBRARY));
        s.PressOk();
        ASSERT_TRUE(s.WaitForProgramEnd());
    }

    CRecordingSound m_sound;
    ScopedService<ISoundService> m_installedSound;
};

TEST_F(SoakTest, EveryScreenOpensAndClosesWithoutLeavingAnythingBehind) {
    testing_support::WriteLibrary(m_folder, "kavro", ThousandPoems());
    testing_support::WriteLibrary(m_folder, "other", ThousandPoems());
    InstallLibrary("kavro");
    const int cycles = Cycles();
    long settled = -1;
    long highest = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        SCOPED_TRACE(cycle);
        const CString library = cycle % 2 == 0 ? CString(u"other") : CString(u"kavro");
        m_driver.Run([] { EveryScreen(); }, [&](CScript& s) { Drive(s, library); });
        ASSERT_FALSE(HasFailure());
        ASSERT_FALSE(testing_support::CTestDriver::AnyWindowOpen());
        // Widgets a screen leaves behind would keep their timers and memory.
        ASSERT_TRUE(QApplication::topLevelWidgets().isEmpty());
        ASSERT_EQ(QApplication::allWidgets().size(), 0);
        EXPECT_TRUE(m_sound.m_strPlaying.IsEmpty()); // OK in the reader stopped the music
        ASSERT_EQ(g_pLibrary->m_nCount, 1000u);
        m_sound.m_calls.clear();
        const long resident = ResidentKiB();
        if (cycle + 1 == std::min(kWarmUpCycles, cycles)) {
            settled = resident;
        }
        highest = std::max(highest, resident);
        if ((cycle + 1) % 100 == 0) {
            std::printf("soak: cycle %d, resident set %ld KiB\n", cycle + 1, resident);
        }
    }
    std::printf("soak: %d cycles, resident set %ld KiB after warm-up, highest %ld KiB\n", cycles,
                settled, highest);
#ifndef LOMEVA_SANITIZED
    EXPECT_LE(highest - settled, GrowthBoundKiB(cycles));
#endif
}

} // namespace
