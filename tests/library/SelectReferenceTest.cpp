// The selections search the code page's bytes; here they must agree, record for record, with
// the plain way: decode every field and text and look for the keyword in UTF-16.

#include "tests/library/LibraryFixture.h"

#include "platform/core/CodePage.h"

#include <cstring>
#include <random>

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

    // A library written byte for byte: fields and texts of random bytes, some texts running
    // past the end of the data file or stored without their zero byte.
    void WriteRandomLibrary(std::uint32_t count) {
        std::string data = RandomBytes(200);
        std::string index;
        LibraryHeader header = testing_support::MakeHeader();
        header.count = count;
        index.append(reinterpret_cast<const char*>(&header), sizeof header);
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
            index.append(reinterpret_cast<const char*>(&record), sizeof record);
        }
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

    std::mt19937 m_random{20261207};
};

// What a selection must return, found the plain way.
std::vector<std::uint32_t> Reference(CPoemLibrary& library, const std::u16string& keyword,
                                     int field) {
    std::vector<std::uint32_t> found;
    for (std::uint32_t i = 0; i < library.m_nCount; ++i) {
        const PoemRecord& r = library.GetRecords()[i];
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

std::vector<std::uint32_t> Selected(CPoemLibrary& library, const std::u16string& keyword,
                                    int field) {
    const unsigned count = library.Select(keyword.c_str(), field);
    std::vector<std::uint32_t> found;
    std::uint32_t next = 0;
    for (unsigned k = 0; k < count; ++k) {
        while (next < library.m_nCount &&
               std::memcmp(&library.GetRecords()[next], &g_pResult[k], sizeof(PoemRecord)) != 0) {
            ++next;
        }
        found.push_back(next++);
    }
    return found;
}

TEST_F(SelectReferenceTest, FastSearchesAgreeWithThePlainOneOnRandomLibraries) {
    for (int round = 0; round < 20; ++round) {
        WriteRandomLibrary(60);
        auto library = Open();
        for (int k = 0; k < 40; ++k) {
            const std::u16string keyword = RandomKeyword();
            for (int field : {SEL_TITLE, SEL_AUTHOR, SEL_DYNASTY, SEL_FORM, SEL_FULLTEXT}) {
                ASSERT_EQ(Selected(*library, keyword, field), Reference(*library, keyword, field))
                    << "round " << round << ", field " << field << ", keyword "
                    << CString(keyword).ToUtf8();
            }
        }
    }
}

} // namespace
