#include "platform/ui/qt/HtmlView.h"

#include "platform/ui/qt/Fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

// Text size at each zoom level, in pixels; level 2 matches the dialogs' 9-point font.
constexpr int kZoomPixels[] = {10, 11, 12, 14, 16};
constexpr int kUsualZoom = 2;

// From one line of a page to the next, in ems: more than half an em of air between two lines, so
// that the lines of a poem never touch, whatever the page's own markup says of its fonts.
constexpr double kLinePitchEm = 1.6;

// Pages a link may open in the viewer; anything else (a picture, a program) is not a page.
bool IsPageFile(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    return info.isFile() && (suffix == QLatin1String("htm") || suffix == QLatin1String("html"));
}

void ForEachTable(QTextFrame* frame, const std::function<void(QTextTable*)>& visit) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            visit(table);
        }
        ForEachTable(child, visit);
    }
}

bool HoldsAnchor(const QTextCharFormat& format, const QString& name) {
    return format.isAnchor() && format.anchorNames().contains(name);
}

// The document position where the anchor `name` starts, or -1.
int AnchorPosition(const QTextDocument& document, const QString& name) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (HoldsAnchor(block.charFormat(), name)) {
            return block.position();
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (HoldsAnchor(it.fragment().charFormat(), name)) {
                return it.fragment().position();
            }
        }
    }
    return -1;
}

// A colour as pages of the time wrote it: "#F3EBDD", "F3EBDD" or a name; invalid otherwise.
QColor PageColour(QString value) {
    static const QRegularExpression bareHex(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    if (bareHex.match(value).hasMatch()) {
        value.prepend(QLatin1Char('#'));
    }
    return QColor::fromString(value);
}

// The body's text and link colours as a style sheet: the document model knows neither
// attribute, but every browser of the time honoured them.
QString BodyColourSheet(const QString& html) {
    static const QRegularExpression body(QStringLiteral("<body\\b([^>]*)>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        QStringLiteral("\\b(text|link)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch tag = body.match(html);
    if (!tag.hasMatch()) {
        return {};
    }
    QString sheet;
    for (auto it = attribute.globalMatch(tag.captured(1)); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QColor colour = PageColour(match.captured(2) + match.captured(3) + match.captured(4));
        if (!colour.isValid()) {
            continue;
        }
        const bool isText =
            match.captured(1).compare(QLatin1String("text"), Qt::CaseInsensitive) == 0;
        sheet +=
            (isText ? QStringLiteral("body { color: %1; } ") : QStringLiteral("a { color: %1; } "))
                .arg(colour.name());
    }
    return sheet;
}

QString AbsolutePath(const QString& path, const QString& folder) {
    return QDir::isAbsolutePath(path) ? path : folder + path;
}

// Keeps a document from being laid out while it is built: a document without a page size is
// not laid out, and giving the size back lays it out once, whole.
class CLayoutPause {
public:
    explicit CLayoutPause(QTextDocument& document)
        : m_document(document), m_pageSize(document.pageSize()) {
        m_document.setPageSize(QSizeF(0, 0));
    }
    ~CLayoutPause() { m_document.setPageSize(m_pageSize); }
    CLayoutPause(const CLayoutPause&) = delete;
    CLayoutPause& operator=(const CLayoutPause&) = delete;

private:
    QTextDocument& m_document;
    QSizeF m_pageSize;
};

} // namespace

// ---- CHtmlView ----------------------------------------------------------------------------

CHtmlView::CHtmlView(QWidget* parent, const QString& programFolder, const QString& linkedFolder)
    : QTextBrowser(parent), m_programFolder(programFolder), m_linkedFolder(linkedFolder) {
    // Links are followed here, so that nothing but local pages is ever opened.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    // A handheld page never scrolls sideways: it wraps to the viewer, and tables wider than the
    // viewer are narrowed to fit it (FitWideTables). It wraps as if the scroll bar were always
    // there, so that a page that turns out taller than the viewer is not laid out a second time
    // when the bar appears (see resizeEvent).
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(WrapWidth());
    document()->setBaseUrl(QUrl::fromLocalFile(m_programFolder));
    SetZoomLevel(kUsualZoom);
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& link) { ActivateLink(link); });
}

