#pragma once
// The window of a dialog: a widget that fills the screen's client area, holding the controls of
// its template. Paint and tap events become WM_PAINT and WM_LBUTTONDOWN for the dialog object.

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/qt/WindowRecord.h"

#include <QWidget>

class CButtonRecord;

class CDialogRecord : public COwningRecord {
public:
    CDialogRecord(const DialogTemplate& dialogTemplate, QWidget* area);
    ~CDialogRecord() override;

    const DialogTemplate& Template() const { return m_template; }
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Puts the template's initial items into its combo boxes.
    void FillInitData();
    // Gives the keyboard to the first enabled control that takes it, or to the dialog itself.
    void FocusFirstControl();
    // The button that Enter presses: the focused push button, or else the default one.
    CButtonRecord* EnterButton() const;
    // Gives the dialog a key of the d-pad as WM_KEYDOWN; false when it left the key to the
    // control that has the keyboard (its default handling).
    bool SendKeyDown(UINT key);

private:
    const DialogTemplate& m_template;
    bool m_keyLeftToControl = false; // set by the default handling of WM_KEYDOWN
};

class CDialogWidget : public QWidget {
public:
    CDialogWidget(CDialogRecord& record, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CDialogRecord& m_record;
};

// The dialog font of a template: its face at its point size, in the handheld's pixels.
QFont TemplateFont(const DialogTemplate& dialogTemplate);
