#include "platform/ui/testing/HtmlViewTesting.h"

#include "platform/ui/qt/HtmlView.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/VerseLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace UiTesting {
namespace {

struct HtmlHooks {
    HtmlViewFailure failure = HtmlViewFailure::None;
    HtmlMessageObserver observer;
};

HtmlHooks& Hooks() {
    static HtmlHooks hooks;
    return hooks;
}

CHtmlView* ViewOf(HWND viewer) {
    auto* record = dynamic_cast<CHtmlViewRecord*>(CWindowRecord::FromHandle(viewer));
    return record != nullptr ? record->View() : nullptr;
}

// Where the first link to `href` starts in the document, or -1.
int LinkPosition(const QTextDocument& document, const QString& href) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && format.anchorHref() == href) {
                return it.fragment().position();
            }
        }
    }
    return -1;
}

COLORREF ToColorRef(const QColor& colour) {
    return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()),
               static_cast<BYTE>(colour.blue()));
}

// The colour the first character that is (or is not) a link is drawn in.
COLORREF FirstColour(const CHtmlView& view, bool link) {
    const QTextDocument& document = *view.document();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const bool isLink = format.isAnchor() && !format.anchorHref().isEmpty();
            if (isLink != link) {
                continue;
            }
            const bool own = format.foreground().style() != Qt::NoBrush;
            return ToColorRef(own ? format.foreground().color()
                                  : view.palette().color(QPalette::Text));
        }
    }
    return 0;
}

int FirstLineHeight(const QTextDocument& document) {
    const QTextBlock block = document.begin();
    const QTextLayout* layout = block.isValid() ? block.layout() : nullptr;
    return layout != nullptr && layout->lineCount() > 0 ? qRound(layout->lineAt(0).height()) : 0;
}

std::vector<HtmlLine> LaidOutLines(const QTextDocument& document) {
    std::vector<HtmlLine> lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        const QString text = block.text();
        for (int i = 0; layout != nullptr && i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            QString shown = text.mid(line.textStart(), line.textLength());
            const bool broken = shown.endsWith(QChar::LineSeparator);
            if (broken) {
                shown.chop(1);
            }
            lines.push_back({FromQString(WithoutJoiners(shown)),
                             broken || i + 1 == layout->lineCount(), line.width(),
                             line.naturalTextWidth()});
        }
    }
    return lines;
}

} // namespace

void SetHtmlViewFailure(HtmlViewFailure failure) {
    Hooks().failure = failure;
}

HtmlViewFailure CurrentHtmlViewFailure() {
    return Hooks().failure;
}

HtmlMessageObserver SetHtmlMessageObserver(HtmlMessageObserver observer) {
    return std::exchange(Hooks().observer, std::move(observer));
}

void ReportHtmlMessage(const HtmlMessage& message) {
    if (Hooks().observer) {
        Hooks().observer(message);
    }
}

void FlushHtmlView(HWND viewer) {
    QCoreApplication::sendPostedEvents();
    if (CHtmlView* view = ViewOf(viewer)) {
        view->document()->documentLayout()->documentSize(); // lays out what is pending
    }
}

HtmlViewState HtmlView(HWND viewer) {
    auto* record = dynamic_cast<CHtmlViewRecord*>(CWindowRecord::FromHandle(viewer));
    CHtmlView* view = record != nullptr ? record->View() : nullptr;
    HtmlViewState state;
    if (view == nullptr) {
        return state;
    }
    state.valid = true;
    const QRect geometry = view->geometry();
    state.rect = CRect(geometry.left(), geometry.top(), geometry.left() + geometry.width(),
                       geometry.top() + geometry.height());
    state.style = record->Style();
    state.page = FromQString(view->Page());
    state.text = FromQString(WithoutJoiners(view->document()->toPlainText()));
    state.lines = LaidOutLines(*view->document());
    state.file = FromQString(view->File());
    state.anchor = FromQString(view->Anchor());
    state.selection = FromQString(view->textCursor().selectedText());
    state.scrollY = view->verticalScrollBar()->value();
    state.anchorY = view->Anchor().isEmpty() ? -1 : view->AnchorY(view->Anchor());
    state.lineHeight = FirstLineHeight(*view->document());
    state.zoomLevel = view->ZoomLevel();
    state.basePixelSize = view->document()->defaultFont().pixelSize();
    state.scripting = record->Scripting();
    state.shrink = record->Shrink();
    state.keepVerses = view->KeepsVerses();
    state.horizontalScrolling = view->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    state.hasBackgroundPicture = view->HasBackgroundPicture();
    state.textColor = FirstColour(*view, false);
    state.linkColor = FirstColour(*view, true);
    state.widestTable = view->WidestTable();
    state.viewportWidth = view->viewport()->width();
    state.refusedRequests = view->RefusedRequests();
    return state;
}

void SetHtmlViewFace(HWND viewer, const CString& face) {
    if (CHtmlView* view = ViewOf(viewer)) {
        view->SetFace(ToQString(face));
    }
}

HtmlCopy CopyWholePage(HWND viewer) {
    CHtmlView* view = ViewOf(viewer);
    if (view == nullptr) {
        return {};
    }
    view->selectAll();
    view->copy();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    return copied != nullptr ? HtmlCopy{FromQString(copied->text()), FromQString(copied->html())}
                             : HtmlCopy{};
}

bool ClickHtmlLink(HWND viewer, const CString& href) {
    CHtmlView* view = ViewOf(viewer);
    const int position = view != nullptr ? LinkPosition(*view->document(), ToQString(href)) : -1;
    if (position < 0) {
        return false;
    }
    // Scrolls the link into view and taps its first character, as a person would.
    QTextCursor cursor(view->document());
    cursor.setPosition(position);
    const QRect before = view->cursorRect(cursor);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + before.top() - 4);
    const QRect at = view->cursorRect(cursor);
    const QPointF point(at.left() + 3, at.center().y());
    QWidget* target = view->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, point, target->mapToGlobal(point), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, point, target->mapToGlobal(point),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
    return true;
}

} // namespace UiTesting
