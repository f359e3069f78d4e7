#!/usr/bin/env node
// Makes the curated JSON of the default library (kavro) from the open "chinese-poetry"
// collection, and checks the committed files.
//
//   node curate.mjs PATH/TO/node_modules/chinese-poetry   regenerate 01..04-*.json, then check
//   node curate.mjs --check                                check the committed files only
//
// Generation needs the npm packages chinese-poetry, opencc-js and iconv-lite installed side by
// side (PATH/TO/node_modules). The check needs nothing but Node itself: it rebuilds the GBK
// repertoire from the built-in TextDecoder when iconv-lite cannot be found.
//
// Every choice that is not mechanical lives in a table below (stand-in spellings, tune names,
// mends, extracts, picks), so that a run on the same package version always writes the same
// bytes.

import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

const HERE = path.dirname(fileURLToPath(import.meta.url));

// ---------------------------------------------------------------------------------------------
// The three pick lists of the search screen and the form list of the add-poem screen, character
// for character. The curated library must give every name at least one poem whose field holds
// the name as a substring.

const AUTHOR_LIST = `屈原 李白 白居易 杜甫 杜牧 岑参 韩愈 常建 陈陶 陈子昂 李商隐 崔颢 崔涂 戴叔伦 杜秋娘 杜审言 郑思肖
杜荀鹤 高适 顾况 韩翃 贺知章 贾岛 金昌绪 李端 李频 李颀 李益 刘长卿 卢纶 柳宗元 柳中庸 刘禹锡 刘眘虚 刘方平 骆宾王 马戴
孟浩然 孟郊 裴迪 綦毋潜 钱起 丘为 权德舆 僧皎然 沈佺期 司空曙 宋之问 唐玄宗 王勃 王昌龄 王翰 王建 王湾 王维 王之涣 韦应物
韦庄 温庭筠 无名氏 西鄙人 许浑 元结 元稹 张祜 张籍 张九龄 张泌 张乔 张旭 郑畋 朱庆余 祖咏 柳开 王禹偁 寇准 杨亿 林逋 穆修
晏殊 宋祁 曾公亮 梅尧臣 欧阳修 苏舜钦 邵雍 文同 曾巩 王安石 程颢 苏轼 苏辙 黄庭坚 秦观 张耒 陈师道 宋徽宗 朱淑真 吕本中
曾几 陈与义 陆游 杨万里 范成大 朱熹 姜夔 徐玑 戴复古 赵师秀 文天祥 曹操 白朴 查德卿 冯子振 关汉卿 刘秉忠 刘致 卢挚 马九皋
马致远 纳兰性德 乔吉 任昱 王实甫 王恽 无名氏 吴伟业 徐德可 杨果 姚燧 张可久 张养浩 赵禹圭 郑板桥 珠帘秀`.split(/\s+/);

const DYNASTY_LIST = '商代 周代 春秋 战国 秦代 汉代 隋代 唐代 五代十国 宋代 元代 明代 清代 现代'.split(' ');

const ENTRY_FORM_LIST = `五言古诗 五言乐府 五言律诗 五言绝句 七言乐府 七言绝句 减字木兰花 卜算子 浣溪沙 西江月 阮郎归
少年游 鹧鸪天 虞美人 南乡子 定风波 蝶恋花 临江仙 渔家傲 行香子 江城子 洞仙歌 水调歌头 念奴娇 满江红 沁园春 永遇乐 八声甘州
贺新郎 水龙吟 现代`.split(/\s+/);

const FORM_LIST = ENTRY_FORM_LIST.concat(
    `采桑子 拆挂令 蟾宫曲 长相思 朝天子 沉醉东风 楚天遥带过清江引 殿前欢 蝶恋花 黑漆弩 红绣鞋 节节高 金缕曲 金字经
酒泉子 浪淘沙 临江仙 落梅风 木兰词 南乡子 凭阑人 菩萨蛮 普天乐 七言歌行 乾荷叶 清江引 清平乐 庆东原 如梦令 塞儿令
商调·梧叶儿 十儿月尧民歌 寿阳曲 双调·水仙子 水仙子 四块玉 天净沙 梧叶儿 喜春来 仙吕·寄生草 小梁州 小桃红
雁儿落带得胜令 雁儿落带过得胜令 一半儿 迎仙客 折桂令 正宫·叨叨令 正宫·塞鸿秋 正宫·醉太平 中吕·朝天子 中吕·红绣鞋
中吕·快活三过朝天子四换头 驻马听 醉太平 醉中平`.split(/\s+/));

// The Tang section uses these two forms as well; the reference page describes them too.
const EXTRA_REFERENCE_FORMS = ['七言古诗', '七言律诗'];

const FILES = ['01-tang300.json', '02-songci300.json', '03-yuanqu.json', '04-more.json'];

// Field widths of a library record, in GBK bytes (the record keeps one more byte for the NUL).
const MAX_BYTES = { title: 64, author: 16, dynasty: 16, form: 16 };

// ---------------------------------------------------------------------------------------------
// Stand-in spellings: the pick lists spell some poets and tunes their own way. Poems are stored
// under the list's spelling so that a pick finds them.

const AUTHOR_RENAMES = {
    // The anthology writes 刘昚虚; 全唐诗 and the list write 刘眘虚 (昚 and 眘 are both old forms of 慎).
    刘昚虚: '刘眘虚',
    皎然: '僧皎然',
    李隆基: '唐玄宗',
    佚名: '无名氏',
    赵佶: '宋徽宗',
    朱淑贞: '朱淑真',
    张文潜: '张耒',
    刘时中: '刘致',
    薛昂夫: '马九皋',
    徐再思: '徐德可',
    王德信: '王实甫',
    // 赵禹圭's courtesy name is 天锡; the collection files his songs under it.
    赵天锡: '赵禹圭',
};

// ---------------------------------------------------------------------------------------------
// Text helpers.

let t2cn = (s) => s;
let iconv = null;

const MIDDLE_DOTS = /[\u30fb\uff65\u2022\u2027\u2219\u22c5\u0387]/g;

// Characters the collection uses that the GBK code page lacks, each with the variant GBK holds.
// The simplified forms the conversion gives for these are newer than GBK.
const GBK_MENDS = {
    䝙: '貙',
    䯄: '騧',
    㧑: '撝',
    𬙋: '纕',
    𬴂: '騑',
    // 谈䜩: the anthologies print 谈宴.
    䜩: '宴',
};

function normalizeText(s) {
    return t2cn(s)
        .replace(MIDDLE_DOTS, '·')
        .replace(/,/g, '，')
        .replace(/\?/g, '？')
        .replace(/!/g, '！')
        .replace(/;/g, '；')
        .replace(/:/g, '：')
        .replace(/[ \t\u3000]+/g, '')
        .replace(/[！？]。/g, (m) => m[0])
        .replace(/。+/g, '。');
}

// Variant characters that the conversion leaves alone, with the standard simplified form.
const VARIANTS = {
    鶑: '莺',
    巵: '卮',
    祇: '只',
    粧: '妆',
    媿: '愧',
    髪: '发',
    讬: '托',
    荅: '答',
    珮: '佩',
    攲: '欹',
    敧: '欹',
    緜: '绵',
};

function simplifyVariants(s) {
    return [...s].map((c) => VARIANTS[c] ?? c).join('');
}

function mendGbk(s) {
    return [...s].map((c) => GBK_MENDS[c] ?? c).join('');
}

