// The one-pass full-text scan against searching each record's own text: texts that overlap,
// share bytes, hold a zero byte or run past the end of the data, records out of file order, and
// a library large enough for the scan to share its work with a second thread.

#include "library/TextScan.h"
#include "library/ByteSearch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

PoemRecord Record(std::uint32_t offset, std::uint32_t length) {
    PoemRecord record{};
    record.offset = offset;
    record.length = length;
    return record;
}

// What reading each text and searching it finds.
std::vector<std::uint32_t> OneByOne(const std::vector<PoemRecord>& records, const std::string& data,
                                    const std::string& needle) {
    std::vector<std::uint32_t> found;
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        const std::size_t start = std::min<std::size_t>(records[i].offset, data.size());
        const std::size_t size = std::min<std::size_t>(records[i].length, data.size() - start);
        const char* text = data.data() + start;
        if (ByteSearch::ContainsAtCharacter(text, ByteSearch::TextLength(text, size), needle)) {
            found.push_back(i);
        }
    }
    return found;
}

// Texts of two-byte characters (明 月 光 and an ASCII comma), some with a zero byte inside.
std::string RandomData(std::mt19937& random, std::size_t characters) {
    const std::vector<std::string> pieces = {"\xC3\xF7", "\xD4\xC2", "\xB9\xE2", ",",
                                             std::string(1, '\0')};
    std::string data;
    for (std::size_t i = 0; i < characters; ++i) {
        data += pieces[random() % (random() % 50 == 0 ? 5 : 4)];
    }
    return data;
}

// Records over `data` in random places and lengths: overlapping, out of order, a few starting
// or ending past its end.
std::vector<PoemRecord> RandomRecords(std::mt19937& random, std::size_t count,
                                      std::size_t dataSize) {
    std::vector<PoemRecord> records;
    for (std::size_t i = 0; i < count; ++i) {
        const auto offset = static_cast<std::uint32_t>(random() % (dataSize + 8));
        records.push_back(Record(offset, static_cast<std::uint32_t>(random() % 40)));
    }
    return records;
}

TEST(TextScanTest, FindsWhatSearchingEachTextFinds) {
    std::mt19937 random(18);
    // 月 and 月光 on a character; "\xF7\xD4" is the second half of 明 and the first of 月,
    // which a text never holds on a character.
    for (const std::string needle : {"\xD4\xC2", "\xD4\xC2\xB9\xE2", "\xF7\xD4", ","}) {
        for (int round = 0; round < 200; ++round) {
            const std::string data = RandomData(random, 200);
            const std::vector<PoemRecord> records = RandomRecords(random, 60, data.size());
            const auto found = TextScan::FindInTexts(records, data, needle);
            ASSERT_TRUE(found.has_value());
            ASSERT_EQ(*found, OneByOne(records, data, needle)) << "round " << round;
        }
    }
}

TEST(TextScanTest, ALargeLibraryFindsTheSameInRecordOrder) {
    // Enough records for a second thread to gather the texts' places and check half of them.
    std::mt19937 random(19);
    const std::string data = RandomData(random, 400000);
    const std::vector<PoemRecord> records = RandomRecords(random, 120000, data.size());
    for (const std::string needle : {"\xD4\xC2\xB9\xE2", "\xF7\xD4"}) {
        const auto found = TextScan::FindInTexts(records, data, needle);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(*found, OneByOne(records, data, needle));
    }
}

TEST(TextScanTest, NoRecordsOrNoTextFindNothing) {
    const std::string data = "\xD4\xC2\xD4\xC2";
    EXPECT_EQ(TextScan::FindInTexts({}, data, "\xD4\xC2"), std::vector<std::uint32_t>{});
    const std::vector<PoemRecord> records = {Record(0, 0), Record(4, 10), Record(90, 2)};
    EXPECT_EQ(TextScan::FindInTexts(records, data, "\xD4\xC2"), std::vector<std::uint32_t>{});
}

} // namespace
