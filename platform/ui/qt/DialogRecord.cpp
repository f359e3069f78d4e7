#include "platform/ui/qt/DialogRecord.h"

#include "platform/core/Services.h"
#include "platform/ui/UiConstants.h"
#include "platform/ui/qt/ControlRecords.h"
#include "platform/ui/qt/Fonts.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/Resources.h"
#include "platform/ui/qt/Screen.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

QFont TemplateFont(const DialogTemplate& dialogTemplate) {
    const CString face = dialogTemplate.fontFace != nullptr ? dialogTemplate.fontFace : u"宋体";
    const int points = dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 9;
    return MakeFont(face, points * 10);
}

CDialogRecord::CDialogRecord(const DialogTemplate& dialogTemplate, QWidget* area)
    : COwningRecord(0, nullptr), m_template(dialogTemplate) {
    auto* widget = new CDialogWidget(*this, area);
    widget->setFont(TemplateFont(dialogTemplate));
    widget->setGeometry(0, 0, area != nullptr ? area->width() : 0,
                        area != nullptr ? area->height() : 0);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setFocusPolicy(Qt::StrongFocus);
    SetWidget(widget);
    for (const ControlTemplate& control : dialogTemplate.controls) {
        AddChild(CreateControl(control, this, widget));
    }
}

CDialogRecord::~CDialogRecord() {
    BeginDestruction();
}

LRESULT CDialogRecord::DefaultProc(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // Closing a dialog is its cancel command.
        Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case WM_KEYDOWN:
        m_keyLeftToControl = true;
        return 0;
    case WM_SETICON:
        CScreen::Instance().SetIcon(IconFromHandle(reinterpret_cast<HICON>(lParam)));
        return 0;
    default:
        return 0;
    }
}

void CDialogRecord::FillInitData() {
    for (const ComboInitData& data : m_template.initData) {
        auto* combo = dynamic_cast<CComboBoxRecord*>(Child(data.controlId));
        if (combo == nullptr) {
            continue;
        }
        for (const char16_t* item : data.items) {
            combo->AddString(item);
        }
    }
}

void CDialogRecord::FocusFirstControl() {
    for (const auto& child : Children()) {
        QWidget* widget = child->Widget();
        if (widget != nullptr && widget->isEnabled() && widget->focusPolicy() == Qt::StrongFocus) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    if (Widget() != nullptr) {
        Widget()->setFocus(Qt::OtherFocusReason);
    }
}

CButtonRecord* CDialogRecord::EnterButton() const {
    CButtonRecord* defaultButton = nullptr;
    for (const auto& child : Children()) {
        auto* button = dynamic_cast<CButtonRecord*>(child.get());
        if (button == nullptr) {
            continue;
        }
        if (button->Widget() != nullptr && button->Widget()->hasFocus()) {
            return button;
        }
        if (button->IsDefault() && defaultButton == nullptr) {
            defaultButton = button;
        }
    }
    return defaultButton;
}

bool CDialogRecord::SendKeyDown(UINT key) {
    m_keyLeftToControl = false;
    Send(WM_KEYDOWN, key, 1); // one press, no repeat
    return !m_keyLeftToControl;
}

CDialogWidget::CDialogWidget(CDialogRecord& record, QWidget* parent)
    : QWidget(parent), m_record(record) {}

void CDialogWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_record.Paint(painter);
}

void CDialogWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    m_record.Send(WM_LBUTTONDOWN, MK_LBUTTON,
                  MAKELPARAM(static_cast<WORD>(point.x()), static_cast<WORD>(point.y())));
}