// Drops the editors' notes that the collection keeps inside the text: "(掛帆 一作：去)".
function stripNotes(s) {
    return s.replace(/[（(][^（()）]*[）)]/g, '');
}

// One line per sentence: a line ends after 。！？ and any closing quote that follows.
function splitSentences(s) {
    const lines = [];
    let cur = '';
    const chars = [...s.replace(/\n/g, '')];
    for (let i = 0; i < chars.length; i++) {
        cur += chars[i];
        if ('。！？'.includes(chars[i])) {
            while (i + 1 < chars.length && '”’」』'.includes(chars[i + 1])) cur += chars[++i];
            lines.push(cur);
            cur = '';
        }
    }
    if (cur) lines.push(cur.endsWith('，') || cur.endsWith('、') ? cur.slice(0, -1) + '。' : cur);
    return lines.filter((l) => l.replace(/[。！？，、”’」』]/g, '') !== '');
}

// Some sources end a line without a stop (楚辞's 九歌, for one): each source line then ends
// a sentence, so that lines never run together.
function closeLines(text) {
    return text
        .split('\n')
        .map((l) => (l && !/[。！？，；：、”’」』]$/.test(l) ? `${l}。` : l))
        .join('');
}

function poemLines(paragraphs) {
    const text = normalizeText(closeLines(stripNotes(paragraphs.join('\n'))));
    return splitSentences(simplifyVariants(text)).map(mendGbk);
}

function bare(s) {
    return s.replace(/[，。！？；：、“”‘’《》「」『』·（）()\s]/g, '');
}

function poem(title, author, dynasty, form, paragraphs) {
    return { title: mendGbk(title), author, dynasty, form, paragraphs };
}

// ---------------------------------------------------------------------------------------------
// Reading the collection.

let ROOT = '';
const loaded = new Map();

function load(rel) {
    if (!loaded.has(rel)) loaded.set(rel, JSON.parse(fs.readFileSync(path.join(ROOT, rel), 'utf8')));
    return loaded.get(rel);
}

function loadSeries(dir, prefix) {
    const key = `${dir}/${prefix}*`;
    if (!loaded.has(key)) {
        const files = fs
            .readdirSync(path.join(ROOT, dir))
            .filter((f) => f.startsWith(prefix) && /\.\d+\.json$/.test(f))
            .sort((a, b) => Number(a.match(/(\d+)\.json$/)[1]) - Number(b.match(/(\d+)\.json$/)[1]));
        loaded.set(key, files.flatMap((f) => load(path.join(dir, f))));
    }
    return loaded.get(key);
}

const fullTang = () => loadSeries('quantangshi', 'poet.tang.');
const fullSongShi = () => loadSeries('quantangshi', 'poet.song.');
const fullSongCi = () => loadSeries('songci', 'ci.song.');

function renameAuthor(a) {
    const s = normalizeText(a).replace(/^（[^）]*）/, '');
    return AUTHOR_RENAMES[s] ?? s;
}

// ---------------------------------------------------------------------------------------------
// 01: the three hundred Tang poems.

const TANG_FORMS = {
    五言古詩: '五言古诗',
    七言古詩: '七言古诗',
    五言律詩: '五言律诗',
    七言律詩: '七言律诗',
    五言絕句: '五言绝句',
    七言絕句: '七言绝句',
};
const TANG_ORDER = ['五言古诗', '五言乐府', '七言古诗', '七言乐府', '五言律诗', '七言律诗', '五言绝句', '七言绝句'];

// Titles that the anthology file cuts short or misspells (keyed by the converted short title).
const TANG_TITLES = {
    同从弟销南斋玩月忆山阴: '同从弟南斋玩月忆山阴崔少府',
    走马川行奉送封大夫出师: '走马川行奉送封大夫出师西征',
    丹青引赠曹霸将军: '丹青引赠曹将军霸',
    // The full title has 39 characters; the record holds 32.
    至德二载甫自京金光门: '至德二载甫自京金光门出间道归凤翔',
};

// Mends of the anthology's own copies, keyed by "author|title" after conversion.
const TANG_MENDS = {
    // The file holds all five 长信秋词 under this title; the anthology keeps the third.
    '王昌龄|长信怨': { keepSentences: [4, 5] },
    // The file stops after the eighth line; the full text comes from the other Tang 300 file.
    '杜甫|赠卫八处士': { fromAlt: '贈衛八處士' },
    // The anthology gives 金缕衣 to 杜秋娘; the file leaves it anonymous.
    '佚名|金缕衣': { author: '杜秋娘' },
};

function tangTitle(p) {
    let t = normalizeText(p.chapter);
    if (TANG_TITLES[t]) return TANG_TITLES[t];
    const sub = p.subchapter ? normalizeText(p.subchapter) : '';
    // The file shortens long titles to a prefix and keeps the full one as the only "subchapter".
    if (sub && !sub.includes('/') && !sub.includes('首') && !sub.includes('…') && sub.startsWith(t)) t = sub;
    return t;
}

function yuefuForm(lines) {
    const phrases = lines.join('').split(/[，。！？；、]/).filter(Boolean);
    return phrases.every((x) => [...x].length === 5) ? '五言乐府' : '七言乐府';
}

function buildTang300() {
    const book = load('mengxue/tangshisanbaishou.json');
    const alt = load('quantangshi/唐诗三百首.json');
    const out = [];
    for (const section of book.content) {
        for (const p of section.content) {
            const rawAuthor = normalizeText(p.author);
            const title = tangTitle(p);
            const mend = TANG_MENDS[`${rawAuthor}|${title}`] ?? {};
            let paragraphs = p.paragraphs;
            if (mend.fromAlt) paragraphs = alt.find((x) => x.title === mend.fromAlt).paragraphs;
            let lines = poemLines(paragraphs);
            if (mend.keepSentences) lines = mend.keepSentences.map((i) => lines[i]);
            const form = TANG_FORMS[section.type] ?? yuefuForm(lines);
            const author = mend.author ?? renameAuthor(p.author);
            out.push(poem(title, author, '唐代', form, lines));
        }
    }
    // The anthology's own order: by form, and within a form as the file lists the poems.
    return TANG_ORDER.flatMap((f) => out.filter((p) => p.form === f));
}

// ---------------------------------------------------------------------------------------------
// 02: the three hundred Song ci.

// Tune names given as "alias・tune" (or mislabelled) in the anthology file, and the form stored.
const CI_TUNES = {
    '渡江云三犯・渡江云': '渡江云',
    '凤箫吟・芳草': '凤箫吟',
    '木兰花・玉楼春': '玉楼春',
    '江神子・江城子': '江城子',
    '绿意・疏影': '疏影',
    '绿头鸭・多丽': '多丽',
    '醉中真・浣溪沙': '浣溪沙',
    '人南渡・感皇恩': '感皇恩',
    '伴云来・天香': '天香',
    '蹋莎行・踏莎行': '踏莎行',
    '金缕歌・贺新郎': '贺新郎',
    '绣鸾凤花犯・花犯': '花犯',
    '解佩环・疏影': '疏影',
    '减字浣溪沙・浣溪沙': '浣溪沙',
    '石州引・石州慢': '石州慢',
    '宴山亭・燕山亭': '燕山亭',
    // 双桨莼波 is 姜夔's 庆宫春, not a 高阳台.
    '庆宫春・高阳台': '庆宫春',
    '琵琶仙・自度曲': '琵琶仙',
    '凤栖梧・蝶恋花': '蝶恋花',
    '竹马子・竹马儿': '竹马子',
    '一丛花令・一丛花': '一丛花',
    // 张先's 青门引 is a short tune of its own; 青门饮 is another.
    '青门引・青门饮': '青门引',
    '玉胡蝶・玉蝴蝶': '玉蝴蝶',
    '锁窗寒・琐寒窗': '琐窗寒',
    '拜星月・拜星月慢': '拜星月慢',
    '夜飞鹊・夜飞鹊慢': '夜飞鹊',
    '关河令・清商怨': '关河令',
    '长亭怨・长亭怨慢': '长亭怨慢',
    '甘州・八声甘州': '八声甘州',
    '江神子慢・江城子慢': '江城子慢',
    '秦楼月・忆秦娥': '忆秦娥',
    '浪涛沙・浪淘沙': '浪淘沙',
    // The file cuts the tune name after its first character.
    大: '大酺',
};

