#include "tools/poemlib/PoetNames.h"

#include "platform/core/CString.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <vector>

namespace poemlib {
namespace {

constexpr std::u16string_view kMissing = u"□";
constexpr std::u16string_view kNumerals = u"0123456789一二三四五六七八九十百〇";

// Names the rules below cannot read rightly: the collection's own list of Tang poets
// (quantangshi/authors.tang.json) names her 鮑氏君徽; the 微 after the bracket is the misprint
// the bracket mends.
const std::map<std::u16string_view, std::u16string_view>& HandMendedNames() {
    static const std::map<std::u16string_view, std::u16string_view> names = {
        {u"鮑氏君[徽]微", u"鮑氏君徽"},
    };
    return names;
}

bool IsSpace(char16_t ch) {
    return ch == u' ' || ch == u'\t' || ch == u'\u3000' || ch == u'\u00A0';
}

bool IsNumber(std::u16string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char16_t ch) {
        return kNumerals.find(ch) != std::u16string_view::npos;
    });
}

// A count of poems that follows a name: "六首".
bool IsCount(std::u16string_view part) {
    return part.size() >= 2 && part.back() == u'首' && IsNumber(part.substr(0, part.size() - 1));
}

// Each bracketed stretch, from `open` to `close`, replaced by what `keep` makes of its inside.
template <class Keep>
std::u16string Unbracketed(std::u16string_view name, char16_t open, char16_t close, Keep keep) {
    std::u16string out;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t end =
            name[i] == open ? name.find(close, i + 1) : std::u16string_view::npos;
        if (end == std::u16string_view::npos) {
            out += name[i++];
            continue;
        }
        out += keep(name.substr(i, end - i + 1), name.substr(i + 1, end - i - 1));
        i = end + 1;
    }
    return out;
}

// The parts of a name between spaces, counts of poems left out, joined with "、".
std::u16string PoetsJoined(std::u16string_view name) {
    std::vector<std::u16string_view> parts;
    for (std::size_t i = 0; i < name.size();) {
        while (i < name.size() && IsSpace(name[i])) {
            ++i;
        }
        std::size_t end = i;
        while (end < name.size() && !IsSpace(name[end])) {
            ++end;
        }
        if (end > i && !IsCount(name.substr(i, end - i))) {
            parts.push_back(name.substr(i, end - i));
        }
        i = end;
    }
    std::u16string joined;
    for (const std::u16string_view part : parts) {
        joined += (joined.empty() ? u"" : u"、") + std::u16string(part);
    }
    return joined;
}

} // namespace

CharacterCodes CharacterCodesOf(const nlohmann::json& document) {
    CharacterCodes codes;
    if (!document.is_object()) {
        return codes;
    }
    for (const auto& [code, fonts] : document.items()) {
        if (fonts.is_array() && !fonts.empty() && fonts.front().is_object() &&
            fonts.front().contains("font") && fonts.front()["font"].is_string()) {
            codes.emplace(code, fonts.front()["font"].get<std::string>());
        }
    }
    return codes;
}

std::string CleanPoetName(const std::string& name, const CharacterCodes& codes) {
    const std::u16string given = CString::FromUtf8(name).str();
    if (const auto it = HandMendedNames().find(given); it != HandMendedNames().end()) {
        return CString(it->second).ToUtf8();
    }
    std::u16string text = Unbracketed(given, u'{', u'}', [&codes](auto code, auto) {
        const auto it = codes.find(CString(code).ToUtf8());
        return it != codes.end() ? CString::FromUtf8(it->second).str() : std::u16string(kMissing);
    });
    text = Unbracketed(text, u'〖', u'〗', [](auto, auto) { return std::u16string(); });
    text = Unbracketed(text, u'[', u']', [](auto, auto inside) {
        return IsNumber(inside) ? std::u16string() : std::u16string(inside);
    });
    text = PoetsJoined(text);
    const std::size_t digits = text.find_last_not_of(u"0123456789");
    if (digits != std::u16string::npos) {
        text.erase(digits + 1); // 劉鎮2; a name of digits alone stays
    }
    return CString(text).ToUtf8();
}

} // namespace poemlib
