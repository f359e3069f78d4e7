#pragma once
// Poets' names as the collection gives them, without its editors' marks: "[嚴]續姬", "耿[湋]",
// "劉鎮2", "曹菘〖1〗", "史{隽乃=冏}之", "道鏡　善導", "尹鹗 六首".

#include <map>
#include <nlohmann/json_fwd.hpp>
#include <string>

namespace poemlib {

// The collection's description codes of characters that no font had ("{隽乃=冏}"), with the
// character each stands for where it says so: quantangshi/表面结构字.json, an object of codes each
// with a list of {font, unicode}; the first is taken, and a code with none is left out.
using CharacterCodes = std::map<std::string, std::string>;
CharacterCodes CharacterCodesOf(const nlohmann::json& document);

// The name (UTF-8) with
// - a bracketed character the editors supplied kept without its brackets ("[嚴]續姬" 嚴續姬),
//   and a bracketed number or a 〖note mark〗 dropped ("敦煌人作品[一]", "曹菘〖1〗");
// - the number that tells two poets of one name apart dropped ("劉鎮2" 劉鎮);
// - a description code written as its character, or □ where the codes know none;
// - several poets parted by spaces joined with "、" as the collection joins them elsewhere
//   ("道鏡　善導" 道鏡、善導), and a count of poems after a space dropped ("尹鹗 六首").
std::string CleanPoetName(const std::string& name, const CharacterCodes& codes);

} // namespace poemlib
