// The page of every poet and form: where its words come from, poets of one name, form shapes and
// examples, names that a file name or a link cannot hold as they are, and writing the pages.

#include "tools/refpages/PageSet.h"
#include "tests/common/TestLibrary.h"
#include "tools/refpages/PageFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using namespace refpages;

bool Has(const std::string& html, const std::string& piece) {
    return html.find(piece) != std::string::npos;
}

const std::map<std::string, PoetNote> kPoetNotes = {
    {"李白", {"唐代", "701—762", "字太白", "诗仙。"}},
    {"无名氏", {"历代", "", "", "不知姓名的作者。"}},
};
const std::map<std::string, FormNote> kFormNotes = {{"五言绝句", {"近体诗", "四句。"}}};

PackageNotes Package() {
    PackageNotes notes;
    notes.biographies["唐代"]["李白"] = {{"全唐诗", "不该用上的小传。"}};
    notes.biographies["唐代"]["王维"] = {{"全唐诗", "字摩诘。\n第二段。"}};
    notes.biographies["唐代"]["韦庄"] = {{"全唐诗", "字端己。"}};
    notes.biographies["宋代"]["王维"] = {{"全宋诗", "宋代的另一位王维。"}};
    return notes;
}

class PageSetTest : public ::testing::Test {
protected:
    PageSetTest() : m_pages(kPoetNotes, kFormNotes, Package()) {}

    std::string Page(const std::string& name) const {
        const auto pages = m_pages.Pages();
        const auto page = pages.find(name);
        return page == pages.end() ? std::string() : page->second;
    }

    PageSet m_pages;
};

TEST_F(PageSetTest, OurNoteFirstThenThePackagesBiographyThenWhatTheLibrariesKnow) {
    m_pages.AddLibrary("kavro", "唐诗宋词元曲",
                       {{"静夜思", "李白", "唐代", "五言绝句", "床前明月光，疑是地上霜。"},
                        {"相思", "王维", "唐代", "五言绝句", "红豆生南国，春来发几枝。"},
                        {"菩萨蛮", "韦庄", "五代十国", "菩萨蛮", "人人尽说江南好。"},
                        {"无题", "无名氏", "宋代", "", ""},
                        {"白话", "胡适", "现代", "现代", "两个黄蝴蝶"}});
    const std::string libai = Page("poets/唐代/李白.htm");
    EXPECT_TRUE(Has(libai, "唐代 · 701—762 · 字太白")) << libai;
    EXPECT_TRUE(Has(libai, "<p>诗仙。</p>"));
    EXPECT_FALSE(Has(libai, "不该用上的小传")); // ours first, the package's not beside it
    const std::string wangwei = Page("poets/唐代/王维.htm");
    EXPECT_TRUE(Has(wangwei, "<p>字摩诘。</p><p>第二段。</p>")) << wangwei;
    EXPECT_TRUE(Has(wangwei, "——《全唐诗》小传"));
    EXPECT_FALSE(Has(wangwei, "宋代的另一位王维"));
    // The Five Dynasties' poets are among 全唐诗's.
    EXPECT_TRUE(Has(Page("poets/五代十国/韦庄.htm"), "字端己。"));
    // 历代 is every dynasty.
    EXPECT_TRUE(Has(Page("poets/宋代/无名氏.htm"), "不知姓名的作者。"));
    const std::string hushi = Page("poets/现代/胡适.htm");
    EXPECT_TRUE(Has(hushi, "<font color=\"#D9CBB0\">现代</font>"));
    EXPECT_TRUE(Has(hushi, "唐诗宋词元曲</font> 收录 1 首：《白话》</p>"));

    const PageCounts counts = m_pages.Counts();
    EXPECT_EQ(counts.poets.at(PageSource::ours), 2);    // 李白, 无名氏
    EXPECT_EQ(counts.poets.at(PageSource::package), 2); // 王维, 韦庄
    EXPECT_EQ(counts.poets.at(PageSource::library), 1); // 胡适
    EXPECT_EQ(counts.forms.at(PageSource::ours), 1);
    EXPECT_EQ(counts.forms.at(PageSource::library), 2); // 菩萨蛮, 现代
}

