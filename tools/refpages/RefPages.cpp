#include "tools/refpages/RefPages.h"

#include "platform/core/CString.h"
#include "platform/core/ProgramFiles.h"

#include <algorithm>
#include <set>

namespace refpages {
namespace {

std::vector<std::string> Distinct(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    std::set<std::string> seen;
    for (const auto& name : names) {
        if (seen.insert(name).second) {
            out.push_back(name);
        }
    }
    return out;
}

std::string Contents(const std::vector<std::string>& names) {
    std::string html = "<p>";
    for (std::size_t i = 0; i < names.size(); ++i) {
        html += (i == 0 ? "" : " · ") + std::string("<a href=\"#") + Escape(names[i]) + "\">" +
                Escape(names[i]) + "</a>";
    }
    return html + "</p><hr>";
}

std::string EntryHeading(const std::string& name) {
    return "<a name=\"" + Escape(name) + "\"></a><h3><font color=\"" + kHeadingColor + "\">" +
           Escape(name) + "</font></h3>";
}

// The entry's link to the name's own page, which tells what every library holds of it.
std::string FullPageLink(const std::map<std::string, std::string>& fullPages,
                         const std::string& name, const std::string& caption) {
    const auto page = fullPages.find(name);
    if (page == fullPages.end()) {
        return {};
    }
    return "<p><a href=\"" + Escape(LinkTo(page->second)) + "\">" + caption + "：" + Escape(name) +
           " ›</a></p>";
}

std::string BackToTop() {
    return "<p align=right><font size=2><a href=\"#top\">回到目录</a></font></p>";
}

// Chinese characters of a text, and its lines: pieces ended by a line break or by the
// punctuation that ends a line of verse.
bool IsLineEnd(char16_t ch) {
    return std::u16string_view(u"，。？！；、\r\n,.?!;").find(ch) != std::u16string_view::npos;
}
bool IsHan(char16_t ch) {
    return (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0x3400 && ch <= 0x4DBF);
}

} // namespace

TextShape Measure(const std::string& utf8) {
    TextShape shape;
    const std::u16string text = CString::FromUtf8(utf8).str();
    int line = 0;
    bool stanzaHasText = false;
    for (const char16_t ch : text) {
        if (IsHan(ch)) {
            ++line;
            ++shape.characters;
            stanzaHasText = true;
        } else if (IsLineEnd(ch) && line > 0) {
            shape.lineLengths.push_back(line);
            line = 0;
        }
        if (ch == u'\n' && stanzaHasText) {
            ++shape.stanzas;
            stanzaHasText = false;
        }
    }
    if (line > 0) {
        shape.lineLengths.push_back(line);
    }
    shape.stanzas += stanzaHasText ? 1 : 0;
    return shape;
}

namespace {

int MostFrequent(const std::vector<int>& values) {
    std::map<int, int> counts;
    for (int v : values) {
        ++counts[v];
    }
    int best = 0, bestCount = 0;
    for (const auto& [value, count] : counts) {
        if (count > bestCount) {
            best = value;
            bestCount = count;
        }
    }
    return best;
}

std::string StanzaWord(int stanzas) {
    switch (stanzas) {
    case 1:
        return "单调";
    case 2:
        return "双调";
    case 3:
        return "三叠";
    case 4:
        return "四叠";
    default:
        return std::to_string(stanzas) + " 段";
    }
}

bool IsTune(const std::string& kind) {
    return kind == "词牌" || kind == "曲牌";
}

std::string ShapeSentence(const FormNote& note, const FormShape& shape) {
    if (shape.poems == 0) {
        return "本库暂未收录此体作品。";
    }
    std::string sentence = "以本库所收 " + std::to_string(shape.poems) + " 首计：";
    if (IsTune(note.kind)) {
        sentence += "多为" + StanzaWord(shape.stanzas) + "，" + std::to_string(shape.characters) +
                    " 字，" + std::to_string(shape.lines) + " 句。";
    } else if (shape.charactersPerLine > 0) {
        sentence += "常见 " + std::to_string(shape.lines) + " 句，每句 " +
                    std::to_string(shape.charactersPerLine) + " 字。";
    } else {
        sentence += "常见 " + std::to_string(shape.lines) + " 句，长短不一。";
    }
    return sentence;
}

// The shortest poem of the form, to show what it looks like.
const Poem* ExampleOf(const std::string& form, const std::vector<Poem>& library) {
    const Poem* best = nullptr;
    int bestLength = 0;
    for (const Poem& poem : library) {
        if (poem.form != form || poem.text.empty()) {
            continue;
        }
        const int length = Measure(poem.text).characters;
        if (length > 0 && (best == nullptr || length < bestLength)) {
            best = &poem;
            bestLength = length;
        }
    }
    return best;
}

} // namespace

std::string Head(const std::string& title, const std::string& toProgramFolder) {
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
           "<title>" +
           Escape(title) + "</title></head><body background=\"" + toProgramFolder +
           BackgroundPictureName(kDefaultBackgroundPicture) +
           "\" text=\"#F3EBDD\" link=\"#F2C46D\"><a name=\"top\"></a>";
}

std::string LinkTo(const std::string& pageName) {
    std::string address;
    for (const char ch : pageName) {
        if (ch == '%') {
            address += "%25";
        } else if (ch == '?') {
            address += "%3F";
        } else {
            address += ch;
        }
    }
    return address;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        switch (ch) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

std::string TextAsHtml(const std::string& text) {
    std::string html;
    for (const char ch : Escape(text)) {
        if (ch == '\n') {
            html += "<br>";
        } else if (ch != '\r') {
            html += ch;
        }
    }
    return html;
}

FormShape ShapeOf(const std::string& form, const std::vector<Poem>& library) {
    FormShape shape;
    std::vector<int> stanzas, lines, characters, perLine;
    for (const Poem& poem : library) {
        if (poem.form != form) {
            continue;
        }
        const TextShape measured = Measure(poem.text);
        if (measured.characters == 0) {
            continue;
        }
        ++shape.poems;
        stanzas.push_back(measured.stanzas);
        lines.push_back(static_cast<int>(measured.lineLengths.size()));
        characters.push_back(measured.characters);
        const auto& lengths = measured.lineLengths;
        const bool even = std::all_of(lengths.begin(), lengths.end(),
                                      [&](int n) { return n == lengths.front(); });
        perLine.push_back(even ? lengths.front() : 0);
    }
    shape.stanzas = MostFrequent(stanzas);
    shape.lines = MostFrequent(lines);
    shape.characters = MostFrequent(characters);
    shape.charactersPerLine = MostFrequent(perLine);
    return shape;
}

std::string AuthorsPage(const std::vector<std::string>& authors,
                        const std::map<std::string, PoetNote>& notes,
                        const std::vector<Poem>& library,
                        const std::map<std::string, std::string>& fullPages) {
    const std::vector<std::string> names = Distinct(authors);
    std::string html = Head("诗人", "") + "<h2><font color=\"" + kHeadingColor +
                       "\">诗人</font></h2>" + Contents(names);
    for (const std::string& name : names) {
        html += EntryHeading(name);
        const auto note = notes.find(name);
        if (note != notes.end()) {
            std::string line = note->second.dynasty;
            for (const std::string* part : {&note->second.years, &note->second.courtesy}) {
                if (!part->empty()) {
                    line += (line.empty() ? "" : " · ") + *part;
                }
            }
            html += "<p><font color=\"" + std::string(kNoteColor) + "\">" + Escape(line) +
                    "</font></p><p>" + Escape(note->second.about) + "</p>";
        }
        std::string titles;
        int count = 0;
        for (const Poem& poem : library) {
            if (poem.author == name) {
                titles += "《" + Escape(poem.title) + "》";
                ++count;
            }
        }
        html += count == 0 ? "<p>本库暂未收录其作品。</p>"
                           : "<p>本库收录 " + std::to_string(count) + " 首：" + titles + "</p>";
        html += FullPageLink(fullPages, name, "诗人专页") + BackToTop();
    }
    return html + "</body></html>\n";
}

std::string FormsPage(const std::vector<std::string>& forms,
                      const std::map<std::string, FormNote>& notes,
                      const std::vector<Poem>& library,
                      const std::map<std::string, std::string>& fullPages) {
    const std::vector<std::string> names = Distinct(forms);
    std::string html = Head("格律", "") + "<h2><font color=\"" + kHeadingColor +
                       "\">格律</font></h2>" + Contents(names);
    for (const std::string& name : names) {
        html += EntryHeading(name);
        FormNote note;
        if (const auto it = notes.find(name); it != notes.end()) {
            note = it->second;
            html += "<p><font color=\"" + std::string(kNoteColor) + "\">" + Escape(note.kind) +
                    "</font></p><p>" + Escape(note.about) + "</p>";
        }
        html += "<p>" + ShapeSentence(note, ShapeOf(name, library)) + "</p>";
        if (const Poem* example = ExampleOf(name, library)) {
            html += "<p><font color=\"" + std::string(kNoteColor) + "\">例：《" +
                    Escape(example->title) + "》 " + Escape(example->dynasty) + "·" +
                    Escape(example->author) + "</font><br>" + TextAsHtml(example->text) + "</p>";
        }
        html += FullPageLink(fullPages, name, "格律专页") + BackToTop();
    }
    return html + "</body></html>\n";
}

} // namespace refpages
