// Whole verses on the poem page: real poems laid out by the reader's viewer at every zoom of the
// viewer and of the window, every line end checked against the verses of the text.

#include "platform/ui/testing/ScreenWidgets.h"
#include "reading/PoemViewDlg.h"
#include "reading/RefPageDlg.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

#include <QFontDatabase>
#include <QImage>
#include <QScrollBar>
#include <QTextBrowser>

#include <algorithm>
#include <fstream>
#include <string_view>

using testing_support::CScript;
using testing_support::TestPoem;
using UiTesting::HtmlLine;
using UiTesting::HtmlViewState;

namespace {

// The poems, as the collection's libraries hold them (早发白帝城 as it is usually quoted).
const TestPoem kDengGuanQueLou{"登鹳雀楼", "王之涣", "唐代", "五言绝句",
                               "白日依山尽，黄河入海流。\r\n欲穷千里目，更上一层楼。"};
const TestPoem kZaoFaBaiDiCheng{"早发白帝城", "李白", "唐代", "七言绝句",
                                "朝辞白帝彩云间，千里江陵一日还。\r\n"
                                "两岸猿声啼不住，轻舟已过万重山。"};
const TestPoem kHuangHeLou{"黄鹤楼", "崔颢", "唐代", "七言律诗",
                           "昔人已乘白云去，此地空余黄鹤楼。\r\n"
                           "黄鹤一去不复返，白云千载空悠悠。\r\n"
                           "晴川历历汉阳树，春草萋萋鹦鹉洲。\r\n"
                           "日暮乡关何处是，烟波江上使人愁。"};
const TestPoem kYuLinLing{"雨霖铃", "柳永", "宋代", "雨霖铃",
                          "寒蝉凄切。\r\n"
                          "对长亭晚，骤雨初歇。\r\n"
                          "都门帐饮无绪，留恋处、兰舟催发。\r\n"
                          "执手相看泪眼，竟无语凝噎。\r\n"
                          "念去去、千里烟波，暮霭沈沈楚天阔。\r\n"
                          "多情自古伤离别。\r\n"
                          "更那堪、冷落清秋节。\r\n"
                          "今宵酒醒何处，杨柳岸、晓风残月。\r\n"
                          "此去经年，应是良辰、好景虚设。\r\n"
                          "便纵有、千种风情，更与何人说。"};
// Its last verse fills the line at the largest text exactly.
const TestPoem kYuMeiRen{"虞美人·春花秋月何时了", "李煜", "五代十国", "虞美人",
                         "春花秋月何时了，往事知多少？\r\n"
                         "小楼昨夜又东风，故国不堪回首月明中。\r\n"
                         "雕栏玉砌应犹在，只是朱颜改。\r\n"
                         "问君能有几多愁？恰似一江春水向东流。"};
// Sentences longer than a line at every size.
const TestPoem kHouTingHua{"张孔目智勘魔合罗·后庭花", "孟汉卿", "元代", "后庭花",
                           "俺家里有一遭新板闼住两间高瓦屋。\r\n"
                           "隔壁儿是个熟食店，对门儿是个生药局。\r\n"
                           "怕老的若有不是处你则问那里是李德昌家绒线铺，街坊每他都道与。"};
// Longer than the viewer lays out at once, with a sentence longer than a line at its end.
TestPoem LongPoem() {
    std::string text;
    for (int line = 0; line < 60; ++line) {
        text += "朝辞白帝彩云间，千里江陵一日还。\r\n";
    }
    return {"长诗", "某人", "元代", "后庭花", text + kHouTingHua.text};
}
// Typed without punctuation: spaces part the verses, or nothing does.
const TestPoem kTyped{"静夜思", "李白", "唐代", "五言绝句",
                      "床前明月光 疑是地上霜 举头望明月 低头思故乡\r\n"
                      "床前明月光疑是地上霜举头望明月低头思故乡"};
// Quotation marks, which the line breaker alone never breaks beside.
const TestPoem kQuoted{"问答", "某人", "宋代", "七言古诗",
                       "客问：“明月几时有？”我答：“把酒问青天。”\r\n"
                       "客又问：“不知天上宫阙，今夕是何年？”我不答。\r\n"
                       "明月几时有？把酒问青天。"};

constexpr std::u16string_view kStops = u"，。、；：？！,.;:?!";
constexpr std::u16string_view kClosers = u"”’」』）》〉】〕)]";

bool IsStop(char16_t c) {
    return kStops.find(c) != std::u16string_view::npos;
}
bool IsCloser(char16_t c) {
    return kClosers.find(c) != std::u16string_view::npos;
}
bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\u3000' || c == u'\r' || c == u'\u00A0';
}
bool IsIdeographic(char16_t c) {
    return c >= u'\u2E80' && !IsSpace(c);
}

