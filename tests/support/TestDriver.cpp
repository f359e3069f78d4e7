#include "tests/support/TestDriver.h"

#include "platform/core/Services.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ScreenMessageBox.h"
#include "platform/ui/qt/ControlRecords.h"
#include "platform/ui/qt/DialogRun.h"
#include "platform/ui/qt/MenuPanel.h"
#include "platform/ui/qt/MessageBoxPanel.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/Resources.h"
#include "platform/ui/qt/Screen.h"
#include "resources/ProgramResources.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

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

CModalRun* Front() {
    return CScreen::Instance().Front();
}

CDialogRecord* FrontDialog() {
    CModalRun* front = Front();
    const CDialogRun* dialog = front != nullptr ? front->ContentAs<CDialogRun>() : nullptr;
    return dialog != nullptr ? dialog->Front() : nullptr;
}

const CBoxRun* FrontBoxRun() {
    CModalRun* front = Front();
    return front != nullptr ? front->ContentAs<CBoxRun>() : nullptr;
}

CMenuPanel* FrontMenuPanel() {
    CModalRun* front = Front();
    const CMenuRun* menu = front != nullptr ? front->ContentAs<CMenuRun>() : nullptr;
    return menu != nullptr ? menu->Panel() : nullptr;
}

template <class RecordType> RecordType* FrontControl(int id) {
    CDialogRecord* dialog = FrontDialog();
    return dialog != nullptr ? dynamic_cast<RecordType*>(dialog->Child(id)) : nullptr;
}

