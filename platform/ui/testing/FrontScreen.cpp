#include "platform/ui/testing/FrontScreen.h"

#include "platform/ui/qt/HtmlView.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/Resources.h"
#include "platform/ui/testing/FrontRuns.h"

#include <QImage>
#include <QLabel>

namespace UiTesting {
namespace {

using namespace detail;

COLORREF ToColorRef(const QColor& colour) {
    return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()),
               static_cast<BYTE>(colour.blue()));
}

} // namespace

bool IsDialogInFront() {
    return FrontDialog() != nullptr;
}

UINT FrontTemplate() {
    CDialogRecord* dialog = FrontDialog();
    return dialog != nullptr ? dialog->Template().id : 0u;
}

CWindowObject* FrontWindowObject() {
    CDialogRecord* dialog = FrontDialog();
    return dialog != nullptr ? dialog->Object() : nullptr;
}

std::optional<MessageBoxInfo> FrontBox() {
    const CBoxRun* box = FrontBoxRun();
    return box != nullptr ? std::optional<MessageBoxInfo>(box->Shown()) : std::nullopt;
}

std::optional<std::vector<MenuItem>> FrontMenu() {
    const CMenuPanel* panel = FrontMenuPanel();
    return panel != nullptr ? std::optional<std::vector<MenuItem>>(panel->Items()) : std::nullopt;
}

CString BarCaption() {
    QWidget* surface = CScreen::Instance().Surface();
    QLabel* caption =
        surface != nullptr ? surface->findChild<QLabel*>(QStringLiteral("caption")) : nullptr;
    return caption != nullptr ? FromQString(caption->text()) : CString();
}

bool ControlExists(int id) {
    return FrontControl(id) != nullptr;
}

CString ControlText(int id) {
    CWindowRecord* control = FrontControl(id);
    return control != nullptr ? control->Text() : CString();
}

bool IsControlEnabled(int id) {
    CWindowRecord* control = FrontControl(id);
    return control != nullptr && control->Widget() != nullptr && control->Widget()->isEnabled();
}

HWND FrontHtmlView() {
    CDialogRecord* dialog = FrontDialog();
    if (dialog == nullptr) {
        return nullptr;
    }
    for (const auto& child : dialog->Children()) {
        if (dynamic_cast<CHtmlViewRecord*>(child.get()) != nullptr) {
            return child->Handle();
        }
    }
    return nullptr;
}

CSize WindowSize() {
    const QWidget* window = CScreen::Instance().Window();
    return window != nullptr ? CSize(window->width(), window->height()) : CSize();
}

bool SaveScreenshot(const std::string& path) {
    QWidget* surface = CScreen::Instance().Surface();
    return surface != nullptr && surface->grab().save(QString::fromStdString(path), "PNG");
}

COLORREF ClientPixel(int x, int y) {
    QWidget* dialog = FrontDialogWidget();
    return dialog != nullptr ? ToColorRef(dialog->grab().toImage().pixelColor(x, y)) : 0;
}

void PaintFront() {
    if (QWidget* dialog = FrontDialogWidget()) {
        dialog->grab();
    }
}

std::optional<COLORREF> BitmapPixel(UINT id, int x, int y) {
    const QImage image = LoadBitmapResource(id);
    if (!image.valid(x, y)) {
        return std::nullopt;
    }
    return ToColorRef(image.pixelColor(x, y));
}

} // namespace UiTesting