// One line of the poem's text, as the viewer broke it into lines on the page.
struct TextLine {
    std::u16string text;
    std::vector<const HtmlLine*> pieces;
};

std::vector<TextLine> TextLines(const std::vector<HtmlLine>& lines) {
    std::vector<TextLine> text;
    TextLine current;
    for (const HtmlLine& line : lines) {
        current.text += line.text.view();
        current.pieces.push_back(&line);
        if (line.endsLine) {
            text.push_back(std::move(current));
            current = {};
        }
    }
    return text;
}

// Whether a verse ends at `at` of `text`: after its punctuation and the quotes that close it,
// at a space, or at the end.
bool VerseEndsAt(const std::u16string& text, std::size_t at) {
    if (at == 0 || at >= text.size() || IsSpace(text[at]) || IsSpace(text[at - 1])) {
        return true;
    }
    if (IsStop(text[at]) || IsCloser(text[at])) {
        return false;
    }
    for (std::size_t k = at; k > 0 && (IsStop(text[k - 1]) || IsCloser(text[k - 1])); --k) {
        if (IsStop(text[k - 1])) {
            return true;
        }
    }
    return false;
}

// The characters of the verse around `at`, spaces left out.
std::size_t VerseLength(const std::u16string& text, std::size_t at) {
    std::size_t first = at;
    while (first > 0 && !VerseEndsAt(text, first)) {
        --first;
    }
    std::size_t end = at + 1;
    while (end < text.size() && !VerseEndsAt(text, end)) {
        ++end;
    }
    return end - first;
}

// The characters of the verse that starts at `at` (after the spaces there).
std::size_t NextVerseLength(const std::u16string& text, std::size_t at) {
    while (at < text.size() && IsSpace(text[at])) {
        ++at;
    }
    return at < text.size() ? VerseLength(text, at) : 0;
}

// The width of one character of the poem: the widest share of a line of the poem's characters.
double CharacterWidth(const std::vector<TextLine>& poem) {
    double widest = 0;
    for (const TextLine& line : poem) {
        for (const HtmlLine* piece : line.pieces) {
            const std::u16string_view text = piece->text.view();
            if (text.size() >= 4 && std::all_of(text.begin(), text.end(), IsIdeographic)) {
                widest = std::max(widest, piece->textWidth / static_cast<double>(text.size()));
            }
        }
    }
    return widest;
}

struct Findings {
    std::vector<std::string> faults;
    int longVerses = 0; // lines that end inside a verse longer than a line
};

// Checks every line end of the poem's lines. `poemText` is the poem as the library holds it.
Findings CheckLineEnds(const std::vector<HtmlLine>& lines, const std::string& poemText) {
    const std::u16string whole(CString::FromUtf8(poemText).view());
    std::vector<TextLine> poem;
    for (TextLine& line : TextLines(lines)) {
        std::u16string bare = line.text;
        std::erase_if(bare, IsSpace);
        if (!bare.empty() && whole.find(bare.substr(0, std::min<std::size_t>(4, bare.size()))) !=
                                 std::u16string::npos) {
            poem.push_back(std::move(line));
        }
    }
    Findings findings;
    if (poem.empty()) {
        findings.faults.push_back("the poem's lines are not on the page");
        return findings;
    }
    const double em = CharacterWidth(poem);
    const auto fault = [&findings](const TextLine& line, std::size_t at, const char* what) {
        findings.faults.push_back(CString(line.text.substr(0, at)).ToUtf8() + " | " +
                                  CString(line.text.substr(at)).ToUtf8() + ": " + what);
    };
    for (const TextLine& line : poem) {
        std::size_t at = 0;
        for (std::size_t i = 0; i < line.pieces.size(); ++i) {
            const HtmlLine& piece = *line.pieces[i];
            if (piece.textWidth > piece.width + 0.5) {
                fault(line, at, "a line runs off the page");
            }
            at += piece.text.GetLength();
            if (i + 1 == line.pieces.size()) {
                break;
            }
            if (IsStop(line.text[at]) || IsCloser(line.text[at])) {
                fault(line, at, "a line starts with closing punctuation");
            }
            if (!VerseEndsAt(line.text, at)) {
                if (VerseLength(line.text, at) * em <= piece.width + 0.5) {
                    fault(line, at, "a verse that fits on a line is broken");
                }
                ++findings.longVerses;
                continue;
            }
            const double space = IsSpace(line.text[at - 1]) ? em / 2 : 0;
            if (piece.textWidth + space + NextVerseLength(line.text, at) * em <= piece.width) {
                fault(line, at, "the next verse would have fitted on the line");
            }
        }
    }
    return findings;
}

