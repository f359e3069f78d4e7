#pragma once
// A program folder with a test library open in it, the screen driver, the recording sound, and
// a log of every message the HTML viewers get.

#include "library/PoemLibrary.h"
#include "platform/core/Sound.h"
#include "platform/ui/testing/HtmlViewTesting.h"
#include "reading/PoemViewDlg.h"
#include "resources/ResourceIds.h"
#include "settings/InstalledLibrary.h"
#include "settings/Settings.h"
#include "tests/common/TestLibrary.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class ReaderTest : public ::testing::Test {
protected:
    ReaderTest() : m_installedSound(m_sound) {
        m_driver.SetProgramFolder(m_folder.Folder());
        g_strAppPath = CString::FromUtf8(m_folder.Folder());
        UiTesting::SetHtmlMessageObserver(
            [this](const UiTesting::HtmlMessage& message) { m_messages.push_back(message); });
    }
    ~ReaderTest() override {
        UiTesting::SetHtmlMessageObserver({});
        UiTesting::SetHtmlViewFailure(UiTesting::HtmlViewFailure::None);
        InstallLibrary(nullptr);
        ResetSettings();
    }

    // Writes the poems as the folder's library, opens it and selects every record.
    void OpenLibrary(const std::vector<testing_support::TestPoem>& poems) {
        testing_support::WriteLibrary(m_folder, "kavro", poems);
        InstallLibrary(std::make_unique<CPoemLibrary>(g_strAppPath));
        ASSERT_TRUE(g_pLibrary->Open());
        ASSERT_EQ(g_pLibrary->Select(nullptr, SEL_ALL), poems.size());
    }
    static const PoemRecord* Record(int index) { return g_pLibrary->GetResultBuffer() + index; }

    // Dark text on the viewer's own white: no picture, every colour black, so that pictures of
    // the pages show their text.
    static void UseDarkTextOnWhite() {
        g_strBackPicture = u"none.jpg";
        for (CString* colour :
             {&g_strFormColor, &g_strTitleColor, &g_strAuthorColor, &g_strTextColor}) {
            *colour = u"000000";
        }
    }

    // Waits for the reader to show the page it composed.
    static bool WaitForPoemPage(testing_support::CScript& s, const CPoemViewDlg& reader) {
        return s.WaitForScreen(IDD_POEMVIEW) && s.WaitUntil([&reader] {
            return reader.m_hwndHtml != nullptr && !reader.m_strPage.IsEmpty() &&
                   UiTesting::HtmlView(reader.m_hwndHtml).page == reader.m_strPage;
        });
    }

    // Copies a file that the build lays out in the program folder into the test's folder.
    void CopyFromProgramFolder(const std::string& name) {
        const std::filesystem::path from = std::filesystem::path(LOMEVA_PROGRAM_DIR) / name;
        ASSERT_TRUE(std::filesystem::is_regular_file(from)) << from;
        std::filesystem::copy_file(from, m_folder.Path() / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }

    static std::string Screenshot(const std::string& name) {
        std::filesystem::create_directories(LOMEVA_SCREENSHOT_DIR);
        return std::string(LOMEVA_SCREENSHOT_DIR) + "/" + name;
    }

    // On the program's thread only.
    std::vector<UiTesting::HtmlMessage> MessagesOf(HWND viewer, UINT message) const {
        std::vector<UiTesting::HtmlMessage> found;
        for (const auto& m : m_messages) {
            if (m.viewer == viewer && (message == 0 || m.message == message)) {
                found.push_back(m);
            }
        }
        return found;
    }

    testing_support::TempFolder m_folder;
    testing_support::CTestDriver m_driver;
    CRecordingSound m_sound;
    ScopedService<ISoundService> m_installedSound;
    std::vector<UiTesting::HtmlMessage> m_messages; // on the program's thread
};

// A socket listening on the loopback interface that tells whether anybody connected: the
// viewer must never fetch from the network.
class CListeningSocket {
public:
    CListeningSocket();
    ~CListeningSocket();
    CListeningSocket(const CListeningSocket&) = delete;
    CListeningSocket& operator=(const CListeningSocket&) = delete;

    int Port() const { return m_port; }
    std::string Url(const std::string& path) const;
    bool WasContacted() const;

private:
    int m_fd = -1;
    int m_port = 0;
};
