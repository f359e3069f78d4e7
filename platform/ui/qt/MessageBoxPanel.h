#pragma once
// The panel of a message box: a frame over the dimmed client area with the box's icon, text and
// OK button.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <QWidget>

class CModalRun;
class QPushButton;

class CMessageBoxPanel : public QWidget {
public:
    CMessageBoxPanel(QWidget* area, const CString& text, UINT type);
    void SetRun(CModalRun* run) { m_run = run; }
    QPushButton* OkButton() const { return m_ok; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CModalRun* m_run = nullptr;
    QPushButton* m_ok = nullptr;
};
