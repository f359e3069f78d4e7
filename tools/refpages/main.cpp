// refpages PROGRAM_DIR POETS_JSON FORMS_JSON [--summary]
//   writes the reference pages of the program folder from every library in it: authors.htm and
//   geti.htm (the search screen's, over the default library kavro) and the page of every poet
//   and form (poets/, forms/), with what the libraries' build took from the collection's package
//   (.collection-notes.json) when the folder has it. The ordinary build and the libraries' build
//   both run this, so that the pages are always those of the libraries the folder holds.
// refpages package DIST SOURCES OUT
//   converts the package's biographies and counts into OUT, for the libraries whose source files
//   SOURCES lists ("LIBRARY<TAB>FILE" lines, in the order they were imported).

#include "library/NameTables.h"
#include "library/PoemLibrary.h"
#include "platform/core/Services.h"
#include "settings/InstalledLibrary.h"
#include "tools/poemlib/Simplifier.h"
#include "tools/refpages/LibraryPoems.h"
#include "tools/refpages/PackageConversion.h"
#include "tools/refpages/PageFiles.h"
#include "tools/refpages/PageSet.h"
#include "tools/refpages/RefPages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace {

using refpages::Poem;

constexpr const char* kDefaultLibrary = "kavro";

template <std::size_t N>
std::vector<std::string> Names(const std::array<const char16_t*, N>& table) {
    std::vector<std::string> names;
    for (const char16_t* name : table) {
        if (std::u16string_view(name).size() < 2) {
            break;
        }
        names.push_back(CString(name).ToUtf8());
    }
    return names;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

nlohmann::json ReadJson(const fs::path& path) {
    return nlohmann::json::parse(ReadAll(path), nullptr, false);
}

std::string Text(const nlohmann::json& object, const char* name) {
    return object.contains(name) && object[name].is_string() ? object[name].get<std::string>()
                                                             : std::string();
}

// The stems of the folder's libraries (an index with its data file): the default library first,
// then the others in the byte order of their names, so that every build lists them alike.
std::vector<std::string> LibraryStems(const fs::path& folder) {
    std::vector<std::string> stems;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const fs::path& path = entry.path();
        if (path.extension() == ".idx" && path.filename().string()[0] != '.' &&
            fs::exists(fs::path(path).replace_extension(".dat"))) {
            stems.push_back(path.stem().string());
        }
    }
    std::sort(stems.begin(), stems.end(), [](const std::string& a, const std::string& b) {
        return std::make_pair(a != kDefaultLibrary, a) < std::make_pair(b != kDefaultLibrary, b);
    });
    return stems;
}

bool LoadLibrary(const fs::path& folder, const std::string& stem, std::string& name,
                 std::vector<Poem>& poems) {
    CPoemLibrary library(CString::FromUtf8(folder.string() + "/"));
    library.SetFileNames(CString::FromUtf8(stem + ".idx"), CString::FromUtf8(stem + ".dat"));
    const OpenResult opened = library.Open(LibraryAccess::readOnly);
    if (!opened) {
        ShowOpenFailure(opened);
        return false;
    }
    name = library.GetName().ToUtf8();
    if (name.empty()) {
        name = stem;
    }
    return CollectPoems(library, poems);
}

struct OurNotes {
    std::map<std::string, refpages::PoetNote> poets;
    std::map<std::string, refpages::FormNote> forms;
};

bool ReadOurNotes(const char* poetsFile, const char* formsFile, OurNotes& notes) {
    const nlohmann::json poets = ReadJson(poetsFile);
    const nlohmann::json forms = ReadJson(formsFile);
    if (!poets.is_object() || !forms.is_object()) {
        std::fputs("refpages: the notes must be JSON objects keyed by name\n", stderr);
        return false;
    }
    for (const auto& [name, note] : poets.items()) {
        notes.poets[name] = {Text(note, "dynasty"), Text(note, "years"), Text(note, "courtesy"),
                             Text(note, "about")};
    }
    for (const auto& [name, note] : forms.items()) {
        notes.forms[name] = {Text(note, "kind"), Text(note, "about")};
    }
    return true;
}

refpages::PackageNotes ReadPackageNotesOf(const fs::path& folder) {
    const fs::path file = folder / refpages::kPackageNotesFile;
    if (!fs::exists(file)) {
        return {};
    }
    auto notes = refpages::ReadPackageNotes(ReadAll(file));
    if (!notes) {
        std::fprintf(stderr, "refpages: %s is damaged; the pages go without it\n",
                     file.string().c_str());
        return {};
    }
    return *notes;
}

