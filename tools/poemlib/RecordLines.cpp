#include "tools/poemlib/RecordLines.h"

#include "tools/poemlib/Cli.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <nlohmann/json.hpp>

namespace poemlib {
namespace {

constexpr std::size_t kNumberDigits = 10; // of a 32-bit number

// Every number below a hundred as its two digits, one after another.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t n = 0; n < 100; ++n) {
        pairs[2 * n] = static_cast<char>('0' + n / 10);
        pairs[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
    return pairs;
}();

// The decimal digits of `number`, two at a time from the last, and where they end: std::to_chars
// first counts them, which costs as much again, and a search prints a number on every line.
char* WriteNumber(std::uint32_t number, char* to) {
    // The digits end at the tenth byte; the eight after it let the first eight of any count be
    // copied at once.
    char digits[kNumberDigits + 8] = {};
    char* const end = digits + kNumberDigits;
    char* start = end;
    while (number >= 100) {
        start -= 2;
        std::memcpy(start, &kDigitPairs[2 * (number % 100)], 2);
        number /= 100;
    }
    if (number >= 10) {
        start -= 2;
        std::memcpy(start, &kDigitPairs[2 * number], 2);
    } else {
        *--start = static_cast<char>('0' + number);
    }
    // Ten bytes at most, copied as eight and two: the room after them is the line's.
    const auto count = static_cast<std::size_t>(end - start);
    std::memcpy(to, start, 8);
    if (count > 8) {
        std::memcpy(to + 8, start + 8, 2);
    }
    return to + count;
}

} // namespace

using Json = nlohmann::ordered_json;

template <std::size_t Width>
char* RecordLines::LastField<Width>::Write(const char (&field)[Width], char* at) {
    if (std::memcmp(field, m_bytes, Width) != 0) {
        std::memcpy(m_bytes, field, Width);
        m_size = static_cast<std::size_t>(CodePage::DecodeUtf8(field, Width, m_utf8) - m_utf8);
    }
    return std::copy_n(m_utf8, m_size, at);
}

void RecordLines::Add(std::uint32_t number, const PoemRecord& record) {
    if (m_json) {
        AddJson(number, record);
    } else {
        AddPlain(number, record);
    }
}

void RecordLines::Print() {
    poemlib::Print({m_text.data(), m_size});
    m_size = 0;
}

void RecordLines::Grow(std::size_t bytes) {
    // Room for a piece's lines at once: each page of fresh memory costs as much as many lines,
    // and growing by doubling would take twice the pages.
    constexpr std::size_t kFirstRoom = 128 * 1024;
    m_text.resize(std::max({2 * m_text.size(), m_size + bytes, kFirstRoom}));
}

char* RecordLines::LineStart(std::uint32_t number, char* at) const {
    if (m_library != nullptr) {
        at = std::copy(m_library->name.begin(), m_library->name.end(), at);
        *at++ = '\t';
    }
    at = WriteNumber(number, at);
    *at++ = '\t';
    return at;
}

bool RecordLines::AddNamed(std::span<const std::uint32_t> records, const CSearchIndexNames& names) {
    const std::size_t first = m_size;
    const std::size_t name = m_library != nullptr ? m_library->name.size() + 1 : 0;
    for (const std::uint32_t record : records) {
        char* const line = Room(name + kNumberDigits + 1 + CSearchIndexNames::kNamesRoom + 1);
        // The tab after the number is the byte the names borrow.
        char* at = names.WriteNames(record, LineStart(record + 1, line));
        if (at == nullptr) {
            m_size = first;
            return false;
        }
        *at++ = '\n';
        m_size += static_cast<std::size_t>(at - line);
    }
    return true;
}

void RecordLines::AddPlain(std::uint32_t number, const PoemRecord& record) {
    constexpr std::size_t kFieldBytes =
        sizeof record.title + sizeof record.author + sizeof record.dynasty + sizeof record.form;
    const std::size_t name = m_library != nullptr ? m_library->name.size() + 1 : 0;
    char* const line =
        Room(name + kNumberDigits + 4 + CodePage::kMostUtf8PerByte * kFieldBytes + 1);
    char* at = LineStart(number, line);
    at = CodePage::DecodeUtf8(record.title, sizeof record.title, at);
    *at++ = '\t';
    at = m_author.Write(record.author, at);
    *at++ = '\t';
    at = m_dynasty.Write(record.dynasty, at);
    *at++ = '\t';
    at = m_form.Write(record.form, at);
    *at++ = '\n';
    m_size += static_cast<std::size_t>(at - line);
}

void RecordLines::AddJson(std::uint32_t number, const PoemRecord& record) {
    Json line = Json::object();
    if (m_library != nullptr) {
        line["library"] = m_library->name;
        line["lib"] = m_library->path;
    }
    line["n"] = number;
    line["title"] = FieldText(record.title, sizeof record.title);
    line["author"] = FieldText(record.author, sizeof record.author);
    line["dynasty"] = FieldText(record.dynasty, sizeof record.dynasty);
    line["form"] = FieldText(record.form, sizeof record.form);
    line["length"] = record.length;
    line["offset"] = record.offset;
    const std::string text = line.dump(-1, ' ', false, Json::error_handler_t::replace);
    char* const at = std::copy(text.begin(), text.end(), Room(text.size() + 1));
    *at = '\n';
    m_size += text.size() + 1;
}

} // namespace poemlib
