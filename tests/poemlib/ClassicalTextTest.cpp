// The characters of classical verse as the import writes them: the phrases OpenCC's tables get
// wrong, 馀 beside 余, variant forms made standard, and poets' names without the editors' marks.

#include "platform/core/CodePage.h"
#include "tools/poemlib/ConversionTables.h"
#include "tools/poemlib/PoetNames.h"
#include "tools/poemlib/Simplifier.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

std::u16string Simplified(std::u16string_view text, ConversionLog* log = nullptr) {
    static const Simplifier simplifier;
    return std::u16string(simplifier.Simplify(CString(text), log).view());
}

std::size_t Count(const ReplacementLog& log, std::u16string_view from) {
    const auto it = log.Entries().find(std::u16string(from));
    return it != log.Entries().end() ? it->second.second : 0;
}

TEST(ConversionTablesTest, TheBuiltInTablesReadWithoutAFault) {
    const ConversionTables& tables = ConversionTables::BuiltIn();
    EXPECT_TRUE(tables.Errors().empty()) << tables.Errors().front();
    EXPECT_GT(tables.VariantCount(), 500u);
    EXPECT_GT(tables.PhraseCount(), 50u);
    // No variant of ours is a character of GB2312, which the tables leave as it stands.
    for (const char16_t* standard : {u"高", u"剑", u"疏", u"馀"}) {
        EXPECT_EQ(tables.StandardOf(standard), nullptr) << CString(standard).ToUtf8();
    }
}

TEST(ConversionTablesTest, ALineThatCannotBeReadIsNamedAndLeftOut) {
    const ConversionTables tables = ConversionTables::Parse(
        "# a comment\n劒\t劍\tthe 1955 table\n鬭\t\tno standard form\n髙髙\t高\ttwo characters\n"
        "劒\t劍\ttwice\n",
        "乾符\t乾符\tan era\n^於鑠\t於铄\tat a clause's start\n宮徵\t宫\tshort\n乾符\t乾符\t\n");
    EXPECT_EQ(tables.VariantCount(), 1u);
    EXPECT_EQ(tables.PhraseCount(), 2u);
    EXPECT_EQ(tables.Errors().size(), 5u);
    ASSERT_NE(tables.StandardOf(u"劒"), nullptr);
    EXPECT_EQ(*tables.StandardOf(u"劒"), u"劍");
    ASSERT_NE(tables.PhrasesStartingWith(u"於"), nullptr);
    EXPECT_TRUE(tables.PhrasesStartingWith(u"於")->front().atClauseStart);
}

// What OpenCC's phrase tables write 干符, 宫征, 借甚 and 于铄 stays as classical verse writes it,
// and each mend is counted; the same characters elsewhere are simplified as before.
TEST(SimplifierTest, PhrasesThePhraseTablesGetWrongAreWrittenAsTheyStand) {
    ConversionLog log;
    EXPECT_EQ(Simplified(u"乾符初得位，乾乾夕惕。", &log), u"乾符初得位，乾乾夕惕。");
    EXPECT_EQ(Simplified(u"暗合清風調宮徵，文名藉甚更詩聲。", &log),
              u"暗合清风调宫徵，文名藉甚更诗声。");
    EXPECT_EQ(Simplified(u"於鑠王師，遵養時晦。", &log), u"於铄王师，遵养时晦。");
    EXPECT_EQ(Simplified(u"不聞覆杯水，分曹射覆蠟燈紅。", &log), u"不闻覆杯水，分曹射覆蜡灯红。");
    EXPECT_EQ(Count(log.mended, u"乾符"), 1u);
    EXPECT_EQ(Count(log.mended, u"宮徵"), 1u);
    EXPECT_EQ(Count(log.mended, u"藉甚"), 1u);
    EXPECT_EQ(Count(log.mended, u"於鑠"), 1u);
    EXPECT_EQ(log.mended.Entries().at(u"於鑠").first, u"於铄");
    // The exclamation 於 opens its clause; inside one, 於 is the preposition 于.
    EXPECT_EQ(Simplified(u"吾言禮止於皇極。於皇武王。"), u"吾言礼止于皇极。於皇武王。");
    // Elsewhere the tables are right: 乾 dry, 徵 summon, 藉 borrow, 覆 again.
    EXPECT_EQ(Simplified(u"淚未乾，徵兵急，藉口反覆。"), u"泪未干，征兵急，借口反复。");
    // The longest phrase at a place wins: 旱乾 (drought) before the era 乾寧.
    EXPECT_EQ(Simplified(u"水溢旱乾寧有數。壁倚乾寧碣。"), u"水溢旱干宁有数。壁倚乾宁碣。");
    // What the tables already keep is not counted as mended.
    ConversionLog kept;
    EXPECT_EQ(Simplified(u"吳楚東南坼，乾坤日夜浮。於穆清廟。", &kept),
              u"吴楚东南坼，乾坤日夜浮。於穆清庙。");
    EXPECT_EQ(kept.mended.Total(), 0u);
}

