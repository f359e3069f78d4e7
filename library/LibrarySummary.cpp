#include "library/LibrarySummary.h"

#include "library/PoemLibrary.h"

CString LibrarySummary(const CPoemLibrary* library) {
    if (library == nullptr) {
        return u" ";
    }
    // The label lines keep their two trailing blanks: the text is right-aligned and they keep
    // the labels clear of the edge.
    CString head;
    head.Format(u"%s 诗词库\n%s 版本  \n%s 作者  \n", library->GetName(), library->GetVersion(),
                library->GetAuthor());
    CString tail;
    tail.Format(u"%s 时间  \n%d 首诗词", library->GetDate(), library->GetStatedCount());
    return head + tail;
}
