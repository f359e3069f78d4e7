// The reference window: the page of the program folder at its anchor.

#include "reading/RefPageDlg.h"
#include "resources/ResourceIds.h"
#include "tests/reading/ReaderFixture.h"

using testing_support::CScript;
using UiTesting::HtmlViewState;

namespace {

class RefPageTest : public ReaderTest {
protected:
    RefPageTest() {
        CopyFromProgramFolder("authors.htm");
        CopyFromProgramFolder("bgpic27.jpg");
    }

    static HtmlViewState ViewOf(CScript& s, const CRefPageDlg& window) {
        return s.OnGui([&window] {
            UiTesting::FlushHtmlView(window.m_hwndHtml);
            return UiTesting::HtmlView(window.m_hwndHtml);
        });
    }
    static bool WaitForAnchor(CScript& s, const CRefPageDlg& window, const CString& anchor) {
        return s.WaitUntil([&window, &anchor] {
            const HtmlViewState state = UiTesting::HtmlView(window.m_hwndHtml);
            return state.anchor == anchor && state.scrollY > 0;
        });
    }
};

TEST_F(RefPageTest, ThePoetsPageOpensScrolledToThePoet) {
    CRefPageDlg window;
    const CString url = u"file://" + g_strAppPath + u"authors.htm#李白";
    window.m_strUrl = url;
    m_driver.Run([&] { window.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_REFPAGE));
                     EXPECT_EQ(s.BarCaption(), CString(u"详细"));
                     ASSERT_TRUE(WaitForAnchor(s, window, u"李白"));
                     const HtmlViewState state = ViewOf(s, window);
                     EXPECT_EQ(state.rect, CRect(1, 1, 239, 293));
                     EXPECT_EQ(state.file, g_strAppPath + u"authors.htm");
                     EXPECT_GT(state.anchorY, 0);
                     EXPECT_EQ(state.scrollY, state.anchorY); // the poet's heading at the top
                     EXPECT_EQ(state.zoomLevel, 3);
                     EXPECT_GT(state.basePixelSize, 12); // larger than the reader's text
                     EXPECT_TRUE(state.hasBackgroundPicture);
                     EXPECT_EQ(state.refusedRequests, 0);
                     EXPECT_TRUE(s.SaveScreenshot(Screenshot("refpage-libai.png")));

                     // A repaint asks for the same page again: the reader stays where they are.
                     s.OnGui([&] {
                         window.Invalidate();
                         window.UpdateWindow();
                     });
                     s.Sync();
                     const auto navigations =
                         s.OnGui([&] { return MessagesOf(window.m_hwndHtml, DTM_NAVIGATE); });
                     ASSERT_GE(navigations.size(), 2u);
                     for (const auto& navigation : navigations) {
                         EXPECT_EQ(navigation.text, url);
                         EXPECT_EQ(navigation.wParam, 0u);
                     }
                     EXPECT_EQ(ViewOf(s, window).scrollY, state.scrollY);
                     s.PressOk();
                 });
    EXPECT_FALSE(IsWindow(window.m_hwndHtml)); // the viewer went with its window
}

TEST_F(RefPageTest, TheViewerIsSetUpOnceWithTheLargerText) {
    CRefPageDlg window;
    window.m_strUrl = u"file://" + g_strAppPath + u"authors.htm#杜甫";
    std::vector<UiTesting::HtmlMessage> messages;
    m_driver.Run([&] { window.DoModal(); },
                 [&](CScript& s) {
                     ASSERT_TRUE(s.WaitForScreen(IDD_REFPAGE));
                     ASSERT_TRUE(WaitForAnchor(s, window, u"杜甫"));
                     messages = s.OnGui([&] { return MessagesOf(window.m_hwndHtml, 0); });
                     s.PressEscape();
                 });
    ASSERT_GE(messages.size(), 4u);
    EXPECT_EQ(messages[0].message, DTM_ENABLESCRIPTING);
    EXPECT_EQ(messages[0].lParam, 1);
    EXPECT_EQ(messages[1].message, DTM_ZOOMLEVEL);
    EXPECT_EQ(messages[1].lParam, 3);
    EXPECT_EQ(messages[2].message, DTM_ENABLESHRINK);
    EXPECT_EQ(messages[2].lParam, 0);
    for (size_t i = 3; i < messages.size(); ++i) {
        EXPECT_EQ(messages[i].message, DTM_NAVIGATE);
    }
}

TEST_F(RefPageTest, WithoutAViewerTheWindowOpensEmpty) {
    for (const auto failure :
         {UiTesting::HtmlViewFailure::Init, UiTesting::HtmlViewFailure::Create}) {
        UiTesting::SetHtmlViewFailure(failure);
        CRefPageDlg window;
        window.m_strUrl = u"file://" + g_strAppPath + u"authors.htm#李白";
        m_driver.Run([&] { window.DoModal(); },
                     [&](CScript& s) {
                         ASSERT_TRUE(s.WaitForScreen(IDD_REFPAGE));
                         s.Paint();
                         EXPECT_FALSE(s.Exists(0));
                         s.PressOk();
                     });
        EXPECT_EQ(window.m_hwndHtml, nullptr);
        EXPECT_TRUE(m_messages.empty());
    }
}

} // namespace
