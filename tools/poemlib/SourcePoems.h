#pragma once
// Poems as the files of the open "chinese-poetry" collection give them, before they are made to
// fit a library.

#include <nlohmann/json_fwd.hpp>
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
// {title, content: [{type, content: [{chapter, author, paragraphs}]}]} whose types are forms.
std::vector<SourcePoem> PoemsOf(const nlohmann::json& document);

// The collection names dynasties in pinyin ("tang", "yuan"); the pick lists name them 唐代, 元代.
std::string DynastyName(const std::string& dynasty);

} // namespace poemlib
