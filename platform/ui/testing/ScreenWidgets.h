#pragma once
// For the few tests that look at what Qt draws (a grabbed image of the window, the viewer's
// scroll bar, the colour chooser's words): the screen's widgets themselves. A test that only
// reads texts and states of controls needs none of this (see FrontScreen.h). On the program's
// thread only; null while no window is open.

class QWidget;

namespace UiTesting {

// The 240 x 320 screen: the bar and the client area below it.
QWidget* ScreenSurface();
// The top-level window that shows the screen at its zoom.
QWidget* ScreenWindow();

} // namespace UiTesting
