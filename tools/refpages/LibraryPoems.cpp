#include "tools/refpages/LibraryPoems.h"

#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"

namespace {

std::string Field(const char* field, std::size_t width) {
    return CodePage::Decode(field, width).ToUtf8();
}

} // namespace

bool CollectPoems(CPoemLibrary& library, std::vector<refpages::Poem>& poems) {
    const std::span<const PoemRecord> records = library.GetRecords();
    if (!library.IsOpen()) {
        return false;
    }
    for (const PoemRecord& r : records) {
        CString text;
        library.ReadText(&r, text);
        poems.push_back({Field(r.title, sizeof r.title), Field(r.author, sizeof r.author),
                         Field(r.dynasty, sizeof r.dynasty), Field(r.form, sizeof r.form),
                         text.ToUtf8()});
    }
    return true;
}
