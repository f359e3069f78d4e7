// refpages LIB POETS_JSON FORMS_JSON OUTDIR: writes authors.htm and geti.htm for the library.

#include "library/NameTables.h"
#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"
#include "platform/core/Services.h"
#include "settings/Settings.h"
#include "tools/refpages/LibraryPoems.h"
#include "tools/refpages/RefPages.h"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

namespace {

using refpages::Poem;

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

bool LoadLibrary(const std::string& lib, std::vector<Poem>& poems) {
    const auto slash = lib.rfind('/');
    g_strAppPath = CString::FromUtf8(slash == std::string::npos ? "./" : lib.substr(0, slash + 1));
    const std::string indexName = slash == std::string::npos ? lib : lib.substr(slash + 1);
    const std::string dataName = indexName.substr(0, indexName.size() - 4) + ".dat";
    CPoemLibrary library(g_strAppPath);
    library.SetFileNames(CString::FromUtf8(indexName), CString::FromUtf8(dataName));
    const OpenResult opened = library.Open(LibraryAccess::readOnly);
    if (!opened) {
        ShowOpenFailure(opened);
        return false;
    }
    return CollectPoems(library, poems);
}

nlohmann::json ReadJson(const std::string& path) {
    std::ifstream in(path);
    return nlohmann::json::parse(in, nullptr, false);
}

std::string Text(const nlohmann::json& object, const char* name) {
    return object.contains(name) && object[name].is_string() ? object[name].get<std::string>()
                                                             : std::string();
}

bool Write(const std::string& path, const std::string& html) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << html;
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: refpages LIB POETS_JSON FORMS_JSON OUTDIR\n", stderr);
        return 2;
    }
    std::vector<Poem> library;
    if (!LoadLibrary(argv[1], library)) {
        std::fprintf(stderr, "refpages: cannot open %s\n", argv[1]);
        return 1;
    }
    const nlohmann::json poets = ReadJson(argv[2]);
    const nlohmann::json forms = ReadJson(argv[3]);
    if (!poets.is_object() || !forms.is_object()) {
        std::fputs("refpages: the notes must be JSON objects keyed by name\n", stderr);
        return 1;
    }
    std::map<std::string, refpages::PoetNote> poetNotes;
    for (const auto& [name, note] : poets.items()) {
        poetNotes[name] = {Text(note, "dynasty"), Text(note, "years"), Text(note, "courtesy"),
                           Text(note, "about")};
    }
    std::map<std::string, refpages::FormNote> formNotes;
    for (const auto& [name, note] : forms.items()) {
        formNotes[name] = {Text(note, "kind"), Text(note, "about")};
    }
    const std::string out = std::string(argv[4]) + "/";
    const bool written =
        Write(out + "authors.htm",
              refpages::AuthorsPage(Names(g_authorNames), poetNotes, library)) &&
        Write(out + "geti.htm", refpages::FormsPage(Names(g_searchFormNames), formNotes, library));
    if (!written) {
        std::fprintf(stderr, "refpages: cannot write into %s\n", argv[4]);
        return 1;
    }
    return 0;
}
