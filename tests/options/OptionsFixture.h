#pragma once
// The options sheet under the test driver: a temporary program folder, the recording colour
// chooser and launcher, the sheet's pages reached as the screen in front, and the settings put
// back after every test.

#include "library/PoemLibrary.h"
#include "options/KavroOption.h"
#include "options/PageBrowse.h"
#include "platform/core/ColorChooser.h"
#include "platform/core/ProgramLauncher.h"
#include "platform/ui/Controls.h"
#include "platform/ui/testing/FrontScreen.h"
#include "platform/ui/testing/ScreenWidgets.h"
#include "settings/InstalledLibrary.h"
#include "settings/Settings.h"
#include "tests/common/TestLibrary.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"

#include <gtest/gtest.h>

#include <QTabBar>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// The captions of the tabs of the sheet in front, left to right.
inline std::vector<CString> TabCaptions(testing_support::CScript& s) {
    return s.OnGui([] {
        std::vector<CString> captions;
        QWidget* surface = UiTesting::ScreenSurface();
        auto* tabs = surface != nullptr ? surface->findChild<QTabBar*>() : nullptr;
        for (int i = 0; tabs != nullptr && i < tabs->count(); ++i) {
            const QString text = tabs->tabText(i);
            captions.emplace_back(
                std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
        }
        return captions;
    });
}

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() : m_installedChooser(m_chooser), m_installedLauncher(m_launcher) {
        m_driver.SetProgramFolder(m_folder.Folder());
        // At zoom 1 the window's pixels are the screen's, so the tabs are easy to find.
        m_driver.SetZoom(1);
        g_strAppPath = CString::FromUtf8(m_folder.Folder());
        std::fill(std::begin(g_crCustomColors), std::end(g_crCustomColors), COLORREF{0});
    }
    ~OptionsTest() override {
        ::InstallLibrary(nullptr);
        ResetSettings();
        std::fill(std::begin(g_crCustomColors), std::end(g_crCustomColors), COLORREF{0});
    }

    // The page in front, as its own class; null when another screen is in front. On the
    // program's thread only.
    template <class Page> static Page* FrontPage() {
        return dynamic_cast<Page*>(UiTesting::FrontWindowObject());
    }

    // Taps the tab of page `index` (of `count`) and waits for that page to come to the front.
    static bool ShowPage(testing_support::CScript& s, int index, UINT templateId, int count = 3) {
        const int tabWidth = 240 / count;
        s.ClickWindowAt(tabWidth * index + tabWidth / 2, 320 - kSheetTabHeight / 2);
        return s.WaitForScreen(templateId);
    }

    // The entries of list box `id` of the page in front.
    static std::vector<CString> ListEntries(testing_support::CScript& s, int id) {
        return s.OnGui([id] {
            std::vector<CString> entries;
            CDialog* page = FrontPage<CDialog>();
            CWnd* control = page != nullptr ? page->GetDlgItem(id) : nullptr;
            if (auto* list = dynamic_cast<CListBox*>(control)) {
                for (int i = 0; i < list->GetCount(); ++i) {
                    CString text;
                    list->GetText(i, text);
                    entries.push_back(text);
                }
            }
            return entries;
        });
    }

    // The selection of list box `id` of the page in front; LB_ERR for none.
    static int ListSelection(testing_support::CScript& s, int id) {
        return s.OnGui([id] {
            CDialog* page = FrontPage<CDialog>();
            CWnd* control = page != nullptr ? page->GetDlgItem(id) : nullptr;
            auto* list = dynamic_cast<CListBox*>(control);
            return list != nullptr ? list->GetCurSel() : -2;
        });
    }

    // The window of the page in front.
    static HWND FrontPageWindow(testing_support::CScript& s) {
        return s.OnGui([] {
            CDialog* page = FrontPage<CDialog>();
            return page != nullptr ? page->GetSafeHwnd() : HWND{};
        });
    }

    // Answers the box in front after checking what it says, and waits for `next` to return.
    static void ExpectBox(testing_support::CScript& s, const CString& text, const CString& caption,
                          UINT type, UINT next) {
        ASSERT_TRUE(s.WaitForBox());
        const auto box = s.FrontBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->text, text);
        EXPECT_EQ(box->caption, caption);
        EXPECT_EQ(box->type, type);
        s.AnswerBox();
        ASSERT_TRUE(s.WaitForScreen(next));
    }

    static std::string ScreenshotPath(const std::string& name) {
        std::filesystem::create_directories(LOMEVA_SCREENSHOT_DIR);
        return std::string(LOMEVA_SCREENSHOT_DIR "/") + name;
    }

    static std::vector<testing_support::TestPoem> ThreePoems() {
        return {
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
            {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
        };
    }

    // Opens `name` from the folder as start-up opens kavro, and installs it.
    void InstallLibrary(const std::string& name) {
        auto library = std::make_unique<CPoemLibrary>(g_strAppPath);
        library->SetFileNames(CString::FromUtf8(name + ".idx"), CString::FromUtf8(name + ".dat"));
        ASSERT_TRUE(library->Open());
        ::InstallLibrary(std::move(library));
    }

    testing_support::TempFolder m_folder;
    testing_support::CTestDriver m_driver;
    CRecordingColorChooser m_chooser;
    CRecordingLauncher m_launcher;
    ScopedService<IColorChooserService> m_installedChooser;
    ScopedService<IProgramLauncher> m_installedLauncher;
};