int CHtmlView::PixelSizeOfZoom(int level) {
    return kZoomPixels[std::clamp(level, 0, static_cast<int>(std::size(kZoomPixels)) - 1)];
}

void CHtmlView::SetZoomLevel(int level) {
    m_zoomLevel = std::clamp(level, 0, static_cast<int>(std::size(kZoomPixels)) - 1);
    ApplyFont();
}

void CHtmlView::SetFace(const QString& face) {
    m_face = face;
    ApplyFont();
}

void CHtmlView::ApplyFont() {
    QFont font = m_face.isEmpty() ? MakeReadingFont() : QFont(m_face);
    font.setPixelSize(PixelSizeOfZoom(m_zoomLevel));
    // Chinese text needs none of the shaping rules that faces such as Noto carry by the
    // hundred; skipping them keeps the page's layout as quick as in a face without any.
    font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font); // the document's default font follows the widget's
    m_leading = LeadingSheet(font);
    m_markSize = MarkSizeFor(font);
    ShowAgain(); // with the leading of the face
}

void CHtmlView::SetKeepVerses(bool keep) {
    if (keep == m_keepVerses) {
        return;
    }
    m_keepVerses = keep;
    // A verse bound whole that is wider than a line still wraps, instead of running off the page.
    setWordWrapMode(keep ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WordWrap);
    ShowAgain();
}

void CHtmlView::ShowAgain() {
    if (!m_page.isEmpty()) {
        const QString page = std::exchange(m_page, QString());
        const QString after = std::exchange(m_after, QString());
        ShowPage(page.left(page.size() - after.size()), after);
    } else if (!m_file.isEmpty()) {
        const QString file = std::exchange(m_file, QString());
        Load(file, m_anchor);
    }
}

QString CHtmlView::LeadingSheet(const QFont& font) {
    // Line heights are given as a share of the face's own line, which is one em in some faces
    // and nearly one and a half in others; a page's own line-height still wins.
    const qreal faceLine = QFontMetricsF(font).height() / std::max(1, font.pixelSize());
    const int percent = std::max(100, qRound(100 * kLinePitchEm / faceLine));
    return QStringLiteral("body { line-height: %1%; } ").arg(percent);
}

void CHtmlView::ShowPage(const QString& html, const QString& after) {
    if (m_file.isEmpty() && after == m_after && m_page == html + after) {
        return;
    }
    const int scrolled = verticalScrollBar()->value();
    const bool samePlace = m_file.isEmpty();
    m_page = html + after;
    m_after = after;
    m_file.clear();
    m_navigated.clear();
    m_anchor.clear();
    document()->setBaseUrl(QUrl::fromLocalFile(m_programFolder));
    document()->setDefaultStyleSheet(m_leading + BodyColourSheet(html));
    SetDocumentHtml(html, after);
    if (samePlace) {
        verticalScrollBar()->setValue(scrolled); // a page shown afresh keeps its place
    }
}

void CHtmlView::Navigate(const QString& path, const QString& anchor) {
    const QString address = path + QLatin1Char('#') + anchor;
    if (address == m_navigated) {
        return; // the reader may have scrolled or followed links since: leave them there
    }
    m_navigated = address;
    Load(path, anchor);
}

void CHtmlView::Load(const QString& path, const QString& anchor) {
    if (m_file.isEmpty() || path != m_file) {
        // The viewer reads the file itself rather than through the browser's own navigation,
        // so that what it shows is always what it was last told to show.
        m_page.clear();
        m_after.clear();
        m_file = path; // relative names of the page resolve against its folder
        const QUrl url = QUrl::fromLocalFile(path);
        // The program names this page itself, so it may lie anywhere.
        const QVariant html = ReadLocal(QTextDocument::HtmlResource, path);
        if (html.isNull()) {
            m_file.clear();
            m_anchor.clear();
            clear(); // a missing page shows nothing
            return;
        }
        document()->setBaseUrl(url.adjusted(QUrl::RemoveFilename));
        SetDocumentHtml(html.toString());
    }
    ScrollToAnchor(anchor);
}

