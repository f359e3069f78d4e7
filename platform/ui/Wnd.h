#pragma once
// CWnd: a program object that stands for a window. The window itself (a dialog or a control)
// belongs to the framework; the object is attached to it while it exists and is told when it
// goes. Messages reach the object through WindowProc, which looks them up in the class's
// message map and falls back to the window's default handling.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/UiConstants.h"
#include "platform/ui/WindowObject.h"

class CWindowRecord;

class CWnd : public CWindowObject {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object that stands for a window: the attached one, or a temporary one owned by the
    // window. Null for a null or destroyed window.
    static CWnd* FromHandle(HWND hWnd);
    HWND GetSafeHwnd() const { return m_hWnd; }
    // Attaches this object to an existing window (a control of a dialog); fails when another
    // object is attached to it already.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(int id, CWnd* parent);

    int GetDlgCtrlID() const;
    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;

    // Returns nonzero when the window was disabled before.
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetWindowText(const CString& text);
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    int GetWindowTextLength() const;

    void GetClientRect(LPRECT rect) const;
    void CenterWindow(CWnd* alternateOwner = nullptr);
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    void SetFocus();
    HICON SetIcon(HICON icon, BOOL bigIcon);

    // Starts (or restarts) timer `id`: a WM_TIMER carrying the id arrives every `elapse`
    // milliseconds until KillTimer. Returns the id, or 0 without a window.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* timerProc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // A message box owned by this window.
    int MessageBox(const CString& text, const CString& caption = CString(), UINT type = MB_OK);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Handles(UINT message) const override;
    // WM_COMMAND: a control notification or a command; looks for the map's Command entry.
    // Returns nonzero when a handler ran.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled.
    LRESULT Default();
    virtual const CMessageMap* GetMessageMap() const;

    // Handlers that derived classes chain to: each runs the default handling.
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnClose();
    // Leaves the key to the control that has the keyboard.
    void OnKeyDown(UINT key, UINT repeat, UINT flags);

    CWindowRecord* Record() const;

private:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const CurrentMessage* m_pCurrentMsg = nullptr;
};

// Sends a message to any window by handle; 0 for a handle whose window is gone.
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL IsWindow(HWND hWnd);
