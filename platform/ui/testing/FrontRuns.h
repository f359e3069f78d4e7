#pragma once
// Inside the testing face: the runs of the screen as the framework's Qt side keeps them. Only
// the face's own sources include this.

#include "platform/ui/qt/ControlRecords.h"
#include "platform/ui/qt/DialogRun.h"
#include "platform/ui/qt/MenuPanel.h"
#include "platform/ui/qt/MessageBoxPanel.h"
#include "platform/ui/qt/Screen.h"

namespace UiTesting::detail {

inline CModalRun* FrontRun() {
    return CScreen::Instance().Front();
}

// The dialog in front: the dialog itself, or the page in front of a sheet.
inline CDialogRecord* FrontDialog() {
    CModalRun* front = FrontRun();
    const CDialogRun* dialog = front != nullptr ? front->ContentAs<CDialogRun>() : nullptr;
    return dialog != nullptr ? dialog->Front() : nullptr;
}

inline QWidget* FrontDialogWidget() {
    CDialogRecord* dialog = FrontDialog();
    return dialog != nullptr ? dialog->Widget() : nullptr;
}

inline const CBoxRun* FrontBoxRun() {
    CModalRun* front = FrontRun();
    return front != nullptr ? front->ContentAs<CBoxRun>() : nullptr;
}

inline CMenuPanel* FrontMenuPanel() {
    CModalRun* front = FrontRun();
    const CMenuRun* menu = front != nullptr ? front->ContentAs<CMenuRun>() : nullptr;
    return menu != nullptr ? menu->Panel() : nullptr;
}

inline CWindowRecord* FrontControl(int id) {
    CDialogRecord* dialog = FrontDialog();
    return dialog != nullptr ? dialog->Child(id) : nullptr;
}

template <class RecordType> RecordType* FrontControlAs(int id) {
    return dynamic_cast<RecordType*>(FrontControl(id));
}

} // namespace UiTesting::detail
