// The main screen: what it paints, and what a tap in each place opens.

#include "app/MainMenuDlg.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/UiConstants.h"
#include "resources/ResourceIds.h"
#include "tests/app/AppFixture.h"

#include <filesystem>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

// The screen the recording zone actions open, so that a test sees the tap open something.
constexpr UINT kStubDialog = 9500;
constexpr DialogTemplate kStub{
    kStubDialog, u"桩", WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 160, 190, u"宋体", 9, {}};

constexpr const char16_t* kWarning = u"诗词词库未安装，请安装词库然后再使用。";

class MainMenuTest : public AppTest {
protected:
    MainMenuTest() { RegisterDialogTemplate(kStub); }

    // Zone actions that write down their name and open the stub screen.
    ZoneActions Recorders() {
        auto action = [this](std::string name) {
            return [this, name] {
                m_opened.push_back(name);
                if (m_beforeStub) {
                    m_beforeStub(name);
                }
                CDialog(kStubDialog).DoModal();
            };
        };
        return {action("catalogue"),
                action("search"),
                action("add poem"),
                action("options"),
                {},
                {},
                {}};
    }

    // Taps `point`; when the tap opens a screen, expects it to be `opens` and closes it again.
    // Without `opens`, expects the tap to open nothing and show nothing.
    void ExpectTap(CScript& s, CPoint point, const char* opens) {
        SCOPED_TRACE(testing::Message() << "tap at " << point.x << "," << point.y);
        const size_t eventsBefore = s.Events().size();
        const size_t openedBefore = s.OnGui([this] { return m_opened.size(); });
        s.Tap(point.x, point.y);
        if (opens != nullptr) {
            ASSERT_TRUE(s.WaitForScreen(kStubDialog));
            EXPECT_EQ(s.OnGui([this] { return m_opened.back(); }), opens);
            s.PressOk();
            ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
        } else {
            s.Sync();
            EXPECT_EQ(s.FrontTemplate(), IDD_MAINMENU);
        }
        EXPECT_EQ(s.OnGui([this] { return m_opened.size(); }), openedBefore + (opens ? 1 : 0));
        EXPECT_EQ(s.Events().size(), eventsBefore + (opens ? 2 : 0));
    }

    // Taps `point` with no library open and answers the warning that must follow.
    void ExpectWarning(CScript& s, CPoint point, HWND owner) {
        SCOPED_TRACE(testing::Message() << "tap at " << point.x << "," << point.y);
        s.Tap(point.x, point.y);
        ASSERT_TRUE(s.WaitForBox());
        const auto box = s.FrontBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->text, CString(kWarning));
        EXPECT_EQ(box->caption, CString(u"警告"));
        EXPECT_EQ(box->type, 0x30u);
        EXPECT_EQ(box->owner, owner);
        s.AnswerBox();
        ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
    }

    std::vector<std::string> m_opened; // on the program's thread
    std::function<void(const std::string&)> m_beforeStub;
};

TEST_F(MainMenuTest, TapsAtTheZoneEdgesOpenWhatTheyShouldAndNothingElse) {
    InstallDefaultLibrary();
    CMainMenuDlg dialog(nullptr, Recorders());
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     ExpectTap(s, {160, 65}, "catalogue");
                     ExpectTap(s, {216, 80}, "catalogue");
                     ExpectTap(s, {159, 70}, nullptr);
                     ExpectTap(s, {217, 70}, nullptr);
                     ExpectTap(s, {180, 64}, nullptr);
                     ExpectTap(s, {180, 81}, nullptr);
                     ExpectTap(s, {180, 100}, nullptr);
                     ExpectTap(s, {180, 105}, nullptr);
                     ExpectTap(s, {160, 106}, "search");
                     ExpectTap(s, {216, 120}, "search");
                     ExpectTap(s, {180, 121}, nullptr);
                     ExpectTap(s, {180, 144}, nullptr);
                     ExpectTap(s, {160, 145}, "add poem");
                     ExpectTap(s, {216, 160}, "add poem");
                     ExpectTap(s, {180, 161}, nullptr);
                     ExpectTap(s, {180, 205}, nullptr);
                     ExpectTap(s, {160, 206}, "options");
                     ExpectTap(s, {216, 220}, "options");
                     ExpectTap(s, {180, 221}, nullptr);
                     ExpectTap(s, {100, 150}, nullptr);
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
}

TEST_F(MainMenuTest, WithoutALibraryEveryTapInTheColumnWarns) {
    CMainMenuDlg dialog(nullptr, Recorders());
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     const HWND owner = s.OnGui([&] { return dialog.GetSafeHwnd(); });
                     for (const CPoint point :
                          {CPoint(160, 65), CPoint(216, 80), CPoint(180, 100), CPoint(180, 113),
                           CPoint(180, 150), CPoint(180, 190), CPoint(216, 300)}) {
                         ExpectWarning(s, point, owner);
                     }
                     ExpectTap(s, {159, 70}, nullptr);
                     ExpectTap(s, {217, 113}, nullptr);
                     EXPECT_TRUE(s.OnGui([this] { return m_opened.empty(); }));
                     s.PressOk();
                 });
}

