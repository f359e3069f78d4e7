#include "tools/refpages/RefPages.h"

#include <gtest/gtest.h>

namespace {

using namespace refpages;

const std::vector<Poem> kLibrary = {
    {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。"},
    {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，处处闻啼鸟。\r\n夜来风雨声，花落知多少。"},
    {"相思", "王维", "唐代", "五言绝句", "红豆生南国，春来发几枝。\r\n愿君多采撷，此物最相思。"},
    {"天净沙·秋思", "马致远", "元代", "天净沙",
     "枯藤老树昏鸦，小桥流水人家，古道西风瘦马。夕阳西下，断肠人在天涯。"},
    {"<a&b>", "李白", "唐代", "七言绝句", ""},
};

int Count(const std::string& html, const std::string& piece) {
    int count = 0;
    for (auto at = html.find(piece); at != std::string::npos; at = html.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

TEST(RefPages, ShapeCountsLinesCharactersAndStanzas) {
    const FormShape quatrain = ShapeOf("五言绝句", kLibrary);
    EXPECT_EQ(quatrain.poems, 3);
    EXPECT_EQ(quatrain.lines, 4);
    EXPECT_EQ(quatrain.charactersPerLine, 5);
    EXPECT_EQ(quatrain.characters, 20);
    EXPECT_EQ(quatrain.stanzas, 2);
    const FormShape tune = ShapeOf("天净沙", kLibrary);
    EXPECT_EQ(tune.poems, 1);
    EXPECT_EQ(tune.characters, 28);
    EXPECT_EQ(tune.lines, 5);
    EXPECT_EQ(tune.charactersPerLine, 0);
    EXPECT_EQ(ShapeOf("七言绝句", kLibrary).poems, 0); // an empty text tells nothing
}

TEST(RefPages, OneAnchoredEntryPerDistinctNameWithItsPoems) {
    const std::map<std::string, PoetNote> notes = {
        {"李白", {"唐代", "701—762", "字太白", "诗仙。"}}};
    const std::string html = AuthorsPage({"李白", "无名氏", "孟浩然", "无名氏"}, notes, kLibrary);
    EXPECT_EQ(Count(html, "<a name=\"李白\">"), 1);
    EXPECT_EQ(Count(html, "<a name=\"无名氏\">"), 1);
    EXPECT_EQ(Count(html, "<a href=\"#无名氏\">"), 1); // the contents list it once as well
    EXPECT_NE(html.find("唐代 · 701—762 · 字太白"), std::string::npos);
    EXPECT_NE(html.find("本库收录 2 首：《静夜思》《&lt;a&amp;b&gt;》"), std::string::npos);
    EXPECT_NE(html.find("charset=UTF-8"), std::string::npos);
    EXPECT_NE(html.find("本库暂未收录其作品。"), std::string::npos);
}

TEST(RefPages, FormEntriesDescribeAndShowAnExample) {
    const std::map<std::string, FormNote> notes = {{"天净沙", {"曲牌", "越调小令。"}},
                                                   {"五言绝句", {"近体诗", "四句。"}}};
    const std::string html = FormsPage({"五言绝句", "天净沙", "商调·梧叶儿"}, notes, kLibrary);
    EXPECT_NE(html.find("以本库所收 3 首计：常见 4 句，每句 5 字。"), std::string::npos);
    EXPECT_NE(html.find("以本库所收 1 首计：多为单调，28 字，5 句。"), std::string::npos);
    EXPECT_NE(html.find("<a name=\"商调·梧叶儿\">"), std::string::npos);
    EXPECT_NE(html.find("本库暂未收录此体作品。"), std::string::npos);
    EXPECT_NE(html.find("例：《静夜思》 唐代·李白"), std::string::npos);
    EXPECT_NE(html.find("床前明月光，疑是地上霜。<br>举头望明月"), std::string::npos);
}

} // namespace
