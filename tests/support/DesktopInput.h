#pragma once
// Input as the desktop delivers it to the reader's window, for the few tests that need what the
// driver's own events cannot give: a real click moves the keyboard focus, keys go to the focused
// control, and an input method composes text there. Call these on the program's thread (inside
// CScript::OnGui).

#include "platform/core/CString.h"

namespace testing_support {

// A click at a client point of the screen in front, through the zoomed window.
void DesktopClickAt(int x, int y, int zoom);
// A press and, later, its release there, with the left or the right button.
void DesktopPressAt(int x, int y, int zoom, bool right = false);
void DesktopReleaseAt(int x, int y, int zoom, bool right = false);
// True when the control with the focus takes text from an input method.
bool FocusAcceptsInputMethod();
// The input method shows `preedit` while composing, then commits `text`.
void DesktopCompose(const CString& preedit, const CString& text);
// The Enter key, to the control with the focus.
void DesktopPressEnter();

} // namespace testing_support
