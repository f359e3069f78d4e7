#pragma once
// The window of a property sheet: a widget that fills the screen's client area, with the area
// the pages fill and the row of tabs below it. Choosing a tab only reports the choice; the sheet
// decides which page shows.

#include "platform/core/CString.h"
#include "platform/ui/qt/WindowRecord.h"

#include <QPointer>
#include <QTabBar>
#include <QWidget>

#include <functional>
#include <vector>

class CSheetRecord : public COwningRecord {
public:
    CSheetRecord(const std::vector<CString>& captions, QWidget* area,
                 std::function<void(int)> onTabChosen);
    ~CSheetRecord() override;

    // Where the pages go: their windows are made as children of it, filling it.
    QWidget* PageArea() const { return m_pageArea; }
    // Marks tab `index` as the current one without reporting it as a choice.
    void ShowTab(int index);

private:
    QPointer<QWidget> m_pageArea;
    QPointer<QTabBar> m_tabs;
    std::function<void(int)> m_onTabChosen;
    bool m_showing = false;
};
