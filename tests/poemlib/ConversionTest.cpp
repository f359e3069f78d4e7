// Making the collection's poems fit a library: the conversion to simplified characters the code
// page holds, the shapes of verses, fields cut to their width and the tunes of qu.

#include "platform/core/CodePage.h"
#include "tools/poemlib/Prepare.h"
#include "tools/poemlib/Simplifier.h"
#include "tools/poemlib/TextMends.h"
#include "tools/poemlib/Verses.h"

#include <gtest/gtest.h>

namespace {

using poemlib::CoupletLines;
using poemlib::FitField;
using poemlib::FormByShape;
using poemlib::SplitVerses;

std::u16string Simplified(std::u16string_view text, ConversionLog* log = nullptr) {
    static const Simplifier simplifier;
    return std::u16string(simplifier.Simplify(CString(text), log).view());
}

TEST(SimplifierTest, ConvertsWholeTextsWithThePhraseTables) {
    ASSERT_TRUE(Simplifier().IsReady());
    // GB2312 holds 後, 於 and 乾, and yet a simplified text writes 后 and 于; 乾 stays only where
    // the phrase keeps it.
    EXPECT_EQ(Simplified(u"空山新雨後，霜葉紅於二月花。"), u"空山新雨后，霜叶红于二月花。");
    EXPECT_EQ(Simplified(u"吳楚東南坼，乾坤日夜浮。"), u"吴楚东南坼，乾坤日夜浮。");
    EXPECT_EQ(Simplified(u"天氣乾燥"), u"天气干燥");
    EXPECT_EQ(Simplified(u"商調・梧葉兒"), u"商调·梧叶儿");
    // Spaces that do not break are spaces; invisible marks go.
    EXPECT_EQ(Simplified(u"山一程\u00A0水一程\u200B\uFEFF"), u"山一程 水一程");
}

TEST(SimplifierTest, EveryCharacterEndsInTheCodePageAndNeverAsAQuestionMark) {
    // 餔 is in the code page and its simplified form 𫗦 is not: the original stays, unlogged.
    ConversionLog log;
    EXPECT_EQ(Simplified(u"何不餔其糟", &log), u"何不餔其糟");
    EXPECT_EQ(log.replaced.Total(), 0u);
    // 䍦 has an older form the code page holds; 𢋙 has none and becomes □. Both are logged.
    EXPECT_EQ(Simplified(u"狂遺白接䍦，撈漉蛙𢋙脚？", &log), u"狂遗白接篱，捞漉蛙□脚？");
    EXPECT_EQ(log.replaced.Total(), 2u);
    EXPECT_EQ(log.replaced.Entries().at(u"𢋙").first, u"□");
    EXPECT_EQ(log.replaced.Entries().at(u"䍦").first, u"篱");
    std::size_t lost = 0;
    CodePage::Encode(Simplified(u"ᚠᚢ𠀀㐀"), &lost);
    EXPECT_EQ(lost, 0u);
}

TEST(VersesTest, ShapeNamesTheForm) {
    const auto form = [](std::u16string_view text) { return FormByShape(SplitVerses(text)); };
    EXPECT_EQ(form(u"床前明月光，疑是地上霜，举头望明月，低头思故乡。"), u"五言绝句");
    EXPECT_EQ(form(u"国破山河在，城春草木深。\r\n感时花溅泪，恨别鸟惊心。\r\n"
                   u"烽火连三月，家书抵万金。\r\n白头搔更短，浑欲不胜簪。"),
              u"五言律诗");
    EXPECT_EQ(form(u"远上寒山石径斜，白云生处有人家。停车坐爱枫林晚，霜叶红于二月花。"),
              u"七言绝句");
    EXPECT_EQ(form(u"一二三四五，一二三四五。一二三四五，一二三四五。一二三四五，一二三四五。"),
              u"五言古诗");
    EXPECT_EQ(form(u"关关雎鸠，在河之洲。窈窕淑女，君子好逑。"), u"四言");
    EXPECT_EQ(form(u"上邪！我欲与君相知，长命无绝衰。"), u"杂言");
    // Notes in brackets and quotes are not read aloud; lines without stops still end verses.
    EXPECT_EQ(form(u"挂席几千里（一作：去），名山都未逢。“泊舟浔阳郭，始见香炉峰。”"), u"五言绝句");
    EXPECT_EQ(form(u"池上闲房碧树围\r\n帘纹如縠上斜晖\r\n自怜憔悴同杨柳\r\n长被东风作絮飞"),
              u"七言绝句");
}

TEST(VersesTest, ARegularShiStandsACoupletALine) {
    const auto lines = [](std::u16string_view text) { return CoupletLines(text).lines; };
    EXPECT_EQ(
        lines(u"床前明月光，疑是地上霜，举头望明月，低头思故乡。"),
        (std::vector<std::u16string>{u"床前明月光，疑是地上霜，", u"举头望明月，低头思故乡。"}));
    EXPECT_EQ(lines(u"寻声暗问弹者谁？\r\n琵琶声停欲语迟。\r\n"),
              (std::vector<std::u16string>{u"寻声暗问弹者谁？琵琶声停欲语迟。"}));
    // Closing quotes stay with their verse.
    EXPECT_EQ(lines(u"借问酒家何处有？“牧童遥指杏花村。”"),
              (std::vector<std::u16string>{u"借问酒家何处有？“牧童遥指杏花村。”"}));
    // A question inside a line goes with the verse that answers it.
    EXPECT_EQ(lines(u"楚楚者茨，言抽其棘，自昔何为？我蓺黍稷。我黍与与，我稷翼翼。"),
              (std::vector<std::u16string>{u"楚楚者茨，言抽其棘，", u"自昔何为？我蓺黍稷。",
                                           u"我黍与与，我稷翼翼。"}));
    // A sentence of three verses stays whole.
    EXPECT_EQ(lines(u"一二三四五，一二三四五，一二三四五。"),
              (std::vector<std::u16string>{u"一二三四五，一二三四五，一二三四五。"}));
    // Mixed lengths and verses that only line breaks end keep their lines.
    EXPECT_TRUE(lines(u"上邪！我欲与君相知，长命无绝衰。").empty());
    EXPECT_TRUE(lines(u"池上闲房碧树围\r\n帘纹如縠上斜晖").empty());
}

TEST(FieldTest, ALongFieldIsCutAtACharacterWithAnEllipsis) {
    char title[65] = {};
    const CString longTitle(u"春日登陕州城楼俯眺原野回丹碧缀烟霞密翠斑红芳菲花柳即目川岫聊以命篇");
    EXPECT_TRUE(FitField(title, sizeof title, longTitle));
    const std::u16string stored(CodePage::Decode(title, sizeof title).view());
    EXPECT_EQ(stored, u"春日登陕州城楼俯眺原野回丹碧缀烟霞密翠斑红芳菲花柳即目川岫聊以…");
    EXPECT_LE(std::char_traits<char>::length(title), 64u);
    // A one-byte character before the cut: the field still ends on a character.
    char author[17] = {};
    EXPECT_TRUE(FitField(author, sizeof author, CString(u"a一二三四五六七八")));
    EXPECT_EQ(CodePage::Decode(author, sizeof author), u"a一二三四五六…");
    char form[17] = {};
    EXPECT_FALSE(FitField(form, sizeof form, CString(u"一二三四五六七八")));
    EXPECT_EQ(CodePage::Decode(form, sizeof form), u"一二三四五六七八");
}

TEST(QuTuneTest, TheTuneComesFromTheTitleInThePickListsSpelling) {
    const std::map<CString, CString> forms = {{CString(u"商调·梧叶儿"), CString(u"商调·梧叶儿")},
                                              {CString(u"乾荷叶"), CString(u"乾荷叶")},
                                              {CString(u"干荷叶"), CString(u"乾荷叶")},
                                              {CString(u"天净沙"), CString(u"天净沙")}};
    EXPECT_EQ(poemlib::QuTune(CString(u"商调·梧叶儿春夜"), forms), u"商调·梧叶儿");
    EXPECT_EQ(poemlib::QuTune(CString(u"天净沙·秋思"), forms), u"天净沙");
    EXPECT_EQ(poemlib::QuTune(CString(u"月明和尚度柳翠·乾荷叶"), forms), u"乾荷叶");
    EXPECT_EQ(poemlib::QuTune(CString(u"罗李郎大闹相国寺·干荷叶"), forms), u"乾荷叶");
    EXPECT_EQ(poemlib::QuTune(CString(u"诈妮子调风月·仙吕/点绛唇"), forms), u"点绛唇");
    EXPECT_EQ(poemlib::QuTune(CString(u"中吕·四换头"), forms), u"四换头");
    EXPECT_EQ(poemlib::QuTune(CString(u"一半儿"), forms), u"一半儿");
}

} // namespace

