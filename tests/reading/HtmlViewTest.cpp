// The HTML viewer window class "DISPLAYCLASS" as a screen drives it with messages.

#include "platform/ui/Dialog.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/HtmlControl.h"
#include "tests/reading/ReaderFixture.h"

#include <QImage>

#include <fstream>

using testing_support::CScript;
using UiTesting::HtmlViewState;

namespace {

constexpr UINT kHostDialog = 9610;
constexpr DialogTemplate kHost{
    kHostDialog, u"查看", WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 160, 196, u"宋体", 9, {}};

// A screen that holds nothing but a viewer filling it.
class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(kHostDialog) {}
    HWND m_hwndHtml = nullptr;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (InitHTMLControl(AfxGetInstanceHandle())) {
            m_hwndHtml = CreateWindowEx(0, kHtmlViewClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0,
                                        240, 294, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
        }
        return TRUE;
    }
};

class HtmlViewTest : public ReaderTest {
protected:
    HtmlViewTest() { RegisterDialogTemplate(kHost); }

    // Runs the host screen and `script` over it, then closes it.
    void WithViewer(const std::function<void(CScript&, HWND)>& script) {
        CHostDlg host;
        m_driver.Run([&] { host.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(kHostDialog));
                         const HWND viewer = s.OnGui([&] { return host.m_hwndHtml; });
                         ASSERT_NE(viewer, nullptr);
                         script(s, viewer);
                         s.PressOk();
                     });
        EXPECT_FALSE(IsWindow(host.m_hwndHtml));
    }

    // Sends the message and lets the viewer show its result.
    static HtmlViewState Send(CScript& s, HWND viewer, UINT message, WPARAM wParam,
                              const CString& text) {
        return s.OnGui([&] {
            ::SendMessage(viewer, message, wParam, reinterpret_cast<LPARAM>(text.GetString()));
            UiTesting::FlushHtmlView(viewer);
            return UiTesting::HtmlView(viewer);
        });
    }
    static HtmlViewState EndOfSource(CScript& s, HWND viewer) {
        return s.OnGui([&] {
            ::SendMessage(viewer, DTM_ENDOFSOURCE, 0, 0);
            UiTesting::FlushHtmlView(viewer);
            return UiTesting::HtmlView(viewer);
        });
    }
    static HtmlViewState Click(CScript& s, HWND viewer, const CString& href) {
        return s.OnGui([&] {
            EXPECT_TRUE(UiTesting::ClickHtmlLink(viewer, href)) << href.ToUtf8();
            UiTesting::FlushHtmlView(viewer);
            return UiTesting::HtmlView(viewer);
        });
    }

    void WritePage(const std::string& relativePath, const std::string& html) {
        const std::filesystem::path path = m_folder.Path() / relativePath;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << html;
    }
    // A page long enough to scroll, with anchors at its top, middle and end.
    static std::string LongPage(const std::string& links) {
        std::string html = "<html><body><a name=\"顶\"></a><p>目录 " + links + "</p>";
        for (int i = 0; i < 120; ++i) {
            if (i == 40) {
                html += "<a name=\"中\"></a>";
            }
            if (i == 80) {
                html += "<a name=\"李 白\"></a>";
            }
            if (i == 100) {
                html += "<a name=\"100%\"></a>";
            }
            html += "<p>第" + std::to_string(i) + "段</p>";
        }
        return html + "</body></html>";
    }
};

TEST_F(HtmlViewTest, TextAfterAnEndOfSourceIsANewPageLaidOutWhole) {
    WithViewer([](CScript& s, HWND viewer) {
        Send(s, viewer, DTM_ADDTEXTW, 0, u"<b>一</b>");
        EXPECT_EQ(Send(s, viewer, DTM_ADDTEXTW, 0, u"<i>二</i>").text, CString());
        HtmlViewState state = EndOfSource(s, viewer);
        EXPECT_EQ(state.page, CString(u"<b>一</b><i>二</i>"));
        EXPECT_EQ(state.text, CString(u"一二"));

        Send(s, viewer, DTM_ADDTEXTW, 0, u"三");
        Send(s, viewer, DTM_ADDTEXTW, 1, u"<四> & 五\n六"); // plain text shows as it is
        state = EndOfSource(s, viewer);
        EXPECT_EQ(state.text, CString(u"三<四> & 五\n六"));
        EXPECT_EQ(state.file, CString());

        // Ending the page again changes nothing.
        EXPECT_EQ(EndOfSource(s, viewer).text, state.text);
        Send(s, viewer, DTM_ADDTEXTW, 0, u"七");
        EXPECT_EQ(EndOfSource(s, viewer).text, CString(u"七"));
    });
}

