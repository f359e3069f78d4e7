#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fuzzing {

const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        pattern += "/lomeva-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern + "/";
    }();
    return folder;
}

void EmptyFolder() {
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
        std::filesystem::remove_all(entry.path());
    }
}

void WriteFile(const std::string& name, std::string_view bytes) {
    std::ofstream out(Folder() + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::pair<std::string_view, std::string_view> Split(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    if (size < 2) {
        return {all, {}};
    }
    const std::size_t cut = std::min<std::size_t>(size - 2, (data[0] << 8 | data[1]) * 4u);
    return {all.substr(2, cut), all.substr(2 + cut)};
}

} // namespace fuzzing
