// poemlib index: makes the search index beside a library afresh.

#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/SearchIndexRenewal.h"

namespace poemlib {

int RunIndex(const Args& args) {
    const Arguments arguments(args, {}, {});
    return RenewSearchIndex(arguments.Positional(1)[0]) ? kSuccess : kFailure;
}

} // namespace poemlib
