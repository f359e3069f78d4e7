#include "platform/ui/qt/SheetRecord.h"

#include "platform/ui/ScreenGeometry.h"
#include "platform/ui/qt/QtText.h"

#include <algorithm>

namespace {

// The selected tab joins the white page above it; the others sit back in the paper colour of
// the screen.
QString TabStyle(int tabWidth) {
    return QStringLiteral("QTabBar { background: #f4ecd8; }"
                          "QTabBar::tab { width: %1px; height: %2px; margin: 0px; padding: 0px;"
                          " color: #5a4a3a; background: #e8dcc0; border: 1px solid #b8a888;"
                          " border-top: none; }"
                          "QTabBar::tab:selected { color: #16222f; background: white;"
                          " font-weight: bold; border-color: #8f2a1c; }")
        .arg(tabWidth - 2)
        .arg(kSheetTabHeight - 1);
}

} // namespace

CSheetRecord::CSheetRecord(const std::vector<CString>& captions, QWidget* area,
                           std::function<void(int)> onTabChosen)
    : COwningRecord(0, nullptr), m_onTabChosen(std::move(onTabChosen)) {
    const int width = area != nullptr ? area->width() : 0;
    const int height = area != nullptr ? area->height() : 0;
    auto* widget = new QWidget(area);
    widget->setObjectName(QStringLiteral("sheet"));
    widget->setGeometry(0, 0, width, height);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    SetWidget(widget);

    const int pageHeight = std::max(0, height - kSheetTabHeight);
    m_pageArea = new QWidget(widget);
    m_pageArea->setObjectName(QStringLiteral("pages"));
    m_pageArea->setGeometry(0, 0, width, pageHeight);

    m_tabs = new QTabBar(widget);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(false);
    m_tabs->setFocusPolicy(Qt::NoFocus);
    for (const CString& caption : captions) {
        m_tabs->addTab(ToQString(caption));
    }
    const int tabWidth = captions.empty() ? width : width / static_cast<int>(captions.size());
    m_tabs->setStyleSheet(TabStyle(tabWidth));
    m_tabs->setGeometry(0, pageHeight, width, kSheetTabHeight);
    QObject::connect(m_tabs, &QTabBar::currentChanged, m_tabs, [this](int index) {
        if (!m_showing && !IsDestroying() && index >= 0 && m_onTabChosen) {
            m_onTabChosen(index);
        }
    });
}

CSheetRecord::~CSheetRecord() {
    BeginDestruction();
}

void CSheetRecord::ShowTab(int index) {
    if (!m_tabs || m_tabs->currentIndex() == index) {
        return;
    }
    m_showing = true;
    m_tabs->setCurrentIndex(index);
    m_showing = false;
}