void CHtmlView::SetDocumentHtml(const QString& html, const QString& after) {
    if (!m_keepVerses) {
        setHtml(html + after);
        FitWideTables();
        return;
    }
    {
        // Bound before the first layout, the verses cost no second one.
        const CLayoutPause pause(*document());
        setHtml(html);
        JoinVerses(*document(), m_markSize);
        if (!after.isEmpty()) {
            // What follows the poem (its notes) is prose, and breaks as prose does.
            QTextCursor end(document());
            end.movePosition(QTextCursor::End);
            end.insertHtml(after);
        }
        FitWideTables();
    }
    document()->documentLayout()->documentSize(); // all of it, also what a long page defers
    LoosenLongVerses(*document());
}

void CHtmlView::ScrollToAnchor(const QString& anchor) {
    m_anchor = anchor;
    // An anchor the page does not hold leaves the page at its top, as a browser would.
    if (anchor.isEmpty() || AnchorPosition(*document(), anchor) < 0) {
        verticalScrollBar()->setValue(0);
        return;
    }
    // The anchor text is used as it stands, never percent-decoded. Before the viewer is shown
    // this waits for it to be shown, as the layout needs its size.
    scrollToAnchor(anchor);
}

void CHtmlView::ActivateLink(const QUrl& link) {
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        ScrollToAnchor(link.fragment(QUrl::FullyDecoded));
        return;
    }
    const QUrl target = Resolve(link);
    if (!target.isLocalFile() || !IsPageFile(target.toLocalFile()) ||
        !InProgramFolder(target.toLocalFile())) {
        return; // links to anything but the program's own pages are ignored
    }
    Load(target.toLocalFile(), target.fragment(QUrl::FullyDecoded));
}

QUrl CHtmlView::Resolve(const QUrl& name) const {
    if (!name.isRelative()) {
        return name;
    }
    const QUrl base =
        m_file.isEmpty() ? QUrl::fromLocalFile(m_programFolder) : QUrl::fromLocalFile(m_file);
    return base.resolved(name);
}

QVariant CHtmlView::loadResource(int type, const QUrl& name) {
    const QUrl url = Resolve(name);
    if (!url.isLocalFile()) {
        ++m_refused; // never fetched: the viewer reads local files only
        return {};
    }
    // A page from a stranger's library must not read the rest of the machine: only the
    // program's own files are handed to the document.
    if (!InProgramFolder(url.toLocalFile())) {
        ++m_refused;
        return {};
    }
    return ReadLocal(type, url.toLocalFile());
}

bool CHtmlView::InProgramFolder(const QString& path) const {
    // Compared after following links and "..", so neither leads out of the folder (or out of
    // the installed one, where the links of a user's own folder lead).
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty()) {
        return false;
    }
    for (const QString& root : {m_programFolder, m_linkedFolder}) {
        const QString folder = root.isEmpty() ? QString() : QDir(root).canonicalPath();
        if (!folder.isEmpty() &&
            (folder == QLatin1String("/") || target.startsWith(folder + QLatin1Char('/')))) {
            return true;
        }
    }
    return false;
}

