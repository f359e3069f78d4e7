#include "tools/refpages/PackageNotes.h"

#include "platform/core/CString.h"

#include <nlohmann/json.hpp>

namespace refpages {
namespace {

// Long enough to tell a poet's titles apart, short enough to survive the record's 64 bytes.
constexpr std::size_t kKeyTitleLength = 12;
constexpr std::size_t kKeyAuthorLength = 7;

std::u16string Start(std::u16string_view text, std::size_t length) {
    text = text.substr(0, text.find(u'…'));
    return std::u16string(text.substr(0, length));
}

} // namespace

std::string RankKey(const std::string& author, const std::string& title) {
    const std::u16string key = Start(CString::FromUtf8(author).view(), kKeyAuthorLength) + u'\t' +
                               Start(CString::FromUtf8(title).view(), kKeyTitleLength);
    return CString(key).ToUtf8();
}

std::string WritePackageNotes(const PackageNotes& notes) {
    nlohmann::json json; // keys in byte order, as the maps hold them: inserting stays quick
    json["biographies"] = nlohmann::json::object();
    for (const auto& [dynasty, poets] : notes.biographies) {
        auto& byName = json["biographies"][dynasty];
        for (const auto& [name, biographies] : poets) {
            for (const Biography& biography : biographies) {
                byName[name].push_back({biography.source, biography.text});
            }
        }
    }
    json["ranks"] = nlohmann::json::object();
    for (const auto& [library, keys] : notes.ranks) {
        auto& byKey = json["ranks"][library];
        for (const auto& [key, counts] : keys) {
            byKey[key] = counts;
        }
    }
    return json.dump(0) + "\n";
}

std::optional<PackageNotes> ReadPackageNotes(const std::string& text) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object() || !json.contains("biographies") || !json.contains("ranks")) {
        return std::nullopt;
    }
    PackageNotes notes;
    try {
        for (const auto& [dynasty, poets] : json["biographies"].items()) {
            for (const auto& [name, biographies] : poets.items()) {
                auto& into = notes.biographies[dynasty][name];
                for (const auto& biography : biographies) {
                    into.push_back(
                        {biography.at(0).get<std::string>(), biography.at(1).get<std::string>()});
                }
            }
        }
        for (const auto& [library, keys] : json["ranks"].items()) {
            auto& into = notes.ranks[library];
            for (const auto& [key, counts] : keys.items()) {
                into[key] = counts.get<std::vector<long long>>();
            }
        }
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
    return notes;
}

} // namespace refpages
