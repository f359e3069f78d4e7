#include "tests/support/TestDriver.h"

#include "platform/core/Services.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ScreenMessageBox.h"
#include "platform/ui/testing/FrontScreen.h"
#include "platform/ui/testing/ScreenActions.h"
#include "resources/ProgramResources.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace testing_support {
namespace {

// One application object for the whole test program, made on the main thread before the first
// test and gone after the last.
class CQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "lomeva-tests";
        static char* argv[] = {name, nullptr};
        m_application = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { m_application.reset(); }

private:
    std::unique_ptr<QApplication> m_application;
};

[[maybe_unused]] ::testing::Environment* const g_qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new CQtEnvironment);

} // namespace

struct CTestDriver::Impl {
    CScreenMessageBox boxes;
    std::unique_ptr<ScopedService<IMessageBoxService>> installedBoxes;
    UiTesting::IObserver* previousObserver = nullptr;

    mutable std::mutex mutex;
    std::vector<UiTesting::ScreenEvent> events; // of the current run only
    // Texts are kept only while a paint is being watched: every paint of a long session would
    // otherwise pile up here.
    bool watchingPaint = false;
    std::vector<UiTesting::DrawnText> drawn;

    std::atomic<bool> programEnded{false};
    std::atomic<bool> scriptDone{false};
    std::atomic<bool> aborted{false};

    std::mutex watchdogMutex;
    std::condition_variable watchdogWake;
    bool watchdogStop = false;
    std::thread watchdog;
};

CTestDriver::CTestDriver() : m_impl(std::make_unique<Impl>()) {
    RegisterProgramResources();
    AfxSetAppName(u"lomeva");
    m_impl->installedBoxes = std::make_unique<ScopedService<IMessageBoxService>>(m_impl->boxes);
    m_impl->previousObserver = UiTesting::SetObserver(this);
}

CTestDriver::~CTestDriver() {
    StopWatchdog();
    UiTesting::SetObserver(m_impl->previousObserver);
    UiTesting::SetModuleFileName(CString());
    UiTesting::SetZoom(0);
}

void CTestDriver::SetProgramFolder(const std::string& folder) {
    UiTesting::SetModuleFileName(CString::FromUtf8(folder + "lomeva"));
}

void CTestDriver::SetZoom(int zoom) {
    UiTesting::SetZoom(zoom);
}

void CTestDriver::Run(const std::function<void()>& program,
                      const std::function<void(CScript&)>& script, std::chrono::seconds limit) {
    m_impl->programEnded = false;
    m_impl->scriptDone = false;
    m_impl->aborted = false;
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->events.clear();
    }
    StartWatchdog(limit);
    std::thread scriptThread([this, &script] {
        CScript driving(*this);
        script(driving);
        m_impl->scriptDone = true;
        // A script that is done leaves nothing open behind it.
        Post([this] {
            if (!m_impl->programEnded) {
                UiTesting::EndEveryScreen();
            }
        });
    });
    program();
    m_impl->programEnded = true;
    // The script may still read what the program left; its calls are served here.
    while (!m_impl->scriptDone) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    scriptThread.join();
    QCoreApplication::processEvents();
    StopWatchdog();
}

void CTestDriver::StartWatchdog(std::chrono::seconds limit) {
    StopWatchdog();
    m_impl->watchdogStop = false;
    m_impl->watchdog = std::thread([this, limit] {
        std::unique_lock lock(m_impl->watchdogMutex);
        if (m_impl->watchdogWake.wait_for(lock, limit, [this] { return m_impl->watchdogStop; })) {
            return;
        }
        ADD_FAILURE() << "the run took longer than " << limit.count()
                      << " s: every screen is closed";
        m_impl->aborted = true;
        Post([] { UiTesting::EndEveryScreen(); });
        if (m_impl->watchdogWake.wait_for(lock, 15s, [this] { return m_impl->watchdogStop; })) {
            return;
        }
        std::fputs("the run still hangs after its screens were closed: giving up\n", stderr);
        std::_Exit(1);
    });
}

