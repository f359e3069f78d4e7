#include "platform/core/ProgramFiles.h"

#include <string_view>

namespace {

std::string Numbered(std::string_view pattern, unsigned number) {
    const std::size_t at = pattern.find("%u");
    return std::string(pattern.substr(0, at)) + std::to_string(number) +
           std::string(pattern.substr(at + 2));
}

} // namespace

std::string BackgroundPictureName(unsigned number) {
    return Numbered(kBackgroundPictureName, number);
}

std::string BackgroundMusicName(unsigned number) {
    return Numbered(kBackgroundMusicName, number);
}