// Poets whose names the anthology file cuts off, found again in the full collection by the
// poem's first line.
const CI_AUTHOR_MENDS = {
    韩: '韩疁',
    赵令: '赵令畤',
    张: '张镃',
};

function firstPhrase(lines) {
    return lines[0].split(/[，。！？、；]/)[0];
}

function ciTitle(form, lines) {
    return `${form}·${firstPhrase(lines)}`;
}

function buildSongCi300() {
    const book = load('songci/宋词三百首.json');
    const full = fullSongCi();
    return book.map((p) => {
        const lines = poemLines(p.paragraphs);
        const form = CI_TUNES[p.rhythmic] ?? normalizeText(p.rhythmic);
        let author = p.author;
        if (CI_AUTHOR_MENDS[author]) {
            // Confirm the mend against the full collection before trusting the table.
            const first = bare(p.paragraphs[0]);
            const found = full.find((q) => q.author.startsWith(author) && q.author !== author &&
                bare(q.paragraphs.join('')).startsWith(first));
            const want = CI_AUTHOR_MENDS[author];
            if (found && normalizeText(found.author) !== want)
                throw new Error(`ci author mend ${author}: collection says ${found.author}`);
            author = want;
        }
        return poem(ciTitle(form, lines), renameAuthor(author), '宋代', form, lines);
    });
}

// ---------------------------------------------------------------------------------------------
// 03: Yuan qu, short songs (小令) only.
//
// The collection's Yuan file mixes whole plays, suites and short songs, and often runs several
// short songs into one entry (the next song's subtitle sits inside the text). A short song is
// taken as it stands only when its entry is titled "宫调・曲牌[题目]", its tune is one below, its
// text is clean and its length fits one song of that tune. Songs that only exist run together
// with others are cut out by EXTRACTS further down.

const GONGDIAO = ['正宫', '中吕', '南吕', '仙吕', '黄钟', '大石调', '双调', '越调', '商调', '商角调', '般涉调', '小石调'];

// Tune: the usual number of characters of one song, padding words included. A song may run to
// 1.45 times that (more padding words) and no shorter than 0.8 times.
const QU_TUNES = {
    天净沙: 28, 山坡羊: 45, 折桂令: 55, 蟾宫曲: 55, 水仙子: 44, 湘妃怨: 44, 凌波仙: 44, 朝天子: 44,
    红绣鞋: 34, 清江引: 29, 寿阳曲: 27, 落梅风: 27, 四块玉: 29, 沉醉东风: 40, 殿前欢: 46, 普天乐: 50,
    小桃红: 44, 凭阑人: 26, 梧叶儿: 30, 一半儿: 33, 喜春来: 29, 阳春曲: 29, 醉太平: 46, 叨叨令: 52,
    塞鸿秋: 54, 庆东原: 40, 寨儿令: 52, 节节高: 36, 金字经: 31, 阅金经: 31, 迎仙客: 27, 驻马听: 32,
    寄生草: 42, 醉中天: 38, 拨不断: 30, 卖花声: 36, 人月圆: 48, 柳营曲: 50, 醉高歌: 28, 得胜令: 34,
    雁儿落过得胜令: 58, 雁儿落过德胜令: 58, 雁儿落兼清江引: 60, 凭栏人: 26, 大德歌: 38, 朝天曲: 44,
    朱履曲: 34, 百字折桂令: 100, 庆宣和: 22, 醉扶归: 36, 骤雨打新荷: 60, 满庭芳: 62, 上小楼: 40, 后庭花: 38,
    干荷叶: 24, 后庭花破子: 38, 黑漆弩: 54, 鹦鹉曲: 54, 小梁州: 62, 十二月过尧民歌: 70, 清江引: 29, 快活年: 30,
};

// Tunes stored under another name: the pick list's spelling, or its 宫调·曲牌 form.
const QU_FORMS = {
    寨儿令: '塞儿令',
    十二月过尧民歌: '十儿月尧民歌',
    醉中天: '醉中平',
    干荷叶: '乾荷叶',
    雁儿落过得胜令: '雁儿落带过得胜令',
    雁儿落过德胜令: '雁儿落带过得胜令',
    凭栏人: '凭阑人',
    // 鹦鹉曲 is the later name of the tune 黑漆弩, taken from 白贲's song.
    鹦鹉曲: '黑漆弩',
    楚天遥过清江引: '楚天遥带过清江引',
    '商调|梧叶儿': '商调·梧叶儿',
    '双调|水仙子': '双调·水仙子',
    '仙吕|寄生草': '仙吕·寄生草',
    '正宫|叨叨令': '正宫·叨叨令',
    '正宫|塞鸿秋': '正宫·塞鸿秋',
    '正宫|醉太平': '正宫·醉太平',
    '中吕|朝天子': '中吕·朝天子',
    '中吕|红绣鞋': '中吕·红绣鞋',
};

function quForm(gongdiao, tune) {
    return QU_FORMS[`${gongdiao}|${tune}`] ?? QU_FORMS[tune] ?? tune;
}

// Stand-ins for characters the source could not type (□, 囗, loose radicals, Greek or Cyrillic
// letters, kana) and stage directions mark an entry as unusable.
const QU_DEFECTS = /[□囗亻衤刂扌辶氵忄讠钅饣纟犭礻阝艹ΘχКΑ-ωА-я\u3040-\u30ff\u3100-\u312f<>〈〉〔〕\[\]（）()0-9a-zA-Z]|套数|幺/;

function parseQuTitle(title) {
    const [head, ...rest] = normalizeText(title).split('·');
    if (!GONGDIAO.includes(head) || rest.length !== 1) return null;
    const tail = rest[0];
    const tune = Object.keys(QU_TUNES)
        .filter((t) => tail.startsWith(t))
        .sort((a, b) => b.length - a.length)[0];
    if (!tune) return null;
    return { gongdiao: head, tune, subtitle: tail.slice(tune.length) };
}

// A subtitle that names several songs means the entry holds several.
const MULTI_SONG = /[二三四五六七八九十]首|[二三四五六七八九十]章|八咏|四景|四时|十二月|并序|其[一二三四五]|[，。！？]/;

// The text of an entry, less the "套数。" that announces the suite printed next.
function quText(entry) {
    return normalizeText(entry.paragraphs.join('')).replace(/套数。$/, '');
}

function sentenceCount(text) {
    return splitSentences(text).length;
}

function quPoem(t, author, lines) {
    const form = t.form ?? quForm(t.gongdiao, t.tune);
    const title = `${t.tune}·${t.subtitle || firstPhrase(lines)}`;
    return poem(title, renameAuthor(author), '元代', form, lines);
}

