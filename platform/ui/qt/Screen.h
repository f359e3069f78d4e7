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

#include <vector>

class QEventLoop;
class QGraphicsView;
class QLabel;
class CModalRun;

namespace UiTesting {
struct ScreenEvent;
}

// What a modal run shows, and how it answers the screen: a dialog, a property sheet, a message
// box and the framework's own panels (the colour chooser) are kinds of it.
class CRunContent {
public:
    virtual ~CRunContent() = default;

    virtual QWidget* Widget() const = 0;
    // What the bar shows while the run is in front.
    virtual const CString& Caption() const = 0;
    // A screen (a dialog, a sheet) hides the screens below it; anything else shows over the
    // topmost screen.
    virtual bool IsScreen() const { return false; }

    // The run has come to the front: from now on the content may end it.
    virtual void Begin(CModalRun& /*run*/) {}
    // The bar's "ok" (IDOK) and Esc (IDCANCEL).
    virtual void Command(CModalRun& run, int id) = 0;
    // Enter that no control took.
    virtual void PressEnter(CModalRun& run) { Command(run, IDOK); }
    // The window is closing: the run must end, as if cancelled.
    virtual void Close(CModalRun& run) { Command(run, IDCANCEL); }

    // What a test observer hears when the run opens or closes: the kind of event and what it
    // carries beyond the caption and the result.
    virtual void Describe(UiTesting::ScreenEvent& event, bool opened) const = 0;
    // Takes the content's windows down; the run does it before it leaves the screen, so that
    // nothing of it shows over the run below.
    virtual void Dismantle() = 0;
};

// A piece of the framework shown over the screen in front (a message box, the colour chooser):
// content of one widget of its own, which goes when the run is dismantled.
class CPanelRun : public CRunContent {
public:
    CPanelRun(QWidget* panel, CString caption);
    ~CPanelRun() override;
    CPanelRun(const CPanelRun&) = delete;
    CPanelRun& operator=(const CPanelRun&) = delete;

    QWidget* Widget() const override { return m_panel; }
    const CString& Caption() const override { return m_caption; }
    void Dismantle() override;

private:
    QPointer<QWidget> m_panel;
    CString m_caption;
};

// One modal run, for exactly the life of the object: made, it comes to the front of the screen;
// destroyed, it takes its content down and leaves the screen. Exec runs its event loop.
class CModalRun {
public:
    explicit CModalRun(CRunContent& content);
    ~CModalRun();
    CModalRun(const CModalRun&) = delete;
    CModalRun& operator=(const CModalRun&) = delete;

    CRunContent& Content() const { return m_content; }
    template <class Content> Content* ContentAs() const {
        return dynamic_cast<Content*>(&m_content);
    }

    // Runs the event loop until End, and returns the result given to End; `unwound` when the
    // loop was unwound from outside (every loop quits at once) rather than ended.
    int Exec(int unwound);
    void End(int result);
    bool HasEnded() const { return m_ended; }
    int Result() const { return m_result; }

private:
    CRunContent& m_content;
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
    // A run enters and leaves the screen by being made and destroyed.
    friend class CModalRun;
    void Push(CModalRun& run);
    void Pop(CModalRun& run);

    CScreen() = default;
    // The run in front, unless it has ended already and only waits to leave.
    CModalRun* LiveFront() const;
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