std::vector<CString> LineTexts(const std::vector<HtmlLine>& lines) {
    std::vector<CString> texts;
    for (const HtmlLine& line : lines) {
        std::u16string text(line.text.view());
        while (!text.empty() && IsSpace(text.back())) {
            text.pop_back();
        }
        texts.push_back(CString(std::u16string_view(text)));
    }
    return texts;
}

bool HoldsInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 64) {
                return true;
            }
        }
    }
    return false;
}

bool Holds(const std::vector<CString>& lines, const std::vector<CString>& run) {
    return std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
}

class VerseTest : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    VerseTest() {
        UseDarkTextOnWhite();
        m_driver.SetZoom(GetParam());
    }

    // Opens the reader at the poem and runs `script` once its page shows.
    void WithReader(const TestPoem& poem, const std::function<void(CScript&, HWND)>& script) {
        OpenLibrary({poem});
        CPoemViewDlg reader(Record(0));
        m_driver.Run([&] { reader.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(WaitForPoemPage(s, reader));
                         script(s, reader.m_hwndHtml);
                         s.PressOk();
                     });
    }

    static HtmlViewState AtZoomLevel(CScript& s, HWND viewer, int level) {
        return s.OnGui([&] {
            ::SendMessage(viewer, DTM_ZOOMLEVEL, 0, level);
            UiTesting::FlushHtmlView(viewer);
            return UiTesting::HtmlView(viewer);
        });
    }

    static QImage WindowImage(CScript& s) {
        s.Sync();
        return s.OnGui([] { return UiTesting::ScreenWindow()->grab().toImage(); });
    }
};

TEST_P(VerseTest, EveryLineEndsAtTheEndOfAVerseUnlessTheVerseIsLongerThanALine) {
    int longVerses = 0;
    const TestPoem longPoem = LongPoem();
    for (const TestPoem* poem : {&kDengGuanQueLou, &kZaoFaBaiDiCheng, &kHuangHeLou, &kYuLinLing,
                                 &kYuMeiRen, &kHouTingHua, &kTyped, &kQuoted, &longPoem}) {
        WithReader(*poem, [&](CScript& s, HWND viewer) {
            EXPECT_TRUE(UiTesting::HtmlView(viewer).keepVerses);
            for (int level = 0; level <= 4; ++level) {
                const HtmlViewState state = AtZoomLevel(s, viewer, level);
                const Findings findings = CheckLineEnds(state.lines, poem->text);
                for (const std::string& fault : findings.faults) {
                    ADD_FAILURE() << poem->title << " at zoom level " << level << ": " << fault;
                }
                longVerses += findings.longVerses;
            }
        });
    }
    // The sentences of the 曲 are longer than a line: they were broken where they had to be.
    EXPECT_GT(longVerses, 0);
}

TEST_P(VerseTest, ACoupletThatDoesNotFitBreaksAfterItsComma) {
    // The usual text holds 14 characters a line: a couplet of seven characters a verse stands
    // as two lines of eight, one of five characters stays one line.
    WithReader(kZaoFaBaiDiCheng, [&](CScript& s, HWND viewer) {
        const std::vector<CString> lines = LineTexts(AtZoomLevel(s, viewer, 2).lines);
        EXPECT_TRUE(Holds(lines, {u"朝辞白帝彩云间，", u"千里江陵一日还。", u"两岸猿声啼不住，",
                                  u"轻舟已过万重山。"}));
    });
    WithReader(kDengGuanQueLou, [&](CScript& s, HWND viewer) {
        const std::vector<CString> lines = LineTexts(AtZoomLevel(s, viewer, 2).lines);
        EXPECT_TRUE(Holds(lines, {u"白日依山尽，黄河入海流。", u"欲穷千里目，更上一层楼。"}));
    });
}