// Which pages the search screen's pages link to: a name with the page of its own.
template <typename PageOf>
std::map<std::string, std::string> FullPages(const std::vector<std::string>& names, PageOf pageOf) {
    std::map<std::string, std::string> pages;
    for (const std::string& name : names) {
        if (const std::string page = pageOf(name); !page.empty()) {
            pages[name] = page;
        }
    }
    return pages;
}

void PrintSummary(const refpages::PageSet& pages) {
    const refpages::PageCounts counts = pages.Counts();
    auto count = [](const std::map<refpages::PageSource, int>& of, refpages::PageSource source) {
        const auto it = of.find(source);
        return it == of.end() ? 0 : it->second;
    };
    using refpages::PageSource;
    std::printf("poets: %d ours, %d the package's biography, %d the libraries alone\n",
                count(counts.poets, PageSource::ours), count(counts.poets, PageSource::package),
                count(counts.poets, PageSource::library));
    std::printf("forms: %d ours, %d the libraries alone\n", count(counts.forms, PageSource::ours),
                count(counts.forms, PageSource::library));
}

int WriteFolderPages(const fs::path& folder, const char* poetsFile, const char* formsFile,
                     bool summary) {
    OurNotes notes;
    if (!ReadOurNotes(poetsFile, formsFile, notes)) {
        return 1;
    }
    refpages::PageSet pages(notes.poets, notes.forms, ReadPackageNotesOf(folder));
    std::vector<Poem> defaultLibrary;
    for (const std::string& stem : LibraryStems(folder)) {
        std::string name;
        std::vector<Poem> poems;
        if (!LoadLibrary(folder, stem, name, poems)) {
            std::fprintf(stderr, "refpages: cannot read the library %s; it has no pages\n",
                         stem.c_str());
            continue;
        }
        pages.AddLibrary(stem, name, poems);
        if (stem == kDefaultLibrary) {
            defaultLibrary = std::move(poems);
        }
    }
    const std::vector<std::string> authors = Names(g_authorNames);
    const std::vector<std::string> forms = Names(g_searchFormNames);
    const auto poetPages = FullPages(authors, [&](const std::string& name) {
        const auto note = notes.poets.find(name);
        return pages.PoetPage(name, note == notes.poets.end() ? "" : note->second.dynasty);
    });
    const auto formPages =
        FullPages(forms, [&](const std::string& name) { return pages.FormPage(name); });
    std::string error;
    const bool written =
        refpages::WritePages(folder, pages.Pages(), error) &&
        refpages::WriteIfChanged(
            folder / "authors.htm",
            refpages::AuthorsPage(authors, notes.poets, defaultLibrary, poetPages), error) &&
        refpages::WriteIfChanged(folder / "geti.htm",
                                 refpages::FormsPage(forms, notes.forms, defaultLibrary, formPages),
                                 error);
    if (!written) {
        std::fprintf(stderr, "refpages: %s\n", error.c_str());
        return 1;
    }
    if (summary) {
        PrintSummary(pages);
    }
    return 0;
}

int ConvertPackage(const char* dist, const char* sources, const char* out) {
    const Simplifier simplifier;
    if (!simplifier.IsReady()) {
        std::fputs("refpages: OpenCC or its conversion tables are missing\n", stderr);
        return 1;
    }
    refpages::PackageNotes notes;
    std::string error;
    if (!refpages::ConvertPackageNotes(dist, refpages::ReadSourceList(ReadAll(sources)), simplifier,
                                       notes, error) ||
        !refpages::WriteIfChanged(out, refpages::WritePackageNotes(notes), error)) {
        std::fprintf(stderr, "refpages: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "package") == 0) {
        return ConvertPackage(argv[2], argv[3], argv[4]);
    }
    const bool summary = argc == 5 && std::strcmp(argv[4], "--summary") == 0;
    if (argc != 4 && !summary) {
        std::fputs("usage: refpages PROGRAM_DIR POETS_JSON FORMS_JSON [--summary]\n"
                   "       refpages package DIST SOURCES OUT\n",
                   stderr);
        return 2;
    }
    return WriteFolderPages(argv[1], argv[2], argv[3], summary);
}