function fitsTune(tune, text) {
    const n = [...bare(text)].length;
    return n >= QU_TUNES[tune] * 0.8 && n <= QU_TUNES[tune] * 1.45;
}

// 元好问 died a subject of the 金, before the 元 took its name; the library has no 金 era to
// file his songs under.
const QU_SKIP_AUTHORS = ['元好问'];

function usableQuEntry(entry) {
    if (QU_SKIP_AUTHORS.includes(entry.author)) return null;
    const t = parseQuTitle(entry.title);
    if (!t || MULTI_SONG.test(t.subtitle) || [...t.subtitle].length > 12) return null;
    const text = quText(entry);
    if (QU_DEFECTS.test(text)) return null;
    return { t, text };
}

// A clean entry that holds exactly one song.
function singleQu(entry) {
    const u = usableQuEntry(entry);
    if (!u || !/[。！？]$/.test(u.text) || !fitsTune(u.t.tune, u.text)) return null;
    return quPoem(u.t, entry.author, splitSentences(u.text));
}

// The first song of an entry that runs several songs of one tune together. It ends after as
// many sentences as the single songs of that tune most often have; the songs after it carry
// their subtitles inside the text and are left out.
function firstQu(entry, usual) {
    const u = usableQuEntry(entry);
    // A compound tune (雁儿落过得胜令) ends its first part with a semicolon as often as with a
    // stop, so its sentences are no measure of one song.
    const shape = u && !/[过带兼]/.test(u.t.tune) && usual[u.t.tune];
    if (!shape || fitsTune(u.t.tune, u.text)) return null;
    const sentences = splitSentences(u.text);
    if (sentences.length < 2 * shape.sentences) return null;
    const lines = sentences.slice(0, shape.sentences);
    // A question mark inside a song can end a "sentence" early: the cut must come out as long
    // as the single songs of the tune usually are.
    const n = [...bare(lines.join(''))].length;
    if (n < shape.length * 0.85 || n > shape.length * 1.3) return null;
    return quPoem(u.t, entry.author, lines);
}

// The shape of a single song of each tune: the sentence count that the single songs share most
// often (at least twice) and their median length.
function usualShapes(singlesByTune) {
    const out = {};
    for (const [tune, songs] of Object.entries(singlesByTune)) {
        const byN = {};
        for (const p of songs) byN[p.paragraphs.length] = (byN[p.paragraphs.length] ?? 0) + 1;
        const [n, times] = Object.entries(byN).sort((a, b) => b[1] - a[1] || a[0] - b[0])[0];
        const lengths = songs.map((p) => [...bare(p.paragraphs.join(''))].length).sort((a, b) => a - b);
        if (times >= 2) out[tune] = { sentences: Number(n), length: lengths[lengths.length >> 1] };
    }
    return out;
}

// Songs that the collection only holds run together with others, broken across two entries or
// behind a preface: each is cut from the source text between two quoted strings (both kept).
// "parts" join pieces from several entries; "in" says whether a piece lies in the entry's title
// (where the collection sometimes puts the second half of a song) or in its text.
const QU_EXTRACTS = [
    { author: '张养浩', title: '中吕・山坡羊', tune: '山坡羊', gongdiao: '中吕', subtitle: '潼关怀古',
      parts: [{ from: '峰峦如聚', to: '亡，百姓苦！' }] },
    { author: '姚燧', title: '越调・凭阑人', tune: '凭阑人', gongdiao: '越调', subtitle: '寄征衣',
      parts: [{ from: '欲寄君衣', to: '千万难！' }] },
    // Four songs of the seasons in one entry, followed by a web page's headers.
    { author: '刘秉忠', title: '双调・蟾宫曲', tune: '蟾宫曲', gongdiao: '双调', subtitle: '春', form: '拆挂令',
      parts: [{ from: '盼和风', to: '散诞逍遥。' }] },
    { author: '薛昂夫', title: '双调・楚天遥过清江引', tune: '楚天遥过清江引', gongdiao: '双调', subtitle: '',
      parts: [{ from: '花开人正欢', to: '晚来风又急！' }] },
    { author: '王恽', title: '正宫・黑漆弩游金山寺并序', tune: '黑漆弩', gongdiao: '正宫', subtitle: '游金山寺',
      parts: [{ from: '苍波万顷孤岑矗', to: '平生不足。' }] },
    { author: '刘敏中', title: '正宫・黑漆弩村居遣兴', tune: '黑漆弩', gongdiao: '正宫', subtitle: '村居遣兴',
      parts: [{ from: '长巾阔领', to: '功名了处。' }] },
    // 冯子振 quotes 白贲's song whole in the preface to his own sequence.
    { author: '冯子振', title: '正宫・鹦鹉曲', tune: '鹦鹉曲', gongdiao: '正宫', subtitle: '', by: '白贲',
      parts: [{ from: '侬家鹦鹉洲边住', to: '安排我处。' }] },
    { author: '冯子振', title: '・一声声只在芭蕉', tune: '鹦鹉曲', gongdiao: '正宫', subtitle: '赤壁怀古',
      parts: [{ from: '茅庐诸葛', to: '南阳耕雨。' },
              { title: '幺・叹西风卷尽豪华', in: 'title', from: '叹西风', to: '英雄了处。' }] },
    { author: '任昱', title: '正宫・小梁州湖上分韵得玉字', tune: '小梁州', gongdiao: '正宫', subtitle: '湖上分韵得玉字',
      parts: [{ from: '波涵玉镜', to: '锦云迷。' },
              { title: '・玉楼帘幕香风细', in: 'title', from: '玉楼帘幕', to: '花外玉骢' },
              { title: '・玉楼帘幕香风细', from: '嘶。', to: '嘶。' }] },
    { author: '查德卿', title: '仙吕・一半儿拟美人八咏春梦', tune: '一半儿', gongdiao: '仙吕', subtitle: '春梦',
      parts: [{ from: '梨花云绕', to: '一半儿醒。' }] },
    { author: '查德卿', title: '仙吕・一半儿拟美人八咏春梦', tune: '一半儿', gongdiao: '仙吕', subtitle: '春困',
      parts: [{ from: '琐窗人静', to: '一半儿盹。' }] },
    { author: '杨朝英', title: '正宫・叨叨令叹世', tune: '叨叨令', gongdiao: '正宫', subtitle: '叹世',
      parts: [{ from: '想他腰金衣紫', to: '擎天柱。' }] },
    // The opening song of 杨果's only suite in the collection, complete in itself.
    { author: '杨果', title: '仙吕・赏花时', tune: '赏花时', gongdiao: '仙吕', subtitle: '',
      parts: [{ from: '秋水粼粼', to: '马蹄香。' }] },
];

// Both spellings of the 雁儿落 and 得胜令 pair are on the pick list; the source spells every
// such song 雁儿落过得胜令, stored as 雁儿落带过得胜令 but for this one.
const QU_FORM_OVERRIDES = {
    '宋方壶|雁儿落过得胜令·闲居': '雁儿落带得胜令',
};

function findEntry(entries, author, titlePrefix) {
    const e = entries.find((x) => x.author === author && x.title.startsWith(titlePrefix));
    if (!e) throw new Error(`extract: no entry ${author} ${titlePrefix}`);
    return e;
}

function cut(text, from, to, what) {
    const a = text.indexOf(from);
    const b = a < 0 ? -1 : text.indexOf(to, a);
    if (b < 0) throw new Error(`extract: ${what} has no ${from}…${to}`);
    return text.slice(a, b + to.length);
}

