#pragma once
// The HTML viewer as the reader and the reference window make it: a child of the dialog filling
// its client area but for a one-pixel margin, scripting switched on, shrinking off, and the
// text at the window's zoom level.

#include "platform/ui/Wnd.h"

// The viewer's window, or null when the platform has no viewer or it could not be made (the
// window then stays empty and nobody is told).
HWND CreateHtmlViewer(CWnd& dialog, LPARAM zoomLevel);
