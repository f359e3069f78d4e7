#include "platform/ui/qt/ColourChooserPanel.h"

#include "platform/ui/testing/UiTesting.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QGridLayout>
#include <QScrollBar>

namespace {

// Qt lays its chooser out for a desktop: two columns side by side (the swatches; the spectrum
// with the numbers), the colour made beside the numbers, a spectrum 220 pixels wide. Here the
// columns run one under the other, the colour made goes under the numbers and the spectrum
// narrows, so that the chooser is as wide as the handheld's screen. Pieces found in another
// shape are left as they are.
constexpr int kSpectrumWidth = 180;
constexpr int kSpectrumHeight = 150;
constexpr int kShownColourHeight = 24;

void StackColumns(QColorDialog* chooser) {
    QLayout* main = chooser->layout();
    if (main != nullptr && main->count() > 0) {
        main->setContentsMargins(1, 4, 1, 4);
        if (auto* columns = qobject_cast<QBoxLayout*>(main->itemAt(0)->layout())) {
            columns->setDirection(QBoxLayout::TopToBottom);
        }
    }
    for (QWidget* piece : chooser->findChildren<QWidget*>()) {
        if (piece->inherits("QColorPicker")) {
            piece->setFixedSize(kSpectrumWidth, kSpectrumHeight);
        }
        auto* numbers =
            piece->inherits("QColorShower") ? qobject_cast<QGridLayout*>(piece->layout()) : nullptr;
        for (int i = 0; numbers != nullptr && i < numbers->count(); ++i) {
            QWidget* shown = numbers->itemAt(i)->widget();
            if (shown != nullptr && shown->inherits("QColorShowLabel")) {
                numbers->removeWidget(shown);
                shown->setMinimumHeight(kShownColourHeight);
                numbers->addWidget(shown, numbers->rowCount(), 1, 1, numbers->columnCount() - 1);
                break;
            }
        }
    }
}

} // namespace

CColourChooserPanel::CColourChooserPanel(QWidget* area, const QColor& initial) : QScrollArea(area) {
    setObjectName(QStringLiteral("colourchooser"));
    setGeometry(0, 0, area->width(), area->height());
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_chooser = new QColorDialog(initial);
    m_chooser->setOptions(QColorDialog::DontUseNativeDialog);
    m_chooser->setSizeGripEnabled(false);
    StackColumns(m_chooser);
    // Qt fixes the chooser at its own size; here it takes the screen's width and scrolls.
    m_chooser->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    m_chooser->setFixedSize(area->width() - verticalScrollBar()->sizeHint().width(),
                            m_chooser->sizeHint().height());
    setWidget(m_chooser); // a child of the panel now, no longer a window of its own
    m_chooser->show();
}

// ---- CColourChooserRun --------------------------------------------------------------------

CColourChooserRun::CColourChooserRun(QWidget* area, const QColor& initial)
    : CPanelRun(new CColourChooserPanel(area, initial), CString(u"颜色")) {}

QColorDialog* CColourChooserRun::Chooser() const {
    auto* panel = static_cast<CColourChooserPanel*>(Widget());
    return panel != nullptr ? panel->Chooser() : nullptr;
}

QColor CColourChooserRun::Colour() const {
    return Chooser() != nullptr ? Chooser()->currentColor() : QColor();
}

void CColourChooserRun::Begin(CModalRun& run) {
    QColorDialog* chooser = Chooser();
    QObject::connect(chooser, &QDialog::finished, chooser, [&run](int result) {
        run.End(result == QDialog::Accepted ? IDOK : IDCANCEL);
    });
    chooser->setFocus(Qt::OtherFocusReason);
}

void CColourChooserRun::Command(CModalRun&, int id) {
    // The chooser's own accept and reject end the run through its finished signal.
    if (id == IDOK) {
        Chooser()->accept();
    } else {
        Chooser()->reject();
    }
}

void CColourChooserRun::Describe(UiTesting::ScreenEvent& event, bool opened) const {
    // Observers hear of the chooser as of a screen that has no template.
    using Kind = UiTesting::ScreenEvent::Kind;
    event.kind = opened ? Kind::DialogOpened : Kind::DialogClosed;
    event.templateId = 0;
}