TEST_F(PageSetTest, PoetsOfOneNameHaveAPageForEachDynastyAndPoemsOpenTheirOwn) {
    m_pages.AddLibrary("全唐诗", "全唐诗",
                       {{"山居秋暝", "王维", "唐代", "五言律诗", "空山新雨后"}});
    m_pages.AddLibrary("全宋诗", "全宋诗",
                       {{"春日", "王维", "宋代", "七言绝句", "春日迟迟"},
                        {"秋日", "王维", "宋代", "七言绝句", "秋日"}});
    const std::string tang = Page("poets/唐代/王维.htm");
    const std::string song = Page("poets/宋代/王维.htm");
    EXPECT_TRUE(Has(tang, "全唐诗</font> 收录 1 首：《山居秋暝》")) << tang;
    EXPECT_FALSE(Has(tang, "春日"));
    EXPECT_TRUE(Has(song, "宋代的另一位王维。")) << song;
    EXPECT_TRUE(Has(song, "全宋诗</font> 收录 2 首：《春日》《秋日》"));
    EXPECT_TRUE(Has(song, "<a href=\"../../forms/七言绝句.htm\">七言绝句</a> 2"));
    // A form's example links to the page of its poet's own dynasty.
    EXPECT_TRUE(Has(Page("forms/五言律诗.htm"), "<a href=\"../poets/唐代/王维.htm\">王维</a>"));
    EXPECT_TRUE(Has(Page("forms/七言绝句.htm"), "<a href=\"../poets/宋代/王维.htm\">王维</a>"));
    EXPECT_EQ(m_pages.PoetPage("王维", "宋代"), "poets/宋代/王维.htm");
    EXPECT_EQ(m_pages.PoetPage("王维", "元代"), "");
}

TEST_F(PageSetTest, TheUsualShapeTheLibrariesCountsAndTheBestKnownExample) {
    PackageNotes package;
    // Two poems of one key: the counts go to them in the library's order.
    package.ranks["全宋词"][RankKey("苏轼", "浣溪沙")] = {10, 900};
    package.ranks["全宋词"][RankKey("晏殊", "浣溪沙")] = {500};
    PageSet pages({}, {}, package);
    const std::string six = "一二三四五六七。";
    pages.AddLibrary("kavro", "唐诗宋词元曲", {{"浣溪沙", "李璟", "五代十国", "浣溪沙", six}});
    pages.AddLibrary("全宋词", "全宋词",
                     {{"浣溪沙", "苏轼", "宋代", "浣溪沙", six + "\r\n" + six},
                      {"浣溪沙", "晏殊", "宋代", "浣溪沙", six + "\r\n" + six},
                      {"浣溪沙", "苏轼", "宋代", "浣溪沙", "山下兰芽短浸溪。\r\n" + six},
                      {"浣溪沙", "无名氏", "宋代", "浣溪沙", ""}});
    const auto html = pages.Pages().at("forms/浣溪沙.htm");
    EXPECT_TRUE(Has(html, "唐诗宋词元曲 1 首；全宋词 4 首。")) << html;
    EXPECT_TRUE(Has(html, "常见体式</font>：14 字，2 句（4 首中 3 首如此）。")) << html;
    EXPECT_TRUE(Has(html, "<br>山下兰芽短浸溪。<br>")) << html; // the second 苏轼: 900

    // No poem counted: the first poem of the usual shape.
    PageSet uncounted({}, {}, {});
    uncounted.AddLibrary("元曲", "元曲",
                         {{"天净沙·一", "甲", "元代", "天净沙", "枯藤老树昏鸦。"},
                          {"天净沙·二", "乙", "元代", "天净沙", "小桥流水人家，古道西风瘦马。"},
                          {"天净沙·三", "丙", "元代", "天净沙", "夕阳西下人家，断肠人在天涯。"}});
    const auto tune = uncounted.Pages().at("forms/天净沙.htm");
    EXPECT_TRUE(Has(tune, "12 字，2 句（3 首中 2 首如此）")) << tune;
    EXPECT_TRUE(Has(tune, "例：《天净沙·二》 元代·")) << tune;
}

