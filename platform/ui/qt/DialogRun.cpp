#include "platform/ui/qt/DialogRun.h"

#include "platform/ui/qt/ControlRecords.h"
#include "platform/ui/testing/UiTesting.h"

CDialogRun::CDialogRun(std::unique_ptr<CDialogRecord> dialog, CString caption)
    : m_front(dialog.get()), m_frontTemplate(dialog->Template().id), m_caption(std::move(caption)) {
    m_window = std::move(dialog);
}

CDialogRun::CDialogRun(std::unique_ptr<COwningRecord> window, CString caption)
    : m_window(std::move(window)), m_caption(std::move(caption)) {}

void CDialogRun::SetFront(CDialogRecord& front) {
    m_front = &front;
    m_frontTemplate = front.Template().id;
}

QWidget* CDialogRun::Widget() const {
    return m_window ? m_window->Widget() : nullptr;
}

void CDialogRun::Command(CModalRun&, int id) {
    m_front->Send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
}

void CDialogRun::PressEnter(CModalRun&) {
    if (CButtonRecord* button = m_front->EnterButton()) {
        button->Click();
    }
}

void CDialogRun::Close(CModalRun& run) {
    m_front->Send(WM_CLOSE, 0, 0);
    // A screen whose close handling does not end it still goes: the window is closing.
    if (!run.HasEnded()) {
        run.End(IDCANCEL);
    }
}

void CDialogRun::Describe(UiTesting::ScreenEvent& event, bool opened) const {
    using Kind = UiTesting::ScreenEvent::Kind;
    event.kind = opened ? Kind::DialogOpened : Kind::DialogClosed;
    event.templateId = m_frontTemplate;
}

void CDialogRun::Dismantle() {
    m_front = nullptr;
    m_window.reset();
}
