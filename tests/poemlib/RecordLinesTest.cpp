// The lines list and search print: each field decoded as the library decodes it, whatever bytes
// follow its end, however often a poet, dynasty or form repeats from one line to the next.

#include "tools/poemlib/RecordLines.h"
#include "platform/core/CodePage.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// Fields of a few random characters, some of them not valid (a lead byte alone, bytes no
// character has), now and then filling the whole field without a zero.
class RandomFields {
public:
    template <std::size_t Width> void Fill(char (&field)[Width]) {
        static const std::string alphabet("\xC0\xEE\xB0\xD7\xB6\xC5\xB8\xA6\x81\x80\xFF\xFE"
                                          "a7",
                                          14);
        std::memset(field, 0, Width);
        const std::size_t size = m_random() % 8 == 0 ? Width : m_random() % 7;
        for (std::size_t i = 0; i < size; ++i) {
            field[i] = alphabet[m_random() % alphabet.size()];
        }
        // What follows the end of the text is not part of it.
        for (std::size_t i = size + 1; i < Width; ++i) {
            field[i] = static_cast<char>(m_random());
        }
    }
    bool OneIn(unsigned n) { return m_random() % n == 0; }

private:
    std::mt19937 m_random{124};
};

std::string Text(const char* field, std::size_t width) {
    return CodePage::Decode(field, width).ToUtf8();
}

std::string LineOf(std::uint32_t number, const PoemRecord& record) {
    return std::to_string(number) + "\t" + Text(record.title, sizeof record.title) + "\t" +
           Text(record.author, sizeof record.author) + "\t" +
           Text(record.dynasty, sizeof record.dynasty) + "\t" +
           Text(record.form, sizeof record.form) + "\n";
}

TEST(RecordLinesTest, EachLineIsWhatDecodingEachFieldGivesWhenNeighboursShareFields) {
    RandomFields fields;
    PoemRecord record{};
    std::string expected;
    testing::internal::CaptureStdout();
    poemlib::LibraryLabel label{"全唐诗", "/a/全唐诗.idx"};
    poemlib::RecordLines lines(false, &label);
    for (std::uint32_t number = 1; number <= 3000; ++number) {
        fields.Fill(record.title);
        // The poet, dynasty and form mostly stay, sometimes with other bytes after their end.
        if (fields.OneIn(4)) {
            fields.Fill(record.author);
        } else if (fields.OneIn(4)) {
            record.author[sizeof record.author - 1] ^= 1;
        }
        if (fields.OneIn(9)) {
            fields.Fill(record.dynasty);
        }
        if (fields.OneIn(3)) {
            fields.Fill(record.form);
        }
        lines.Add(number, record);
        expected += label.name + "\t" + LineOf(number, record);
        if (number % 1000 == 0) {
            lines.Print();
        }
    }
    std::fflush(stdout);
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(printed.size(), expected.size());
    EXPECT_TRUE(printed == expected);
}

// Numbers of every count of digits, each written whole and nothing after it kept.
TEST(RecordLinesTest, NumbersOfEveryCountOfDigitsAreWrittenWhole) {
    PoemRecord record{};
    std::strcpy(record.title, "t");
    std::string expected;
    testing::internal::CaptureStdout();
    poemlib::RecordLines lines(false, nullptr);
    for (const std::uint32_t number : {0u, 1u, 9u, 10u, 99u, 100u, 999u, 1000u, 99999u, 100000u,
                                       1000000u, 12345678u, 123456789u, 1234567890u, 4294967295u}) {
        lines.Add(number, record);
        expected += std::to_string(number) + "\tt\t\t\t\n";
    }
    lines.Print();
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
}

TEST(RecordLinesTest, JsonLinesCarryTheLibraryAndEveryField) {
    PoemRecord record{};
    std::strcpy(record.title, "\xBE\xB2\xD2\xB9\xCB\xBC"); // 静夜思
    std::strcpy(record.author, "\xC0\xEE\xB0\xD7");        // 李白
    record.length = 10;
    record.offset = 20;
    testing::internal::CaptureStdout();
    const poemlib::LibraryLabel label{"唐", "/a/唐.idx"};
    poemlib::RecordLines lines(true, &label);
    lines.Add(7, record);
    lines.Print();
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "{\"library\":\"唐\",\"lib\":\"/a/唐.idx\",\"n\":7,\"title\":\"静夜思\",\"author\":"
              "\"李白\",\"dynasty\":\"\",\"form\":\"\",\"length\":10,\"offset\":20}\n");
}

} // namespace
