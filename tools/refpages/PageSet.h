#pragma once
// The page of every poet and every form of the libraries of a program folder (their names are
// those of library/ReferencePages.h):
//  - a poet is a name and a dynasty: two poets of one name in different dynasties have a page
//    each. What is said of them: our own note (data/kavro/poets.json) when its dynasty is the
//    poet's (or 历代), otherwise the package's biographies of that name in that dynasty (those of
//    唐代 serve 五代十国 too, as 全唐诗 counts the Five Dynasties' poets among its own); always
//    how many poems each library holds by them, the first titles, and the forms they wrote in.
//  - a form: our own note (forms.json) when there is one; always how many poems use it in each
//    library, its usual shape (the most common number of characters and verses, and how many
//    poems keep it) and one example: the poem of the form best known by the package's counts,
//    or, where no poem of it is counted, the first poem of the usual shape.

#include "tools/refpages/PackageNotes.h"
#include "tools/refpages/RefPages.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace refpages {

// Where the words of a page come from.
enum class PageSource { ours, package, library };

struct PageCounts {
    std::map<PageSource, int> poets;
    std::map<PageSource, int> forms;
};

class PageSet {
public:
    PageSet(std::map<std::string, PoetNote> poetNotes, std::map<std::string, FormNote> formNotes,
            PackageNotes package);

    // One library's poems, in its order; `stem` is its file's name without ".idx" (what the
    // package's counts are kept under), `name` the name its header gives it.
    void AddLibrary(const std::string& stem, const std::string& name,
                    const std::vector<Poem>& poems);

    // Every page: its name relative to the program folder, and its HTML.
    std::map<std::string, std::string> Pages() const;
    PageCounts Counts() const;

    // The page's name relative to the program folder, or empty when there is none.
    std::string PoetPage(const std::string& name, const std::string& dynasty) const;
    std::string FormPage(const std::string& form) const;

private:
    struct Shelf { // one library's poems by one poet
        std::size_t library = 0;
        int poems = 0;
        std::vector<std::string> titles;
    };
    struct PoetFacts {
        std::vector<Shelf> shelves;
        std::map<std::string, int> forms;
    };
    struct Example {
        std::string title;
        std::string author;
        std::string dynasty;
        std::string text;
        long long known = -1; // the package's count; -1 when it has none
    };
    struct Shape {
        int poems = 0;
        Example first;
    };
    struct FormFacts {
        std::vector<std::pair<std::size_t, int>> libraries; // library, poems
        std::map<std::pair<int, int>, Shape> shapes;        // (characters, verses)
        int measured = 0;                                   // poems with any text
        std::optional<Example> best;
    };
    using PoetKey = std::pair<std::string, std::string>; // dynasty, name

    const PoetNote* OurPoetNote(const PoetKey& poet) const;
    const std::vector<Biography>* PackageBiographies(const PoetKey& poet) const;
    PageSource PoetSource(const PoetKey& poet) const;

    std::string PoetHtml(const PoetKey& poet, const PoetFacts& facts) const;
    std::string FormHtml(const std::string& form, const FormFacts& facts) const;
    std::string ShelvesHtml(const PoetFacts& facts) const;
    std::string FormsOfPoetHtml(const PoetFacts& facts) const;
    std::string FormLibrariesHtml(const FormFacts& facts) const;
    std::string ExampleHtml(const Example& example) const;

    std::map<std::string, PoetNote> m_poetNotes;
    std::map<std::string, FormNote> m_formNotes;
    PackageNotes m_package;
    std::vector<std::string> m_libraries;
    std::map<PoetKey, PoetFacts> m_poets;
    std::map<std::string, FormFacts> m_forms;
};
} // namespace refpages
