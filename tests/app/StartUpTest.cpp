// Start-up: the program folder, the default library, the main screen, and the end.

#include "app/PoemApp.h"
#include "resources/ResourceIds.h"
#include "tests/app/AppFixture.h"

#include <filesystem>

using testing_support::CScript;
using testing_support::CTestDriver;
using Kind = UiTesting::ScreenEvent::Kind;

namespace {

class StartUpTest : public AppTest {
protected:
    BOOL RunProgram(const std::function<void(CScript&)>& script) {
        BOOL result = TRUE;
        m_driver.Run(
            [&] {
                CPoemApp app;
                result = app.InitInstance();
            },
            script);
        return result;
    }

    bool MainScreenOpened() const {
        for (const auto& event : m_driver.Events()) {
            if (event.kind == Kind::DialogOpened && event.templateId == IDD_MAINMENU) {
                return true;
            }
        }
        return false;
    }
};

// Counts its own destruction, so a test can tell that the end of the program deleted it.
class CCountedLibrary : public CPoemLibrary {
public:
    explicit CCountedLibrary(int& deleted) : CPoemLibrary(g_strAppPath), m_deleted(deleted) {}
    ~CCountedLibrary() override { ++m_deleted; }

private:
    int& m_deleted;
};

TEST(ProgramFolderTest, IsTheExecutablesFolderWithItsSeparator) {
    EXPECT_EQ(ProgramFolderOf(u"/opt/lomeva/lomeva"), CString(u"/opt/lomeva/"));
    EXPECT_EQ(ProgramFolderOf(u"/lomeva"), CString(u"/"));
    EXPECT_EQ(ProgramFolderOf(u"lomeva"), CString(u"lomeva"));
}

TEST_F(StartUpTest, TheDefaultLibraryOpensAndTheMainScreenShowsItsSummary) {
    WriteDefaultLibrary(testing_support::MakeHeader("唐诗宋词", "编者", 10203, 20050301));
    std::vector<UiTesting::DrawnText> drawn;
    const BOOL result = RunProgram([&](CScript& s) {
        ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
        EXPECT_EQ(s.OnGui([] { return g_strAppPath; }), CString::FromUtf8(m_folder.Folder()));
        EXPECT_TRUE(s.OnGui([] { return g_pLibrary != nullptr && g_pLibrary->IsOpen(); }));
        EXPECT_EQ(s.BarCaption(), CString(u"Qinvara"));
        drawn = s.Paint();
        s.PressOk();
        EXPECT_TRUE(s.WaitForProgramEnd());
    });
    EXPECT_EQ(result, FALSE);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn[0].text, CString(u"唐诗宋词 诗词库\n1.2.3 版本  \n编者 作者  \n"
                                     u"2005-03-01 时间  \n3 首诗词"));
    EXPECT_EQ(g_pLibrary, nullptr);
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(StartUpTest, WithoutTheDefaultIndexTheFileErrorShowsAndTheProgramEnds) {
    const BOOL result = RunProgram([](CScript& s) {
        ASSERT_TRUE(s.WaitForBox());
        const auto box = s.FrontBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_NE(box->text.Find(u"kavro.idx"), -1) << box->text.ToUtf8();
        EXPECT_NE(box->text.Find(u"文件不存在"), -1) << box->text.ToUtf8();
        EXPECT_EQ(box->caption, CString(u"lomeva"));
        std::filesystem::create_directories(LOMEVA_SCREENSHOT_DIR);
        EXPECT_TRUE(s.SaveScreenshot(LOMEVA_SCREENSHOT_DIR "/no-library.png"));
        s.AnswerBox();
        EXPECT_TRUE(s.WaitForProgramEnd());
    });
    EXPECT_EQ(result, FALSE);
    EXPECT_FALSE(MainScreenOpened());
    EXPECT_EQ(g_pLibrary, nullptr);
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(StartUpTest, WithoutTheDataFileTheProgramEndsAfterItsMessage) {
    WriteDefaultLibrary();
    std::filesystem::remove(m_folder.File("kavro.dat"));
    const BOOL result = RunProgram([](CScript& s) {
        ASSERT_TRUE(s.WaitForBox());
        const auto box = s.FrontBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_NE(box->text.Find(u"kavro.dat"), -1) << box->text.ToUtf8();
        s.AnswerBox();
        EXPECT_TRUE(s.WaitForProgramEnd());
    });
    EXPECT_EQ(result, FALSE);
    EXPECT_FALSE(MainScreenOpened());
    EXPECT_EQ(g_pLibrary, nullptr); // the half-open library is gone, its index file closed
}

TEST_F(StartUpTest, TheLibraryInPlaceAtTheEndIsTheOneDeleted) {
    WriteDefaultLibrary();
    int deleted = 0;
    RunProgram([&](CScript& s) {
        ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
        // As the library page does: the first library goes, another takes its place.
        s.OnGui([&] { InstallLibrary(std::make_unique<CCountedLibrary>(deleted)); });
        s.PressOk();
        EXPECT_TRUE(s.WaitForProgramEnd());
    });
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(g_pLibrary, nullptr);
}

TEST_F(StartUpTest, ClosingTheWindowEndsTheProgramTheNormalWay) {
    WriteDefaultLibrary();
    const BOOL result = RunProgram([](CScript& s) {
        ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
        s.CloseWindow();
        EXPECT_TRUE(s.WaitForProgramEnd());
    });
    EXPECT_EQ(result, FALSE);
    EXPECT_EQ(g_pLibrary, nullptr);
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

} // namespace
