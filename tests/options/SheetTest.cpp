// The framework's property sheet: tabs from the pages' templates, pages made when first shown,
// commands to the page in front, and one modal run that any of its pages can end.

#include "platform/ui/DataExchange.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/PropertySheet.h"
#include "tests/options/OptionsFixture.h"

using testing_support::CScript;
using testing_support::CTestDriver;
using Kind = UiTesting::ScreenEvent::Kind;
using Log = std::vector<std::string>;

namespace {

constexpr UINT kPageOne = 9601;
constexpr UINT kPageTwo = 9602;
constexpr UINT kPageThree = 9603;
constexpr UINT kNoSuchTemplate = 9699;

// Every page has the same ids, as the program's pages do.
constexpr int kNameButton = 50;
constexpr int kEndButton = 51;
constexpr int kBoxButton = 52;
constexpr int kNoteEdit = 53;

constexpr DWORD kPageStyle = WS_CHILD | WS_VISIBLE | WS_CAPTION | DS_SETFONT;

constexpr ControlTemplate kPageControls[] = {
    {kNameButton, ControlKind::PushButton, u"名字", 10, 10, 40, 14, WS_TABSTOP},
    {kEndButton, ControlKind::PushButton, u"结束", 60, 10, 40, 14, WS_TABSTOP},
    {kBoxButton, ControlKind::PushButton, u"提示", 110, 10, 40, 14, WS_TABSTOP},
    {kNoteEdit, ControlKind::Edit, u"", 10, 30, 100, 12, WS_BORDER | WS_TABSTOP},
};

constexpr DialogTemplate kOne{kPageOne, u"第一", kPageStyle,   0, 161, 190,
                              u"宋体",  9,       kPageControls};
constexpr DialogTemplate kTwo{kPageTwo, u"第二页", kPageStyle,   0, 161, 190,
                              u"宋体",  9,         kPageControls};
constexpr DialogTemplate kThree{kPageThree, u"三", kPageStyle,   0, 161, 190,
                                u"宋体",    9,     kPageControls};

// A page that writes down its initialisations and which page a button was pressed on.
class CLogPage : public CPropertyPage {
public:
    CLogPage(UINT id, Log& log, std::string name)
        : CPropertyPage(id), m_log(log), m_name(std::move(name)) {}

    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        m_log.push_back(m_name + " init");
        return TRUE;
    }

    int m_nEndResult = 77;

protected:
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<CLogPage> map(CPropertyPage::GetMessageMap(),
                                                 {
                                                     On::Clicked(kNameButton, &CLogPage::OnName),
                                                     On::Clicked(kEndButton, &CLogPage::OnEnd),
                                                     On::Clicked(kBoxButton, &CLogPage::OnBox),
                                                 });
        return &map;
    }
    void OnName() { m_log.push_back(m_name + " pressed"); }
    void OnEnd() { EndDialog(m_nEndResult); }
    void OnBox() {
        MessageBox(CString::FromUtf8(m_name), u"提示", MB_OK);
        m_log.push_back(m_name + " box answered");
    }

private:
    Log& m_log;
    std::string m_name;
};

class SheetTest : public ::testing::Test {
protected:
    SheetTest()
        : m_one(kPageOne, m_log, "one"), m_two(kPageTwo, m_log, "two"),
          m_three(kPageThree, m_log, "three") {
        RegisterDialogTemplate(kOne);
        RegisterDialogTemplate(kTwo);
        RegisterDialogTemplate(kThree);
        m_driver.SetZoom(1);
    }

    void AddPages(CPropertySheet& sheet) {
        sheet.AddPage(&m_one);
        sheet.AddPage(&m_two);
        sheet.AddPage(&m_three);
    }

    // Taps tab `index` of three at the bottom of the screen.
    static void TapTab(CScript& s, int index) { s.ClickWindowAt(80 * index + 40, 320 - 8); }

    int Count(Kind kind) const {
        int count = 0;
        for (const auto& event : m_driver.Events()) {
            count += event.kind == kind ? 1 : 0;
        }
        return count;
    }

    Log m_log; // on the program's thread
    CLogPage m_one;
    CLogPage m_two;
    CLogPage m_three;
    CTestDriver m_driver;
};

TEST_F(SheetTest, TheFirstPageShowsUnderTheSheetsCaptionWithATabPerPage) {
    CPropertySheet sheet(u"设置");
    AddPages(sheet);
    INT_PTR result = 0;
    m_driver.Run([&] { result = sheet.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kPageOne));
                     EXPECT_EQ(s.BarCaption(), CString(u"设置"));
                     EXPECT_EQ(TabCaptions(s), (std::vector<CString>{u"第一", u"第二页", u"三"}));
                     // Only the page in front has been made.
                     EXPECT_EQ(s.OnGui([&] { return m_log; }), (Log{"one init"}));
                     EXPECT_TRUE(s.OnGui([&] { return sheet.GetSafeHwnd() != nullptr; }));
                     EXPECT_TRUE(s.OnGui([&] { return m_two.GetSafeHwnd() == nullptr; }));
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Count(Kind::DialogOpened), 1);
    EXPECT_EQ(Count(Kind::DialogClosed), 1);
    EXPECT_EQ(m_one.GetSafeHwnd(), nullptr);
    EXPECT_EQ(sheet.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(CTestDriver::AnyWindowOpen());
}