// A phrase of a table of one's own: matched only at a clause's start when it says so, and the
// longest wins, in whatever script the source writes it.
TEST(SimplifierTest, APhraseTableOfOnesOwnIsAppliedAsItsLinesSay) {
    const ConversionTables tables = ConversionTables::Parse(
        "", "^於皇\t於皇\tan exclamation\n乾乾\t乾乾\ttireless\n乾乾淨\t干干净\tclean\n");
    ASSERT_TRUE(tables.Errors().empty());
    const Simplifier simplifier(tables);
    const auto simplified = [&simplifier](std::u16string_view text) {
        return std::u16string(simplifier.Simplify(CString(text)).view());
    };
    EXPECT_EQ(simplified(u"於皇武王，禮止於皇極。"), u"於皇武王，礼止于皇极。");
    EXPECT_EQ(simplified(u"終日乾乾，掃得乾乾淨淨。"), u"终日乾乾，扫得干干净净。");
}

// 餘 is written 馀, so that 余 keeps meaning "I" alone; a source that writes 馀 keeps it.
TEST(SimplifierTest, RemainderIsWrittenApartFromI) {
    ConversionLog log;
    EXPECT_EQ(Simplified(u"餘霞散成綺，余亦辭家去。", &log), u"馀霞散成绮，余亦辞家去。");
    EXPECT_EQ(Simplified(u"馀音袅袅", &log), u"馀音袅袅");
    EXPECT_EQ(Count(log.mended, u"餘"), 1u);
    std::size_t lost = 0;
    CodePage::Encode(u"馀", &lost);
    EXPECT_EQ(lost, 0u);
}

// Japanese forms become what t2s knows through OpenCC's jp2t; the variants of our own table
// become their standard forms; both are counted. GB2312's own characters stay as they are (jp2t
// would make 芸 藝), and so do variants with a sense of their own (彊 jiàng).
TEST(SimplifierTest, VariantFormsBecomeStandardAndAreCounted) {
    ConversionLog log;
    EXPECT_EQ(Simplified(u"隠居浄土，頼有髪如効。", &log), u"隐居净土，赖有发如效。");
    EXPECT_EQ(Simplified(u"劒鬬鬭堦前，髙樹鶑啼。", &log), u"剑斗斗阶前，高树莺啼。");
    EXPECT_EQ(Count(log.normalised, u"隠"), 1u);
    EXPECT_EQ(log.normalised.Entries().at(u"隠").first, u"隱");
    EXPECT_EQ(Count(log.normalised, u"髙"), 1u);
    EXPECT_EQ(Count(log.normalised, u"鬭"), 1u);
    EXPECT_EQ(log.normalised.Total(), 11u);
    ConversionLog untouched;
    EXPECT_EQ(Simplified(u"芸芸眾生，倔彊不屈。", &untouched), u"芸芸众生，倔彊不屈。");
    EXPECT_EQ(untouched.normalised.Total(), 0u);
    // A variant made standard takes part in the phrases: 宮徴 is 宮徵.
    EXPECT_EQ(Simplified(u"宮徴相和"), u"宫徵相和");
}

TEST(PoetNamesTest, TheEditorsMarksComeOffAName) {
    const poemlib::CharacterCodes codes = {{"{隽乃=冏}", "𬮦"}};
    const auto clean = [&codes](const std::string& name) {
        return poemlib::CleanPoetName(name, codes);
    };
    EXPECT_EQ(clean("[嚴]續姬"), "嚴續姬");
    EXPECT_EQ(clean("耿[湋]"), "耿湋");
    EXPECT_EQ(clean("敦煌人作品[一]"), "敦煌人作品");
    EXPECT_EQ(clean("曹菘〖1〗"), "曹菘");
    EXPECT_EQ(clean("劉鎮2"), "劉鎮");
    EXPECT_EQ(clean("史{隽乃=冏}之"), "史𬮦之");
    EXPECT_EQ(clean("魏{氵雩}"), "魏□");
    EXPECT_EQ(clean("道鏡　善導"), "道鏡、善導");
    EXPECT_EQ(clean("光\t威\t裒"), "光、威、裒");
    EXPECT_EQ(clean("尹鹗 六首"), "尹鹗");
    EXPECT_EQ(clean("鮑氏君[徽]微"), "鮑氏君徽");
    // Names without marks, and marks that are part of no name, stay.
    EXPECT_EQ(clean("李白"), "李白");
    EXPECT_EQ(clean("《靖康小雅》作者"), "《靖康小雅》作者");
    EXPECT_EQ(clean("崔居俭、卢文纪"), "崔居俭、卢文纪");
}

TEST(PoetNamesTest, TheCodesTableGivesTheFirstCharacterItKnows) {
    const auto document = nlohmann::json::parse(R"({
        "{上休下鳥}": [{"font": "𪀪", "unicode": "\\U0002A02A"}],
        "{中/衣}": [{"font": "衶", "unicode": "\\U8876"}, {"font": "衷", "unicode": "\\U8877"}],
        "{上/貝}": []})");
    const poemlib::CharacterCodes codes = poemlib::CharacterCodesOf(document);
    EXPECT_EQ(codes, (poemlib::CharacterCodes{{"{上休下鳥}", "𪀪"}, {"{中/衣}", "衶"}}));
    EXPECT_TRUE(poemlib::CharacterCodesOf(nlohmann::json::array()).empty());
}

} // namespace
