#pragma once
// The colour chooser in the screen's place: Qt's own chooser as a panel over the client area,
// drawn at the screen's zoom like everything on it. Laid out one column under the other so that
// it fits the handheld's width; what does not fit its height scrolls.

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