void SendKey(int key) {
    CModalRun* front = Front();
    QWidget* target = front != nullptr ? front->Content().Widget() : nullptr;
    if (target == nullptr) {
        return;
    }
    if (QWidget* focus = target->focusWidget(); focus != nullptr && target->isAncestorOf(focus)) {
        target = focus;
    }
    // Unaccepted key events travel up to the screen, which turns Esc and Enter into commands.
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void SendTap(QWidget* dialog, QPoint point) {
    QPointer<QWidget> target = dialog->childAt(point);
    if (!target) {
        target = dialog;
    }
    const QPointF local = target->mapFrom(dialog, point);
    QMouseEvent press(QEvent::MouseButtonPress, local, local, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (target) {
        QMouseEvent release(QEvent::MouseButtonRelease, local, local, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
}

void SendMouse(QWidget* target, QEvent::Type type, QPointF local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, local, target->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A press, moves and release as one pointer makes them: each goes to the widget the press went
// to, at its own place in that widget.
class CPointer {
public:
    void Press(QPoint point, Qt::MouseButton button) {
        m_button = button;
        m_target = nullptr;
        CDialogRecord* dialog = FrontDialog();
        if (dialog == nullptr || dialog->Widget() == nullptr) {
            return;
        }
        m_dialog = dialog->Widget();
        m_target = m_dialog->childAt(point);
        if (!m_target) {
            m_target = m_dialog;
        }
        SendMouse(m_target, QEvent::MouseButtonPress, Local(point), button, button);
    }
    void Move(QPoint point) {
        if (m_target) {
            SendMouse(m_target, QEvent::MouseMove, Local(point), Qt::NoButton, m_button);
        }
    }
    void Release(QPoint point) {
        if (m_target) {
            SendMouse(m_target, QEvent::MouseButtonRelease, Local(point), m_button, Qt::NoButton);
        }
        m_target = nullptr;
    }

private:
    QPointF Local(QPoint point) const {
        return m_dialog && m_target ? QPointF(m_target->mapFrom(m_dialog, point)) : QPointF(point);
    }

    QPointer<QWidget> m_dialog;
    QPointer<QWidget> m_target;
    Qt::MouseButton m_button = Qt::LeftButton;
};

CPointer& ThePointer() {
    static CPointer pointer; // on the program's thread only
    return pointer;
}

void TapPanel(QWidget* panel, QPoint point) {
    SendMouse(panel, QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton);
    if (QPointer<QWidget> alive = panel) {
        SendMouse(panel, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
    }
}

int QtKey(UINT virtualKey) {
    switch (virtualKey) {
    case VK_LEFT:
        return Qt::Key_Left;
    case VK_RIGHT:
        return Qt::Key_Right;
    case VK_UP:
        return Qt::Key_Up;
    case VK_DOWN:
        return Qt::Key_Down;
    case VK_PRIOR:
        return Qt::Key_PageUp;
    case VK_NEXT:
        return Qt::Key_PageDown;
    default:
        return 0;
    }
}

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
                CScreen::Instance().CloseWindow();
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
        Post([] { CScreen::Instance().CloseWindow(); });
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
    const QWidget* window = CScreen::Instance().Window();
    return window != nullptr ? CSize(window->width(), window->height()) : CSize();
}

std::optional<COLORREF> CTestDriver::BitmapPixel(UINT id, int x, int y) {
    const QImage image = LoadBitmapResource(id);
    if (!image.valid(x, y)) {
        return std::nullopt;
    }
    const QColor colour = image.pixelColor(x, y);
    return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()),
               static_cast<BYTE>(colour.blue()));
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
            return FrontDialog() != nullptr && FrontDialog()->Template().id == templateId;
        },
        timeout);
}

bool CScript::WaitForBox(std::chrono::milliseconds timeout) {
    return WaitUntil([] { return FrontBoxRun() != nullptr; }, timeout);
}

bool CScript::WaitForMenu(std::chrono::milliseconds timeout) {
    return WaitUntil([] { return FrontMenuPanel() != nullptr; }, timeout);
}

bool CScript::WaitForNoMenu(std::chrono::milliseconds timeout) {
    return WaitUntil([] { return FrontDialog() != nullptr; }, timeout);
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
    Do([id] {
        if (auto* button = FrontControl<CButtonRecord>(id)) {
            button->Click();
        }
    });
}

void CScript::Select(int id, int index) {
    Do([id, index] {
        if (auto* items = FrontControl<CItemListRecord>(id)) {
            items->UserSelect(index);
        } else if (auto* view = FrontControl<CListViewRecord>(id)) {
            view->UserSelect(index);
        }
    });
}

void CScript::Type(int id, const CString& text) {
    Do([id, text] {
        auto* edit = FrontControl<CEditRecord>(id);
        if (edit == nullptr || edit->IsReadOnly()) {
            return;
        }
        if (auto* line = qobject_cast<QLineEdit*>(edit->Widget())) {
            line->selectAll();
        } else if (auto* multi = qobject_cast<QPlainTextEdit*>(edit->Widget())) {
            multi->selectAll();
        }
        edit->Type(text);
    });
}

void CScript::Tap(int x, int y) {
    Do([x, y] {
        if (CDialogRecord* dialog = FrontDialog();
            dialog != nullptr && dialog->Widget() != nullptr) {
            SendTap(dialog->Widget(), QPoint(x, y));
        }
    });
}

void CScript::Hold(int x, int y, std::chrono::milliseconds duration) {
    Do([x, y] { ThePointer().Press(QPoint(x, y), Qt::LeftButton); });
    Sync();
    Pause(duration);
    Do([x, y] { ThePointer().Release(QPoint(x, y)); });
}

void CScript::RightClick(int x, int y) {
    Do([x, y] {
        ThePointer().Press(QPoint(x, y), Qt::RightButton);
        ThePointer().Release(QPoint(x, y));
    });
}

void CScript::Drag(int fromX, int fromY, int toX, int toY, std::chrono::milliseconds duration) {
    constexpr int kSteps = 8;
    const auto at = [=](int step) {
        return QPoint(fromX + (toX - fromX) * step / kSteps, fromY + (toY - fromY) * step / kSteps);
    };
    Do([at] { ThePointer().Press(at(0), Qt::LeftButton); });
    for (int step = 1; step <= kSteps; ++step) {
        if (duration.count() > 0) {
            Sync();
            Pause(duration / kSteps);
        }
        Do([at, step] { ThePointer().Move(at(step)); });
    }
    Do([at] { ThePointer().Release(at(kSteps)); });
}

void CScript::PressKey(UINT virtualKey) {
    const int key = QtKey(virtualKey);
    Do([key] { SendKey(key); });
}

void CScript::PressMenuKey() {
    Do([] { SendKey(Qt::Key_Menu); });
}

void CScript::ChooseMenuItem(UINT id) {
    Do([id] {
        CMenuPanel* panel = FrontMenuPanel();
        if (panel == nullptr) {
            return;
        }
        const auto& items = panel->Items();
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            if (!items[i].IsSeparator() && items[i].id == id) {
                TapPanel(panel, panel->ItemRect(i).center());
                return;
            }
        }
    });
}

void CScript::CancelMenu() {
    Do([] {
        CMenuPanel* panel = FrontMenuPanel();
        if (panel == nullptr) {
            return;
        }
        // The corner farthest from the menu.
        const QRect frame = panel->Frame();
        const int x = frame.center().x() < panel->width() / 2 ? panel->width() - 2 : 1;
        const int y = frame.center().y() < panel->height() / 2 ? panel->height() - 2 : 1;
        TapPanel(panel, QPoint(x, y));
    });
}

