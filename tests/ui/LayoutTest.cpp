// Where texts, dialog units and the window's zoom put things, without any window.

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/ScreenGeometry.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UiConstants.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/testing/UiTesting.h"
#include "tests/support/Printing.h"

#include <gtest/gtest.h>

namespace {

// Every character is 10 pixels wide, blanks included.
int TenPerCharacter(std::u16string_view line) {
    return static_cast<int>(line.size()) * 10;
}

TEST(TextLayoutTest, RightAlignedLinesKeepTheirTrailingBlanksClearOfTheEdge) {
    const auto lines = LayoutText(u"唐诗 诗词库\n1.2.3 版本  ", RECT{40, 2, 235, 74}, DT_RIGHT, 13,
                                  TenPerCharacter);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].x, 235 - 60);
    EXPECT_EQ(lines[0].y, 2);
    EXPECT_EQ(lines[1].text, CString(u"1.2.3 版本  "));
    EXPECT_EQ(lines[1].x + lines[1].width, 235);
    EXPECT_EQ(lines[1].width, 100);
    EXPECT_EQ(lines[1].y, 15);
}

TEST(TextLayoutTest, SeveralLinesStartAtTheTopWhateverTheVerticalFlag) {
    const auto lines =
        LayoutText(u"a\r\nbb", RECT{0, 254, 240, 279}, DT_CENTER | DT_VCENTER, 12, TenPerCharacter);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, CString(u"a"));
    EXPECT_EQ(lines[0].x, 115);
    EXPECT_EQ(lines[0].y, 254);
    EXPECT_EQ(lines[1].x, 110);
    EXPECT_EQ(lines[1].y, 266);
}

TEST(TextLayoutTest, OneLineWithoutBreaksIsNotCentredVerticallyEither) {
    // Without DT_SINGLELINE even a one-line text starts at the top: this is what puts the main
    // screen's two bottom lines 15 pixels apart.
    const auto first =
        LayoutText(u"x", RECT{0, 254, 240, 279}, DT_CENTER | DT_VCENTER, 12, TenPerCharacter);
    const auto second =
        LayoutText(u"y", RECT{0, 269, 240, 294}, DT_CENTER | DT_VCENTER, 12, TenPerCharacter);
    EXPECT_EQ(second[0].y - first[0].y, 15);
}

TEST(TextLayoutTest, ASingleLineIsPlacedVerticallyAndShowsNoBreaks) {
    const auto centred = LayoutText(u"a\r\nb", RECT{0, 0, 100, 40},
                                    DT_SINGLELINE | DT_VCENTER | DT_LEFT, 10, TenPerCharacter);
    ASSERT_EQ(centred.size(), 1u);
    EXPECT_EQ(centred[0].text, CString(u"ab"));
    EXPECT_EQ(centred[0].y, 15);
    const auto bottom =
        LayoutText(u"a", RECT{0, 0, 100, 40}, DT_SINGLELINE | DT_BOTTOM, 10, TenPerCharacter);
    EXPECT_EQ(bottom[0].y, 30);
}

TEST(TextLayoutTest, ASingleBlankIsOneLine) {
    const auto lines = LayoutText(u" ", RECT{40, 2, 235, 74}, DT_RIGHT, 13, TenPerCharacter);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, 225);
}

TEST(ScreenGeometryTest, ZoomFollowsTheDesktopsFreeArea) {
    EXPECT_EQ(ChooseZoom(800, 600), 1);
    EXPECT_EQ(ChooseZoom(1366, 728), 1);
    EXPECT_EQ(ChooseZoom(1920, 1040), 2);
    EXPECT_EQ(ChooseZoom(1280, 1024), 2);
    EXPECT_EQ(ChooseZoom(2560, 1400), 3);
    EXPECT_EQ(ChooseZoom(7680, 4320), 4);
    EXPECT_EQ(ChooseZoom(400, 4320), 1); // too narrow for more
    EXPECT_EQ(ChooseZoom(0, 0), 1);
}

TEST(ScreenGeometryTest, DialogUnitsAreOneAndAHalfPixels) {
    EXPECT_EQ(DialogUnitsToPixels(160), 240);
    EXPECT_EQ(DialogUnitsToPixels(194), 291);
    EXPECT_EQ(DialogUnitsToPixels(1), 2);
    EXPECT_EQ(DialogUnitsToPixels(7), 11);
    EXPECT_EQ(DialogUnitsToPixels(0), 0);
    EXPECT_EQ(kClientHeight, 294);
}

TEST(ModuleFileNameTest, IsTheExecutablesPathCutToTheBufferAndTerminated) {
    EXPECT_EQ(AfxGetModuleFileName().Left(1), CString(u"/"));
    UiTesting::SetModuleFileName(u"/opt/诗/lomeva");
    char16_t buffer[8];
    EXPECT_EQ(GetModuleFileName(nullptr, buffer, 8), 7u);
    EXPECT_EQ(CString(buffer), CString(u"/opt/诗/"));
    char16_t whole[64];
    EXPECT_EQ(GetModuleFileName(nullptr, whole, 64), 13u);
    EXPECT_EQ(CString(whole), CString(u"/opt/诗/lomeva"));
    UiTesting::SetModuleFileName(CString());
}

} // namespace
