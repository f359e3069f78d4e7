// The add-poem screen, driven as a person would use it: what each save writes to the library's
// files, what it refuses, and what it shows.

#include "app/MainMenuDlg.h"
#include "entry/AddPoemDlg.h"
#include "library/NameTables.h"
#include "platform/core/Services.h"
#include "resources/ResourceIds.h"
#include "tests/app/AppFixture.h"

#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using testing_support::CScript;
using testing_support::Gbk;
using testing_support::ReadFile;
using testing_support::RecordsOf;
using testing_support::TestPoem;
using namespace std::chrono_literals;

namespace {

constexpr const char16_t* kSaved = u"你的诗句已经加入到Lomeva\n需要重新启动Lomeva才能生效!";

// Makes the whole process act as "nobody" for file permissions while it lives, so that a
// read-only file stays read-only although the tests run as root in CI. glibc changes the
// effective user of every thread, the program's included.
class UnprivilegedScope {
public:
    UnprivilegedScope() : m_dropped(::geteuid() == 0 && ::seteuid(kNobody) == 0) {}
    ~UnprivilegedScope() {
        if (m_dropped) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
    UnprivilegedScope(const UnprivilegedScope&) = delete;
    UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool m_dropped;
};

class AddPoemTest : public AppTest {
protected:
    std::string Index() const { return ReadFile(m_folder.File("kavro.idx")); }
    std::string Data() const { return ReadFile(m_folder.File("kavro.dat")); }

    // Runs the add-poem screen over whatever library is installed; `script` starts with the
    // screen in front, and the screen is closed with ok afterwards.
    void RunScreen(const std::function<void(CScript&)>& script) {
        CAddPoemDlg dialog;
        m_pDialog = &dialog;
        m_driver.Run([&] { dialog.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_ADDPOEM));
                         script(s);
                         s.PressOk();
                         EXPECT_TRUE(s.WaitForProgramEnd());
                     });
        m_pDialog = nullptr;
    }

    HWND Screen(CScript& s) const {
        return s.OnGui([this] { return m_pDialog->GetSafeHwnd(); });
    }

    // Presses save and answers the box that follows; returns what it said.
    static MessageBoxInfo Save(CScript& s) {
        s.Click(IDC_BTN_SAVE);
        EXPECT_TRUE(s.WaitForBox());
        const auto box = s.FrontBox();
        s.AnswerBox();
        EXPECT_TRUE(s.WaitForScreen(IDD_ADDPOEM));
        return box.value_or(MessageBoxInfo{});
    }

    // Saves and expects the success message, owned by the screen.
    void SaveSuccessfully(CScript& s) const {
        const MessageBoxInfo box = Save(s);
        EXPECT_EQ(box.text, CString(kSaved));
        EXPECT_EQ(box.caption, CString(u"提示"));
        EXPECT_EQ(box.type, MB_OK);
        EXPECT_EQ(box.owner, Screen(s));
    }

    // Saves and expects a warning owned by the screen that contains every one of `parts`.
    void SaveRefused(CScript& s, std::initializer_list<const char16_t*> parts) const {
        const MessageBoxInfo box = Save(s);
        EXPECT_EQ(box.caption, CString(u"警告"));
        EXPECT_EQ(box.type, MB_ICONEXCLAMATION);
        EXPECT_EQ(box.owner, Screen(s));
        for (const char16_t* part : parts) {
            EXPECT_NE(box.text.Find(part), -1) << box.text.ToUtf8();
        }
    }