void CScript::PressOk() {
    Do([] {
        QWidget* surface = CScreen::Instance().Surface();
        auto* ok = surface != nullptr ? surface->findChild<QAbstractButton*>(QStringLiteral("ok"))
                                      : nullptr;
        if (ok != nullptr) {
            ok->click();
        }
    });
}

void CScript::PressEscape() {
    Do([] { SendKey(Qt::Key_Escape); });
}

void CScript::PressEnter() {
    Do([] { SendKey(Qt::Key_Return); });
}

void CScript::AnswerBox() {
    Do([] {
        const CBoxRun* box = FrontBoxRun();
        if (box != nullptr && box->Panel() != nullptr) {
            box->Panel()->OkButton()->click();
        }
    });
}

void CScript::CloseWindow() {
    Do([] {
        if (QWidget* window = CScreen::Instance().Window()) {
            window->close();
        }
    });
}

void CScript::ClickWindowAt(int x, int y) {
    Do([x, y] {
        auto* view = qobject_cast<QGraphicsView*>(CScreen::Instance().Window());
        if (view == nullptr) {
            return;
        }
        QPointer<QWidget> viewport = view->viewport();
        const QPointF point = viewport->mapFrom(view, QPoint(x, y));
        const QPointF global = viewport->mapToGlobal(point);
        QMouseEvent press(QEvent::MouseButtonPress, point, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        if (viewport) {
            QMouseEvent release(QEvent::MouseButtonRelease, point, global, Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &release);
        }
    });
}

UINT CScript::FrontTemplate() {
    return OnGui([] { return FrontDialog() != nullptr ? FrontDialog()->Template().id : 0u; });
}

std::optional<CScript::Box> CScript::FrontBox() {
    return OnGui([]() -> std::optional<Box> {
        const CBoxRun* box = FrontBoxRun();
        if (box == nullptr) {
            return std::nullopt;
        }
        const CBoxRun::Message& shown = box->Shown();
        return Box{shown.text, shown.caption, shown.type, shown.owner};
    });
}

std::optional<std::vector<CScript::MenuEntry>> CScript::FrontMenu() {
    return OnGui([]() -> std::optional<std::vector<MenuEntry>> {
        const CMenuPanel* panel = FrontMenuPanel();
        if (panel == nullptr) {
            return std::nullopt;
        }
        std::vector<MenuEntry> entries;
        for (const MenuItem& item : panel->Items()) {
            entries.push_back(
                {item.id, item.text, item.IsSeparator(), item.IsEnabled(), item.IsChecked()});
        }
        return entries;
    });
}

CString CScript::BarCaption() {
    return OnGui([] {
        QWidget* surface = CScreen::Instance().Surface();
        QLabel* caption =
            surface != nullptr ? surface->findChild<QLabel*>(QStringLiteral("caption")) : nullptr;
        return caption != nullptr ? FromQString(caption->text()) : CString();
    });
}

CString CScript::Text(int id) {
    return OnGui([id] {
        CDialogRecord* dialog = FrontDialog();
        CWindowRecord* control = dialog != nullptr ? dialog->Child(id) : nullptr;
        return control != nullptr ? control->Text() : CString();
    });
}

bool CScript::IsEnabled(int id) {
    return OnGui([id] {
        CDialogRecord* dialog = FrontDialog();
        CWindowRecord* control = dialog != nullptr ? dialog->Child(id) : nullptr;
        return control != nullptr && control->Widget() != nullptr && control->Widget()->isEnabled();
    });
}

bool CScript::Exists(int id) {
    return OnGui([id] {
        CDialogRecord* dialog = FrontDialog();
        return dialog != nullptr && dialog->Child(id) != nullptr;
    });
}

std::vector<UiTesting::DrawnText> CScript::Paint() {
    return OnGui([this] {
        return m_driver.WatchPaint([] {
            if (CDialogRecord* dialog = FrontDialog();
                dialog != nullptr && dialog->Widget() != nullptr) {
                dialog->Widget()->grab();
            }
        });
    });
}

bool CScript::SaveScreenshot(const std::string& path) {
    return OnGui([&path] {
        QWidget* surface = CScreen::Instance().Surface();
        return surface != nullptr && surface->grab().save(QString::fromStdString(path), "PNG");
    });
}

COLORREF CScript::ClientPixel(int x, int y) {
    return OnGui([x, y] {
        CDialogRecord* dialog = FrontDialog();
        if (dialog == nullptr || dialog->Widget() == nullptr) {
            return COLORREF{0};
        }
        const QColor colour = dialog->Widget()->grab().toImage().pixelColor(x, y);
        return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()),
                   static_cast<BYTE>(colour.blue()));
    });
}

std::vector<UiTesting::ScreenEvent> CScript::Events() {
    return m_driver.Events();
}

} // namespace testing_support