namespace {

TEST(MendsTest, AsciiPunctuationBesideChineseBecomesFullWidthAndStaysElsewhere) {
    unsigned count = 0;
    EXPECT_EQ(poemlib::FullWidthPunctuation(u"莫言春稍晚,自有镇开花.谁知?(云)好:是;", count),
              u"莫言春稍晚，自有镇开花。谁知？（云）好：是；");
    EXPECT_EQ(count, 7u);
    count = 0;
    // Between Latin letters and digits, after a number and in an ellipsis, it stays.
    EXPECT_EQ(poemlib::FullWidthPunctuation(u"1.小山 qiong2）a,b 3.14 好... (a)", count),
              u"1.小山 qiong2）a,b 3.14 好... (a)");
    EXPECT_EQ(count, 0u);
}

TEST(MendsTest, AQuTitleWithATitleOfItsOwnKeepsIt) {
    poemlib::MendCounts counts;
    poemlib::PoemText poem{
        u"双调・折桂令席上偶谈蜀汉事，因赋短柱体", {u"鸾舆三顾茅庐，汉祚难扶。"}, {}};
    poemlib::MendVerseInTitle(poem, counts);
    EXPECT_EQ(poem.title, u"双调・折桂令席上偶谈蜀汉事，因赋短柱体");
    EXPECT_EQ(poem.lines.size(), 1u);
    EXPECT_EQ(counts.Total(), 0u);
}

} // namespace