    // Expects the files to hold one more poem than `indexBefore` and `dataBefore`: `expected`
    // with every other record byte zero, and `text` followed by its zero at the old data end.
    void ExpectAppended(const std::string& indexBefore, const std::string& dataBefore,
                        const TestPoem& expected, const std::string& text) const {
        const std::string index = Index();
        const auto records = RecordsOf(index);
        ASSERT_EQ(records.size(), RecordsOf(indexBefore).size() + 1);
        std::uint32_t count = 0;
        std::memcpy(&count, index.data() + 288, sizeof count);
        EXPECT_EQ(count, records.size());
        EXPECT_EQ(index.substr(0, 288), indexBefore.substr(0, 288));
        EXPECT_EQ(index.substr(292, indexBefore.size() - 292), indexBefore.substr(292));

        PoemRecord record = testing_support::MakeRecord(expected);
        record.length = static_cast<std::uint32_t>(text.size() + 1);
        record.offset = static_cast<std::uint32_t>(dataBefore.size());
        EXPECT_EQ(std::memcmp(&records.back(), &record, sizeof record), 0)
            << "length " << records.back().length << ", offset " << records.back().offset;
        EXPECT_EQ(Data(), dataBefore + text + '\0');
    }

    CAddPoemDlg* m_pDialog = nullptr; // the screen of the running RunScreen
};

TEST_F(AddPoemTest, OpensWithTheDefaultsAndSavingAtOnceStoresThem) {
    InstallDefaultLibrary();
    const std::string index = Index();
    const std::string data = Data();
    RunScreen([&](CScript& s) {
        EXPECT_EQ(s.Text(IDC_EDIT_TITLE), CString(u"诗词标题"));
        EXPECT_EQ(s.Text(IDC_EDIT_AUTHOR), CString(u"作者姓名"));
        EXPECT_EQ(s.Text(IDC_EDIT_CONTENT), CString(u"诗词内容"));
        EXPECT_EQ(s.Text(IDC_COMBO_FORM), CString(u"五言古诗"));
        SaveSuccessfully(s);
        // The screen stays as it was, ready to save the same poem again.
        EXPECT_EQ(s.Text(IDC_EDIT_TITLE), CString(u"诗词标题"));
        EXPECT_EQ(s.Text(IDC_EDIT_CONTENT), CString(u"诗词内容"));
        EXPECT_EQ(s.Text(IDC_COMBO_FORM), CString(u"五言古诗"));
    });
    ExpectAppended(index, data, {"诗词标题", "作者姓名", "现代", "五言古诗", ""}, Gbk("诗词内容"));
}

TEST_F(AddPoemTest, TheFormListIsTheEntryTableAndTheChosenFormIsStoredWithTheModernDynasty) {
    InstallDefaultLibrary();
    RunScreen([&](CScript& s) {
        const auto items = s.OnGui([this] {
            std::vector<CString> texts;
            const auto* combo = dynamic_cast<CComboBox*>(m_pDialog->GetDlgItem(IDC_COMBO_FORM));
            for (int i = 0; combo != nullptr && i < combo->GetCount(); ++i) {
                CString text;
                combo->GetLBText(i, text);
                texts.push_back(text);
            }
            return texts;
        });
        ASSERT_EQ(items.size(), 31u);
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i], CString(g_entryFormNames[i])) << "row " << i;
        }

        for (const auto& [row, form] : {std::pair{30, "现代"}, std::pair{6, "减字木兰花"}}) {
            SCOPED_TRACE(form);
            const std::string index = Index();
            const std::string data = Data();
            s.Select(IDC_COMBO_FORM, row);
            SaveSuccessfully(s);
            ExpectAppended(index, data, {"诗词标题", "作者姓名", "现代", form, ""},
                           Gbk("诗词内容"));
        }
    });
}

