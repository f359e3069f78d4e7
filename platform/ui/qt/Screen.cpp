#include "platform/ui/qt/Screen.h"

#include "platform/core/Services.h"
#include "platform/ui/ScreenGeometry.h"
#include "platform/ui/qt/Fonts.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/StyleCache.h"
#include "platform/ui/qt/Translations.h"
#include "platform/ui/testing/UiTesting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetricsF>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

void Report(const UiTesting::ScreenEvent& event) {
    if (UiTesting::IObserver* observer = UiTesting::Observer()) {
        observer->OnScreenEvent(event);
    }
}

UiTesting::ScreenEvent EventOf(const CModalRun& run, bool opened) {
    UiTesting::ScreenEvent event{};
    event.caption = run.Content().Caption();
    event.result = run.Result();
    run.Content().Describe(event, opened);
    return event;
}

// The bar's colours: a deep ink-blue band, paper-coloured writing, a seal-red "ok".
const QColor kBarTop(0x2c, 0x3e, 0x57);
const QColor kBarBottom(0x16, 0x22, 0x2f);
const QColor kBarText(0xf4, 0xec, 0xd8);
const QColor kSealRed(0x8f, 0x2a, 0x1c);
const QColor kSealPressed(0x5e, 0x1a, 0x10);
const QColor kSealEdge(0xd9, 0xb3, 0x8c);

// The bar's "ok": a small seal-red button, painted here rather than by a style sheet, which
// would cost the start-up a style of its own.
class CBarButton : public QAbstractButton {
public:
    CBarButton(const QString& text, QWidget* parent) : QAbstractButton(parent) { setText(text); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(kSealEdge);
        painter.setBrush(isDown() ? kSealPressed : kSealRed);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        painter.setPen(kBarText);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

// The caption of the screen in front, in bold: the bar's face struck twice, half a pixel apart.
// The face has no bold of its own; asked for one, Qt would make a second font of it, glyph by
// glyph, and the start-up would pay a font more (about 4 million instructions) for one word.
// Where the face's own bitmaps draw it, black on whole pixels, a second strike would fill the
// counters of its Latin letters: they stand out from the band as they are, and are struck once.
class CBarCaption : public QLabel {
public:
    explicit CBarCaption(QWidget* parent) : QLabel(parent) {
        setObjectName(QStringLiteral("caption"));
        setTextFormat(Qt::PlainText);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        static constexpr qreal kStrikeApart = 0.5;
        QPainter painter(this);
        painter.setPen(kBarText);
        const QFontMetricsF metrics(font());
        // Centred down the bar as one line of text, the way a label centres it.
        const qreal baseline = (height() - metrics.height()) / 2 + metrics.ascent();
        painter.drawText(QPointF(0, baseline), text());
        if (!DrawsFaceBitmaps(font())) {
            painter.drawText(QPointF(kStrikeApart, baseline), text());
        }
    }
};

// The bar along the top: the caption of the screen in front and its "ok".
class CScreenBar : public QWidget {
public:
    CScreenBar(QWidget* parent, QLabel*& caption) : QWidget(parent) {
        setObjectName(QStringLiteral("bar"));
        setGeometry(0, 0, kScreenWidth, kBarHeight);
        caption = new CBarCaption(this);
        caption->setGeometry(6, 0, kScreenWidth - 50, kBarHeight);
        auto* ok = new CBarButton(QStringLiteral("ok"), this);
        ok->setObjectName(QStringLiteral("ok"));
        ok->setGeometry(kScreenWidth - 38, 4, 32, kBarHeight - 8);
        ok->setFocusPolicy(Qt::NoFocus);
        QObject::connect(ok, &QAbstractButton::clicked, ok,
                         [] { CScreen::Instance().Command(IDOK); });
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient band(0, 0, 0, height());
        band.setColorAt(0, kBarTop);
        band.setColorAt(1, kBarBottom);
        painter.fillRect(rect(), band);
    }
};

// The 240 x 320 screen: the bar and the client area. Esc and Enter that no control took end
// up here.
class CScreenSurface : public QWidget {
public:
    CScreenSurface(QLabel*& caption, QWidget*& client) {
        setFixedSize(kScreenWidth, kScreenHeight);
        setFont(MakeFont(u"宋体", 90));
        new CScreenBar(this, caption);
        client = new QWidget(this);
        client->setObjectName(QStringLiteral("client"));
        client->setGeometry(0, kBarHeight, kClientWidth, kClientHeight);
        client->setAutoFillBackground(true);
        QPalette palette = client->palette();
        palette.setColor(QPalette::Window, QColor(0xf4, 0xec, 0xd8));
        client->setPalette(palette);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
        case Qt::Key_Escape:
            CScreen::Instance().Command(IDCANCEL);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            CScreen::Instance().PressEnter();
            break;
        default:
            QWidget::keyPressEvent(event);
        }
    }
};

// The top-level window: the screen scaled by the zoom. Closing it ends every open screen
// instead of destroying anything at once.
class CScreenView : public QGraphicsView {
public:
    CScreenView(QWidget* surface, int zoom) {
        auto* scene = new QGraphicsScene(this);
        QGraphicsProxyWidget* proxy = scene->addWidget(surface);
        scene->setSceneRect(0, 0, kScreenWidth, kScreenHeight);
        setScene(scene);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        setTransform(QTransform::fromScale(zoom, zoom));
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setFixedSize(kScreenWidth * zoom, kScreenHeight * zoom);
        scene->setFocusItem(proxy);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        CScreen::Instance().CloseWindow();
    }
};

int DesktopZoom() {
    if (const int forced = UiTesting::ZoomOverride(); forced > 0) {
        return forced;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 1;
    }
    const QRect free = screen->availableGeometry();
    return ChooseZoom(free.width(), free.height());
}

} // namespace

