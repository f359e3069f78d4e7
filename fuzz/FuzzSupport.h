#pragma once
// What the fuzz targets share: a program folder in memory-backed storage, and the input cut
// into the pieces a target needs.

#include "platform/core/Services.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzzing {

// One folder for the whole run. A target empties it before each input, so that no file an
// earlier input left (a notes file, a search index) stands beside this input's library.
const std::string& Folder();
void EmptyFolder();
void WriteFile(const std::string& name, std::string_view bytes);

// Cuts `input` in two at a point named by its first two bytes.
std::pair<std::string_view, std::string_view> Split(const std::uint8_t* data, std::size_t size);

// Boxes the library shows go nowhere: a fuzzer must not print for every input.
class Quiet {
public:
    Quiet() : m_scope(m_boxes) {}

private:
    class NoBoxes : public IMessageBoxService {
    public:
        int Show(const MessageBoxInfo&) override { return IDOK; }
    };
    NoBoxes m_boxes;
    ScopedService<IMessageBoxService> m_scope;
};

} // namespace fuzzing