TEST_F(AddPoemTest, TheTextBufferIsTwiceTheTypedLengthAndIsStoredWhole) {
    InstallDefaultLibrary();
    struct Case {
        const char16_t* typed;
        std::string stored; // what the data file gains before the closing zero
    };
    const Case cases[] = {
        // One-byte characters leave half the buffer as zeros, stored with the text.
        {u"abcdefghij", "abcdefghij" + std::string(10, '\0')},
        {u"床前明月光疑是地上霜", Gbk("床前明月光疑是地上霜")},
        // Line breaks are the edit's CR LF, and take their two bytes.
        {u"床前明月光，\r\n疑是地上霜。",
         Gbk("床前明月光，\r\n疑是地上霜。") + std::string(2, '\0')},
        {u"", ""},
        // What the code page cannot hold becomes '?'.
        {u"月😀光", Gbk("月") + "?" + Gbk("光") + std::string(3, '\0')},
    };
    RunScreen([&](CScript& s) {
        s.Type(IDC_EDIT_TITLE, u"题");
        s.Type(IDC_EDIT_AUTHOR, u"me");
        for (const Case& c : cases) {
            SCOPED_TRACE(CString(c.typed).ToUtf8());
            const std::string index = Index();
            const std::string data = Data();
            s.Type(IDC_EDIT_CONTENT, c.typed);
            SaveSuccessfully(s);
            ExpectAppended(index, data, {"题", "me", "现代", "五言古诗", ""}, c.stored);
        }
    });
    // Each text reads back as typed, since the zeros after it end it.
    CPoemLibrary reopened(g_strAppPath);
    ASSERT_TRUE(reopened.Open());
    ASSERT_EQ(reopened.m_nCount, 3u + std::size(cases));
    CString text;
    reopened.ReadText(&reopened.GetRecords()[3], text);
    EXPECT_EQ(text, CString(u"abcdefghij"));
    reopened.ReadText(&reopened.GetRecords()[5], text);
    EXPECT_EQ(text, CString(u"床前明月光，\r\n疑是地上霜。"));
}

TEST_F(AddPoemTest, EachSaveAppendsACopyThatShowsOnlyOnceTheLibraryIsOpenedAgain) {
    InstallDefaultLibrary();
    RunScreen([&](CScript& s) {
        s.Type(IDC_EDIT_TITLE, u"登鹳雀楼");
        s.Type(IDC_EDIT_AUTHOR, u"王之涣");
        s.Select(IDC_COMBO_FORM, 3);
        s.Type(IDC_EDIT_CONTENT, u"白日依山尽，\r\n黄河入海流。");
        SaveSuccessfully(s);
        SaveSuccessfully(s);
        // The loaded library is what it was: the catalogue and the search do not see them.
        s.OnGui([] {
            EXPECT_EQ(g_pLibrary->m_nCount, 3u);
            EXPECT_EQ(g_pLibrary->Select(nullptr, SEL_ALL), 3u);
            EXPECT_EQ(g_pLibrary->Select(u"王之涣", SEL_AUTHOR), 0u);
        });
    });
    CPoemLibrary reopened(g_strAppPath);
    ASSERT_TRUE(reopened.Open());
    ASSERT_EQ(reopened.m_nCount, 5u);
    EXPECT_EQ(reopened.Select(u"王之涣", SEL_AUTHOR), 2u);
    const PoemRecord* records = reopened.GetRecords().data();
    EXPECT_STREQ(records[3].form, Gbk("五言绝句").c_str());
    EXPECT_EQ(std::memcmp(records[3].title, records[4].title, 116), 0);
    EXPECT_EQ(records[4].offset, records[3].offset + records[3].length);
    CString first;
    CString second;
    reopened.ReadText(&records[3], first);
    reopened.ReadText(&records[4], second);
    EXPECT_EQ(first, CString(u"白日依山尽，\r\n黄河入海流。"));
    EXPECT_EQ(second, first);
}

