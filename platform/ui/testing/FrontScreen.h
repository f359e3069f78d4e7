#pragma once
// What a test sees of the screen in front: the dialog (or the sheet's page) in front and its
// controls by id, the message box or menu over it, the bar, the window and its pixels. It reads
// the screen the way a person looks at it; the program itself never calls this. Every function
// is for the program's thread only.

#include "platform/core/CString.h"
#include "platform/core/Services.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Menu.h"

#include <optional>
#include <string>
#include <vector>

class CWindowObject;

namespace UiTesting {

// ---- the screen in front ----
// True when a dialog is in front, with no box, menu or panel over it.
bool IsDialogInFront();
// The template of the dialog in front; 0 when a box, a menu, a panel or nothing is in front.
UINT FrontTemplate();
// The program's object of the dialog in front (the dialog, or the sheet's page); null without
// one.
CWindowObject* FrontWindowObject();
// The box in front, as the program asked for it; nothing when no box is in front.
std::optional<MessageBoxInfo> FrontBox();
// The entries of the menu in front; nothing when no menu is in front.
std::optional<std::vector<MenuItem>> FrontMenu();
// What the bar shows.
CString BarCaption();

// ---- the controls of the dialog in front, by id ----
bool ControlExists(int id);
CString ControlText(int id);
bool IsControlEnabled(int id);
// The HTML viewer of the dialog in front; null without one.
HWND FrontHtmlView();

// ---- the window and its pixels ----
// The size of the screen's window; zero while there is none.
CSize WindowSize();
// Saves the whole screen (bar and client area) as a PNG; false when there is none or the file
// cannot be written.
bool SaveScreenshot(const std::string& path);
// The colour of a pixel of the dialog in front as it is drawn now, at a client point; 0 without
// a dialog.
COLORREF ClientPixel(int x, int y);
// Paints the dialog in front once, as showing it would: what it draws goes to the observer.
void PaintFront();
// A pixel of bitmap `id` of the program's resources; nothing when there is no such pixel.
std::optional<COLORREF> BitmapPixel(UINT id, int x, int y);

} // namespace UiTesting
