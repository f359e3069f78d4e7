#pragma once
// Hooks for tests of screens that hold the HTML viewer: the program itself never calls these.
// A test can make the viewer unavailable, watch the messages a viewer gets, and read what a
// viewer shows.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"

#include <functional>
#include <vector>

namespace UiTesting {

// How the viewer fails to come up, as a device without it would.
enum class HtmlViewFailure {
    None,
    Init,   // InitHTMLControl returns zero
    Create, // CreateWindowEx makes no "DISPLAYCLASS" window
};
void SetHtmlViewFailure(HtmlViewFailure failure);
HtmlViewFailure CurrentHtmlViewFailure();

// One message a viewer got; `text` is the text lParam pointed to (DTM_ADDTEXTW, DTM_NAVIGATE).
struct HtmlMessage {
    HWND viewer;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    CString text;
};
using HtmlMessageObserver = std::function<void(const HtmlMessage&)>;
// Installs an observer of every message sent to a viewer (an empty one for none) and returns
// the previous one.
HtmlMessageObserver SetHtmlMessageObserver(HtmlMessageObserver observer);
// Tells the installed observer, if any.
void ReportHtmlMessage(const HtmlMessage& message);

// One line of text as the viewer laid it out.
struct HtmlLine {
    CString text;         // its characters, without the line break that ends it
    bool endsLine = true; // the page's text breaks the line here (a <br>, a paragraph's end)
    double width = 0;     // the room the line has, in pixels
    double textWidth = 0; // the room its text takes, without the spaces at its end
};

// What a viewer shows now.
struct HtmlViewState {
    bool valid = false; // false when the handle is not a viewer
    CRect rect;         // in its parent's client area
    DWORD style = 0;
    CString page;       // the last page completed by DTM_ENDOFSOURCE
    CString text;       // the document as plain text
    CString file;       // the local file shown; empty for a page given as text
    CString anchor;     // the anchor last scrolled to
    CString selection;  // the text the reader has selected
    int scrollY = 0;    // the vertical scroll position, in pixels
    int anchorY = -1;   // the top of the anchor's line in the document; -1 without one
    int lineHeight = 0; // of the first line of the document
    int zoomLevel = 2;
    int basePixelSize = 0;  // the size of text without a <font size>
    bool scripting = false; // as DTM_ENABLESCRIPTING left it (nothing ever runs)
    bool shrink = false;
    bool keepVerses = false;           // as DTM_KEEPVERSES left it
    bool horizontalScrolling = false;  // whether the page can scroll sideways
    bool hasBackgroundPicture = false; // a background picture was loaded for the page
    COLORREF textColor = 0;            // of the first character that is not a link
    COLORREF linkColor = 0;            // of the first link; 0 without one
    int widestTable = 0;               // the widest table's laid-out width, in pixels
    int viewportWidth = 0;
    int refusedRequests = 0;     // resources asked for that are not files of the program folder
    std::vector<HtmlLine> lines; // every line of text, from the top
};
HtmlViewState HtmlView(HWND viewer);

// Brings the viewer's layout up to date and lays out what is pending, as showing it would.
void FlushHtmlView(HWND viewer);

// Draws the viewer's pages in `face` instead of its own; empty for its own.
void SetHtmlViewFace(HWND viewer, const CString& face);

// Selects the whole page and copies it, as a person would; what the clipboard then holds.
struct HtmlCopy {
    CString text;
    CString html;
};
HtmlCopy CopyWholePage(HWND viewer);

// Scrolls to the first link of the page whose address is `href` and taps it; false when the
// page holds no such link.
bool ClickHtmlLink(HWND viewer, const CString& href);

} // namespace UiTesting
