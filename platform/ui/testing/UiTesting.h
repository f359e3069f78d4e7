#pragma once
// Hooks for the test driver: the program itself never calls these. They let a test put the
// program in a folder of its own, watch screens open and close, see the texts a paint draws, and
// pick the window's zoom.

#include "platform/core/CString.h"
#include "platform/core/Services.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"

namespace UiTesting {

// The path GetModuleFileName reports instead of the executable's; empty for the real one.
void SetModuleFileName(const CString& path);
const CString& ModuleFileNameOverride();

struct ScreenEvent {
    enum class Kind { DialogOpened, DialogClosed, BoxShown, BoxClosed, MenuShown, MenuClosed };
    Kind kind;
    UINT templateId;    // dialogs
    CString caption;    // what the bar shows
    MessageBoxInfo box; // boxes
    int result;         // closings
};

struct DrawnText {
    HWND window;
    CString text;
    CRect rect;
    UINT format;
    CString face;
    int pointTenths;
    COLORREF color;
    int bkMode;
};

class IObserver {
public:
    virtual ~IObserver() = default;
    virtual void OnScreenEvent(const ScreenEvent& event) = 0;
    virtual void OnTextDrawn(const DrawnText& text) = 0;
};

// Installs an observer and returns the previous one (null for none).
IObserver* SetObserver(IObserver* observer);
IObserver* Observer();

// The zoom of the next window that opens; 0 chooses it from the desktop.
void SetZoom(int zoom);
int ZoomOverride();

} // namespace UiTesting
