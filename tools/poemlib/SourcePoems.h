#pragma once
// Poems as the files of the open "chinese-poetry" collection give them, before they are made to
// fit a library.

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

namespace poemlib {

struct SourcePoem {
    std::string title;
    std::string author;
    std::string dynasty;
    std::string form;
    std::vector<std::string> paragraphs;
    std::vector<std::string> notes; // the source's own notes, one a line
};

// The poems of one parsed file, in the collection's layouts: an array of poems (the lines as
// `paragraphs`, `para` or `content`; a ci's tune as `rhythmic`, which is its form and, without
// a title, its title; `notes` a list of lines), one such poem alone, or an anthology
// {title, content: [{type, content: [{chapter, subchapter, author, paragraphs}]}]} in its own
// order, whose types are forms. An anthology's poet may follow the dynasty ("（唐）孟浩然"), and
// a chapter may hold a set of poems ({subchapter: 其一, paragraphs}, …), each a poem of its own.
std::vector<SourcePoem> PoemsOf(const nlohmann::json& document);

// The collection names dynasties in pinyin ("tang", "yuan"), an anthology by one character
// ("唐"); the pick lists name them 唐代, 元代. A name neither is stays as it is.
std::string DynastyName(const std::string& dynasty);
std::optional<std::string> KnownDynasty(const std::string& dynasty);

} // namespace poemlib