TEST_F(AddPoemTest, OverLongTitleOrAuthorIsRefusedAndNothingIsWritten) {
    InstallDefaultLibrary();
    const std::string index = Index();
    const std::string data = Data();
    const CString longTitle(u'字', 33);
    RunScreen([&](CScript& s) {
        s.Type(IDC_EDIT_TITLE, longTitle);
        SaveRefused(s, {u"标题", u"32"});
        EXPECT_EQ(s.Text(IDC_EDIT_TITLE), longTitle); // the screen stays as it was
        EXPECT_EQ(s.Text(IDC_EDIT_CONTENT), CString(u"诗词内容"));

        s.Type(IDC_EDIT_TITLE, u"题");
        s.Type(IDC_EDIT_AUTHOR, CString(u'a', 17));
        SaveRefused(s, {u"作者", u"16"});
        EXPECT_EQ(s.Text(IDC_EDIT_AUTHOR), CString(u'a', 17));
    });
    EXPECT_EQ(Index(), index);
    EXPECT_EQ(Data(), data);
}

TEST_F(AddPoemTest, ReadOnlyIndexShowsTheFileErrorAndChangesNothing) {
    InstallDefaultLibrary();
    m_folder.OpenToEveryone();
    ASSERT_EQ(::chmod(m_folder.File("kavro.idx").c_str(), 0444), 0);
    const std::string index = Index();
    const std::string data = Data();
    RunScreen([&](CScript& s) {
        {
            UnprivilegedScope nobody;
            s.Click(IDC_BTN_SAVE);
            ASSERT_TRUE(s.WaitForBox());
        }
        const auto box = s.FrontBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->caption, AfxGetAppName());
        EXPECT_NE(box->text.Find(u"kavro.idx"), -1) << box->text.ToUtf8();
        s.AnswerBox();
        // The library's own message is all: no success box follows.
        ASSERT_TRUE(s.WaitForScreen(IDD_ADDPOEM));
        s.Pause(100ms);
        EXPECT_FALSE(s.FrontBox().has_value());
    });
    EXPECT_EQ(Index(), index);
    EXPECT_EQ(Data(), data);
}

TEST_F(AddPoemTest, ALibraryThatDidNotOpenRefusesWithItsOwnMessage) {
    g_strAppPath = CString::FromUtf8(m_folder.Folder());
    InstallLibrary(std::make_unique<CPoemLibrary>(g_strAppPath));
    {
        CRecordingMessageBox quiet;
        ScopedService<IMessageBoxService> boxes(quiet);
        ASSERT_FALSE(g_pLibrary->Open());
    }
    RunScreen([&](CScript& s) {
        const MessageBoxInfo box = Save(s);
        EXPECT_EQ(box.text, CString(u"诗词库没有打开,不能加入诗词."));
        EXPECT_EQ(box.caption, AfxGetAppName());
        s.Pause(100ms);
        EXPECT_FALSE(s.FrontBox().has_value());
    });
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("kavro.idx")));
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("kavro.dat")));
}

TEST_F(AddPoemTest, TheMainScreensAddPoemZoneOpensTheScreen) {
    InstallDefaultLibrary();
    CMainMenuDlg menu;
    m_driver.Run([&] { menu.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     s.Tap(180, 150);
                     ASSERT_TRUE(s.WaitForScreen(IDD_ADDPOEM));
                     s.PressOk();
                     ASSERT_TRUE(s.WaitForScreen(IDD_MAINMENU));
                     s.PressOk();
                     EXPECT_TRUE(s.WaitForProgramEnd());
                 });
}

TEST_F(AddPoemTest, ScreenshotWithAPoemTypedIn) {
    InstallDefaultLibrary();
    RunScreen([&](CScript& s) {
        s.Type(IDC_EDIT_TITLE, u"静夜思");
        s.Type(IDC_EDIT_AUTHOR, u"李白");
        s.Select(IDC_COMBO_FORM, 3);
        s.Type(IDC_EDIT_CONTENT, u"床前明月光，\r\n疑是地上霜。\r\n举头望明月，\r\n低头思故乡。");
        EXPECT_EQ(s.Text(IDC_COMBO_FORM), CString(u"五言绝句"));
        const std::string folder = LOMEVA_SCREENSHOT_DIR;
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(s.SaveScreenshot(folder + "/add-poem-screen.png"));
    });
}

} // namespace