function extractQu(entries, x) {
    const text = x.parts
        .map((part) => {
            const e = findEntry(entries, x.author, part.title ?? x.title);
            const src = part.in === 'title' ? e.title : e.paragraphs.join('');
            return cut(normalizeText(src), normalizeText(part.from), normalizeText(part.to), x.title);
        })
        .join('');
    const t = { gongdiao: x.gongdiao, tune: x.tune, subtitle: x.subtitle, form: x.form };
    return { entry: findEntry(entries, x.author, x.title), poem: quPoem(t, x.by ?? x.author, splitSentences(text)) };
}

function buildYuanqu() {
    const entries = load('yuanqu/yuanqu.json');
    const singles = new Map();
    const singlesByTune = {};
    for (const e of entries) {
        const p = singleQu(e);
        if (!p) continue;
        singles.set(e, p);
        (singlesByTune[parseQuTitle(e.title).tune] ??= []).push(p);
    }
    const usual = usualShapes(singlesByTune);
    const extracted = new Map();
    for (const x of QU_EXTRACTS) {
        const { entry, poem: p } = extractQu(entries, x);
        extracted.set(entry, [...(extracted.get(entry) ?? []), p]);
    }
    const out = [];
    const seen = new Set();
    for (const e of entries) {
        const found = extracted.get(e) ?? [singles.get(e) ?? firstQu(e, usual)].filter(Boolean);
        for (const p of found) {
            // The collection gives some songs to two poets; the first entry keeps the song.
            const key = bare(p.paragraphs.join('')).slice(0, 12);
            if (seen.has(key)) continue;
            seen.add(key);
            out.push({ ...p, form: QU_FORM_OVERRIDES[`${p.author}|${p.title}`] ?? p.form });
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// 04: poems that give the other pick-list names a match: more Song poets and tunes, the oldest
// songs (诗经, 楚辞), 曹操, the Southern Tang rulers, 纳兰性德, and the few early or late poems
// the collection has.
//
// A pick names its source, the poet as the source spells him, and a string that the title or
// the text must contain; the first poem that matches is taken. "as" stores the poet under
// another name, "title", "form" and "dynasty" set those fields.

const SOURCES = {
    // 全宋诗 and 全唐诗: traditional characters, "title" and "paragraphs".
    songshi: () => fullSongShi(),
    tangshi: () => fullTang(),
    // 全宋词: simplified, "rhythmic" and "paragraphs".
    songci: () => fullSongCi(),
    qianjiashi: () =>
        load('mengxue/qianjiashi.json').content.flatMap((t) =>
            t.content.map((p) => ({ ...p, title: p.chapter, author: p.author.replace(/^（[^）]*）/, '') }))),
    shijing: () => load('shijing/shijing.json').map((p) => ({ ...p, author: '', paragraphs: p.content })),
    chuci: () => load('chuci/chuci.json').map((p) => ({ ...p, paragraphs: p.content })),
    caocao: () => load('caocaoshiji/caocao.json').map((p) => ({ ...p, author: '曹操' })),
    // 纳兰's lines carry no stop at their ends.
    nalan: () =>
        load('nalanxingde/纳兰性德诗集.json').map((p) => ({
            ...p,
            paragraphs: p.para.map((l) => (/[。！？]$/.test(l) ? l : `${l}。`)),
        })),
    nantang: () => load('wudaishici/nantang/poetrys.json'),
    huajian: () =>
        fs.readdirSync(path.join(ROOT, 'wudaishici/huajianji'))
            .filter((f) => /-juan\.json$/.test(f))
            .sort()
            .flatMap((f) => load(path.join('wudaishici/huajianji', f))),
    yuanqu: () => load('yuanqu/yuanqu.json'),
};

const SOURCE_DYNASTY = {
    songshi: '宋代', tangshi: '唐代', songci: '宋代', qianjiashi: '宋代', shijing: '周代', chuci: '战国',
    caocao: '汉代', nalan: '清代', nantang: '五代十国', huajian: '唐代', yuanqu: '元代',
};

// Sources whose poems are 词 or 曲: the title is "tune·first phrase" and the tune is the form.
const TUNE_SOURCES = new Set(['songci', 'nalan', 'nantang', 'huajian']);

const MORE_PICKS = [
    // The oldest songs. 商颂 is held to be the song of the 商 court; 黄鸟, 载驰 and 株林 are tied
    // by the chronicles to events of the 春秋 period; the rest are dated only to the 周.
    { src: 'shijing', key: '玄鸟', dynasty: '商代', form: '诗经' },
    { src: 'shijing', key: '那', dynasty: '商代', form: '诗经' },
    { src: 'shijing', key: '关雎', form: '诗经' },
    { src: 'shijing', key: '桃夭', form: '诗经' },
    { src: 'shijing', key: '蒹葭', form: '诗经' },
    { src: 'shijing', key: '硕鼠', form: '诗经' },
    { src: 'shijing', key: '七月', form: '诗经' },
    { src: 'shijing', key: '采薇', form: '诗经' },
    { src: 'shijing', key: '清庙', form: '诗经' },
    { src: 'shijing', key: '黄鸟', section: '秦风', dynasty: '春秋', form: '诗经' },
    { src: 'shijing', key: '载驰', dynasty: '春秋', form: '诗经', as: '许穆夫人' },
    { src: 'shijing', key: '株林', dynasty: '春秋', form: '诗经' },
    { src: 'chuci', author: '屈原', key: '离骚', form: '楚辞' },
    { src: 'chuci', author: '屈原', key: '湘夫人', form: '楚辞' },
    { src: 'chuci', author: '屈原', key: '山鬼', form: '楚辞' },
    { src: 'chuci', author: '屈原', key: '国殇', form: '楚辞' },
    { src: 'chuci', author: '屈原', key: '涉江', form: '楚辞' },
    { src: 'chuci', author: '屈原', key: '橘颂', form: '楚辞' },
    { src: 'chuci', author: '屈原', key: '渔父', form: '楚辞' },
    { src: 'chuci', author: '宋玉', key: '九辩', form: '楚辞' },
    { src: 'chuci', author: '淮南小山', key: '招隐士', form: '楚辞', dynasty: '汉代' },
    { src: 'caocao', key: '观沧海', form: '四言乐府' },
    { src: 'caocao', key: '龟虽寿', form: '四言乐府' },
    { src: 'caocao', key: '短歌行 其一', form: '四言乐府', title: '短歌行' },
    { src: 'caocao', key: '蒿里行', form: '五言乐府' },
    { src: 'caocao', key: '苦寒行', form: '五言乐府' },
    // 李密 wrote this in hiding after the rising of 613 against the 隋 throne.
    { src: 'tangshi', author: '李密', key: '淮阳感怀', form: '五言古诗', dynasty: '隋代' },
    { src: 'tangshi', author: '张若虚', key: '春江花月夜', form: '七言歌行', title: '春江花月夜' },
    { src: 'tangshi', author: '刘希夷', key: '代悲白头吟', form: '七言歌行', title: '代悲白头翁' },
    { src: 'tangshi', author: '李频', key: '湘口送友人', form: '七言律诗' },
    { src: 'huajian', author: '温庭筠', key: '小山重叠' },
    { src: 'huajian', author: '温庭筠', key: '梳洗罢' },
    { src: 'huajian', author: '韦庄', key: '人人尽说江南好' },
    { src: 'nantang', author: '李煜', key: '春花秋月何时了' },
    { src: 'nantang', author: '李煜', key: '无言独上西楼' },
    { src: 'nantang', author: '李煜', key: '林花谢了春红' },
    { src: 'nantang', author: '李煜', key: '帘外雨潺潺' },
    { src: 'nantang', author: '李煜', key: '往事只堪哀' },
    { src: 'nantang', author: '李煜', key: '别来春半' },
    { src: 'nantang', author: '李煜', key: '一重山' },
    { src: 'nantang', author: '李煜', key: '四十年来家国' },
    { src: 'nantang', author: '李煜', key: '多少恨' },
    { src: 'nantang', author: '李璟', key: '菡萏香销' },
    // Song poets of the author list, each with a poem the anthologies keep.
    { src: 'songshi', author: '柳开', key: '塞上', form: '七言绝句' },
    { src: 'songshi', author: '王禹偁', key: '村行', form: '七言律诗' },
    { src: 'songshi', author: '寇准', key: '春日登楼怀归', form: '五言律诗' },
    { src: 'songshi', author: '杨亿', key: '蓬莱银阙', form: '七言律诗' },
    { src: 'songshi', author: '林逋', key: '众芳摇落', form: '七言律诗', title: '山园小梅' },
    { src: 'songshi', author: '穆修', key: '过西京', form: '七言绝句' },
    { src: 'songshi', author: '曾公亮', key: '宿甘露僧舍', form: '七言绝句' },
    { src: 'songshi', author: '梅尧臣', key: '鲁山山行', form: '五言律诗' },
    { src: 'songshi', author: '欧阳修', key: '画眉鸟', form: '七言绝句' },
    { src: 'songshi', author: '苏舜钦', key: '淮中晚泊犊头', form: '七言绝句' },
    { src: 'songshi', author: '邵雍', key: '插花吟', form: '七言律诗' },
    { src: 'songshi', author: '文同', key: '巴山楼之东', form: '五言绝句', title: '望云楼' },
    { src: 'songshi', author: '曾巩', key: '咏柳', form: '七言绝句' },
    { src: 'songshi', author: '王安石', key: '泊船瓜洲', form: '七言绝句' },
    { src: 'songshi', author: '程颢', key: '云淡风轻近午天', form: '七言绝句', title: '春日偶成' },
    { src: 'songshi', author: '苏轼', key: '题西林壁', form: '七言绝句' },
    { src: 'songshi', author: '苏轼', key: '水光潋滟', form: '七言绝句', title: '饮湖上初晴后雨' },
    { src: 'songshi', author: '苏辙', key: '怀黾池寄子瞻兄', form: '七言律诗' },
    { src: 'songshi', author: '黄庭坚', key: '登快阁', form: '七言律诗' },
    { src: 'songshi', author: '秦观', key: '一夕轻雷', form: '七言绝句', title: '春日' },
    { src: 'qianjiashi', author: '張文潛', key: '夏日', form: '七言律诗' },
    { src: 'songshi', author: '陈师道', key: '书当快意', form: '七言绝句', title: '绝句' },
    { src: 'qianjiashi', author: '朱淑貞', key: '落花', form: '七言绝句' },
    { src: 'qianjiashi', author: '晏殊', key: '寓意', form: '七言律诗' },
    { src: 'songshi', author: '曾几', key: '三衢道中', form: '七言绝句' },
    { src: 'songshi', author: '陈与义', key: '襄邑道中', form: '七言绝句' },
    { src: 'songshi', author: '陆游', key: '死去元知', form: '七言绝句', title: '示儿' },
    { src: 'songshi', author: '陆游', key: '游山西村', form: '七言律诗' },
    { src: 'songshi', author: '杨万里', key: '泉眼无声', form: '七言绝句', title: '小池' },
    { src: 'songshi', author: '范成大', key: '昼出耘田', form: '七言绝句', title: '四时田园杂兴·昼出耘田夜绩麻' },
    { src: 'songshi', author: '朱熹', key: '半亩方塘', form: '七言绝句', title: '观书有感' },
    { src: 'songshi', author: '姜夔', key: '细草穿沙', form: '七言绝句', title: '除夜自石湖归苕溪' },
    { src: 'songshi', author: '徐玑', key: '新凉', form: '七言绝句' },
    { src: 'songshi', author: '戴复古', key: '江阴浮远堂', form: '七言绝句' },
    { src: 'songshi', author: '赵师秀', key: '约客', form: '七言绝句' },
    { src: 'songshi', author: '文天祥', key: '过零丁洋', form: '七言律诗' },
    { src: 'songshi', author: '郑思肖', key: '题画菊', form: '七言绝句' },
    // Tunes of the pick lists that the three hundred Song ci lack.
    { src: 'songci', author: '李清照', key: '昨夜雨疏风骤' },
    { src: 'songci', author: '李清照', key: '常记溪亭日暮' },
    { src: 'songci', author: '李清照', key: '卖花担上' },
    { src: 'songci', author: '辛弃疾', key: '明月别枝惊鹊' },
    { src: 'songci', author: '辛弃疾', key: '何处望神州' },
    { src: 'songci', author: '辛弃疾', key: '杯汝来前' },
    { src: 'songci', author: '苏轼', key: '清夜无尘' },
    { src: 'songci', author: '苏轼', key: '老夫聊发少年狂' },
    { src: 'songci', author: '潘阆', key: '长忆观潮' },
    { src: 'songci', author: '吕本中', key: '恨君不似江楼月' },
    // 林逋's song is filed under its other name 相思令; the anthologies call the tune 长相思.
    { src: 'songci', author: '林逋', key: '吴山青', form: '长相思' },
    { src: 'nalan', author: '纳兰性德', key: '山一程' },
    // Anthologies title this song 木兰词·拟古决绝词柬友; the collection files it under 木兰花令.
    { src: 'nalan', author: '纳兰性德', key: '拟古决绝词', form: '木兰词', title: '木兰词·拟古决绝词' },
    { src: 'nalan', author: '纳兰性德', key: '亡妇忌日有感' },
    { src: 'nalan', author: '纳兰性德', key: '谁念西风独自凉' },
    { src: 'nalan', author: '纳兰性德', key: '谁翻乐府凄凉曲' },
    { src: 'nalan', author: '纳兰性德', key: '万帐穹庐人醉' },
    { src: 'nalan', author: '纳兰性德', key: '辛苦最怜天上月' },
    { src: 'nalan', author: '纳兰性德', key: '临江仙·寒柳' },
    { src: 'nalan', author: '纳兰性德', key: '曲阑深处重相见' },
    { src: 'nalan', author: '纳兰性德', key: '风鬟雨鬓' },
    // The only 明 poems in the collection, both in 千家诗.
    { src: 'qianjiashi', author: '明世宗', key: '送毛伯溫', form: '七言律诗', dynasty: '明代' },
    { src: 'qianjiashi', author: '朱權', key: '送天師', form: '七言律诗', dynasty: '明代' },
    // A 干荷叶 from 王伯成's play on 李白's exile: the only song of that tune without dialogue.
    { src: 'yuanqu', author: '王伯成', key: '李太白贬夜郎・干荷叶', form: '乾荷叶', title: '干荷叶·来的盏不曾推' },
];

function sourceTitle(src, p) {
    if (src === 'shijing') return `${p.chapter === '国风' ? p.section : p.chapter}·${p.title}`;
    if (src === 'chuci') return p.section === p.title ? p.title : `${p.section}·${p.title}`;
    return normalizeText(p.title ?? '').replace(/\s+/g, '');
}

function pickMatches(src, pick, p) {
    if (pick.author && normalizeText(p.author ?? '') !== normalizeText(pick.author)) return false;
    if (pick.section && p.section !== pick.section) return false;
    const title = normalizeText(p.title ?? p.rhythmic ?? '');
    if (src === 'shijing' || src === 'chuci') return p.title === pick.key;
    const key = normalizeText(pick.key);
    return title.includes(key) || normalizeText(p.paragraphs.join('')).includes(key);
}

function buildMore() {
    return MORE_PICKS.map((pick) => {
        const p = SOURCES[pick.src]().find((x) => pickMatches(pick.src, pick, x));
        if (!p) throw new Error(`pick not found: ${pick.src} ${pick.author ?? ''} ${pick.key}`);
        const lines = poemLines(p.paragraphs);
        let form = pick.form;
        let title = pick.title ?? sourceTitle(pick.src, p);
        if (TUNE_SOURCES.has(pick.src)) {
            const source = p.rhythmic ?? p.title.split('·')[0];
            form ??= CI_TUNES[source] ?? normalizeText(source).split('·')[0];
            // 纳兰's and the Southern Tang songs carry "tune·subtitle" titles of their own.
            const own = pick.src === 'nalan' || pick.src === 'nantang';
            title = pick.title ?? (own ? sourceTitle(pick.src, p) : ciTitle(form, lines));
        }
        const author = pick.as ?? (p.author ? renameAuthor(p.author) : '无名氏');
        return poem(title, author, pick.dynasty ?? SOURCE_DYNASTY[pick.src], form, lines);
    });
}

// ---------------------------------------------------------------------------------------------
// Checking: the committed files, with nothing but Node.

// Names of the pick lists that no open collection gives a poem for, or that no record can hold.
const EXPECTED_UNMATCHED = {
    author: ['吴伟业', '郑板桥'],
    dynasty: ['秦代', '现代'],
    // 现代 is the form the add-poem screen gives a poem of the user's own; the long suite name
    // takes 26 bytes, more than the 16 that a record's form field holds.
    form: ['现代', '中吕·快活三过朝天子四换头'],
};

const KINDS = ['近体诗', '古体诗', '词牌', '曲牌', '新诗'];

function gbkRepertoire() {
    const set = new Set();
    const decoder = new TextDecoder('gbk', { fatal: true });
    for (let a = 0x81; a <= 0xfe; a++) {
        for (let b = 0x40; b <= 0xfe; b++) {
            if (b === 0x7f) continue;
            let c;
            try {
                c = decoder.decode(Uint8Array.of(a, b));
            } catch {
                continue;
            }
            const cp = c.codePointAt(0);
            // The private-use code points that the decoder maps some cells to are no characters.
            if ([...c].length === 1 && !(cp >= 0xe000 && cp <= 0xf8ff)) set.add(c);
        }
    }
    return set;
}

let gbkSet = null;
function gbkEncodable(c) {
    if (c.codePointAt(0) < 0x80) return c !== '?';
    if (iconv) {
        const b = iconv.encode(c, 'cp936');
        return b.length === 2 && iconv.decode(b, 'cp936') === c;
    }
    gbkSet ??= gbkRepertoire();
    return gbkSet.has(c);
}

function gbkBytes(s) {
    return [...s].reduce((n, c) => n + (c.codePointAt(0) < 0x80 ? 1 : 2), 0);
}

function badChars(s) {
    return [...new Set([...s].filter((c) => !gbkEncodable(c) || /[\u30fb\uff65\u2022\u2027\u25a1\u56d7]/.test(c)))];
}

function formFamily(p) {
    if (/律诗|绝句/.test(p.form)) return '近体诗';
    if (/古诗|乐府|歌行|诗经|楚辞/.test(p.form)) return '古体诗';
    return p.dynasty === '元代' ? '曲' : '词';
}

function checkPoems(file, poems, errors) {
    if (!Array.isArray(poems)) return errors.push(`${file}: not a JSON array`);
    poems.forEach((p, i) => {
        const where = `${file}[${i}] ${p?.title ?? ''}`;
        const keys = Object.keys(p ?? {}).sort().join(',');
        if (keys !== 'author,dynasty,form,paragraphs,title') return errors.push(`${where}: fields ${keys}`);
        for (const f of Object.keys(MAX_BYTES)) {
            if (typeof p[f] !== 'string' || p[f] === '') errors.push(`${where}: empty ${f}`);
            else if (gbkBytes(p[f]) > MAX_BYTES[f]) errors.push(`${where}: ${f} takes ${gbkBytes(p[f])} bytes`);
        }
        const lines = p.paragraphs;
        if (!Array.isArray(lines) || lines.length === 0 || lines.some((l) => typeof l !== 'string' || l === ''))
            errors.push(`${where}: bad paragraphs`);
        // Every line ends a sentence: a couplet (or a ci's line) that ends on a comma was paired wrong.
        const open = (Array.isArray(lines) ? lines : []).find((l) => typeof l === 'string' && /[，、]$/.test(l));
        if (open) errors.push(`${where}: a line ends inside its sentence: ${open}`);
        const bad = badChars([p.title, p.author, p.dynasty, p.form, ...(p.paragraphs ?? [])].join(''));
        if (bad.length) errors.push(`${where}: characters outside GBK or stand-ins: ${bad.join(' ')}`);
    });
}

function coverage(all) {
    const unmatched = {};
    for (const [field, names] of [['author', AUTHOR_LIST], ['dynasty', DYNASTY_LIST], ['form', FORM_LIST]]) {
        unmatched[field] = [...new Set(names)].filter((n) => !all.some((p) => p[field].includes(n)));
    }
    return unmatched;
}

function checkReference(file, entries, wanted, errors, checkEntry) {
    const keys = Object.keys(entries);
    const missing = wanted.filter((k) => !keys.includes(k));
    const extra = keys.filter((k) => !wanted.includes(k));
    if (missing.length) errors.push(`${file}: missing ${missing.join(' ')}`);
    if (extra.length) errors.push(`${file}: not on the lists ${extra.join(' ')}`);
    for (const [k, v] of Object.entries(entries)) {
        checkEntry(k, v);
        const bad = badChars(k + JSON.stringify(v));
        if (bad.length) errors.push(`${file} ${k}: characters outside GBK: ${bad.join(' ')}`);
    }
}

function checkPoets(poets, errors) {
    checkReference('poets.json', poets, [...new Set(AUTHOR_LIST)], errors, (k, v) => {
        // Anonymous poems come from every age.
        const dynastyOk = DYNASTY_LIST.includes(v.dynasty) || (k === '无名氏' && v.dynasty === '历代');
        if (!dynastyOk) errors.push(`poets.json ${k}: dynasty ${v.dynasty}`);
        if (typeof v.years !== 'string' || !v.years) errors.push(`poets.json ${k}: no years`);
        if (typeof v.about !== 'string' || v.about.length < 40) errors.push(`poets.json ${k}: about too short`);
        const allowed = ['dynasty', 'years', 'courtesy', 'about'];
        for (const f of Object.keys(v)) if (!allowed.includes(f)) errors.push(`poets.json ${k}: field ${f}`);
    });
}

function checkForms(forms, errors) {
    checkReference('forms.json', forms, [...new Set(FORM_LIST.concat(EXTRA_REFERENCE_FORMS))], errors, (k, v) => {
        if (!KINDS.includes(v.kind)) errors.push(`forms.json ${k}: kind ${v.kind}`);
        if (typeof v.about !== 'string' || v.about.length < 30) errors.push(`forms.json ${k}: about too short`);
        for (const f of Object.keys(v)) if (!['kind', 'about'].includes(f)) errors.push(`forms.json ${k}: field ${f}`);
    });
}

function tally(poems, key) {
    const t = {};
    for (const p of poems) t[key(p)] = (t[key(p)] ?? 0) + 1;
    return Object.entries(t).sort((a, b) => b[1] - a[1]).map(([k, n]) => `${k} ${n}`).join(', ');
}

function readJson(dir, file, errors) {
    try {
        return JSON.parse(fs.readFileSync(path.join(dir, file), 'utf8'));
    } catch (e) {
        errors.push(`${file}: ${e.message}`);
        return null;
    }
}

// Checks the curated files in dir; prints the counts and every error, and returns the errors.
export function check(dir = HERE, log = console.log) {
    const errors = [];
    const all = [];
    for (const file of FILES) {
        const poems = readJson(dir, file, errors);
        if (!poems) continue;
        checkPoems(file, poems, errors);
        if (Array.isArray(poems)) all.push(...poems);
        log(`${file}: ${poems.length} poems`);
    }
    const seen = new Map();
    for (const p of all) {
        const key = `${p.author}|${bare((p.paragraphs ?? []).join(''))}`;
        if (seen.has(key)) errors.push(`duplicate poem: ${p.author} ${p.title} = ${seen.get(key)}`);
        seen.set(key, p.title);
    }
    log(`total: ${all.length} poems`);
    log(`per dynasty: ${tally(all, (p) => p.dynasty)}`);
    log(`per form family: ${tally(all, formFamily)}`);
    const unmatched = coverage(all);
    for (const field of Object.keys(unmatched)) {
        log(`unmatched ${field} names: ${unmatched[field].join(' ') || 'none'}`);
        const surprise = unmatched[field].filter((n) => !EXPECTED_UNMATCHED[field].includes(n));
        const healed = EXPECTED_UNMATCHED[field].filter((n) => !unmatched[field].includes(n));
        if (surprise.length) errors.push(`${field} names without a poem: ${surprise.join(' ')}`);
        if (healed.length) errors.push(`${field} names listed as unmatched but matched: ${healed.join(' ')}`);
    }
    const poets = readJson(dir, 'poets.json', errors);
    if (poets) checkPoets(poets, errors);
    const forms = readJson(dir, 'forms.json', errors);
    if (forms) checkForms(forms, errors);
    for (const e of errors) log(`error: ${e}`);
    log(errors.length ? `check failed: ${errors.length} errors` : 'check passed');
    return errors;
}

// ---------------------------------------------------------------------------------------------
// Generating.

// The shi forms: a shi whose verses all have one length stands one couplet a line, however its
// source punctuates it (静夜思 is one sentence in its source); ci and qu keep a sentence a line.
const SHI_FORMS = new Set(['五言古诗', '五言乐府', '七言古诗', '七言乐府', '五言律诗', '七言律诗',
    '五言绝句', '七言绝句', '七言歌行', '四言乐府', '诗经']);
const VERSE_ENDS = '，。！？；：、';
const SENTENCE_ENDS = '。！？；';
const CLOSING_QUOTES = '”’」』';

function spokenLength(verse) {
    return [...verse.replace(/[（(][^（()）]*[）)]/g, '').replace(/[，。！？；：、“”‘’「」『』《》·—…\s]/g, '')].length;
}

// The verses of the lines: each ends at a clause's punctuation (with any closing quotes after it).
function verses(lines) {
    const out = [];
    let cur = '';
    for (const ch of [...lines.join('')]) {
        if (CLOSING_QUOTES.includes(ch) && cur === '' && out.length) out[out.length - 1] += ch;
        else cur += ch;
        if (VERSE_ENDS.includes(ch)) {
            out.push(cur);
            cur = '';
        }
    }
    if (cur) out.push(cur);
    return out;
}

function endsSentence(verse) {
    return SENTENCE_ENDS.includes(verse.replace(/[”’」』]+$/, '').slice(-1));
}

// The verses in sentences (runs that end at a stop), a question and the one verse that answers it
// ("岱宗夫如何？齐鲁青未了。") taken as one.
function sentences(v) {
    const out = [];
    let cur = [];
    for (const x of v) {
        cur.push(x);
        if (endsSentence(x)) {
            out.push(cur);
            cur = [];
        }
    }
    if (cur.length) out.push(cur);
    const joined = [];
    for (let i = 0; i < out.length; i++) {
        if (out[i].length === 1 && i + 1 < out.length && out[i + 1].length === 1) joined.push([...out[i], ...out[++i]]);
        else joined.push(out[i]);
    }
    return joined;
}

// A couplet ends its sentence. Where the source runs one sentence over two couplets with a comma
// ("床前明月光，疑是地上霜，举头望明月，低头思故乡。"), the comma that ends the first couplet is the
// stop the editions print there; a sentence that ends otherwise than with "。" is left to a human.
function coupletEnd(line, sentence) {
    if (!/[，、]$/.test(line)) return line;
    const last = sentence[sentence.length - 1].replace(/[”’」』]+$/, '').slice(-1);
    if (last !== '。') throw new Error(`a couplet ends inside the sentence ${sentence.join('')}`);
    return `${line.slice(0, -1)}。`;
}

// The lines one couplet each, paired within the source's sentences, never across them: a
// sentence of an odd number of verses keeps its last three on one line.
export function coupletLayout(p) {
    if (!SHI_FORMS.has(p.form)) return p;
    const v = verses(p.paragraphs);
    const length = v.length ? spokenLength(v[0]) : 0;
    if (v.length < 2 || v.length % 2 || !length || v.some((x) => spokenLength(x) !== length)) return p;
    const paragraphs = [];
    for (const s of sentences(v)) {
        for (let k = 0; k < s.length;) {
            const take = s.length - k === 3 ? 3 : Math.min(2, s.length - k);
            paragraphs.push(coupletEnd(s.slice(k, k + take).join(''), s));
            k += take;
        }
    }
    return { ...p, paragraphs };
}

function writeJson(file, poems) {
    const text = `[\n${poems.map((p) => JSON.stringify(coupletLayout(p))).join(',\n')}\n]\n`;
    fs.writeFileSync(path.join(HERE, file), text);
}

function generate(pkg) {
    const require = createRequire(path.join(path.resolve(pkg), '..', 'curate-anchor.js'));
    const OpenCC = require('opencc-js');
    iconv = require('iconv-lite');
    const converter = OpenCC.Converter({ from: 't', to: 'cn' });
    t2cn = (s) => converter(s);
    ROOT = path.join(path.resolve(pkg), 'dist');
    const built = [buildTang300(), buildSongCi300(), buildYuanqu(), buildMore()];
    built.forEach((poems, i) => writeJson(FILES[i], poems));
}

function main(argv) {
    if (argv[0] === '--check') return check().length === 0;
    if (argv.length !== 1 || argv[0].startsWith('-')) {
        console.error('usage: node curate.mjs PATH/TO/node_modules/chinese-poetry | --check');
        return false;
    }
    generate(argv[0]);
    return check().length === 0;
}

// Run only when started as a program, so that the tests can import check().
if (process.argv[1] && path.resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
    process.exitCode = main(process.argv.slice(2)) ? 0 : 1;
}