QVariant CHtmlView::ReadLocal(int type, const QString& path) {
    QFile file(path);
    const QFileInfo info(file);
    if (!info.isFile()) {
        return {};
    }
    if (type == QTextDocument::ImageResource) {
        return ReadPicture(info);
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (type == QTextDocument::HtmlResource) {
        // A page about to be shown: its body colours go in before it is parsed.
        QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
        const QString html =
            decoder.isValid() ? QString(decoder.decode(bytes)) : QString::fromUtf8(bytes);
        document()->setDefaultStyleSheet(m_leading + BodyColourSheet(html));
        return html;
    }
    return bytes;
}

int CHtmlView::WrapWidth() const {
    return std::max(1, width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width());
}

void CHtmlView::resizeEvent(QResizeEvent* event) {
    // Setting the width lays the page out again: only a new width of the viewer does.
    if (const int width = WrapWidth(); width != lineWrapColumnOrWidth()) {
        setLineWrapColumnOrWidth(width);
        if (m_keepVerses) {
            ShowAgain(); // which verses are longer than a line depends on its width
        }
    }
    QTextBrowser::resizeEvent(event);
}

QMimeData* CHtmlView::createMimeDataFromSelection() const {
    if (!m_keepVerses) {
        return QTextBrowser::createMimeDataFromSelection();
    }
    // What is copied is the page's text, without the joiners that hold its verses together.
    const QTextDocumentFragment selection = textCursor().selection();
    auto* copied = new QMimeData;
    copied->setText(WithoutJoiners(selection.toPlainText()));
    copied->setHtml(WithoutJoiners(selection.toHtml()));
    return copied;
}

QVariant CHtmlView::ReadPicture(const QFileInfo& info) {
    // Every page of the reader shows the same background picture: it is decoded once, in the
    // pixel format the screen paints without converting, and decoded again only when the file
    // changes.
    const QDateTime modified = info.lastModified();
    if (info.absoluteFilePath() != m_picturePath || modified != m_pictureModified ||
        info.size() != m_pictureSize) {
        QImage picture(info.absoluteFilePath());
        if (picture.isNull()) {
            return {};
        }
        m_picture = picture.convertToFormat(
            picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        m_picturePath = info.absoluteFilePath();
        m_pictureModified = modified;
        m_pictureSize = info.size();
    }
    return m_picture;
}

void CHtmlView::FitWideTables() {
    const qreal room = lineWrapColumnOrWidth() - 2 * document()->documentMargin();
    ForEachTable(document()->rootFrame(), [room](QTextTable* table) {
        QTextTableFormat format = table->format();
        const QTextLength width = format.width();
        if (width.type() == QTextLength::FixedLength && width.rawValue() > room) {
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            table->setFormat(format);
        }
    });
}

bool CHtmlView::HasBackgroundPicture() const {
    return document()->rootFrame()->frameFormat().background().style() == Qt::TexturePattern;
}

int CHtmlView::AnchorY(const QString& anchor) const {
    const int position = AnchorPosition(*document(), anchor);
    if (position < 0) {
        return -1;
    }
    const QTextBlock block = document()->findBlock(position);
    const QRectF blockRect = document()->documentLayout()->blockBoundingRect(block);
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    return qRound(blockRect.top() + (line.isValid() ? line.y() : 0));
}

int CHtmlView::WidestTable() const {
    int widest = 0;
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    ForEachTable(document()->rootFrame(), [&widest, layout](QTextTable* table) {
        widest = std::max(widest, qRound(layout->frameBoundingRect(table).width()));
    });
    return widest;
}

void CHtmlView::paintEvent(QPaintEvent* event) {
    // The body's background picture covers the whole viewer, also below a short page, and
    // scrolls with the page as the document draws it.
    const QBrush background = document()->rootFrame()->frameFormat().background();
    if (background.style() != Qt::NoBrush) {
        QPainter painter(viewport());
        painter.setBrushOrigin(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
        painter.fillRect(event->rect(), background);
    }
    QTextBrowser::paintEvent(event);
}

// ---- CHtmlViewRecord ----------------------------------------------------------------------

bool SplitNavigationUrl(const QString& url, const QString& folder, QString& path, QString& anchor) {
    const QString fileScheme = QStringLiteral("file://");
    QString rest;
    if (url.startsWith(fileScheme, Qt::CaseInsensitive)) {
        rest = url.mid(fileScheme.size());
        if (rest.startsWith(QLatin1String("localhost/"), Qt::CaseInsensitive)) {
            rest = rest.mid(9);
        }
    } else if (QUrl(url).scheme().size() > 1) {
        return false; // http:, ftp:, about: ... are not local files
    } else {
        rest = url;
    }
    // The anchor starts at the first "#" that ends the name of an existing file; a "#" inside
    // a folder's name stays in the path. Without such a file, it is the first "#" after the
    // last "/".
    qsizetype split = -1;
    for (qsizetype at = rest.indexOf(QLatin1Char('#')); at >= 0;
         at = rest.indexOf(QLatin1Char('#'), at + 1)) {
        if (QFileInfo(AbsolutePath(rest.left(at), folder)).isFile()) {
            split = at;
            break;
        }
    }
    if (split < 0) {
        split = rest.indexOf(QLatin1Char('#'), rest.lastIndexOf(QLatin1Char('/')) + 1);
    }
    path = AbsolutePath(split < 0 ? rest : rest.left(split), folder);
    anchor = split < 0 ? QString() : rest.mid(split + 1);
    return !rest.isEmpty();
}
