#include "platform/ui/Gdi.h"

#include "platform/ui/TextLayout.h"
#include "platform/ui/Wnd.h"
#include "platform/ui/qt/Fonts.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/Resources.h"
#include "platform/ui/qt/WindowRecord.h"
#include "platform/ui/testing/UiTesting.h"

#include <QFontMetrics>
#include <QPainter>

#include <utility>

struct CBitmap::Image {
    QImage image;
};

struct CDC::State {
    QPainter* painter = nullptr; // null for a memory context and outside a paint
    HWND window = nullptr;
    QFont windowFont;
    CFont* font = nullptr;
    CBitmap* bitmap = nullptr;
    int bkMode = OPAQUE;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
};

namespace {

QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

void ReportText(const CDC::State& state, const CString& text, const RECT& rect, UINT format) {
    UiTesting::IObserver* observer = UiTesting::Observer();
    if (observer == nullptr) {
        return;
    }
    const CString face =
        state.font != nullptr ? state.font->GetFaceName() : FromQString(state.windowFont.family());
    const int tenths = state.font != nullptr ? state.font->GetPointSize() : 0;
    observer->OnTextDrawn(
        {state.window, text, CRect(rect), format, face, tenths, state.textColor, state.bkMode});
}

} // namespace

// ---- CFont and CBitmap --------------------------------------------------------------------

BOOL CFont::CreatePointFont(int pointSize, const CString& faceName, CDC*) {
    m_strFace = faceName;
    m_nPointSize = pointSize;
    m_bCreated = pointSize > 0;
    return m_bCreated;
}

BOOL CFont::DeleteObject() {
    const bool wasCreated = m_bCreated;
    m_bCreated = false;
    return wasCreated;
}

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

BOOL CBitmap::LoadBitmap(UINT id) {
    QImage image = LoadBitmapResource(id);
    if (image.isNull()) {
        return FALSE;
    }
    m_image = std::make_unique<Image>(Image{std::move(image)});
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    const bool had = m_image != nullptr;
    m_image.reset();
    return had;
}

CSize CBitmap::GetSize() const {
    return m_image ? CSize(m_image->image.width(), m_image->image.height()) : CSize();
}

// ---- CDC ----------------------------------------------------------------------------------

CDC::CDC() : m_state(std::make_unique<State>()) {}
CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    m_state->painter = nullptr;
    m_state->window = nullptr;
    if (pDC != nullptr) {
        m_state->windowFont = pDC->m_state->windowFont;
    }
    return TRUE;
}

BOOL CDC::DeleteDC() {
    m_state->bitmap = nullptr;
    m_state->font = nullptr;
    return TRUE;
}

int CDC::SetBkMode(int mode) {
    return std::exchange(m_state->bkMode, mode);
}

int CDC::GetBkMode() const {
    return m_state->bkMode;
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return std::exchange(m_state->textColor, color);
}

COLORREF CDC::GetTextColor() const {
    return m_state->textColor;
}

COLORREF CDC::SetBkColor(COLORREF color) {
    return std::exchange(m_state->bkColor, color);
}

CFont* CDC::SelectObject(CFont* font) {
    CFont* previous = m_state->font;
    m_state->font = font;
    return previous;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    CBitmap* previous = m_state->bitmap;
    m_state->bitmap = bitmap;
    return previous;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* pSrcDC, int xSrc, int ySrc, DWORD) {
    if (pSrcDC == nullptr || pSrcDC->m_state->bitmap == nullptr ||
        pSrcDC->m_state->bitmap->GetImage() == nullptr) {
        return FALSE;
    }
    if (m_state->painter == nullptr) {
        return TRUE;
    }
    const QImage& image = pSrcDC->m_state->bitmap->GetImage()->image;
    // Only the part of the block that lies inside the bitmap is copied; nothing is stretched.
    const QRect source = QRect(xSrc, ySrc, width, height).intersected(image.rect());
    if (source.isEmpty()) {
        return TRUE;
    }
    const QPoint target(x + source.x() - xSrc, y + source.y() - ySrc);
    m_state->painter->drawImage(target, image, source);
    return TRUE;
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format) {
    if (rect == nullptr) {
        return 0;
    }
    const QFont font = m_state->font != nullptr && m_state->font->IsCreated()
                           ? MakeFont(m_state->font->GetFaceName(), m_state->font->GetPointSize())
                           : m_state->windowFont;
    const QFontMetrics metrics(font);
    const std::vector<TextLine> lines =
        LayoutText(text, *rect, format, metrics.height(), [&metrics](std::u16string_view line) {
            return metrics.horizontalAdvance(ToQString(CString(line)));
        });
    QPainter* painter = m_state->painter;
    if (painter == nullptr) {
        return static_cast<int>(lines.size()) * metrics.height();
    }
    ReportText(*m_state, text, *rect, format);
    painter->save();
    if ((format & DT_NOCLIP) == 0) {
        painter->setClipRect(
            QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)));
    }
    painter->setFont(font);
    painter->setPen(ToQColor(m_state->textColor));
    for (const TextLine& line : lines) {
        if (m_state->bkMode == OPAQUE) {
            painter->fillRect(line.x, line.y, line.width, metrics.height(),
                              ToQColor(m_state->bkColor));
        }
        painter->drawText(QPoint(line.x, line.y + metrics.ascent()), ToQString(line.text));
    }
    painter->restore();
    return static_cast<int>(lines.size()) * metrics.height();
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color) {
    if (m_state->painter != nullptr) {
        m_state->painter->fillRect(
            QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)),
            ToQColor(color));
    }
}

// ---- CPaintDC -----------------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_pWnd(pWnd) {
    const CWindowRecord* record =
        pWnd != nullptr ? CWindowRecord::FromHandle(pWnd->GetSafeHwnd()) : nullptr;
    if (record == nullptr) {
        return;
    }
    m_state->window = pWnd->GetSafeHwnd();
    m_state->painter = record->ActivePainter();
    if (record->Widget() != nullptr) {
        m_state->windowFont = record->Widget()->font();
    }
}

CPaintDC::~CPaintDC() = default;