TEST_F(SheetTest, PagesAreMadeOnceWhenFirstShownAndKeepWhatTheyHoldWhileTheSheetRuns) {
    CPropertySheet sheet(u"设置");
    AddPages(sheet);
    m_driver.Run([&] { sheet.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kPageOne));
                     s.Type(kNoteEdit, u"一页");
                     TapTab(s, 2);
                     ASSERT_TRUE(s.WaitForScreen(kPageThree));
                     EXPECT_EQ(s.Text(kNoteEdit), CString());
                     s.Type(kNoteEdit, u"三页");
                     s.Click(kNameButton);
                     TapTab(s, 0);
                     ASSERT_TRUE(s.WaitForScreen(kPageOne));
                     EXPECT_EQ(s.Text(kNoteEdit), CString(u"一页"));
                     s.Click(kNameButton);
                     TapTab(s, 2);
                     ASSERT_TRUE(s.WaitForScreen(kPageThree));
                     EXPECT_EQ(s.Text(kNoteEdit), CString(u"三页"));
                     EXPECT_EQ(s.OnGui([&] { return sheet.GetActiveIndex(); }), 2);
                     EXPECT_EQ(s.BarCaption(), CString(u"设置"));
                     s.PressOk();
                 });
    // The same ids on every page: each click reached the page in front only.
    EXPECT_EQ(m_log, (Log{"one init", "three init", "three pressed", "one pressed"}));
}

TEST_F(SheetTest, OkEscapeThePagesEndDialogAndTheWindowEachEndTheWholeSheet) {
    struct Ending {
        const char* name;
        std::function<void(CScript&)> end;
        INT_PTR expected;
    };
    const std::vector<Ending> endings = {
        {"ok", [](CScript& s) { s.PressOk(); }, IDOK},
        {"escape", [](CScript& s) { s.PressEscape(); }, IDCANCEL},
        {"page's EndDialog", [](CScript& s) { s.Click(kEndButton); }, 77},
        {"window closed", [](CScript& s) { s.CloseWindow(); }, IDCANCEL},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        CPropertySheet sheet(u"设置");
        AddPages(sheet);
        INT_PTR result = 0;
        m_driver.Run([&] { result = sheet.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(kPageOne));
                         // The page in front takes the command even when it is not the first.
                         TapTab(s, 1);
                         ASSERT_TRUE(s.WaitForScreen(kPageTwo));
                         ending.end(s);
                         EXPECT_TRUE(s.WaitForProgramEnd());
                     });
        EXPECT_EQ(result, ending.expected);
        EXPECT_FALSE(CTestDriver::AnyWindowOpen());
        EXPECT_FALSE(m_two.IsModalRunning());
    }
}

TEST_F(SheetTest, EveryRunMakesThePagesAnewAndStartsAtTheChosenPage) {
    CPropertySheet sheet(u"设置", nullptr, 1);
    AddPages(sheet);
    EXPECT_EQ(sheet.GetActivePage(), &m_two);
    m_driver.Run([&] { sheet.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kPageTwo));
                     s.Type(kNoteEdit, u"旧");
                     s.PressOk();
                 });
    EXPECT_TRUE(sheet.SetActivePage(&m_three));
    EXPECT_FALSE(sheet.SetActivePage(3));
    m_driver.Run([&] { sheet.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kPageThree));
                     TapTab(s, 1);
                     ASSERT_TRUE(s.WaitForScreen(kPageTwo));
                     EXPECT_EQ(s.Text(kNoteEdit), CString());
                     s.PressOk();
                 });
    EXPECT_EQ(m_log, (Log{"two init", "three init", "two init"}));
}

TEST_F(SheetTest, ABoxFromAPageShowsOverTheSheetWhichGoesOnAfterwards) {
    CPropertySheet sheet(u"设置");
    AddPages(sheet);
    INT_PTR result = 0;
    m_driver.Run([&] { result = sheet.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(kPageOne));
                     TapTab(s, 1);
                     ASSERT_TRUE(s.WaitForScreen(kPageTwo));
                     const HWND page = s.OnGui([&] { return m_two.GetSafeHwnd(); });
                     s.Click(kBoxButton);
                     ASSERT_TRUE(s.WaitForBox());
                     EXPECT_EQ(s.FrontBox()->text, CString(u"two"));
                     EXPECT_EQ(s.FrontBox()->owner, page);
                     s.AnswerBox();
                     ASSERT_TRUE(s.WaitForScreen(kPageTwo));
                     s.Click(kNameButton);
                     s.PressEscape();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_log, (Log{"one init", "two init", "two box answered", "two pressed"}));
}

TEST_F(SheetTest, ASheetThatCannotBeShownSaysSoAndOpensNothing) {
    CPropertySheet empty(u"空");
    CPropertySheet missing(u"缺");
    CLogPage lost(kNoSuchTemplate, m_log, "lost");
    missing.AddPage(&m_one);
    missing.AddPage(&lost);
    INT_PTR emptyResult = 0;
    INT_PTR missingResult = 0;
    m_driver.Run(
        [&] {
            emptyResult = empty.DoModal();
            missingResult = missing.DoModal();
        },
        [](CScript& s) { EXPECT_TRUE(s.WaitForProgramEnd()); });
    EXPECT_EQ(emptyResult, -1);
    EXPECT_EQ(missingResult, -1);
    EXPECT_TRUE(m_driver.Events().empty());
    EXPECT_TRUE(m_log.empty());
}

} // namespace
