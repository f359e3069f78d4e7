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
    {"search", "poemlib search LIB... FIELD KEYWORD [--json]",
     "Prints the records whose FIELD (title, author, dynasty, form or text) contains KEYWORD,\n"
     "in library order, as list does. Given several libraries, or a folder (every library in\n"
     "it, a program folder say), each line starts with the library's name, and --json adds\n"
     "\"library\" (the name) and \"lib\" (its index file). Exits 1 when a library could not be\n"
     "searched, after printing what the others hold.",
     RunSearch},
    {"show", "poemlib show LIB N",
     "Prints the text of record N (counting from 1) exactly as it is stored, then, after a\n"
     "blank line, its notes one a line (\"原题：\" and the whole title first when it is cut).",
     RunShow},
    {"page", "poemlib page LIB N",
     "Prints the HTML page the reader composes for record N, with the start-up colours and\n"
     "background and LIB's folder as the program folder, and after it the notes that the\n"
     "reader shows below the page.",
     RunPage},
    {"add", "poemlib add LIB --title T --author A [--form F]",
     "Appends the poem read from standard input (UTF-8) as the add-poem screen does: dynasty\n"
     "现代, form F or 现代, line breaks stored as CR LF.",
     RunAdd},
    {"create", "poemlib create LIB --name N --author A --version X.Y.Z --date YYYY-MM-DD",
     "Writes a new empty library: LIB and its data file. Refuses to overwrite either.", RunCreate},
    {"check", "poemlib check LIB [--json]",
     "Reports every problem found in the library's two files and in its notes file (NAME.notes\n"
     "beside them: damaged, or notes that are no poem's), one a line, and in its search index\n"
     "(NAME.search) when it has one; exits 0 when it finds none and 1 when it finds some.",
     RunCheck},
    {"import",
     "poemlib import LIB FILE... [--kind stored|shi|ci|qu] [--dynasty D] [--form F] [--author A]\n"
     "       [--dynasty-of POET,POET...=D] [--dynasties-from LIB,LIB...] [--codes FILE]\n"
     "       [--report FILE]",
     "Appends the poems of JSON files in the layouts of the open \"chinese-poetry\" collection:\n"
     "arrays of {title or rhythmic, author, paragraphs (or para, or content), dynasty, form},\n"
     "or an anthology {title, content: [{type, content: [{chapter, subchapter, author,\n"
     "paragraphs}]}]} in its own order, whose types are forms; its poet may follow the\n"
     "dynasty (\"（唐）孟浩然\"), and a chapter may hold a set of poems, each a poem of its own\n"
     "(\"秋兴八首·其一\"). Lines are joined with CR LF.\n"
     "Text and titles become simplified Chinese with OpenCC's phrase tables (乾坤 stays, 乾燥\n"
     "becomes 干燥); a name that is one of the pick lists' keeps their spelling (乾荷叶). Where\n"
     "the simplified form lies outside the code page and the original inside it, the original\n"
     "stays; any other character the code page lacks becomes a variant it holds, or □.\n"
     "Before that, variant forms become standard (Japanese forms through OpenCC's jp2t, the\n"
     "others by poemlib's own table: 劒 → 剑, 髙 → 高); words the phrase tables get wrong in\n"
     "classical verse are written as poemlib's table says (乾符, 宫徵, 藉甚, 於铄); 餘 is 馀.\n"
     "A poet's name loses the editors' brackets, numbers, note marks and spaces (耿[湋] is\n"
     "耿湋); a description code ({隽乃=冏}) becomes the character --codes FILE (the\n"
     "collection's 表面结构字.json) names, or □.\n"
     "A field longer than its width is cut at a character and ends with \"…\".\n"
     "--kind says how to read the poems (default stored, as a library's export gives them):\n"
     "  shi  the form comes from the poem's shape, not from its tonal rules: 4 verses of 5\n"
     "       characters 五言绝句, 8 of 5 五言律诗, 4 of 7 七言绝句, 8 of 7 七言律诗, other\n"
     "       numbers of 5 or 7 五言古诗 or 七言古诗, of 4 四言, of 6 六言, of 3 三言, mixed\n"
     "       lengths 杂言, read once the notes are out of the verses; verses of one length\n"
     "       stand one couplet a line, paired within the source's sentences\n"
     "  ci   the tune is the form (rhythmic, or the title before \"·\"); lines as given;\n"
     "       a poem with no tune is read as a shi\n"
     "  qu   the tune, taken from the title (\"双调·水仙子\", \"剧名·曲牌\"), is the form\n"
     "D, F and A stand in for a poem's missing dynasty, form and author; --dynasty-of gives\n"
     "the poems of the named poets their own dynasty. --dynasties-from reads the poets of\n"
     "other libraries (names of libraries beside LIB, or index files): a poet's name the\n"
     "source cut short is made whole where they hold the poem (its first verse) under one\n"
     "longer name, and a poem takes the dynasty they hold it under by its poet when that of\n"
     "its source or D is not one they hold it under by anyone; a poem with neither takes the\n"
     "dynasty of most of its poet's poems there. Poems the library already holds (the same\n"
     "whole title, author and text) are left out. Except for stored poems, records with\n"
     "no verse are left out too, and the import mends what the collection's pages left: ASCII\n"
     "punctuation among Chinese becomes full-width, the notes and readings inside a shi's\n"
     "verses (\"(明明 一作：佼佼)\") go to its notes, an editor's brackets round the text go,\n"
     "a qu's verse comes out of its title, web text and blank lines go. A cut title keeps its\n"
     "end and no two poems share one. The notes (a source's `notes`, those out of the verses\n"
     "and whole titles) are written to NAME.notes beside LIB. Prints what it added, left out,\n"
     "cut, replaced and mended; --report writes it as JSON with the counts of dynasties,\n"
     "forms, notes and each kind of mend, and every character replaced or normalised, phrase\n"
     "mended and name cleaned. A file that cannot be read adds nothing at all.",
     RunImport},
    {"about",
     "poemlib about LIB poet NAME [--dynasty D] [--html]\n       poemlib about LIB form NAME "
     "[--html]",
     "Prints, as text, the reference page the reader opens for the poet NAME of a poem of LIB,\n"
     "or for the form NAME, from LIB's folder; --html prints the page itself. Poets of one name\n"
     "are told apart by dynasty: without --dynasty the poet is the one LIB has poems by, and\n"
     "when LIB has poems by poets of that name of several dynasties, --dynasty must choose.\n"
     "Exits 1 when there is no such page.",
     RunAbout},
    {"export", "poemlib export LIB [--format json|text]",
     "Prints every poem with its whole title and notes: as JSON that import reads back (the\n"
     "default), or as text to read.",
     RunExport},
    {"index", "poemlib index LIB",
     "Makes the search index NAME.search beside the library afresh. Import and create make it,\n"
     "and every append keeps it up to date; a library without one is searched all the same.",
     RunIndex},
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

// The command the arguments name, run; its exit code.
int RunCommandLine(const Args& all) {
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

} // namespace

int main(int argc, char** argv) {
    // Short output goes out 64 KiB at a time. The buffer is given, since the C library keeps its
    // own size for one it allocates itself (a page, into a pipe); an array, which outlives the
    // last flush at exit.
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    return poemlib::EndOutput(RunCommandLine(Args(argv + 1, argv + argc)));
}
