#pragma once
// A dialog or a property sheet as the content of a modal run: its window fills the client area
// and the dialog in front (the dialog itself, or the sheet's page in front) takes the screen's
// commands as WM_COMMAND, Enter as a click of its Enter button, and the window's closing as
// WM_CLOSE.

#include "platform/ui/qt/DialogRecord.h"
#include "platform/ui/qt/Screen.h"

#include <memory>

class CDialogRun : public CRunContent {
public:
    // A dialog: its own window is the one in front.
    CDialogRun(std::unique_ptr<CDialogRecord> dialog, CString caption);
    // A sheet: `window` holds the pages; the page in front is set before the run begins.
    CDialogRun(std::unique_ptr<COwningRecord> window, CString caption);

    // The window that fills the client area; null once dismantled.
    COwningRecord* Window() const { return m_window.get(); }
    // The window of the dialog that takes the screen's commands; null once dismantled.
    CDialogRecord* Front() const { return m_front; }
    void SetFront(CDialogRecord& front);

    QWidget* Widget() const override;
    const CString& Caption() const override { return m_caption; }
    bool IsScreen() const override { return true; }
    void Command(CModalRun& run, int id) override;
    void PressEnter(CModalRun& run) override;
    void Close(CModalRun& run) override;
    void Describe(UiTesting::ScreenEvent& event, bool opened) const override;
    void Dismantle() override;

private:
    std::unique_ptr<COwningRecord> m_window;
    CDialogRecord* m_front = nullptr;
    // The front's template, still known once the windows are gone.
    UINT m_frontTemplate = 0;
    CString m_caption;
};
