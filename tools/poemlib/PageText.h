#pragma once
// A reference page as plain text: what the reader's viewer shows of it, a block a paragraph.

#include <string>

namespace poemlib {

// The text of the page's body: headings, paragraphs and line breaks as lines, a blank line
// between paragraphs, links as their words, the few entities the pages use decoded.
std::string PageAsText(const std::string& html);

} // namespace poemlib
