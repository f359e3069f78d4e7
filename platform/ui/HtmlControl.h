#pragma once
// The HTML viewer control: the window class "DISPLAYCLASS", made with CreateWindowEx once
// InitHTMLControl has registered it, and driven with SendMessage:
//
//   DTM_ADDTEXTW      wParam 0 (HTML) or 1 (plain text), lParam the text: a piece of a page.
//                     The first piece after an end of source starts a new page.
//   DTM_ENDOFSOURCE   the page is complete: it replaces what the viewer shows.
//   DTM_NAVIGATE      lParam a "file://" URL, maybe with a "#" anchor taken as it stands (no
//                     percent escapes): loads the local file and scrolls to the anchor.
//   DTM_ZOOMLEVEL     lParam 0 (smallest text) to 4 (largest); 2 is the usual size.
//   DTM_ENABLESHRINK  lParam 0 or 1: accepted and remembered. Pages never scroll sideways
//                     either way: tables wider than the viewer are narrowed to fit it.
//   DTM_ENABLESCRIPTING lParam 0 or 1: accepted and remembered; the viewer has no script engine.
//   DTM_KEEPVERSES    the program's own message, sent once after creation: lParam 1 keeps the
//                     verses of poems whole, 0 (the start) breaks lines as Chinese prose breaks.
//                     Kept whole, a line breaks only after a verse's punctuation (，。、；：？！
//                     and their ASCII forms, with the quotes and brackets that close it) or at a
//                     space or line end, unless one verse alone is longer than a line; no line
//                     starts with closing punctuation. Text copied from the page is its own.
//                     Only the first piece of a page keeps its verses: pieces added after it
//                     (the notes below a poem) break as prose.
//
// The viewer shows HTML as a handheld browser of the 2000s would: fonts, colours, tables and
// a body background picture. It runs no script and reads nothing but local files: any other
// resource (an http:// picture, say) is not requested, and links to anything but local files
// are ignored. Relative names resolve against the page's own folder, or against the program
// folder for a page given as text.

#include "platform/core/WinTypes.h"

using HMENU = struct HMENU__*;

// The window class of the viewer.
inline constexpr const char16_t* kHtmlViewClass = u"DISPLAYCLASS";

// Registers "DISPLAYCLASS"; nonzero when the viewer is available.
BOOL InitHTMLControl(HINSTANCE instance);

// The program's instance handle, as CreateWindowEx and InitHTMLControl take it.
HINSTANCE AfxGetInstanceHandle();

// Makes a child window of a registered class at (x, y) in the parent's client area. `menu` is
// the child's identifier. Returns null for an unknown class, a style without WS_CHILD or a
// parent that is not a window. The child is destroyed with its parent.
HWND CreateWindowEx(DWORD exStyle, const char16_t* className, const char16_t* windowName,
                    DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param);
