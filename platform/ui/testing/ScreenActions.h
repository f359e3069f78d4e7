#pragma once
// What a test does to the screen in front, as a person would: clicks a button, picks a row, types
// into an edit, taps, holds and drags on the dialog, presses keys, answers a box, chooses from a
// menu, presses the bar's "ok" and closes the window. Points are client points of the dialog in
// front unless said otherwise. The program itself never calls this. Every function is for the
// program's thread only, and does nothing when what it acts on is not in front.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"

namespace UiTesting {

// ---- controls of the dialog in front, by id ----
void ClickButton(int id);
// A list box, combo box or list view row, as a person picks it (the control notifies).
void SelectItem(int id, int index);
// Replaces an edit's text, as typing does; a read-only edit takes nothing.
void TypeText(int id, const CString& text);

// ---- the pointer on the dialog in front ----
// A press and release at once on the widget under the point.
void Tap(CPoint point);
// A press, moves and release as one pointer makes them: each goes to the widget the press went
// to, at its own place in that widget.
void PressPointer(CPoint point, bool right = false);
void MovePointer(CPoint point);
void ReleasePointer(CPoint point);
// A click at a point of the top-level window, in its own (zoomed) pixels.
void ClickWindowAt(CPoint point);

// ---- keys, to the control of the run in front that has the keyboard ----
// Keys nobody takes travel up to the screen, which turns Esc and Enter into commands.
// A key of the d-pad: VK_LEFT ... VK_DOWN, VK_PRIOR, VK_NEXT.
void PressKey(UINT virtualKey);
void PressEscape();
void PressEnter();
void PressMenuKey();

// ---- what is over the dialog, and the window ----
void PressBarOk();
// The OK of the box in front.
void AnswerBox();
// Taps the entry `id` of the menu in front.
void ChooseMenuItem(UINT id);
// Taps outside the menu in front.
void CancelMenu();
// The window's close button.
void CloseWindow();
// Ends every screen from the front down, as closing the window does, without the window's own
// close event.
void EndEveryScreen();

} // namespace UiTesting