TEST_F(PageSetTest, NamesAreEscapedInFileNamesLinksAndText) {
    m_pages.AddLibrary("kavro", "库<1>",
                       {{"a<b", "甲/乙", "唐代", "50%调", "一二三四五。"},
                        {"c&d", "丙#丁", "", "50%调", "一二三四五。"}});
    const auto pages = m_pages.Pages();
    ASSERT_EQ(pages.count("poets/唐代/甲%2F乙.htm"), 1u);
    ASSERT_EQ(pages.count("poets/未详/丙%23丁.htm"), 1u);
    const std::string poet = pages.at("poets/唐代/甲%2F乙.htm");
    EXPECT_TRUE(Has(poet, "<title>甲/乙</title>")) << poet;
    EXPECT_TRUE(Has(poet, "库&lt;1&gt;</font> 收录 1 首：《a&lt;b》")) << poet;
    // The file's '%' is the address's "%25": the viewer decodes the link once.
    EXPECT_TRUE(Has(poet, "href=\"../../forms/50%2525调.htm\"")) << poet;
    const std::string form = pages.at("forms/50%25调.htm");
    EXPECT_TRUE(Has(form, "<a href=\"../poets/唐代/甲%252F乙.htm\">甲/乙</a>")) << form;
    EXPECT_EQ(LinkTo("forms/何?.htm"), "forms/何%3F.htm");
}

ino_t InodeOf(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? status.st_ino : 0;
}

TEST(PageFiles, TheSamePagesWrittenAgainChangeNothingAndPagesNoLongerMadeGo) {
    testing_support::TempFolder folder;
    const fs::path root = folder.Path();
    const std::map<std::string, std::string> pages = {{"poets/唐代/李白.htm", "李白"},
                                                      {"poets/宋代/苏轼.htm", "苏轼"},
                                                      {"forms/浣溪沙.htm", "浣溪沙"}};
    std::string error;
    ASSERT_TRUE(WritePages(root, pages, error)) << error;
    const auto written = fs::last_write_time(root / "poets/唐代/李白.htm");
    const auto inode = InodeOf(root / "poets/唐代/李白.htm");
    ASSERT_TRUE(WritePages(root, pages, error)) << error;
    EXPECT_EQ(fs::last_write_time(root / "poets/唐代/李白.htm"), written);
    EXPECT_EQ(InodeOf(root / "poets/唐代/李白.htm"), inode);

    testing_support::WriteFile((root / "authors.htm").string(), "not a page folder's");
    ASSERT_TRUE(WritePages(root, {{"poets/唐代/李白.htm", "李白，又一版"}}, error)) << error;
    EXPECT_EQ(testing_support::ReadFile((root / "poets/唐代/李白.htm").string()), "李白，又一版");
    EXPECT_FALSE(fs::exists(root / "poets/宋代"));
    EXPECT_FALSE(fs::exists(root / "forms"));
    EXPECT_TRUE(fs::exists(root / "authors.htm"));
    // Nothing is left beside the pages.
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, 2u);
}

TEST(PackageNotesFile, ReadsBackWhatItWrote) {
    PackageNotes notes = Package();
    notes.ranks["全宋诗"][RankKey("杨时", "腊月见桃花")] = {3, -1};
    const std::string text = WritePackageNotes(notes);
    const auto back = ReadPackageNotes(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(WritePackageNotes(*back), text);
    EXPECT_EQ(back->biographies.at("唐代").at("王维").front().text, "字摩诘。\n第二段。");
    EXPECT_FALSE(ReadPackageNotes("{\"biographies\": 3}"));
    EXPECT_FALSE(ReadPackageNotes("not json"));
    // A title cut to the record's width still finds its count.
    EXPECT_EQ(RankKey("杨时", "一二三四五六七八九十甲乙丙丁"),
              RankKey("杨时", "一二三四五六七八九十甲乙…"));
}

} // namespace