TEST_F(MainMenuTest, WithoutALibraryTheOptionsOpenFirstAndTheWarningFollows) {
    CMainMenuDlg dialog(nullptr, Recorders());
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     const HWND owner = s.OnGui([&] { return dialog.GetSafeHwnd(); });
                     s.Tap(180, 206);
                     ASSERT_TRUE(s.WaitForScreen(kStubDialog));
                     EXPECT_FALSE(s.FrontBox().has_value());
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForBox());
                     const auto box = s.FrontBox();
                     ASSERT_TRUE(box.has_value());
                     EXPECT_EQ(box->text, CString(kWarning));
                     EXPECT_EQ(box->owner, owner);
                     std::filesystem::create_directories(LOMEVA_SCREENSHOT_DIR);
                     EXPECT_TRUE(s.SaveScreenshot(LOMEVA_SCREENSHOT_DIR "/no-library-warning.png"));
                     s.AnswerBox();
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     s.PressOk();
                 });
    EXPECT_EQ(m_opened, (std::vector<std::string>{"options"}));
}

TEST_F(MainMenuTest, OptionsThatInstallALibraryAreFollowedByNoWarningAndANewSummary) {
    WriteDefaultLibrary(testing_support::MakeHeader("新词库", "某人", 20000, 20240101));
    g_strAppPath = CString::FromUtf8(m_folder.Folder());
    m_beforeStub = [](const std::string& name) {
        if (name == "options") {
            InstallLibrary(std::make_unique<CPoemLibrary>(g_strAppPath));
            g_pLibrary->Open();
        }
    };
    CMainMenuDlg dialog(nullptr, Recorders());
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     EXPECT_EQ(s.Paint().front().text, CString(u" "));
                     s.Tap(200, 210);
                     ASSERT_TRUE(s.WaitForScreen(kStubDialog));
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     s.Sync();
                     EXPECT_FALSE(s.FrontBox().has_value());
                     EXPECT_EQ(s.Paint().front().text.Left(8), CString(u"新词库 诗词库\n"));
                     s.PressOk();
                 });
}

TEST_F(MainMenuTest, PaintDrawsThePictureTheSummaryAndTheTwoFixedLines) {
    InstallDefaultLibrary(testing_support::MakeHeader("唐诗三百首", "蘅塘退士", 10203, 20050301));
    CMainMenuDlg dialog;
    std::vector<UiTesting::DrawnText> drawn;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     drawn = s.Paint();
                     // The picture is copied unscaled from its top left corner; the client area
                     // shows its top 294 rows.
                     for (const CPoint point : {CPoint(10, 100), CPoint(120, 150), CPoint(230, 290),
                                                CPoint(239, 293), CPoint(0, 0)}) {
                         const auto expected =
                             CTestDriver::BitmapPixel(IDB_MAINSCREEN, point.x, point.y);
                         ASSERT_TRUE(expected.has_value());
                         EXPECT_EQ(s.ClientPixel(point.x, point.y), *expected)
                             << "at " << point.x << "," << point.y;
                     }
                     const std::string folder = LOMEVA_SCREENSHOT_DIR;
                     std::filesystem::create_directories(folder);
                     EXPECT_TRUE(s.SaveScreenshot(folder + "/main-screen.png"));
                     s.PressOk();
                 });
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].text, CString(u"唐诗三百首 诗词库\n1.2.3 版本  \n蘅塘退士 作者  \n"
                                     u"2005-03-01 时间  \n3 首诗词"));
    EXPECT_EQ(drawn[0].rect, CRect(40, 2, 235, 74));
    EXPECT_EQ(drawn[0].format, DT_RIGHT);
    EXPECT_EQ(drawn[0].pointTenths, 85);
    EXPECT_EQ(drawn[0].face, CString(u"宋体"));
    for (const auto& text : drawn) {
        EXPECT_EQ(text.color, RGB(0, 0, 0));
        EXPECT_EQ(text.bkMode, TRANSPARENT);
    }
    EXPECT_EQ(drawn[1].text, CString(kMainScreenNotice));
    EXPECT_EQ(drawn[1].rect, CRect(0, 254, 240, 279));
    EXPECT_EQ(drawn[1].format, DT_CENTER | DT_VCENTER);
    EXPECT_EQ(drawn[1].pointTenths, 90);
    EXPECT_EQ(drawn[2].text, CString(u"Lomeva 1.0"));
    EXPECT_EQ(drawn[2].rect, CRect(0, 269, 240, 294));
    EXPECT_EQ(drawn[2].format, DT_CENTER | DT_VCENTER);
    EXPECT_EQ(drawn[2].pointTenths, 90);
}

TEST_F(MainMenuTest, WithoutALibraryTheSummaryIsASingleBlank) {
    CMainMenuDlg dialog;
    std::vector<UiTesting::DrawnText> drawn;
    m_driver.Run([&] { dialog.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     drawn = s.Paint();
                     s.PressOk();
                 });
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].text, CString(u" "));
    EXPECT_EQ(drawn[2].text, CString(u"Lomeva 1.0"));
}

} // namespace
