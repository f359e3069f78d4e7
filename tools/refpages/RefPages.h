#pragma once
// The reference pages of the program folder: authors.htm, one entry per poet of the search
// screen's author list, and geti.htm, one per form of its form list, each anchored at the name
// exactly as the list shows it. Texts about poets and forms are ours (data/kavro/poets.json and
// forms.json); the poems they list and count come from the default library.

#include <map>
#include <string>
#include <vector>

namespace refpages {

struct Poem {
    std::string title; // UTF-8
    std::string author;
    std::string dynasty;
    std::string form;
    std::string text; // lines separated by CR LF
};

struct PoetNote {
    std::string dynasty;
    std::string years;
    std::string courtesy;
    std::string about;
};

struct FormNote {
    std::string kind;
    std::string about;
};

// Names in list order, duplicates kept: each distinct name gets one entry, which links to the
// name's page of its own where `fullPages` has one (name -> page relative to the program folder).
std::string AuthorsPage(const std::vector<std::string>& authors,
                        const std::map<std::string, PoetNote>& notes,
                        const std::vector<Poem>& library,
                        const std::map<std::string, std::string>& fullPages = {});
std::string FormsPage(const std::vector<std::string>& forms,
                      const std::map<std::string, FormNote>& notes,
                      const std::vector<Poem>& library,
                      const std::map<std::string, std::string>& fullPages = {});

// What the library's poems of one form have in common: how many, and the most frequent
// number of stanzas (paragraphs), lines, characters, and characters per line.
struct FormShape {
    int poems = 0;
    int stanzas = 0;
    int lines = 0;
    int characters = 0;
    int charactersPerLine = 0; // 0 when the lines differ in length
};
FormShape ShapeOf(const std::string& form, const std::vector<Poem>& library);

// The Chinese characters of a text, and the lengths of its verses: pieces ended by a line break
// or by the punctuation that ends a verse; stanzas are runs of lines with text.
struct TextShape {
    int stanzas = 0;
    int characters = 0;
    std::vector<int> lineLengths;
};
TextShape Measure(const std::string& utf8);

std::string Escape(const std::string& text);
// A poem's text, escaped, its lines ended by <br>.
std::string TextAsHtml(const std::string& text);

// A page's name as a link's address: the '%' of an escaped file name (and the '?' a link would
// read as a query) are written as the address's own escapes.
std::string LinkTo(const std::string& pageName);

// Colours of the reader's pages: light ink over the dark background pictures.
inline constexpr const char* kHeadingColor = "#F2C46D";
inline constexpr const char* kNoteColor = "#D9CBB0";
// A page's head and the opening of its body; `toProgramFolder` leads from the page's folder to
// the program folder, where the background picture lies ("", "../", "../../").
std::string Head(const std::string& title, const std::string& toProgramFolder);

} // namespace refpages
