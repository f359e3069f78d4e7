#pragma once
// A viewer alone, with no dialog around it, to ask which files of the program folder a page
// would be given: the folder's own, and, on a user's own program folder, the installed files its
// links lead to. The program itself never makes one.

#include "platform/core/CString.h"
#include "platform/ui/Geometry.h"

#include <memory>
#include <optional>

class CHtmlView;

namespace UiTesting {

class CHtmlViewProbe {
public:
    // `folder` and `linkedFolder` end with '/'; an empty `linkedFolder` lets no link lead out.
    explicit CHtmlViewProbe(const CString& folder, const CString& linkedFolder = CString());
    ~CHtmlViewProbe();
    CHtmlViewProbe(const CHtmlViewProbe&) = delete;
    CHtmlViewProbe& operator=(const CHtmlViewProbe&) = delete;

    // The size of the picture a page asking for `name` is given; nothing when it is refused.
    std::optional<CSize> Picture(const CString& name);
    // How many requests were refused so far.
    int RefusedRequests() const;

private:
    std::unique_ptr<CHtmlView> m_view;
};

} // namespace UiTesting
