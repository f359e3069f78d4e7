// The program folder as the build lays it out: the default library made from the curated poems,
// every pick-list name finding its poems, and the reference pages anchored at every name.

#include "library/NameTables.h"
#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"
#include "platform/core/Services.h"
#include "settings/Settings.h"
#include "tests/common/Process.h"
#include "tests/common/TestLibrary.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

namespace {

const std::string kProgramFolder = LOMEVA_PROGRAM_DIR "/";
const std::string kCurated = LOMEVA_SOURCE_DIR "/data/kavro/";

class DefaultLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_strAppPath = CString::FromUtf8(kProgramFolder);
        ASSERT_TRUE(m_library.Open()) << "no default library in " << kProgramFolder;
    }
    void TearDown() override { ResetSettings(); }

    template <std::size_t N>
    std::set<std::string> Unmatched(const std::array<const char16_t*, N>& names,
                                    SelectField field) {
        std::set<std::string> unmatched;
        for (const char16_t* name : names) {
            if (std::u16string_view(name).size() >= 2 && m_library.Select(name, field) == 0) {
                unmatched.insert(CString(name).ToUtf8());
            }
        }
        return unmatched;
    }

    // The lines of a record's text, parted at its CR LF breaks.
    std::vector<std::u16string> Lines(const PoemRecord& record) {
        CString text;
        m_library.ReadText(&record, text);
        std::vector<std::u16string> lines;
        for (std::u16string_view rest = text.view(); !rest.empty();) {
            const auto end = std::min(rest.find(u"\r\n"), rest.size());
            lines.emplace_back(rest.substr(0, end));
            rest.remove_prefix(std::min(end + 2, rest.size()));
        }
        return lines;
    }

    CRecordingMessageBox m_boxes;
    ScopedService<IMessageBoxService> m_quiet{m_boxes};
    CPoemLibrary m_library{CString::FromUtf8(kProgramFolder)};
};

TEST_F(DefaultLibraryTest, HoldsEveryCuratedPoemInOrder) {
    std::size_t curated = 0;
    std::string firstTitle;
    for (const char* file :
         {"01-tang300.json", "02-songci300.json", "03-yuanqu.json", "04-more.json"}) {
        std::ifstream in(kCurated + file);
        const auto poems = nlohmann::json::parse(in);
        curated += poems.size();
        if (firstTitle.empty()) {
            firstTitle = poems.at(0).at("title").get<std::string>();
        }
    }
    EXPECT_EQ(m_library.m_nCount, curated);
    EXPECT_EQ(m_library.GetName(), u"唐诗宋词元曲");
    EXPECT_EQ(m_library.GetVersion(), u"1.0.0");
    ASSERT_GT(m_library.m_nCount, 0u);
    EXPECT_EQ(CodePage::Decode(m_library.GetRecords()[0].title, 65).ToUtf8(), firstTitle);
    // Every text and field is valid code page 936: nothing became '?'.
    const auto check =
        testing_support::RunProcess(POEMLIB_PATH, {"check", kProgramFolder + "kavro.idx"});
    EXPECT_EQ(check.exitCode, 0) << check.out;
}

TEST_F(DefaultLibraryTest, EveryPickListNameFindsPoemsInItsOwnField) {
    // Names no open collection has a poem for, and one tune too long for any form field.
    EXPECT_EQ(Unmatched(g_authorNames, SEL_AUTHOR), (std::set<std::string>{"吴伟业", "郑板桥"}));
    EXPECT_EQ(Unmatched(g_dynastyNames, SEL_DYNASTY), (std::set<std::string>{"秦代", "现代"}));
    EXPECT_EQ(Unmatched(g_searchFormNames, SEL_FORM),
              (std::set<std::string>{"现代", "中吕·快活三过朝天子四换头"}));
}

