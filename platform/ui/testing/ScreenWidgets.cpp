#include "platform/ui/testing/ScreenWidgets.h"

#include "platform/ui/qt/Screen.h"

namespace UiTesting {

QWidget* ScreenSurface() {
    return CScreen::Instance().Surface();
}

QWidget* ScreenWindow() {
    return CScreen::Instance().Window();
}

} // namespace UiTesting