// ---- CPanelRun ----------------------------------------------------------------------------

CPanelRun::CPanelRun(QWidget* panel, CString caption)
    : m_panel(panel), m_caption(std::move(caption)) {}

CPanelRun::~CPanelRun() {
    Dismantle();
}

void CPanelRun::Dismantle() {
    delete m_panel.data();
}

// ---- CModalRun ----------------------------------------------------------------------------

CModalRun::CModalRun(CRunContent& content) : m_content(content) {
    CScreen::Instance().Push(*this);
    m_content.Begin(*this);
}

CModalRun::~CModalRun() {
    m_content.Dismantle();
    CScreen::Instance().Pop(*this);
}

int CModalRun::Exec(int unwound) {
    if (!m_ended) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_loop = nullptr;
    }
    if (!m_ended) {
        End(unwound);
    }
    return m_result;
}

void CModalRun::End(int result) {
    m_result = result;
    m_ended = true;
    if (m_loop != nullptr) {
        m_loop->exit(0);
    }
}

// ---- CScreen ------------------------------------------------------------------------------

CScreen& CScreen::Instance() {
    static CScreen screen;
    return screen;
}

QWidget* CScreen::Window() const {
    return m_view;
}

QWidget* CScreen::ClientArea() {
    if (!m_view) {
        OpenWindow();
    }
    return m_client;
}

void CScreen::OpenWindow() {
    // Qt's own pieces on the screen (the colour chooser, an edit's menu) speak Chinese too.
    InstallChineseTranslations();
    TurnOffStylePixmapCache();
    m_zoom = DesktopZoom();
    SetScreenZoom(m_zoom);
    QLabel* caption = nullptr;
    QWidget* client = nullptr;
    auto* surface = new CScreenSurface(caption, client);
    m_surface = surface;
    m_caption = caption;
    m_client = client;
    m_view = new CScreenView(surface, m_zoom);
    m_view->setWindowTitle(ToQString(AfxGetAppName()));
    if (!m_icon.isNull()) {
        m_view->setWindowIcon(m_icon);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        m_view->move(free.center() - QPoint(m_view->width() / 2, m_view->height() / 2));
    }
    m_view->show();
}

void CScreen::CloseWindowNow() {
    // Only the outermost run's end gets here, outside every event of the window's widgets.
    delete m_view.data();
    m_closing = false;
}

void CScreen::Push(CModalRun& run) {
    ClientArea();
    m_runs.push_back(&run);
    ShowFront();
    Report(EventOf(run, true));
}

void CScreen::Pop(CModalRun& run) {
    std::erase(m_runs, &run);
    Report(EventOf(run, false));
    if (m_runs.empty()) {
        CloseWindowNow();
        return;
    }
    ShowFront();
    if (m_closing) {
        // The screen below gets its turn to end once control is back in its own loop.
        QTimer::singleShot(0, qApp, [] { CScreen::Instance().EndFront(); });
    }
}

void CScreen::ShowFront() {
    if (!m_view) {
        return;
    }
    // The topmost screen shows; boxes and panels show over it when they are above it.
    size_t topScreen = 0;
    bool hasScreen = false;
    for (size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i]->Content().IsScreen()) {
            topScreen = i;
            hasScreen = true;
        }
    }
    for (size_t i = 0; i < m_runs.size(); ++i) {
        const CRunContent& content = m_runs[i]->Content();
        QWidget* widget = content.Widget();
        if (widget == nullptr) {
            continue;
        }
        const bool visible = content.IsScreen() ? (i == topScreen) : (!hasScreen || i > topScreen);
        widget->setVisible(visible);
        if (visible) {
            widget->raise();
        }
    }
    CModalRun* front = Front();
    if (m_caption) {
        m_caption->setText(front != nullptr ? ToQString(front->Content().Caption()) : QString());
    }
    QWidget* frontWidget = front != nullptr ? front->Content().Widget() : nullptr;
    if (frontWidget != nullptr && !frontWidget->hasFocus() &&
        !frontWidget->isAncestorOf(QApplication::focusWidget())) {
        frontWidget->setFocus(Qt::OtherFocusReason);
    }
}

void CScreen::CloseWindow() {
    if (m_runs.empty() || m_closing) {
        return;
    }
    m_closing = true;
    EndFront();
}

CModalRun* CScreen::LiveFront() const {
    CModalRun* front = Front();
    return front != nullptr && !front->HasEnded() ? front : nullptr;
}

void CScreen::EndFront() {
    if (CModalRun* front = LiveFront()) {
        front->Content().Close(*front);
    }
}

void CScreen::Command(int id) {
    if (CModalRun* front = LiveFront()) {
        front->Content().Command(*front, id);
    }
}

void CScreen::PressEnter() {
    if (CModalRun* front = LiveFront()) {
        front->Content().PressEnter(*front);
    }
}

void CScreen::SetIcon(const QIcon& icon) {
    m_icon = icon;
    if (m_view) {
        m_view->setWindowIcon(icon);
    }
    QApplication::setWindowIcon(icon);
}

CString BarCaption(const CString& templateCaption) {
    return templateCaption.IsEmpty() ? AfxGetAppName() : templateCaption;
}
