#pragma once
// A message box on the screen: a panel over the dimmed client area with the box's icon, text and
// OK button, run modally over the screen in front. The bar's "ok", Esc, Enter and the window's
// closing all answer it as its OK.

#include "platform/core/Services.h"
#include "platform/ui/qt/Screen.h"

#include <QWidget>

class QPushButton;

class CMessageBoxPanel : public QWidget {
public:
    CMessageBoxPanel(QWidget* area, const MessageBoxInfo& box);
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
    CBoxRun(QWidget* area, MessageBoxInfo box);

    const MessageBoxInfo& Shown() const { return m_box; }
    CMessageBoxPanel* Panel() const { return static_cast<CMessageBoxPanel*>(Widget()); }

    // The panel's OK button ends the run, and has the keyboard.
    void Begin(CModalRun& run) override;
    void Command(CModalRun& run, int id) override;
    void Describe(UiTesting::ScreenEvent& event, bool opened) const override;

private:
    MessageBoxInfo m_box;
};