void CTestDriver::StopWatchdog() {
    {
        std::lock_guard lock(m_impl->watchdogMutex);
        m_impl->watchdogStop = true;
    }
    m_impl->watchdogWake.notify_all();
    if (m_impl->watchdog.joinable()) {
        m_impl->watchdog.join();
    }
}

void CTestDriver::Post(std::function<void()> action) {
    QMetaObject::invokeMethod(qApp, std::move(action), Qt::QueuedConnection);
}

bool CTestDriver::Aborted() const {
    return m_impl->aborted;
}

bool CTestDriver::ProgramEnded() const {
    return m_impl->programEnded;
}

std::vector<UiTesting::ScreenEvent> CTestDriver::Events() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->events;
}

std::vector<UiTesting::DrawnText> CTestDriver::WatchPaint(const std::function<void()>& paint) {
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->drawn.clear();
        m_impl->watchingPaint = true;
    }
    paint();
    std::lock_guard lock(m_impl->mutex);
    m_impl->watchingPaint = false;
    return std::exchange(m_impl->drawn, {});
}

bool CTestDriver::AnyWindowOpen() {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            return true;
        }
    }
    return false;
}

CSize CTestDriver::WindowSize() {
    return UiTesting::WindowSize();
}

std::optional<COLORREF> CTestDriver::BitmapPixel(UINT id, int x, int y) {
    return UiTesting::BitmapPixel(id, x, y);
}

void CTestDriver::OnScreenEvent(const UiTesting::ScreenEvent& event) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->events.push_back(event);
}

void CTestDriver::OnTextDrawn(const UiTesting::DrawnText& text) {
    std::lock_guard lock(m_impl->mutex);
    if (m_impl->watchingPaint) {
        m_impl->drawn.push_back(text);
    }
}

// ---- CScript ------------------------------------------------------------------------------

void CScript::Do(std::function<void()> action) {
    m_driver.Post(std::move(action));
}

void CScript::Call(const std::function<void()>& work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    m_driver.Post([done, &work] {
        work();
        done->set_value();
    });
    finished.wait();
}

