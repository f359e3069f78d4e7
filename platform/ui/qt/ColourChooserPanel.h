#pragma once
// The colour chooser in the screen's place: Qt's own chooser as a panel over the client area,
// drawn at the screen's zoom like everything on it. Laid out one column under the other so that
// it fits the handheld's width; what does not fit its height scrolls.

#include "platform/ui/qt/Screen.h"

#include <QColor>
#include <QPointer>
#include <QScrollArea>

class QColorDialog;

class CColourChooserPanel : public QScrollArea {
public:
    CColourChooserPanel(QWidget* area, const QColor& initial);
    QColorDialog* Chooser() const { return m_chooser; }

private:
    QPointer<QColorDialog> m_chooser;
};

// The chooser as the content of a modal run: the bar's "ok" confirms and Esc cancels, as the
// chooser's own buttons do; either ends the run (IDOK or IDCANCEL).
class CColourChooserRun : public CPanelRun {
public:
    CColourChooserRun(QWidget* area, const QColor& initial);

    // The colour the chooser shows; read it before the run ends.
    QColor Colour() const;

    void Begin(CModalRun& run) override;
    void Command(CModalRun& run, int id) override;
    void Describe(UiTesting::ScreenEvent& event, bool opened) const override;

private:
    QColorDialog* Chooser() const;
};
