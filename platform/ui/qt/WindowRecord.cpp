#include "platform/ui/qt/WindowRecord.h"

#include "platform/ui/UiConstants.h"
#include "platform/ui/WindowObject.h"
#include "platform/ui/qt/PreciseTimer.h"
#include "platform/ui/qt/QtText.h"

#include <QPainter>

#include <unordered_set>

namespace {

std::unordered_set<const HWND__*>& LiveWindows() {
    static std::unordered_set<const HWND__*> live;
    return live;
}

} // namespace

CWindowRecord::CWindowRecord(int id, CWindowRecord* parent) : m_id(id), m_parent(parent) {
    LiveWindows().insert(this);
}

CWindowRecord::~CWindowRecord() {
    m_destroying = true;
    LiveWindows().erase(this);
    if (m_attached != nullptr) {
        m_attached->m_hWnd = nullptr;
    }
    if (m_temporary) {
        m_temporary->m_hWnd = nullptr;
    }
}

COwningRecord::~COwningRecord() {
    BeginDestruction();
    delete m_widget.data();
}

CWindowRecord* CWindowRecord::FromHandle(HWND handle) {
    if (handle == nullptr || !LiveWindows().contains(handle)) {
        return nullptr;
    }
    return static_cast<CWindowRecord*>(handle);
}

CWindowObject* CWindowRecord::Object() const {
    return m_attached != nullptr ? m_attached : m_temporary.get();
}

void CWindowRecord::KeepTemporary(std::unique_ptr<CWindowObject> object) {
    m_temporary = std::move(object);
    m_temporary->m_hWnd = Handle();
}

bool CWindowRecord::Attach(CWindowObject* object) {
    if (m_attached != nullptr && m_attached != object) {
        return false;
    }
    m_attached = object;
    object->m_hWnd = Handle();
    return true;
}

void CWindowRecord::Detach(const CWindowObject* object) {
    if (m_attached == object) {
        m_attached = nullptr;
    }
}

CString CWindowRecord::Text() const {
    const QWidget* widget = Widget();
    return widget != nullptr ? FromQString(widget->windowTitle()) : CString();
}

void CWindowRecord::SetText(const CString& text) {
    if (QWidget* widget = Widget()) {
        widget->setWindowTitle(ToQString(text));
    }
}

bool CWindowRecord::Handles(UINT message) const {
    return m_attached != nullptr && !m_destroying && m_attached->Handles(message);
}

LRESULT CWindowRecord::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_destroying) {
        return 0;
    }
    if (m_attached != nullptr) {
        return m_attached->WindowProc(message, wParam, lParam);
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT CWindowRecord::DefaultProc(UINT, WPARAM, LPARAM) {
    return 0;
}

void CWindowRecord::Notify(WORD code) {
    if (m_parent == nullptr || m_destroying) {
        return;
    }
    m_parent->Send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(m_id), code),
                   reinterpret_cast<LPARAM>(Handle()));
}

bool CWindowRecord::SetTimer(UINT_PTR id, unsigned milliseconds) {
    // A timer being killed from its own tick is only stopped, never deleted there: the object
    // stays until the window goes, and starting the id again reuses it.
    auto& timer = m_timers[id];
    if (!timer) {
        // The catalogue counts on its 20 ms ticks coming on time.
        timer = std::make_unique<CPreciseTimer>([this, id] { Send(WM_TIMER, id, 0); });
    }
    timer->Start(milliseconds);
    return true;
}

bool CWindowRecord::KillTimer(UINT_PTR id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end() || !found->second->IsActive()) {
        return false;
    }
    found->second->Stop();
    return true;
}

CWindowRecord* CWindowRecord::Child(int id) const {
    for (const auto& child : m_children) {
        if (child->Id() == id) {
            return child.get();
        }
    }
    return nullptr;
}

CWindowRecord* CWindowRecord::AddChild(std::unique_ptr<CWindowRecord> child) {
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

void CWindowRecord::Paint(QPainter& painter) {
    QPainter* previous = m_activePainter;
    m_activePainter = &painter;
    Send(WM_PAINT, 0, 0);
    m_activePainter = previous;
}
