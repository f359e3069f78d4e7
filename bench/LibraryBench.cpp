// Times the library's own operations on a synthetic library of 100,000 poems:
// Open, SEL_ALL, a title selection and a full-text selection, and the memory per poem.

#include "bench/Measure.h"
#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"
#include "platform/core/Services.h"
#include "settings/Settings.h"
#include "tests/common/TestLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

using Bench::MedianMs;
using Bench::ResidentBytes;

constexpr std::uint32_t kPoems = 100000;

// A plausible poem: 4 or 8 lines of 5 or 7 characters drawn from common characters.
std::u16string Characters() {
    return u"春花秋月何时了往事知多少小楼昨夜又东风故国不堪回首明中山水云天地人风雨雪江河湖海"
           u"青白红黄长短高低远近来去南北东西日夜朝暮寒暑花草木竹松柏梅兰菊归心情思愁别离相逢";
}

std::u16string Line(std::mt19937& random, int length) {
    static const std::u16string pool = Characters();
    std::u16string line;
    for (int i = 0; i < length; ++i) {
        line += pool[random() % pool.size()];
    }
    return line;
}

void MakeLibrary(const testing_support::TempFolder& folder) {
    std::mt19937 random(2026);
    std::ofstream index(folder.File("kavro.idx"), std::ios::binary);
    std::ofstream data(folder.File("kavro.dat"), std::ios::binary);
    LibraryHeader header = testing_support::MakeHeader("基准", "bench", 10000, 20261207);
    header.count = kPoems;
    index.write(reinterpret_cast<const char*>(&header), sizeof header);
    std::uint32_t offset = 0;
    for (std::uint32_t i = 0; i < kPoems; ++i) {
        const int width = random() % 2 ? 5 : 7;
        const int lines = random() % 2 ? 4 : 8;
        std::u16string text;
        for (int l = 0; l < lines; ++l) {
            text += Line(random, width) + u"，\r\n";
        }
        std::string bytes = CodePage::Encode(text);
        bytes += '\0';
        PoemRecord record{};
        const std::string title = CodePage::Encode(Line(random, 2 + random() % 5));
        const std::string author = CodePage::Encode(Line(random, 2 + random() % 2));
        std::memcpy(record.title, title.data(), title.size());
        std::memcpy(record.author, author.data(), author.size());
        std::memcpy(record.dynasty, "\xCC\xC6\xB4\xFA", 4); // 唐代
        std::memcpy(record.form, "\xC6\xDF\xD1\xD4", 4);    // 七言
        record.offset = offset;
        record.length = static_cast<std::uint32_t>(bytes.size());
        offset += record.length;
        index.write(reinterpret_cast<const char*>(&record), sizeof record);
        data.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
}

} // namespace

int main() {
    CRecordingMessageBox boxes;
    ScopedService<IMessageBoxService> quiet(boxes);
    testing_support::TempFolder folder;
    MakeLibrary(folder);
    g_strAppPath = CString::FromUtf8(folder.Folder());

    const double open = MedianMs(7, [] { CPoemLibrary(g_strAppPath).Open(); });

    const std::size_t residentBefore = ResidentBytes();
    CPoemLibrary library(g_strAppPath);
    if (!library.Open()) {
        std::fprintf(stderr, "the synthetic library did not open\n");
        return 1;
    }
    library.Select(nullptr, SEL_ALL); // the result buffer holds memory once it is filled
    const std::size_t residentAfter = ResidentBytes();

    unsigned found = 0;
    const double all = MedianMs(7, [&] { found = library.Select(nullptr, SEL_ALL); });
    const double title = MedianMs(7, [&] { found = library.Select(u"春", SEL_TITLE); });
    const unsigned titleFound = found;
    const double fullText = MedianMs(5, [&] { found = library.Select(u"明月", SEL_FULLTEXT); });

    std::printf("library of %u poems (median of several runs)\n", kPoems);
    std::printf("  Open                     %9.2f ms\n", open);
    std::printf("  Select SEL_ALL           %9.2f ms\n", all);
    std::printf("  Select title \"春\"        %9.2f ms  (%u found)\n", title, titleFound);
    std::printf("  Select full text \"明月\"  %9.2f ms  (%u found)\n", fullText, found);
    std::printf("  memory per poem          %9.1f bytes\n",
                static_cast<double>(residentAfter - residentBefore) / kPoems);
    return 0;
}
