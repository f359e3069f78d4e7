#pragma once
// The handheld's screen as the one window shows it: 240 x 320 pixels, a 26-pixel bar on top and
// the client area below it that every screen fills.

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kBarHeight = 26;
constexpr int kClientWidth = kScreenWidth;
constexpr int kClientHeight = kScreenHeight - kBarHeight;

// A property sheet's tabs stand along the bottom of the client area, as on the handheld, in
// equal widths; the pages fill the rest.
constexpr int kSheetTabHeight = 22;

// The whole-number zoom for a desktop whose free area is `width` x `height` pixels: the largest
// that keeps the window within three quarters of the height (2 on an ordinary monitor), and
// never less than 1 nor more than 4.
constexpr int ChooseZoom(int width, int height) {
    int zoom = 1;
    while (zoom < 4 && kScreenHeight * (zoom + 1) * 4 <= height * 3 &&
           kScreenWidth * (zoom + 1) <= width) {
        ++zoom;
    }
    return zoom;
}
