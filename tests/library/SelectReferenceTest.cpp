// The selections search the code page's bytes; here they must agree, record for record, with
// the plain way: decode every field and text and look for the keyword in UTF-16.

#include "tests/library/LibraryFixture.h"

#include "library/SearchIndex.h"
#include "library/SearchIndexUpkeep.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <span>

namespace {

class SelectReferenceTest : public LibraryTest {
protected:
    // Random bytes drawn mostly from real characters, with line breaks, ASCII, stray lead and
    // trail bytes, invalid bytes and now and then a zero.
    std::string RandomBytes(std::size_t size) {
        static const std::string pieces[] = {testing_support::Gbk("明月"),
                                             testing_support::Gbk("光"),
                                             testing_support::Gbk("春"),
                                             testing_support::Gbk("·"),
                                             "\r\n",
                                             "a",
                                             "A",
                                             "\x81",
                                             "\xFF",
                                             "\x80",
                                             "@",
                                             "\xB4",
                                             "\xA1",
                                             std::string(1, '\0'),
                                             " "};
        std::string bytes;
        while (bytes.size() < size) {
            const auto& piece = pieces[m_random() % std::size(pieces)];
            if (piece == std::string(1, '\0') && m_random() % 4 != 0) {
                continue;
            }
            bytes += piece;
        }
        bytes.resize(size);
        return bytes;
    }

    // A library written byte for byte: fields and texts of random bytes, texts overlapping the
    // ones before, some running past the end of the data file or stored without their zero
    // byte. Shuffled, the records come in no order of the data file and some share a text.
    void WriteRandomLibrary(std::uint32_t count, bool shuffled = false) {
        std::string data = RandomBytes(200);
        LibraryHeader header = testing_support::MakeHeader();
        header.count = count;
        std::vector<PoemRecord> records;
        for (std::uint32_t i = 0; i < count; ++i) {
            PoemRecord record{};
            for (auto [field, width] : {std::pair{record.title, sizeof record.title},
                                        {record.author, sizeof record.author},
                                        {record.dynasty, sizeof record.dynasty},
                                        {record.form, sizeof record.form}}) {
                const std::string bytes = RandomBytes(m_random() % (width + 1));
                std::memcpy(field, bytes.data(), bytes.size());
            }
            const std::string text = RandomBytes(m_random() % 40);
            record.offset = static_cast<std::uint32_t>(data.size() - m_random() % 150);
            record.length = static_cast<std::uint32_t>(text.size() + m_random() % 20);
            data += text;
            records.push_back(record);
        }
        if (shuffled) {
            for (PoemRecord& record : records) {
                if (m_random() % 5 == 0) {
                    const PoemRecord& other = records[m_random() % records.size()];
                    record.offset = other.offset;
                    record.length = other.length;
                }
            }
            std::shuffle(records.begin(), records.end(), m_random);
        }
        std::string index(reinterpret_cast<const char*>(&header), sizeof header);
        index.append(reinterpret_cast<const char*>(records.data()), records.size() * kRecordSize);
        testing_support::WriteFile(m_folder.File("kavro.idx"), index);
        testing_support::WriteFile(m_folder.File("kavro.dat"), data.substr(0, data.size() - 7));
    }

    std::u16string RandomKeyword() {
        static const std::u16string pieces[] = {u"明", u"月", u"明月", u"光",     u"\r\n",   u"a",
                                                u"A",  u"·",  u"春",   u"\uFFFD", u"\u20AC", u"@",
                                                u"丂", u"ᚠ",  u" ",    u"月\r"};
        std::u16string keyword;
        const int parts = static_cast<int>(m_random() % 3);
        for (int i = 0; i < parts; ++i) {
            keyword += pieces[m_random() % std::size(pieces)];
        }
        return keyword;
    }

    // Up to five pieces: long keywords, whose pairs the index only narrows down, and U+FFFF,
    // which the index writes after every text's last unit.
    std::u16string RandomLongKeyword() {
        std::u16string keyword;
        const int parts = 1 + static_cast<int>(m_random() % 5);
        for (int i = 0; i < parts; ++i) {
            keyword += m_random() % 12 == 0 ? std::u16string(1, u'\uFFFF') : RandomKeyword();
        }
        return keyword;
    }

    void BuildSearchIndex() {
        ASSERT_TRUE(
            SearchIndexUpkeep::RebuildFor(m_folder.File("kavro.idx"), m_folder.File("kavro.dat")));
    }
    std::string SearchIndexFile() const { return m_folder.File("kavro.search"); }

