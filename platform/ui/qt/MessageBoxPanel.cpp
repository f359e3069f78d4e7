#include "platform/ui/ScreenMessageBox.h"

#include "platform/ui/ScreenGeometry.h"
#include "platform/ui/qt/MessageBoxPanel.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/testing/UiTesting.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include <cstdio>

namespace {

constexpr int kPanelWidth = 216;
constexpr int kMargin = 10;
constexpr int kIconSize = 32;

QIcon IconOf(UINT type) {
    QStyle* style = QApplication::style();
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case MB_ICONQUESTION:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case MB_ICONEXCLAMATION:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case MB_ICONASTERISK:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    default:
        return {};
    }
}

} // namespace

CMessageBoxPanel::CMessageBoxPanel(QWidget* area, const MessageBoxInfo& box) : QWidget(area) {
    setGeometry(0, 0, area->width(), area->height());
    setObjectName(QStringLiteral("messagebox"));

    const QIcon icon = IconOf(box.type);
    const int textLeft = kMargin + (icon.isNull() ? 0 : kIconSize + kMargin);
    const int textWidth = kPanelWidth - textLeft - kMargin;
    auto* label = new QLabel(ToQString(box.text), this);
    label->setObjectName(QStringLiteral("text"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFixedWidth(textWidth);
    const int textHeight = std::max(label->heightForWidth(textWidth), kIconSize);

    constexpr int kButtonHeight = 22;
    const int panelHeight =
        std::min(area->height() - 8, kMargin + textHeight + kMargin + kButtonHeight + kMargin);
    const int left = (area->width() - kPanelWidth) / 2;
    const int top = (area->height() - panelHeight) / 2;
    label->setGeometry(left + textLeft, top + kMargin, textWidth,
                       panelHeight - 3 * kMargin - kButtonHeight);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (!icon.isNull()) {
        auto* picture = new QLabel(this);
        picture->setPixmap(icon.pixmap(kIconSize, kIconSize));
        picture->setGeometry(left + kMargin, top + kMargin, kIconSize, kIconSize);
    }
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setGeometry(left + (kPanelWidth - 64) / 2, top + panelHeight - kMargin - kButtonHeight,
                      64, kButtonHeight);
    m_frame = QRect(left, top, kPanelWidth, panelHeight);
}

void CMessageBoxPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The screen below stays in sight, dimmed, so the box reads as being over it.
    painter.fillRect(rect(), QColor(0, 0, 0, 90));
    painter.fillRect(m_frame, QColor(0xfb, 0xf7, 0xec));
    painter.setPen(QPen(QColor(0x8f, 0x2a, 0x1c), 2));
    painter.drawRect(m_frame.adjusted(1, 1, -1, -1));
}

// ---- CBoxRun ------------------------------------------------------------------------------

CBoxRun::CBoxRun(QWidget* area, MessageBoxInfo box)
    : CPanelRun(new CMessageBoxPanel(area, box), box.caption), m_box(std::move(box)) {}

void CBoxRun::Begin(CModalRun& run) {
    QPushButton* ok = Panel()->OkButton();
    QObject::connect(ok, &QPushButton::clicked, ok, [&run] { run.End(IDOK); });
    ok->setFocus(Qt::OtherFocusReason);
}

void CBoxRun::Command(CModalRun& run, int) {
    run.End(IDOK); // a box takes the bar's "ok" and Esc alike as its OK
}

void CBoxRun::Describe(UiTesting::ScreenEvent& event, bool opened) const {
    using Kind = UiTesting::ScreenEvent::Kind;
    event.kind = opened ? Kind::BoxShown : Kind::BoxClosed;
    event.box = m_box;
}

int CScreenMessageBox::Show(const MessageBoxInfo& box) {
    if (QApplication::instance() == nullptr) {
        return CConsoleMessageBox().Show(box);
    }
    CScreen& screen = CScreen::Instance();
    if (screen.IsClosing()) {
        return IDOK;
    }
    CBoxRun shown(screen.ClientArea(), box);
    CModalRun run(shown);
    return run.Exec(IDOK);
}
