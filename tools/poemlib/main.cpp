// poemlib: the poetry library from the command line, built on the reader's own library code.

#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace poemlib;

struct Command {
    const char* name;
    const char* usage;
    const char* help;
    int (*run)(const Args&);
};

const Command kCommands[] = {
    {"info", "poemlib info LIB [--json]",
     "Prints the library's name, version, author, date and number of poems as the main screen\n"
     "shows them; --json prints {\"name\",\"author\",\"version\",\"date\",\"count\"}.",
     RunInfo},
    {"list", "poemlib list LIB [--json]",
     "Prints every record in library order, one a line: number, title, author, dynasty and\n"
     "form, separated by tabs; --json prints one object a line with the text's length and\n"
     "offset as well.",
     RunList},
    {"search", "poemlib search LIB FIELD KEYWORD [--json]",
     "Prints the records whose FIELD (title, author, dynasty, form or text) contains KEYWORD,\n"
     "in library order, as list does.",
     RunSearch},
    {"show", "poemlib show LIB N",
     "Prints the text of record N (counting from 1) exactly as it is stored.", RunShow},
    {"page", "poemlib page LIB N",
     "Prints the HTML page the reader composes for record N, with the start-up colours and\n"
     "background and LIB's folder as the program folder.",
     RunPage},
    {"add", "poemlib add LIB --title T --author A [--form F]",
     "Appends the poem read from standard input (UTF-8) as the add-poem screen does: dynasty\n"
     "现代, form F or 现代, line breaks stored as CR LF.",
     RunAdd},
    {"create", "poemlib create LIB --name N --author A --version X.Y.Z --date YYYY-MM-DD",
     "Writes a new empty library: LIB and its data file. Refuses to overwrite either.", RunCreate},
    {"check", "poemlib check LIB [--json]",
     "Reports every problem found in the library's two files, one a line; exits 0 when it\n"
     "finds none and 1 when it finds some.",
     RunCheck},
    {"import", "poemlib import LIB FILE... [--dynasty D] [--form F]",
     "Appends the poems of JSON files in the layouts of the open \"chinese-poetry\" collection:\n"
     "arrays of {title or rhythmic, author, paragraphs, dynasty, form}, or an anthology\n"
     "{title, content: [{type, content: [{chapter, author, paragraphs}]}]} whose types are\n"
     "forms. Paragraphs are joined with CR LF; characters outside GB2312 become their\n"
     "simplified forms. D and F stand in for a poem's missing dynasty and form. Reports how\n"
     "many poems it added and why any could not be.",
     RunImport},
    {"export", "poemlib export LIB [--format json|text]",
     "Prints every poem: as JSON that import reads back (the default), or as text to read.",
     RunExport},
};

void PrintUsage(std::FILE* out) {
    std::fputs("usage: poemlib COMMAND LIB ...   (LIB is the path of an index file, NAME.idx;\n"
               "       its data file is NAME.dat beside it)\n\ncommands:\n",
               out);
    for (const Command& command : kCommands) {
        std::fprintf(out, "  %s\n", command.usage);
    }
    std::fputs("\n'poemlib COMMAND --help' tells more about one command.\n", out);
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : kCommands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

bool AsksForHelp(const Args& args) {
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const Args all(argv + 1, argv + argc);
    if (all.empty()) {
        PrintUsage(stderr);
        return kUsage;
    }
    if (all[0] == "--help" || all[0] == "-h" || all[0] == "help") {
        PrintUsage(stdout);
        return kSuccess;
    }
    const Command* command = FindCommand(all[0]);
    if (command == nullptr) {
        std::fprintf(stderr, "poemlib: unknown command '%s'\n", all[0].c_str());
        PrintUsage(stderr);
        return kUsage;
    }
    const Args args(all.begin() + 1, all.end());
    if (AsksForHelp(args)) {
        std::printf("usage: %s\n\n%s\n", command->usage, command->help);
        return kSuccess;
    }
    AfxSetAppName(u"poemlib");
    // The library's messages go to standard error, one line each.
    static CConsoleMessageBox console;
    Service<IMessageBoxService>::Install(&console);
    try {
        return command->run(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "poemlib %s: %s\nusage: %s\n", command->name, error.message.c_str(),
                     command->usage);
        return kUsage;
    }
}
