#include "platform/ui/UiConstants.h"
#include "platform/ui/qt/HtmlView.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/testing/HtmlViewTesting.h"

#include <QFrame>

namespace {

const char16_t* TextOf(LPARAM lParam) {
    return reinterpret_cast<const char16_t*>(lParam);
}

// Plain text as a piece of HTML that shows exactly it.
QString PlainToHtml(const QString& text) {
    QString html = text.toHtmlEscaped();
    html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return html;
}

CString MessageText(UINT message, LPARAM lParam) {
    const bool carriesText = message == DTM_ADDTEXTW || message == DTM_NAVIGATE;
    return carriesText && lParam != 0 ? CString(TextOf(lParam)) : CString();
}

} // namespace

CHtmlViewRecord::CHtmlViewRecord(int id, CWindowRecord* parent, QWidget* parentWidget,
                                 const QRect& rect, DWORD style, const QString& programFolder,
                                 const QString& linkedFolder)
    : CWindowRecord(id, parent), m_style(style) {
    m_view = new CHtmlView(parentWidget, programFolder, linkedFolder);
    m_view->setGeometry(rect);
    if ((style & WS_BORDER) != 0) {
        m_view->setFrameShape(QFrame::Box);
        m_view->setLineWidth(1);
    } else {
        m_view->setFrameShape(QFrame::NoFrame);
    }
    m_view->setEnabled((style & WS_DISABLED) == 0);
    m_view->setVisible((style & WS_VISIBLE) != 0);
}

CHtmlViewRecord::~CHtmlViewRecord() {
    BeginDestruction();
}

LRESULT CHtmlViewRecord::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsDestroying()) {
        return 0;
    }
    UiTesting::ReportHtmlMessage({Handle(), message, wParam, lParam, MessageText(message, lParam)});
    if (!m_view) {
        return 0;
    }
    switch (message) {
    case DTM_ADDTEXTW:
        return AddText(wParam, TextOf(lParam));
    case DTM_ENDOFSOURCE:
        return EndOfSource();
    case DTM_NAVIGATE:
        return Navigate(TextOf(lParam));
    case DTM_ZOOMLEVEL:
        m_view->SetZoomLevel(static_cast<int>(lParam));
        return 0;
    case DTM_ENABLESHRINK:
        m_shrink = lParam != 0;
        return 0;
    case DTM_ENABLESCRIPTING:
        m_scripting = lParam != 0;
        return 0;
    case DTM_KEEPVERSES:
        m_view->SetKeepVerses(lParam != 0);
        return 0;
    default:
        return 0;
    }
}

LRESULT CHtmlViewRecord::AddText(WPARAM wParam, const char16_t* text) {
    if (m_pageEnded) {
        m_pieces.clear(); // text after an end of source is a new page, not more of the old
        m_after.clear();
        m_pageEnded = false;
    }
    if (text != nullptr) {
        const QString piece = QString::fromUtf16(text);
        (m_pieces.isEmpty() ? m_pieces : m_after) += wParam == 0 ? piece : PlainToHtml(piece);
    }
    return TRUE;
}

LRESULT CHtmlViewRecord::EndOfSource() {
    m_pageEnded = true;
    // The page is laid out once, whole, and only after the handler that sent it (a paint,
    // usually) has returned: changing the viewer while its parent paints would paint again.
    QMetaObject::invokeMethod(
        m_view, [view = m_view, page = m_pieces, after = m_after] { view->ShowPage(page, after); },
        Qt::QueuedConnection);
    return TRUE;
}

LRESULT CHtmlViewRecord::Navigate(const char16_t* url) {
    QString path;
    QString anchor;
    if (url == nullptr ||
        !SplitNavigationUrl(QString::fromUtf16(url), m_view->ProgramFolder(), path, anchor)) {
        return FALSE;
    }
    QMetaObject::invokeMethod(
        m_view, [view = m_view, path, anchor] { view->Navigate(path, anchor); },
        Qt::QueuedConnection);
    return TRUE;
}