TEST_F(HtmlViewTest, ABackgroundPictureReplacedOnDiskShowsOnTheNextPage) {
    const auto writePicture = [this](QColor colour, int size) {
        QImage picture(size, size, QImage::Format_RGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(QString::fromStdString(m_folder.File("底.png")), "PNG"));
    };
    writePicture(Qt::red, 8);
    WithViewer([&](CScript& s, HWND viewer) {
        Send(s, viewer, DTM_ADDTEXTW, 0, u"<body background=\"底.png\">一</body>");
        EndOfSource(s, viewer);
        s.Sync();
        EXPECT_EQ(s.ClientPixel(200, 200), RGB(255, 0, 0));
        writePicture(Qt::blue, 9);
        Send(s, viewer, DTM_ADDTEXTW, 0, u"<body background=\"底.png\">二</body>");
        EndOfSource(s, viewer);
        s.Sync();
        EXPECT_EQ(s.ClientPixel(200, 200), RGB(0, 0, 255));
    });
}

TEST_F(HtmlViewTest, TheBodysTextAndLinkColoursHold) {
    WritePage("色.htm", "<html><body text=\"F3EBDD\" link='#F2C46D'><p>正文 <a "
                        "href=\"#x\">链接</a></p><a name=\"x\"></a></body></html>");
    WithViewer([&](CScript& s, HWND viewer) {
        HtmlViewState state =
            Send(s, viewer, DTM_NAVIGATE, 0, u"file://" + g_strAppPath + u"色.htm");
        EXPECT_EQ(state.textColor, RGB(0xF3, 0xEB, 0xDD));
        EXPECT_EQ(state.linkColor, RGB(0xF2, 0xC4, 0x6D));
        // A page without them is drawn in the viewer's own colours again.
        Send(s, viewer, DTM_ADDTEXTW, 0, u"<body>黑字 <a href=\"#y\">链接</a></body>");
        state = EndOfSource(s, viewer);
        EXPECT_EQ(state.textColor, RGB(0, 0, 0));
        EXPECT_NE(state.linkColor, RGB(0xF2, 0xC4, 0x6D));
    });
}

TEST_F(HtmlViewTest, ZoomLevelsGrowTheTextFromSmallestToLargest) {
    WithViewer([](CScript& s, HWND viewer) {
        Send(s, viewer, DTM_ADDTEXTW, 0, u"<font size=3>诗</font>");
        EndOfSource(s, viewer);
        std::vector<HtmlViewState> levels;
        for (int level = 0; level <= 4; ++level) {
            levels.push_back(s.OnGui([&] {
                ::SendMessage(viewer, DTM_ZOOMLEVEL, 0, level);
                UiTesting::FlushHtmlView(viewer);
                return UiTesting::HtmlView(viewer);
            }));
            EXPECT_EQ(levels.back().zoomLevel, level);
        }
        for (size_t i = 1; i < levels.size(); ++i) {
            EXPECT_GT(levels[i].basePixelSize, levels[i - 1].basePixelSize) << i;
            EXPECT_GE(levels[i].lineHeight, levels[i - 1].lineHeight) << i;
        }
        EXPECT_GT(levels[4].lineHeight, levels[0].lineHeight); // the page is laid out afresh
        EXPECT_EQ(levels[2].basePixelSize, 12);                // the dialogs' own text size
        const int largest = levels[4].basePixelSize;
        const int smallest = levels[0].basePixelSize;
        EXPECT_EQ(s.OnGui([&] {
            ::SendMessage(viewer, DTM_ZOOMLEVEL, 0, 9);
            return UiTesting::HtmlView(viewer).basePixelSize;
        }),
                  largest);
        EXPECT_EQ(s.OnGui([&] {
            ::SendMessage(viewer, DTM_ZOOMLEVEL, 0, -1);
            return UiTesting::HtmlView(viewer).basePixelSize;
        }),
                  smallest);
    });
}

TEST_F(HtmlViewTest, OnlyAChildOfAWindowIsMadeAndOnlyOfTheViewersClass) {
    WithViewer([](CScript& s, HWND viewer) {
        s.OnGui([&] {
            const HWND parent = CWnd::FromHandle(viewer)->GetParent()->GetSafeHwnd();
            const HINSTANCE instance = AfxGetInstanceHandle();
            EXPECT_EQ(CreateWindowEx(0, u"SysListView32", nullptr, WS_CHILD, 0, 0, 10, 10, parent,
                                     nullptr, instance, nullptr),
                      nullptr);
            EXPECT_EQ(CreateWindowEx(0, kHtmlViewClass, nullptr, WS_POPUP, 0, 0, 10, 10, parent,
                                     nullptr, instance, nullptr),
                      nullptr);
            EXPECT_EQ(CreateWindowEx(0, kHtmlViewClass, nullptr, WS_CHILD, 0, 0, 10, 10, nullptr,
                                     nullptr, instance, nullptr),
                      nullptr);
            const HWND second =
                CreateWindowEx(0, kHtmlViewClass, nullptr, WS_CHILD, 5, 6, 20, 30, parent,
                               reinterpret_cast<HMENU>(77), instance, nullptr);
            ASSERT_NE(second, nullptr);
            EXPECT_EQ(UiTesting::HtmlView(second).rect, CRect(5, 6, 25, 36));
            EXPECT_EQ(CWnd::FromHandle(second)->GetDlgCtrlID(), 77);
            EXPECT_EQ(CWnd::FromHandle(viewer)->GetParent()->GetDlgItem(77)->GetSafeHwnd(), second);
        });
    });
}

