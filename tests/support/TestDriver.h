#pragma once
// The test driver: runs real screens headless under the offscreen platform. The program runs on
// the test's own thread, the one that owns the window system, exactly as it would in the reader;
// a script runs beside it on a second thread and drives it the way a person would: it waits for a
// screen to come to the front, finds controls by id, clicks, selects, types, taps at client
// points, reads and answers message boxes, lets timers run and takes screenshots. Every action
// is posted to the program's thread and happens in whatever modal loop is running there; every
// reading is made there too. A watchdog ends every screen when a run takes too long, and the
// process itself if even that does not help, so that no test can hang.

#include "platform/core/CString.h"
#include "platform/core/Services.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/testing/UiTesting.h"

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

using namespace std::chrono_literals;

class CTestDriver;

// What the script sees of the program. Every call may be made from the script's thread only.
class CScript {
public:
    explicit CScript(CTestDriver& driver) : m_driver(driver) {}

    // ---- waiting ----
    // True once the screen in front is a dialog of this template; false after the timeout.
    bool WaitForScreen(UINT templateId, std::chrono::milliseconds timeout = 10s);
    // True once a message box is in front.
    bool WaitForBox(std::chrono::milliseconds timeout = 10s);
    // True once a popup menu is in front.
    bool WaitForMenu(std::chrono::milliseconds timeout = 10s);
    // True once the screen in front is a dialog again, with no box or menu over it.
    bool WaitForNoMenu(std::chrono::milliseconds timeout = 10s);
    // True once the program has returned.
    bool WaitForProgramEnd(std::chrono::milliseconds timeout = 10s);
    // True once `condition`, evaluated on the program's thread, holds.
    bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);
    // Lets the program run (its timers tick) for a while.
    void Pause(std::chrono::milliseconds duration);
    // Returns once everything posted before has been handled or has opened a modal loop.
    void Sync();

    // ---- actions: posted to the program, they return at once ----
    void Click(int id);                     // a push button of the screen in front
    void Select(int id, int index);         // a list box, combo box or list view row
    void Type(int id, const CString& text); // replaces an edit's text, as typing does
    void Tap(int x, int y);                 // a tap at a client point of the screen in front
    void PressOk();                         // the bar's "ok"
    void PressEscape();
    void PressEnter();
    void AnswerBox();   // the OK of the box in front
    void CloseWindow(); // the window's close button
    // A press at a client point of the screen in front, kept `duration` (a tap-and-hold when
    // that is 0.6 s or more) and lifted where it went down.
    void Hold(int x, int y, std::chrono::milliseconds duration = 800ms);
    void RightClick(int x, int y);
    // A drag from one client point to another, in even steps over `duration` (0: at once, as a
    // quick swipe).
    void Drag(int fromX, int fromY, int toX, int toY, std::chrono::milliseconds duration = 0ms);
    // A key of the d-pad (VK_LEFT ... VK_DOWN, VK_PRIOR, VK_NEXT), to the control that has the
    // keyboard.
    void PressKey(UINT virtualKey);
    void PressMenuKey();
    // Taps the entry `id` of the menu in front, or a point outside the menu.
    void ChooseMenuItem(UINT id);
    void CancelMenu();
    // A click at a point of the top-level window, in its own (zoomed) pixels.
    void ClickWindowAt(int x, int y);
    // Runs `action` on the program's thread without waiting for it: for work that may open a
    // screen or a box.
    void Do(std::function<void()> action);

    // ---- readings ----
    // The template of the dialog in front; 0 when a box or nothing is in front.
    UINT FrontTemplate();
    // The box in front, as the program asked for it.
    std::optional<MessageBoxInfo> FrontBox();
    struct MenuEntry {
        UINT id; // 0 for a separator
        CString text;
        bool separator;
        bool enabled;
        bool checked;
    };
    // The entries of the menu in front; nothing when no menu is in front.
    std::optional<std::vector<MenuEntry>> FrontMenu();
    CString BarCaption();
    CString Text(int id);
    bool IsEnabled(int id);
    bool Exists(int id);
    // The texts that painting the screen in front draws now, in drawing order.
    std::vector<UiTesting::DrawnText> Paint();
    // Saves the whole screen (bar and client area) as a PNG.
    bool SaveScreenshot(const std::string& path);
    // The colour of a pixel of the screen in front as it is drawn now, at a client point.
    COLORREF ClientPixel(int x, int y);
    // Runs `work` on the program's thread and returns its result.
    template <class Work> auto OnGui(Work work) -> decltype(work());

    // The screens opened and closed and the boxes shown so far in this run.
    std::vector<UiTesting::ScreenEvent> Events();

private:
    void Call(const std::function<void()>& work);

    CTestDriver& m_driver;
};

class CTestDriver : public UiTesting::IObserver {
public:
    CTestDriver();
    ~CTestDriver() override;
    CTestDriver(const CTestDriver&) = delete;
    CTestDriver& operator=(const CTestDriver&) = delete;

    // The program runs as if its executable were `folder` + "lomeva"; `folder` ends with '/'.
    void SetProgramFolder(const std::string& folder);
    // The zoom of the windows that open; 0 chooses it from the desktop.
    void SetZoom(int zoom);

    // Runs `program` on this thread and `script` beside it; returns once both are done. A script
    // that ends while the program still runs leaves it to the window's close button.
    void Run(const std::function<void()>& program, const std::function<void(CScript&)>& script,
             std::chrono::seconds limit = 30s);

    // The screens opened and closed and the boxes shown in the last run (or this one).
    std::vector<UiTesting::ScreenEvent> Events() const;
    // True while a top-level window is open.
    static bool AnyWindowOpen();
    // The size of the screen's window; zero while there is none. On the program's thread only.
    static CSize WindowSize();
    // A pixel of bitmap `id` of the program's resources; nothing when there is no such pixel.
    static std::optional<COLORREF> BitmapPixel(UINT id, int x, int y);

    void OnScreenEvent(const UiTesting::ScreenEvent& event) override;
    void OnTextDrawn(const UiTesting::DrawnText& text) override;

private:
    friend class CScript;
    void Post(std::function<void()> action);
    bool Aborted() const;
    bool ProgramEnded() const;
    // The texts drawn while `paint` runs.
    std::vector<UiTesting::DrawnText> WatchPaint(const std::function<void()>& paint);
    void StartWatchdog(std::chrono::seconds limit);
    void StopWatchdog();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

template <class Work> auto CScript::OnGui(Work work) -> decltype(work()) {
    using Result = decltype(work());
    if constexpr (std::is_void_v<Result>) {
        Call(work);
    } else {
        std::optional<Result> result;
        Call([&result, &work] { result.emplace(work()); });
        return std::move(*result);
    }
}

} // namespace testing_support