    std::mt19937 m_random{20261207};
};

// What a selection must return, found the plain way.
std::vector<std::uint32_t> Reference(CPoemLibrary& library, const std::u16string& keyword,
                                     int field) {
    std::vector<std::uint32_t> found;
    const std::span<const PoemRecord> records = library.GetRecords();
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        const PoemRecord& r = records[i];
        CString text;
        switch (field) {
        case SEL_TITLE:
            text = CodePage::Decode(r.title, sizeof r.title);
            break;
        case SEL_AUTHOR:
            text = CodePage::Decode(r.author, sizeof r.author);
            break;
        case SEL_DYNASTY:
            text = CodePage::Decode(r.dynasty, sizeof r.dynasty);
            break;
        case SEL_FORM:
            text = CodePage::Decode(r.form, sizeof r.form);
            break;
        default:
            library.ReadText(&r, text);
        }
        if (text.view().find(keyword) != std::u16string_view::npos) {
            found.push_back(i);
        }
    }
    return found;
}

// The places of the records a selection found, checked against the copies in the result.
std::vector<std::uint32_t> Selected(CPoemLibrary& library, const std::u16string& keyword,
                                    int field) {
    std::vector<std::uint32_t> numbers;
    const unsigned count =
        library.Select(keyword.c_str(), static_cast<SelectField>(field), &numbers);
    EXPECT_EQ(numbers.size(), count);
    for (unsigned k = 0; k < count && k < numbers.size(); ++k) {
        EXPECT_EQ(std::memcmp(&library.GetRecords()[numbers[k]], &g_pResult[k], kRecordSize), 0);
    }
    return numbers;
}

// The places Find names, without the result buffer, and their records read with ReadRecords in
// pieces of every size from one to all, checked against the records as they were loaded.
std::vector<std::uint32_t> FoundAndRead(CPoemLibrary& library, CPoemLibrary& loaded,
                                        const std::u16string& keyword, int field) {
    const std::vector<std::uint32_t> places =
        library.Find(keyword.c_str(), static_cast<SelectField>(field));
    const std::span<const PoemRecord> records = loaded.GetRecords();
    const std::size_t piece = 1 + places.size() % 97;
    std::vector<PoemRecord> read(piece);
    for (std::size_t start = 0; start < places.size(); start += piece) {
        const auto some = std::span(places).subspan(start, std::min(piece, places.size() - start));
        EXPECT_TRUE(library.ReadRecords(some, read.data()));
        for (std::size_t k = 0; k < some.size(); ++k) {
            EXPECT_EQ(std::memcmp(&read[k], &records[some[k]], kRecordSize), 0);
        }
    }
    return places;
}

TEST_F(SelectReferenceTest, FastSearchesAgreeWithThePlainOneOnRandomLibraries) {
    for (int round = 0; round < 20; ++round) {
        WriteRandomLibrary(60);
        auto library = Open();
        for (int k = 0; k < 40; ++k) {
            const std::u16string keyword = RandomKeyword();
            for (int field : {SEL_TITLE, SEL_AUTHOR, SEL_DYNASTY, SEL_FORM, SEL_FULLTEXT}) {
                const auto expected = Reference(*library, keyword, field);
                ASSERT_EQ(Selected(*library, keyword, field), expected)
                    << "round " << round << ", field " << field << ", keyword "
                    << CString(keyword).ToUtf8();
                ASSERT_EQ(FoundAndRead(*library, *library, keyword, field), expected);
            }
        }
    }
}

TEST_F(SelectReferenceTest, FullTextAgreesWhenRecordsAreOutOfOrderAndShareTheirTexts) {
    for (int round = 0; round < 10; ++round) {
        WriteRandomLibrary(400, true);
        auto library = Open();
        for (int k = 0; k < 40; ++k) {
            const std::u16string keyword = RandomKeyword();
            ASSERT_EQ(Selected(*library, keyword, SEL_FULLTEXT),
                      Reference(*library, keyword, SEL_FULLTEXT))
                << "round " << round << ", keyword " << CString(keyword).ToUtf8();
        }
    }
}

// From 50,000 records on, the places of the texts are gathered on a second thread.
TEST_F(SelectReferenceTest, FullTextAgreesInALibraryLargeEnoughForASecondThread) {
    WriteRandomLibrary(60000, true);
    auto library = Open();
    for (const std::u16string keyword : {u"明月", u"光", u"a\r", u"\uFFFD"}) {
        ASSERT_EQ(Selected(*library, keyword, SEL_FULLTEXT),
                  Reference(*library, keyword, SEL_FULLTEXT))
            << CString(keyword).ToUtf8();
    }
}