bool CScript::WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_driver.Aborted()) {
        if (OnGui(condition)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

bool CScript::WaitForScreen(UINT templateId, std::chrono::milliseconds timeout) {
    return WaitUntil(
        [templateId] {
            return UiTesting::IsDialogInFront() && UiTesting::FrontTemplate() == templateId;
        },
        timeout);
}

bool CScript::WaitForBox(std::chrono::milliseconds timeout) {
    return WaitUntil([] { return UiTesting::FrontBox().has_value(); }, timeout);
}

bool CScript::WaitForMenu(std::chrono::milliseconds timeout) {
    return WaitUntil([] { return UiTesting::FrontMenu().has_value(); }, timeout);
}

bool CScript::WaitForNoMenu(std::chrono::milliseconds timeout) {
    return WaitUntil([] { return UiTesting::IsDialogInFront(); }, timeout);
}

bool CScript::WaitForProgramEnd(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_driver.ProgramEnded()) {
        if (m_driver.Aborted() || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

void CScript::Pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

void CScript::Sync() {
    Call([] {});
}

void CScript::Click(int id) {
    Do([id] { UiTesting::ClickButton(id); });
}

void CScript::Select(int id, int index) {
    Do([id, index] { UiTesting::SelectItem(id, index); });
}

void CScript::Type(int id, const CString& text) {
    Do([id, text] { UiTesting::TypeText(id, text); });
}

void CScript::Tap(int x, int y) {
    Do([x, y] { UiTesting::Tap(CPoint(x, y)); });
}

void CScript::Hold(int x, int y, std::chrono::milliseconds duration) {
    Do([x, y] { UiTesting::PressPointer(CPoint(x, y)); });
    Sync();
    Pause(duration);
    Do([x, y] { UiTesting::ReleasePointer(CPoint(x, y)); });
}

void CScript::RightClick(int x, int y) {
    Do([x, y] {
        UiTesting::PressPointer(CPoint(x, y), true);
        UiTesting::ReleasePointer(CPoint(x, y));
    });
}

void CScript::Drag(int fromX, int fromY, int toX, int toY, std::chrono::milliseconds duration) {
    constexpr int kSteps = 8;
    const auto at = [=](int step) {
        return CPoint(fromX + (toX - fromX) * step / kSteps, fromY + (toY - fromY) * step / kSteps);
    };
    Do([at] { UiTesting::PressPointer(at(0)); });
    for (int step = 1; step <= kSteps; ++step) {
        if (duration.count() > 0) {
            Sync();
            Pause(duration / kSteps);
        }
        Do([at, step] { UiTesting::MovePointer(at(step)); });
    }
    Do([at] { UiTesting::ReleasePointer(at(kSteps)); });
}

void CScript::PressKey(UINT virtualKey) {
    Do([virtualKey] { UiTesting::PressKey(virtualKey); });
}

void CScript::PressMenuKey() {
    Do([] { UiTesting::PressMenuKey(); });
}

void CScript::ChooseMenuItem(UINT id) {
    Do([id] { UiTesting::ChooseMenuItem(id); });
}

void CScript::CancelMenu() {
    Do([] { UiTesting::CancelMenu(); });
}

void CScript::PressOk() {
    Do([] { UiTesting::PressBarOk(); });
}

void CScript::PressEscape() {
    Do([] { UiTesting::PressEscape(); });
}

void CScript::PressEnter() {
    Do([] { UiTesting::PressEnter(); });
}

void CScript::AnswerBox() {
    Do([] { UiTesting::AnswerBox(); });
}

void CScript::CloseWindow() {
    Do([] { UiTesting::CloseWindow(); });
}

void CScript::ClickWindowAt(int x, int y) {
    Do([x, y] { UiTesting::ClickWindowAt(CPoint(x, y)); });
}

UINT CScript::FrontTemplate() {
    return OnGui([] { return UiTesting::FrontTemplate(); });
}

std::optional<MessageBoxInfo> CScript::FrontBox() {
    return OnGui([] { return UiTesting::FrontBox(); });
}

std::optional<std::vector<CScript::MenuEntry>> CScript::FrontMenu() {
    return OnGui([]() -> std::optional<std::vector<MenuEntry>> {
        const std::optional<std::vector<MenuItem>> items = UiTesting::FrontMenu();
        if (!items) {
            return std::nullopt;
        }
        std::vector<MenuEntry> entries;
        for (const MenuItem& item : *items) {
            entries.push_back(
                {item.id, item.text, item.IsSeparator(), item.IsEnabled(), item.IsChecked()});
        }
        return entries;
    });
}

CString CScript::BarCaption() {
    return OnGui([] { return UiTesting::BarCaption(); });
}

CString CScript::Text(int id) {
    return OnGui([id] { return UiTesting::ControlText(id); });
}

bool CScript::IsEnabled(int id) {
    return OnGui([id] { return UiTesting::IsControlEnabled(id); });
}

bool CScript::Exists(int id) {
    return OnGui([id] { return UiTesting::ControlExists(id); });
}

std::vector<UiTesting::DrawnText> CScript::Paint() {
    return OnGui([this] { return m_driver.WatchPaint([] { UiTesting::PaintFront(); }); });
}

bool CScript::SaveScreenshot(const std::string& path) {
    return OnGui([&path] { return UiTesting::SaveScreenshot(path); });
}

COLORREF CScript::ClientPixel(int x, int y) {
    return OnGui([x, y] { return UiTesting::ClientPixel(x, y); });
}

std::vector<UiTesting::ScreenEvent> CScript::Events() {
    return m_driver.Events();
}

} // namespace testing_support
