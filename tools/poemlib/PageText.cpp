#include "tools/poemlib/PageText.h"

#include <cctype>
#include <charconv>
#include <map>

namespace poemlib {
namespace {

// What a tag does to the text: a line break, a paragraph's edge, or nothing.
enum class Break { none, line, paragraph };

Break BreakOf(const std::string& tag) {
    std::string name;
    for (const char ch : tag) {
        if (ch == ' ' || (ch == '/' && !name.empty())) {
            break;
        }
        if (ch != '/') {
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
    }
    if (name == "br") {
        return Break::line;
    }
    static const std::string kBlocks[] = {"p", "h1", "h2", "h3", "h4", "hr", "div", "tr", "li"};
    for (const std::string& block : kBlocks) {
        if (name == block) {
            return Break::paragraph;
        }
    }
    return Break::none;
}

std::string Utf8Of(unsigned code) {
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// The entity at `at` ("&amp;"), decoded, and how long it is; nothing known: the '&' alone.
std::pair<std::string, std::size_t> Entity(const std::string& html, std::size_t at) {
    static const std::map<std::string, std::string> kNamed = {
        {"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"nbsp", " "}, {"apos", "'"}};
    const std::size_t end = html.find(';', at);
    if (end == std::string::npos || end - at > 10) {
        return {"&", 1};
    }
    const std::string name = html.substr(at + 1, end - at - 1);
    if (const auto it = kNamed.find(name); it != kNamed.end()) {
        return {it->second, end - at + 1};
    }
    unsigned code = 0;
    if (name.size() > 1 && name[0] == '#' &&
        std::from_chars(name.data() + 1, name.data() + name.size(), code).ec == std::errc() &&
        code > 0 && code < 0x10000) {
        return {Utf8Of(code), end - at + 1};
    }
    return {"&", 1};
}

class CTextWriter {
public:
    void Add(const std::string& text) {
        if (m_pending == Break::paragraph && !m_text.empty()) {
            m_text += "\n\n";
        } else if (m_pending == Break::line) {
            m_text += "\n";
        }
        m_pending = Break::none;
        m_text += text;
    }
    void Mark(Break mark) {
        if (mark == Break::line && m_pending == Break::line && !m_text.empty()) {
            m_text += "\n"; // two breaks in a row leave an empty line
        }
        if (mark > m_pending) {
            m_pending = mark;
        }
    }
    std::string Text() const { return m_text.empty() ? m_text : m_text + "\n"; }

private:
    std::string m_text;
    Break m_pending = Break::none;
};

} // namespace

std::string PageAsText(const std::string& html) {
    const std::size_t body = html.find("<body");
    std::size_t at = body == std::string::npos ? 0 : body;
    CTextWriter writer;
    while (at < html.size()) {
        const char ch = html[at];
        if (ch == '<') {
            const std::size_t end = html.find('>', at);
            if (end == std::string::npos) {
                break;
            }
            writer.Mark(BreakOf(html.substr(at + 1, end - at - 1)));
            at = end + 1;
        } else if (ch == '&') {
            const auto [text, length] = Entity(html, at);
            writer.Add(text);
            at += length;
        } else if (ch == '\n' || ch == '\r') {
            ++at;
        } else {
            const std::size_t next = html.find_first_of("<&\r\n", at);
            writer.Add(html.substr(at, next - at));
            at = next == std::string::npos ? html.size() : next;
        }
    }
    return writer.Text();
}

} // namespace poemlib