// The data file changes under the open library: each search reads it as it is then.
TEST_F(SelectReferenceTest, FullTextReadsTheDataFileAsItIsAtEachSearch) {
    WriteRandomLibrary(300, true);
    auto library = Open();
    const std::string data = DataBytes();
    const std::u16string keywords[] = {u"明月", u"光", u"a", u"月\r", u"\uFFFD"};
    for (const std::size_t size : {data.size() / 2, std::size_t{0}, data.size() + 500}) {
        std::string changed = data;
        changed.resize(size, '\0');
        if (size > data.size()) {
            std::copy(data.begin(), data.begin() + 500, changed.begin() + data.size());
        }
        testing_support::WriteFile(m_folder.File("kavro.dat"), changed);
        for (const std::u16string& keyword : keywords) {
            ASSERT_EQ(Selected(*library, keyword, SEL_FULLTEXT),
                      Reference(*library, keyword, SEL_FULLTEXT))
                << "size " << size << ", keyword " << CString(keyword).ToUtf8();
        }
    }
}

// Records read in place through a mapping of the index: an index cut short afterwards leaves
// the ones it still holds and zeros for the others, and nothing crashes.
TEST_F(SelectReferenceTest, AnIndexCutShortAfterItsRecordsAreReadReadsAsZerosPastItsEnd) {
    WriteRandomLibrary(200);
    const std::vector<PoemRecord> before = testing_support::RecordsOf(IndexBytes());
    auto library = Open();
    ASSERT_EQ(library->GetRecords().size(), 200u);
    SetIndexBytes(IndexBytes().substr(0, 292 + 124 * 10));
    ASSERT_EQ(library->Select(nullptr, SEL_ALL), 200u);
    EXPECT_EQ(std::memcmp(g_pResult, before.data(), 10 * kRecordSize), 0);
    const PoemRecord zero{};
    EXPECT_EQ(std::memcmp(&g_pResult[199], &zero, kRecordSize), 0);
    library->Select(u"明月", SEL_FULLTEXT);
    library->Select(u"明", SEL_TITLE);
}

// The search index answers instead of a pass over the data file: the same records for every
// keyword, whether the records have been read yet or not.
TEST_F(SelectReferenceTest, FullTextThroughTheSearchIndexAgreesOnRandomLibraries) {
    for (int round = 0; round < 12; ++round) {
        WriteRandomLibrary(300, round % 2 == 1);
        BuildSearchIndex();
        auto reference = Open();
        auto loaded = Open();
        loaded->GetRecords();
        for (int k = 0; k < 40; ++k) {
            const std::u16string keyword = k % 2 == 0 ? RandomKeyword() : RandomLongKeyword();
            const auto expected = Reference(*reference, keyword, SEL_FULLTEXT);
            auto unread = Open();
            ASSERT_EQ(Selected(*unread, keyword, SEL_FULLTEXT), expected)
                << "round " << round << ", keyword " << CString(keyword).ToUtf8();
            ASSERT_EQ(Selected(*loaded, keyword, SEL_FULLTEXT), expected)
                << "round " << round << ", keyword " << CString(keyword).ToUtf8();
            auto finding = Open();
            ASSERT_EQ(FoundAndRead(*finding, *loaded, keyword, SEL_FULLTEXT), expected)
                << "round " << round << ", keyword " << CString(keyword).ToUtf8();
        }
        CFile index, data;
        ASSERT_TRUE(index.Open(CString::FromUtf8(m_folder.File("kavro.idx")), CFile::modeRead));
        ASSERT_TRUE(data.Open(CString::FromUtf8(m_folder.File("kavro.dat")), CFile::modeRead));
        EXPECT_EQ(SearchIndexUpkeep::StateOf(SearchIndexFile(), index, data),
                  SearchIndexState::current); // it was used, not passed over
    }
}

// Poems appended after the index was made are searched one by one, and a data file changed
// under the index is searched as it is.
TEST_F(SelectReferenceTest, FullTextAgreesAfterAppendsAndChangesToTheFiles) {
    WriteRandomLibrary(200, true);
    BuildSearchIndex();
    {
        auto writer = Open();
        for (int i = 0; i < 5; ++i) {
            const std::string text = RandomBytes(30);
            PoemRecord record{};
            ASSERT_TRUE(
                writer->AppendPoem(record, text.data(), static_cast<unsigned>(text.size())));
        }
    }
    auto check = [&](const char* when) {
        auto reference = Open();
        for (int k = 0; k < 60; ++k) {
            const std::u16string keyword = k % 2 == 0 ? RandomKeyword() : RandomLongKeyword();
            auto library = Open();
            ASSERT_EQ(Selected(*library, keyword, SEL_FULLTEXT),
                      Reference(*reference, keyword, SEL_FULLTEXT))
                << when << ", keyword " << CString(keyword).ToUtf8();
        }
    };
    check("after the appends");
    std::string data = DataBytes();
    std::reverse(data.begin(), data.end()); // the same size, other texts
    testing_support::WriteFile(m_folder.File("kavro.dat"), data);
    check("after the data file was written anew");
}

} // namespace
