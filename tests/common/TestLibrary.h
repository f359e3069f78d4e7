#pragma once
// Libraries made on disk for tests: a temporary program folder and the two files of a library,
// written byte for byte so that tests control every field.

#include "library/LibraryFormat.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder as the program keeps it: ending with its separator.
    std::string Folder() const { return m_path.string() + "/"; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    // Lets any user read and write in the folder (see AsUnprivilegedUser).
    void OpenToEveryone() const;

private:
    std::filesystem::path m_path;
};

struct TestPoem {
    std::string title; // UTF-8; converted to code page 936 when written
    std::string author;
    std::string dynasty;
    std::string form;
    std::string text;
};

// Converts UTF-8 to code page 936 bytes.
std::string Gbk(const std::string& utf8);

LibraryHeader MakeHeader(const std::string& name = "测试诗词", const std::string& author = "编者",
                         std::int32_t version = 10000, std::int32_t date = 20050301);
PoemRecord MakeRecord(const TestPoem& poem);

// Writes NAME.idx and NAME.dat into the folder. Each text is stored with one trailing zero
// byte, as the program appends them, and the header's count is the number of poems.
void WriteLibrary(const TempFolder& folder, const std::string& name,
                  const std::vector<TestPoem>& poems, LibraryHeader header = MakeHeader());

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// Runs `check` as a user without privileges, so that file permissions hold even when the tests
// run as root (as they do in CI): as root it runs in a child process as "nobody". Returns what
// `check` returned.
bool AsUnprivilegedUser(const std::function<bool()>& check);

// The record bytes `bytes` viewed as records.
std::vector<PoemRecord> RecordsOf(const std::string& indexBytes);

} // namespace testing_support
