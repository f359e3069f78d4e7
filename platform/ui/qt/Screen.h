#pragma once
// The one window that stands for the handheld's screen: a 26-pixel bar with the caption of the
// screen in front and an "ok" button, and the client area below it that the screen in front
// fills. The window shows the 240 x 320 screen at a whole-number zoom, so coordinates inside stay
// the handheld's pixels. It exists while at least one modal run (a dialog or a message box) is
// open, and keeps those runs in a stack: only the front one takes input.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class CDialog;
class CDialogRecord;
class QEventLoop;
class QGraphicsView;
class QLabel;

class CModalRun {
public:
    // A panel is a piece of the framework shown in the screen's place (the colour chooser): the
    // bar's "ok", Enter and Esc go to its own handler.
    enum class Kind { Dialog, Box, Panel };
    struct Box {
        HWND owner;
        CString text;
        CString caption;
        UINT type;
    };

    CModalRun(CDialog& dialog, CDialogRecord& record, CString caption);
    CModalRun(QWidget* panel, Box box);
    CModalRun(QWidget* panel, CString caption, std::function<void(int)> command);
    // A property sheet: `sheet` shows one page at a time, and the page in front is the dialog
    // that takes the screen's commands.
    CModalRun(QWidget* sheet, CDialog& page, CDialogRecord& record, CString caption);
    CModalRun(const CModalRun&) = delete;
    CModalRun& operator=(const CModalRun&) = delete;

    Kind GetKind() const { return m_kind; }
    QWidget* Widget() const { return m_widget; }
    const CString& Caption() const { return m_caption; }
    CDialog* Dialog() const { return m_dialog; }
    CDialogRecord* Record() const { return m_record; }
    const Box& BoxContent() const { return m_box; }
    // What the screen's commands (IDOK, IDCANCEL) do to the run in front.
    void Command(int id);
    // The sheet's page in front changed.
    void SetPage(CDialog& page, CDialogRecord& record);

    // Runs the event loop until End. Returns false when the loop was unwound from outside
    // (every loop quits at once) rather than ended.
    bool Exec();
    void End(int result);
    bool HasEnded() const { return m_ended; }
    int Result() const { return m_result; }

private:
    Kind m_kind;
    QPointer<QWidget> m_widget;
    CString m_caption;
    CDialog* m_dialog = nullptr;
    CDialogRecord* m_record = nullptr;
    Box m_box{};
    std::function<void(int)> m_command; // panels
    QEventLoop* m_loop = nullptr;
    bool m_ended = false;
    int m_result = 0;
};

class CScreen {
public:
    static CScreen& Instance();

    // The area the screen in front fills (240 x 294); opens the window when there is none.
    QWidget* ClientArea();
    // The 240 x 320 screen (bar and client area), and the top-level window showing it; null
    // while no window is open.
    QWidget* Surface() const { return m_surface; }
    QWidget* Window() const;
    int Zoom() const { return m_zoom; }

    void Push(CModalRun& run);
    void Pop(CModalRun& run);
    CModalRun* Front() const { return m_runs.empty() ? nullptr : m_runs.back(); }
    const std::vector<CModalRun*>& Runs() const { return m_runs; }

    // While the window closes, every open screen ends and no new one may open.
    bool IsClosing() const { return m_closing; }
    // What the window's close button does: ends every open screen from the front down, each as
    // if it got WM_CLOSE (whose default is IDCANCEL), so that the program ends the normal way.
    void CloseWindow();

    // The bar's "ok" (IDOK) and Esc (IDCANCEL) for the screen in front; a box takes either as
    // its OK.
    void Command(int id);
    // Enter: the focused push button, or else the default button, of the screen in front.
    void PressEnter();

    void SetIcon(const QIcon& icon);

private:
    CScreen() = default;
    void OpenWindow();
    void CloseWindowNow();
    void ShowFront();
    void EndFront();

    std::vector<CModalRun*> m_runs;
    QPointer<QGraphicsView> m_view;
    QPointer<QWidget> m_surface;
    QPointer<QWidget> m_client;
    QPointer<QLabel> m_caption;
    QIcon m_icon;
    int m_zoom = 1;
    bool m_closing = false;
};

// The caption the bar shows for a dialog: the template's, or the program's name without one.
CString BarCaption(const CString& templateCaption);
