// An arbitrary index and data file pair: opened, every selection run, every text read and every
// page composed. Nothing may crash, read out of bounds, or leak.

#include "fuzz/FuzzSupport.h"
#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"
#include "reading/page/PoemPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzzing::Quiet quiet;
    fuzzing::EmptyFolder();
    const auto [index, rest] = fuzzing::Split(data, size);
    // The keyword comes from the last bytes, as typed text.
    const std::string_view keywordBytes =
        rest.substr(rest.size() - std::min<std::size_t>(rest.size(), 4));
    fuzzing::WriteFile("kavro.idx", index);
    fuzzing::WriteFile("kavro.dat", rest);
    CPoemLibrary library(CString::FromUtf8(fuzzing::Folder()));
    const bool opened = static_cast<bool>(library.Open());
    const CString keyword = CodePage::Decode(keywordBytes.data(), keywordBytes.size());
    for (int field = -1; field <= 6; ++field) {
        const unsigned found = library.Select(keyword.GetString(), static_cast<SelectField>(field));
        if (found > library.m_nCount) {
            __builtin_trap();
        }
    }
    library.Select(nullptr, SEL_ALL);
    (void)library.GetName();
    (void)library.GetVersion();
    (void)library.GetDate();
    if (opened) {
        const std::span<const PoemRecord> records = library.GetRecords();
        for (std::size_t i = 0; i < records.size() && i < 64; ++i) {
            CString text;
            library.ReadText(&records[i], text);
            (void)ComposePoemPage(library, records[i], PageSettings{});
        }
    }
    return 0;
}