TEST_P(VerseTest, TheMarksThatHoldVersesTogetherDrawNothing) {
    // Lines that break the same with verses kept and without: the page looks the same, pixel
    // for pixel, in the reading face and in the faces that stand in for it.
    const TestPoem poem{"登鹳雀楼", "王之涣", "唐代", "五言绝句",
                        "白日依山尽，黄河入海流。\r\n问：“归去？”答：“来。”"};
    WithReader(poem, [&](CScript& s, HWND viewer) {
        for (const char16_t* face :
             {u"", u"Noto Serif CJK SC", u"AR PL UMing CN", u"AR PL UKai CN"}) {
            const CString name(face);
            if (!name.IsEmpty() && !QFontDatabase::hasFamily(QString::fromUtf16(face))) {
                continue;
            }
            s.OnGui([&] { UiTesting::SetHtmlViewFace(viewer, name); });
            const auto shown = [&](LPARAM keep) {
                s.OnGui([&] {
                    ::SendMessage(viewer, DTM_KEEPVERSES, 0, keep);
                    UiTesting::FlushHtmlView(viewer);
                });
                return std::make_pair(WindowImage(s), s.OnGui([&] {
                    return LineTexts(UiTesting::HtmlView(viewer).lines);
                }));
            };
            const auto [without, linesWithout] = shown(0);
            const auto [with, linesWith] = shown(1);
            ASSERT_TRUE(HoldsInk(with));
            EXPECT_EQ(linesWith, linesWithout) << name.ToUtf8();
            EXPECT_TRUE(with == without) << "face '" << name.ToUtf8() << "'";
        }
    });
}

TEST_P(VerseTest, TextCopiedFromThePageIsThePoemsOwn) {
    WithReader(kQuoted, [&](CScript& s, HWND viewer) {
        const HtmlViewState state = s.OnGui([&] { return UiTesting::HtmlView(viewer); });
        const UiTesting::HtmlCopy copied =
            s.OnGui([&] { return UiTesting::CopyWholePage(viewer); });
        EXPECT_EQ(copied.text, state.text);
        EXPECT_NE(copied.text.Find(u"客问：“明月几时有？”我答：“把酒问青天。”"), -1);
        EXPECT_NE(copied.html.Find(u"不知天上宫阙，今夕是何年？"), -1);
        for (const CString& text : {copied.text, copied.html}) {
            EXPECT_EQ(text.Find(u'\u2060'), -1);
            EXPECT_EQ(text.Find(u'\u200B'), -1);
        }
    });
}

TEST_P(VerseTest, APaintLeavesTheReaderWhereTheyWere) {
    std::string text;
    for (int line = 0; line < 24; ++line) {
        text += "朝辞白帝彩云间，千里江陵一日还。\r\n";
    }
    WithReader({"长诗", "某人", "唐代", "七言古诗", text}, [&](CScript& s, HWND viewer) {
        ASSERT_TRUE(s.WaitUntil([&] {
            UiTesting::FlushHtmlView(viewer);
            return UiTesting::HtmlView(viewer).lines.size() > 40;
        }));
        s.OnGui([&] {
            auto* view = UiTesting::ScreenSurface()->findChild<QTextBrowser*>();
            view->verticalScrollBar()->setValue(200);
        });
        const int scrolled = s.OnGui([&] { return UiTesting::HtmlView(viewer).scrollY; });
        ASSERT_GT(scrolled, 0);
        s.OnGui([&] { CWnd::FromHandle(viewer)->GetParent()->Invalidate(); });
        s.Pause(std::chrono::milliseconds(100));
        EXPECT_EQ(s.OnGui([&] {
            UiTesting::FlushHtmlView(viewer);
            return UiTesting::HtmlView(viewer).scrollY;
        }),
                  scrolled);
    });
}

TEST_P(VerseTest, AReferencePageBreaksItsLinesAsProse) {
    {
        std::ofstream page(m_folder.File("诗话.htm"), std::ios::binary);
        page << "<html><body><p>朝辞白帝彩云间，千里江陵一日还。两岸猿声啼不住，轻舟已过万重山。"
                "</p></body></html>";
    }
    CRefPageDlg window;
    window.m_strUrl = u"file://" + g_strAppPath + u"诗话.htm";
    m_driver.Run([&] { window.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_REFPAGE));
                     ASSERT_TRUE(s.WaitUntil(
                         [&] { return !UiTesting::HtmlView(window.m_hwndHtml).file.IsEmpty(); }));
                     const HtmlViewState state = s.OnGui([&] {
                         UiTesting::FlushHtmlView(window.m_hwndHtml);
                         return UiTesting::HtmlView(window.m_hwndHtml);
                     });
                     EXPECT_FALSE(state.keepVerses);
                     // The first line is filled to the end, through the middle of a verse.
                     ASSERT_GE(state.lines.size(), 2u);
                     const std::u16string text(state.text.view());
                     EXPECT_FALSE(VerseEndsAt(text, state.lines[0].text.GetLength()))
                         << state.lines[0].text.ToUtf8();
                     s.PressOk();
                 });
}

INSTANTIATE_TEST_SUITE_P(Zooms, VerseTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& zoom) {
                             return "Zoom" + std::to_string(zoom.param);
                         });

} // namespace