// Every 绝句 and 律诗 stands one couplet a line, however its source punctuated it: a line holds two
// verses of the form's length.
TEST_F(DefaultLibraryTest, RegularShiStandACoupletALine) {
    const std::map<std::u16string, std::size_t> verseLengths = {
        {u"五言绝句", 5}, {u"五言律诗", 5}, {u"七言绝句", 7}, {u"七言律诗", 7}};
    std::size_t checked = 0;
    for (std::uint32_t i = 0; i < m_library.m_nCount; ++i) {
        const PoemRecord& record = m_library.GetRecords()[i];
        const auto length = verseLengths.find(CodePage::Decode(record.form, 17).str());
        if (length == verseLengths.end()) {
            continue;
        }
        for (const std::u16string& line : Lines(record)) {
            std::size_t spoken = 0;
            for (const char16_t ch : line) {
                spoken +=
                    std::u16string_view(u"，。！？；：、“”‘’").find(ch) == std::u16string_view::npos
                        ? 1
                        : 0;
            }
            EXPECT_EQ(spoken, 2 * length->second)
                << CodePage::Decode(record.title, 65).ToUtf8() << ": " << CString(line).ToUtf8();
        }
        ++checked;
    }
    EXPECT_GT(checked, 200u);
    ASSERT_EQ(m_library.Select(u"静夜思", SEL_TITLE), 1u);
    CString text;
    m_library.ReadText(&m_library.GetResultBuffer()[0], text);
    EXPECT_EQ(text, u"床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。");
}

// No line of any poem ends inside its sentence: a couplet that ends on a comma was paired wrong,
// or took the comma its source runs one sentence over two couplets with (静夜思, 长干行, 商颂·那).
TEST_F(DefaultLibraryTest, NoLineEndsInsideItsSentence) {
    std::vector<std::string> open;
    for (std::uint32_t i = 0; i < m_library.m_nCount; ++i) {
        const PoemRecord& record = m_library.GetRecords()[i];
        for (const std::u16string& line : Lines(record)) {
            if (line.ends_with(u"，") || line.ends_with(u"、")) {
                open.push_back(CodePage::Decode(record.title, 65).ToUtf8() + ": " +
                               CString(line).ToUtf8());
            }
        }
    }
    EXPECT_EQ(open, std::vector<std::string>());
    for (const auto& [title, line] : std::vector<std::pair<const char16_t*, std::u16string_view>>{
             {u"长干行·其一", u"同居长干里，两小无嫌猜。\r\n十四为君妇"},
             {u"商颂·那", u"温恭朝夕，执事有恪。\r\n顾予烝尝，汤孙之将。"}}) {
        ASSERT_EQ(m_library.Select(title, SEL_TITLE), 1u) << CString(title).ToUtf8();
        CString text;
        m_library.ReadText(&m_library.GetResultBuffer()[0], text);
        EXPECT_NE(text.view().find(line), std::u16string_view::npos) << text.ToUtf8();
    }
}

TEST_F(DefaultLibraryTest, ReferencePagesHaveAnAnchorForEveryName) {
    const std::string authors = testing_support::ReadFile(kProgramFolder + "authors.htm");
    const std::string forms = testing_support::ReadFile(kProgramFolder + "geti.htm");
    ASSERT_FALSE(authors.empty());
    ASSERT_FALSE(forms.empty());
    auto anchors = [](const std::string& page, const std::string& name) {
        const std::string anchor = "<a name=\"" + name + "\">";
        std::size_t count = 0;
        for (auto at = page.find(anchor); at != std::string::npos; at = page.find(anchor, at + 1)) {
            ++count;
        }
        return count;
    };
    for (const char16_t* name : g_authorNames) {
        if (std::u16string_view(name).size() >= 2) {
            EXPECT_EQ(anchors(authors, CString(name).ToUtf8()), 1u) << CString(name).ToUtf8();
        }
    }
    for (const char16_t* name : g_searchFormNames) {
        if (std::u16string_view(name).size() >= 2) {
            EXPECT_EQ(anchors(forms, CString(name).ToUtf8()), 1u) << CString(name).ToUtf8();
        }
    }
    EXPECT_NE(authors.find("charset=UTF-8"), std::string::npos);
    // Each poet's entry lists the poems the library holds by them.
    EXPECT_NE(authors.find("《静夜思》"), std::string::npos);
}

} // namespace
