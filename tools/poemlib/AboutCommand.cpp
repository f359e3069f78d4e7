// poemlib about: the reference page of a poet or a form of a library, as the reader shows it.

#include "library/ReferencePages.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/PageText.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace poemlib {
namespace {

// The dynasties of LIB's poems by `author`, in the order they first stand.
std::vector<std::string> DynastiesOf(CPoemLibrary& library, const std::string& author) {
    std::vector<std::string> dynasties;
    std::set<std::string> seen;
    for (const PoemRecord& record : library.GetRecords()) {
        if (FieldText(record.author, sizeof record.author) == author) {
            const std::string dynasty = FieldText(record.dynasty, sizeof record.dynasty);
            if (seen.insert(dynasty).second) {
                dynasties.push_back(dynasty);
            }
        }
    }
    return dynasties;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + (name.empty() ? std::string("(none)") : name);
    }
    return text;
}

// The page a poem's entry opens: the poet of the given dynasty, or of the only dynasty LIB has
// poems of them in. Empty, after saying why, when there is none to choose.
std::string PoetPage(CPoemLibrary& library, const std::string& lib, const std::string& name,
                     const std::optional<std::string>& dynasty) {
    if (dynasty) {
        return Utf8(PoetPageName(Utf16(name), Utf16(*dynasty)));
    }
    const std::vector<std::string> dynasties = DynastiesOf(library, name);
    if (dynasties.empty()) {
        PrintError("poemlib: " + lib + " has no poem by " + name);
        return {};
    }
    if (dynasties.size() > 1) {
        throw UsageError{lib + " has poems by poets named " + name + " of " +
                         std::to_string(dynasties.size()) + " dynasties (" + Joined(dynasties) +
                         "): choose one with --dynasty"};
    }
    return Utf8(PoetPageName(Utf16(name), Utf16(dynasties.front())));
}

bool ReadPage(const std::filesystem::path& file, std::string& html) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    html.assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

} // namespace

int RunAbout(const Args& args) {
    const Arguments arguments(args, {"html"}, {"dynasty"});
    const auto& positional = arguments.Positional(3);
    const std::string& lib = positional[0];
    const std::string& kind = positional[1];
    const std::string& name = positional[2];
    if (kind != "poet" && kind != "form") {
        throw UsageError{"say poet or form: " + kind};
    }
    if (kind == "form" && arguments.Option("dynasty")) {
        throw UsageError{"--dynasty tells poets apart, not forms"};
    }
    const auto library = OpenLibraryToRead(lib);
    if (!library) {
        return kFailure;
    }
    const std::string page = kind == "poet"
                                 ? PoetPage(*library, lib, name, arguments.Option("dynasty"))
                                 : Utf8(FormPageName(Utf16(name)));
    if (page.empty()) {
        return kFailure;
    }
    const std::filesystem::path file = ParseLibraryPath(lib).folder + page;
    std::string html;
    if (!ReadPage(file, html)) {
        PrintError("poemlib: no page for " + name + ": " + file.string() + " is missing");
        return kFailure;
    }
    Print(arguments.Flag("html") ? html : PageAsText(html));
    return kSuccess;
}

} // namespace poemlib
