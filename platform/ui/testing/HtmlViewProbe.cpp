#include "platform/ui/testing/HtmlViewProbe.h"

#include "platform/ui/qt/HtmlView.h"
#include "platform/ui/qt/QtText.h"

#include <QImage>
#include <QTextDocument>

namespace UiTesting {

CHtmlViewProbe::CHtmlViewProbe(const CString& folder, const CString& linkedFolder)
    : m_view(std::make_unique<CHtmlView>(nullptr, ToQString(folder), ToQString(linkedFolder))) {}

CHtmlViewProbe::~CHtmlViewProbe() = default;

std::optional<CSize> CHtmlViewProbe::Picture(const CString& name) {
    const QVariant resource =
        m_view->loadResource(QTextDocument::ImageResource, QUrl(ToQString(name)));
    if (!resource.isValid()) {
        return std::nullopt;
    }
    const QSize size = resource.value<QImage>().size();
    return CSize(size.width(), size.height());
}

int CHtmlViewProbe::RefusedRequests() const {
    return m_view->RefusedRequests();
}

} // namespace UiTesting