TEST_F(HtmlViewTest, NavigationTakesTheAnchorAsItStandsAndLinksStayOnThisMachine) {
    CListeningSocket server;
    const std::string folder = "页 #1/";
    WritePage(folder + "参考.htm",
              LongPage("<a href=\"#中\">中</a> <a href=\"其他.htm#尾\">其他</a> <a href=\"" +
                       server.Url("/x.htm") + "\">外</a>"));
    WritePage(folder + "其他.htm", "<html><body><p>另一页</p><a name=\"尾\"></a>尾</body></html>");
    const CString page = g_strAppPath + CString::FromUtf8(folder) + u"参考.htm";
    WithViewer([&](CScript& s, HWND viewer) {
        const CString url = u"file://" + page + u"#李 白";
        HtmlViewState state = Send(s, viewer, DTM_NAVIGATE, 0, url);
        EXPECT_EQ(state.file, page); // the "#" in the folder's name stays in the path
        EXPECT_EQ(state.anchor, CString(u"李 白"));
        EXPECT_GT(state.anchorY, 0);
        EXPECT_EQ(state.scrollY, state.anchorY);

        // A link to an anchor of the page scrolls there; the same navigation sent again (as a
        // repaint does) leaves the reader there.
        state = Click(s, viewer, u"#中");
        EXPECT_EQ(state.anchor, CString(u"中"));
        EXPECT_EQ(state.scrollY, state.anchorY);
        const int middle = state.scrollY;
        EXPECT_EQ(Send(s, viewer, DTM_NAVIGATE, 0, url).scrollY, middle);

        state = Send(s, viewer, DTM_NAVIGATE, 0, u"file://" + page + u"#100%");
        EXPECT_EQ(state.anchor, CString(u"100%")); // not percent-decoded
        EXPECT_GT(state.scrollY, middle);

        // Links to local pages open in the viewer; links off the machine do nothing.
        state = Click(s, viewer, u"其他.htm#尾");
        EXPECT_EQ(state.file, g_strAppPath + CString::FromUtf8(folder) + u"其他.htm");
        EXPECT_EQ(state.anchor, CString(u"尾"));
        EXPECT_NE(state.text.Find(u"另一页"), -1);
        Send(s, viewer, DTM_NAVIGATE, 0, url);
        state = Click(s, viewer, CString::FromUtf8(server.Url("/x.htm")));
        EXPECT_EQ(state.file, page);
        state = Send(s, viewer, DTM_NAVIGATE, 0, CString::FromUtf8(server.Url("/y.htm")));
        EXPECT_EQ(state.file, page);

        // A name without a folder is looked for in the program folder; a page that does not
        // exist shows nothing.
        WritePage("本地.htm", "<p>程序文件夹里的页</p>");
        EXPECT_NE(Send(s, viewer, DTM_NAVIGATE, 0, u"本地.htm").text.Find(u"程序文件夹"), -1);
        state = Send(s, viewer, DTM_NAVIGATE, 0, u"file://" + g_strAppPath + u"无此页.htm#甲");
        EXPECT_EQ(state.text, CString());
        EXPECT_EQ(state.file, CString());
        // The page shows again once it is asked for again, also after a page given as text.
        EXPECT_NE(Send(s, viewer, DTM_NAVIGATE, 0, url).text.Find(u"第0段"), -1);
        Send(s, viewer, DTM_ADDTEXTW, 0, u"文字");
        EXPECT_EQ(EndOfSource(s, viewer).text, CString(u"文字"));
        state = Send(s, viewer, DTM_NAVIGATE, 0, url);
        EXPECT_EQ(state.file, page);
        EXPECT_NE(state.text.Find(u"第0段"), -1);
    });
    EXPECT_FALSE(server.WasContacted());
}

TEST_F(HtmlViewTest, AnAnchorThePageDoesNotHoldLeavesItAtItsTop) {
    WritePage("参考.htm", LongPage(""));
    WithViewer([&](CScript& s, HWND viewer) {
        const HtmlViewState state =
            Send(s, viewer, DTM_NAVIGATE, 0, u"file://" + g_strAppPath + u"参考.htm#无名");
        EXPECT_EQ(state.file, g_strAppPath + u"参考.htm");
        EXPECT_EQ(state.anchorY, -1);
        EXPECT_EQ(state.scrollY, 0);
    });
}

} // namespace
