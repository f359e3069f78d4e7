#include "tools/refpages/PageSet.h"

#include "library/ReferencePages.h"
#include "platform/core/CString.h"

#include <algorithm>

namespace refpages {
namespace {

constexpr std::size_t kTitlesShown = 5;
constexpr std::size_t kFormsShown = 12;
constexpr const char* kEveryDynasty = "历代";
constexpr const char* kPoetToFolder = "../../"; // poets/DYNASTY/NAME.htm
constexpr const char* kFormToFolder = "../";    // forms/NAME.htm

std::string Utf8PoetPage(const std::string& name, const std::string& dynasty) {
    return PoetPageName(CString::FromUtf8(name), CString::FromUtf8(dynasty)).ToUtf8();
}

std::string Utf8FormPage(const std::string& form) {
    return FormPageName(CString::FromUtf8(form)).ToUtf8();
}

std::string Link(const std::string& toFolder, const std::string& page, const std::string& text) {
    return "<a href=\"" + Escape(LinkTo(toFolder + page)) + "\">" + Escape(text) + "</a>";
}

std::string Faint(const std::string& html) {
    return std::string("<font color=\"") + kNoteColor + "\">" + html + "</font>";
}

std::string Heading(const std::string& name) {
    return std::string("<h3><font color=\"") + kHeadingColor + "\">" + Escape(name) +
           "</font></h3>";
}

std::string Paragraphs(const std::string& text) {
    std::string html;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (end > start) {
            html += "<p>" + Escape(text.substr(start, end - start)) + "</p>";
        }
        start = end + 1;
    }
    return html;
}

std::string Titles(const std::vector<std::string>& titles, int poems) {
    std::string html;
    for (const std::string& title : titles) {
        html += "《" + Escape(title) + "》";
    }
    return html + (static_cast<std::size_t>(poems) > titles.size() ? "等" : "");
}

std::string Tail() {
    return "</body></html>\n";
}

} // namespace

PageSet::PageSet(std::map<std::string, PoetNote> poetNotes,
                 std::map<std::string, FormNote> formNotes, PackageNotes package)
    : m_poetNotes(std::move(poetNotes)), m_formNotes(std::move(formNotes)),
      m_package(std::move(package)) {}

void PageSet::AddLibrary(const std::string& stem, const std::string& name,
                         const std::vector<Poem>& poems) {
    const std::size_t library = m_libraries.size();
    m_libraries.push_back(name);
    static const std::map<std::string, std::vector<long long>> kNoCounts;
    const auto counted = m_package.ranks.find(stem);
    const auto& counts = counted == m_package.ranks.end() ? kNoCounts : counted->second;
    std::map<std::string, std::size_t> seen; // poems of each count key so far
    for (const Poem& poem : poems) {
        if (!poem.author.empty()) {
            PoetFacts& poet = m_poets[{poem.dynasty, poem.author}];
            if (poet.shelves.empty() || poet.shelves.back().library != library) {
                poet.shelves.push_back({library, 0, {}});
            }
            Shelf& shelf = poet.shelves.back();
            if (shelf.titles.size() < kTitlesShown) {
                shelf.titles.push_back(poem.title);
            }
            ++shelf.poems;
            if (!poem.form.empty()) {
                ++poet.forms[poem.form];
            }
        }
        if (poem.form.empty()) {
            continue;
        }
        FormFacts& form = m_forms[poem.form];
        if (form.libraries.empty() || form.libraries.back().first != library) {
            form.libraries.push_back({library, 0});
        }
        ++form.libraries.back().second;
        const std::string key = RankKey(poem.author, poem.title);
        const std::size_t occurrence = seen[key]++;
        const TextShape measured = Measure(poem.text);
        if (measured.characters == 0) {
            continue;
        }
        ++form.measured;
        Example example{poem.title, poem.author, poem.dynasty, poem.text, -1};
        if (const auto it = counts.find(key);
            it != counts.end() && occurrence < it->second.size()) {
            example.known = it->second[occurrence];
        }
        Shape& shape =
            form.shapes[{measured.characters, static_cast<int>(measured.lineLengths.size())}];
        if (shape.poems++ == 0) {
            shape.first = example;
        }
        if (example.known >= 0 && (!form.best || example.known > form.best->known)) {
            form.best = std::move(example);
        }
    }
}

const PoetNote* PageSet::OurPoetNote(const PoetKey& poet) const {
    const auto note = m_poetNotes.find(poet.second);
    if (note == m_poetNotes.end() ||
        (note->second.dynasty != poet.first && note->second.dynasty != kEveryDynasty)) {
        return nullptr;
    }
    return &note->second;
}

const std::vector<Biography>* PageSet::PackageBiographies(const PoetKey& poet) const {
    for (const std::string& dynasty :
         {poet.first, std::string(poet.first == "五代十国" ? "唐代" : "")}) {
        const auto byName = m_package.biographies.find(dynasty);
        if (dynasty.empty() || byName == m_package.biographies.end()) {
            continue;
        }
        const auto found = byName->second.find(poet.second);
        if (found != byName->second.end() && !found->second.empty()) {
            return &found->second;
        }
    }
    return nullptr;
}

PageSource PageSet::PoetSource(const PoetKey& poet) const {
    if (OurPoetNote(poet) != nullptr) {
        return PageSource::ours;
    }
    return PackageBiographies(poet) != nullptr ? PageSource::package : PageSource::library;
}

