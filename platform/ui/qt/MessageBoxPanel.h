#pragma once
// A message box on the screen: a panel over the dimmed client area with the box's icon, text and
// OK button, run modally over the screen in front. The bar's "ok", Esc, Enter and the window's
// closing all answer it as its OK.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/qt/Screen.h"

#include <QWidget>

class QPushButton;

class CMessageBoxPanel : public QWidget {
public:
    CMessageBoxPanel(QWidget* area, const CString& text, UINT type);
    QPushButton* OkButton() const { return m_ok; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPushButton* m_ok = nullptr;
    // Where the frame stands inside the dimmed area.
    QRect m_frame;
};

class CBoxRun : public CPanelRun {
public:
    struct Message {
        HWND owner;
        CString text;
        CString caption;
        UINT type;
    };

    CBoxRun(QWidget* area, Message message);

    const Message& Shown() const { return m_message; }
    CMessageBoxPanel* Panel() const { return static_cast<CMessageBoxPanel*>(Widget()); }

    // The panel's OK button ends the run, and has the keyboard.
    void Begin(CModalRun& run) override;
    void Command(CModalRun& run, int id) override;
    void Describe(UiTesting::ScreenEvent& event, bool opened) const override;

private:
    Message m_message;
};
