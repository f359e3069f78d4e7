#include "platform/ui/HtmlControl.h"

#include "platform/core/SplitPath.h"
#include "platform/ui/UiConstants.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/qt/HtmlView.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/testing/HtmlViewTesting.h"

#include <algorithm>
#include <memory>

namespace {

bool& HtmlClassRegistered() {
    static bool registered = false;
    return registered;
}

// The executable's folder, ending in '/': relative names of pages given as text resolve there.
QString ProgramFolder() {
    return ToQString(SplitPath(AfxGetModuleFileName()).folder);
}

} // namespace

BOOL InitHTMLControl(HINSTANCE) {
    if (UiTesting::CurrentHtmlViewFailure() == UiTesting::HtmlViewFailure::Init) {
        return FALSE;
    }
    HtmlClassRegistered() = true;
    return TRUE;
}

HINSTANCE AfxGetInstanceHandle() {
    // One program, one module: any fixed non-null value stands for it. It is never dereferenced.
    constexpr std::uintptr_t kModuleBase = 0x10000;
    return reinterpret_cast<HINSTANCE>(kModuleBase);
}

HWND CreateWindowEx(DWORD, const char16_t* className, const char16_t*, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE, void*) {
    if (className == nullptr || CString(className) != kHtmlViewClass || !HtmlClassRegistered() ||
        UiTesting::CurrentHtmlViewFailure() == UiTesting::HtmlViewFailure::Create) {
        return nullptr;
    }
    CWindowRecord* parentRecord = CWindowRecord::FromHandle(parent);
    if ((style & WS_CHILD) == 0 || parentRecord == nullptr || parentRecord->Widget() == nullptr) {
        return nullptr;
    }
    const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(menu));
    const QRect rect(x, y, std::max(0, width), std::max(0, height));
    auto viewer =
        std::make_unique<CHtmlViewRecord>(id, parentRecord, parentRecord->Widget(), rect, style,
                                          ProgramFolder(), ToQString(AfxGetInstalledFolder()));
    return parentRecord->AddChild(std::move(viewer))->Handle();
}
