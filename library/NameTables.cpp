#include "library/NameTables.h"

namespace {

// The forms a poem can be entered in; the search's form list begins with the same names.
constexpr std::array<const char16_t*, 31> kEntryForms = {
    u"五言古诗", u"五言乐府", u"五言律诗", u"五言绝句", u"七言乐府", u"七言绝句", u"减字木兰花",
    u"卜算子",   u"浣溪沙",   u"西江月",   u"阮郎归",   u"少年游",   u"鹧鸪天",   u"虞美人",
    u"南乡子",   u"定风波",   u"蝶恋花",   u"临江仙",   u"渔家傲",   u"行香子",   u"江城子",
    u"洞仙歌",   u"水调歌头", u"念奴娇",   u"满江红",   u"沁园春",   u"永遇乐",   u"八声甘州",
    u"贺新郎",   u"水龙吟",   u"现代",
};

constexpr std::array<const char16_t*, 56> kMoreSearchForms = {
    u"采桑子",
    u"拆挂令",
    u"蟾宫曲",
    u"长相思",
    u"朝天子",
    u"沉醉东风",
    u"楚天遥带过清江引",
    u"殿前欢",
    u"蝶恋花",
    u"黑漆弩",
    u"红绣鞋",
    u"节节高",
    u"金缕曲",
    u"金字经",
    u"酒泉子",
    u"浪淘沙",
    u"临江仙",
    u"落梅风",
    u"木兰词",
    u"南乡子",
    u"凭阑人",
    u"菩萨蛮",
    u"普天乐",
    u"七言歌行",
    u"乾荷叶",
    u"清江引",
    u"清平乐",
    u"庆东原",
    u"如梦令",
    u"塞儿令",
    u"商调·梧叶儿",
    u"十儿月尧民歌",
    u"寿阳曲",
    u"双调·水仙子",
    u"水仙子",
    u"四块玉",
    u"天净沙",
    u"梧叶儿",
    u"喜春来",
    u"仙吕·寄生草",
    u"小梁州",
    u"小桃红",
    u"雁儿落带得胜令",
    u"雁儿落带过得胜令",
    u"一半儿",
    u"迎仙客",
    u"折桂令",
    u"正宫·叨叨令",
    u"正宫·塞鸿秋",
    u"正宫·醉太平",
    u"中吕·朝天子",
    u"中吕·红绣鞋",
    u"中吕·快活三过朝天子四换头",
    u"驻马听",
    u"醉太平",
    u"醉中平",
};

template <std::size_t A, std::size_t B>
constexpr std::array<const char16_t*, A + B + 1>
EndedTable(const std::array<const char16_t*, A>& first,
           const std::array<const char16_t*, B>& then) {
    std::array<const char16_t*, A + B + 1> table{};
    for (std::size_t i = 0; i < A; ++i) {
        table[i] = first[i];
    }
    for (std::size_t i = 0; i < B; ++i) {
        table[A + i] = then[i];
    }
    table[A + B] = u"";
    return table;
}

} // namespace

const std::array<const char16_t*, 136> g_authorNames = {
    u"屈原",     u"李白",   u"白居易", u"杜甫",   u"杜牧",   u"岑参",   u"韩愈",   u"常建",
    u"陈陶",     u"陈子昂", u"李商隐", u"崔颢",   u"崔涂",   u"戴叔伦", u"杜秋娘", u"杜审言",
    u"郑思肖",   u"杜荀鹤", u"高适",   u"顾况",   u"韩翃",   u"贺知章", u"贾岛",   u"金昌绪",
    u"李端",     u"李频",   u"李颀",   u"李益",   u"刘长卿", u"卢纶",   u"柳宗元", u"柳中庸",
    u"刘禹锡",   u"刘眘虚", u"刘方平", u"骆宾王", u"马戴",   u"孟浩然", u"孟郊",   u"裴迪",
    u"綦毋潜",   u"钱起",   u"丘为",   u"权德舆", u"僧皎然", u"沈佺期", u"司空曙", u"宋之问",
    u"唐玄宗",   u"王勃",   u"王昌龄", u"王翰",   u"王建",   u"王湾",   u"王维",   u"王之涣",
    u"韦应物",   u"韦庄",   u"温庭筠", u"无名氏", u"西鄙人", u"许浑",   u"元结",   u"元稹",
    u"张祜",     u"张籍",   u"张九龄", u"张泌",   u"张乔",   u"张旭",   u"郑畋",   u"朱庆余",
    u"祖咏",     u"柳开",   u"王禹偁", u"寇准",   u"杨亿",   u"林逋",   u"穆修",   u"晏殊",
    u"宋祁",     u"曾公亮", u"梅尧臣", u"欧阳修", u"苏舜钦", u"邵雍",   u"文同",   u"曾巩",
    u"王安石",   u"程颢",   u"苏轼",   u"苏辙",   u"黄庭坚", u"秦观",   u"张耒",   u"陈师道",
    u"宋徽宗",   u"朱淑真", u"吕本中", u"曾几",   u"陈与义", u"陆游",   u"杨万里", u"范成大",
    u"朱熹",     u"姜夔",   u"徐玑",   u"戴复古", u"赵师秀", u"文天祥", u"曹操",   u"白朴",
    u"查德卿",   u"冯子振", u"关汉卿", u"刘秉忠", u"刘致",   u"卢挚",   u"马九皋", u"马致远",
    u"纳兰性德", u"乔吉",   u"任昱",   u"王实甫", u"王恽",   u"无名氏", u"吴伟业", u"徐德可",
    u"杨果",     u"姚燧",   u"张可久", u"张养浩", u"赵禹圭", u"郑板桥", u"珠帘秀", u"",
};

const std::array<const char16_t*, 15> g_dynastyNames = {
    u"商代",     u"周代", u"春秋", u"战国", u"秦代", u"汉代", u"隋代", u"唐代",
    u"五代十国", u"宋代", u"元代", u"明代", u"清代", u"现代", u"",
};

const std::array<const char16_t*, 32> g_entryFormNames =
    EndedTable(kEntryForms, std::array<const char16_t*, 0>{});

const std::array<const char16_t*, 88> g_searchFormNames = EndedTable(kEntryForms, kMoreSearchForms);