std::string PageSet::ShelvesHtml(const PoetFacts& facts) const {
    std::string html;
    for (const Shelf& shelf : facts.shelves) {
        html += "<p>" + Faint(Escape(m_libraries[shelf.library])) + " 收录 " +
                std::to_string(shelf.poems) + " 首：" + Titles(shelf.titles, shelf.poems) + "</p>";
    }
    return html;
}

std::string PageSet::FormsOfPoetHtml(const PoetFacts& facts) const {
    if (facts.forms.empty()) {
        return {};
    }
    std::vector<std::pair<std::string, int>> forms(facts.forms.begin(), facts.forms.end());
    std::stable_sort(forms.begin(), forms.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string html = "<p>" + Faint("体裁") + "：";
    for (std::size_t i = 0; i < forms.size() && i < kFormsShown; ++i) {
        html += (i == 0 ? "" : "，") +
                Link(kPoetToFolder, Utf8FormPage(forms[i].first), forms[i].first) + " " +
                std::to_string(forms[i].second);
    }
    if (forms.size() > kFormsShown) {
        html += "，等 " + std::to_string(forms.size()) + " 种";
    }
    return html + "</p>";
}

std::string PageSet::PoetHtml(const PoetKey& poet, const PoetFacts& facts) const {
    const auto& [dynasty, name] = poet;
    std::string html = Head(name, kPoetToFolder) + Heading(name);
    if (const PoetNote* note = OurPoetNote(poet)) {
        std::string line = dynasty;
        for (const std::string* part : {&note->years, &note->courtesy}) {
            if (!part->empty()) {
                line += " · " + *part;
            }
        }
        html += "<p>" + Faint(Escape(line)) + "</p>" + Paragraphs(note->about);
    } else {
        html += "<p>" + Faint(Escape(dynasty.empty() ? "朝代未详" : dynasty)) + "</p>";
        if (const auto* biographies = PackageBiographies(poet)) {
            for (const Biography& biography : *biographies) {
                html += Paragraphs(biography.text) + "<p align=right><font size=2>" +
                        Faint("——《" + Escape(biography.source) + "》小传") + "</font></p>";
            }
        }
    }
    return html + ShelvesHtml(facts) + FormsOfPoetHtml(facts) + Tail();
}

std::string PageSet::FormLibrariesHtml(const FormFacts& facts) const {
    std::string html = "<p>" + Faint("收录") + "：";
    for (std::size_t i = 0; i < facts.libraries.size(); ++i) {
        html += (i == 0 ? "" : "；") + Escape(m_libraries[facts.libraries[i].first]) + " " +
                std::to_string(facts.libraries[i].second) + " 首";
    }
    return html + "。</p>";
}

std::string PageSet::ExampleHtml(const Example& example) const {
    std::string poet = Escape(example.author);
    if (!example.author.empty()) {
        poet = Link(kFormToFolder, Utf8PoetPage(example.author, example.dynasty), example.author);
    }
    return "<p>" + Faint("例：《" + Escape(example.title) + "》 " + Escape(example.dynasty) + "·") +
           poet + "<br>" + TextAsHtml(example.text) + "</p>";
}

std::string PageSet::FormHtml(const std::string& form, const FormFacts& facts) const {
    std::string html = Head(form, kFormToFolder) + Heading(form);
    if (const auto note = m_formNotes.find(form); note != m_formNotes.end()) {
        html += "<p>" + Faint(Escape(note->second.kind)) + "</p>" + Paragraphs(note->second.about);
    }
    html += FormLibrariesHtml(facts);
    if (facts.measured > 0) {
        // The most common shape; of two as common, the shorter.
        auto usual = facts.shapes.begin();
        for (auto it = facts.shapes.begin(); it != facts.shapes.end(); ++it) {
            if (it->second.poems > usual->second.poems) {
                usual = it;
            }
        }
        html += "<p>" + Faint("常见体式") + "：" + std::to_string(usual->first.first) + " 字，" +
                std::to_string(usual->first.second) + " 句（" + std::to_string(facts.measured) +
                " 首中 " + std::to_string(usual->second.poems) + " 首如此）。</p>";
        html += ExampleHtml(facts.best ? *facts.best : usual->second.first);
    }
    return html + Tail();
}

std::map<std::string, std::string> PageSet::Pages() const {
    std::map<std::string, std::string> pages;
    for (const auto& [poet, facts] : m_poets) {
        pages[Utf8PoetPage(poet.second, poet.first)] = PoetHtml(poet, facts);
    }
    for (const auto& [form, facts] : m_forms) {
        pages[Utf8FormPage(form)] = FormHtml(form, facts);
    }
    return pages;
}

PageCounts PageSet::Counts() const {
    PageCounts counts;
    for (const auto& [poet, facts] : m_poets) {
        ++counts.poets[PoetSource(poet)];
    }
    for (const auto& [form, facts] : m_forms) {
        ++counts.forms[m_formNotes.count(form) != 0 ? PageSource::ours : PageSource::library];
    }
    return counts;
}

std::string PageSet::PoetPage(const std::string& name, const std::string& dynasty) const {
    return m_poets.count({dynasty, name}) != 0 ? Utf8PoetPage(name, dynasty) : std::string();
}

std::string PageSet::FormPage(const std::string& form) const {
    return m_forms.count(form) != 0 ? Utf8FormPage(form) : std::string();
}

} // namespace refpages
