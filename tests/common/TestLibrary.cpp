#include "tests/common/TestLibrary.h"

#include "platform/core/CString.h"
#include "platform/core/CodePage.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lomeva-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void TempFolder::OpenToEveryone() const {
    std::filesystem::permissions(m_path, std::filesystem::perms::all,
                                 std::filesystem::perm_options::add);
}

bool AsUnprivilegedUser(const std::function<bool()>& check) {
    if (::geteuid() != 0) {
        return check();
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        const gid_t nobodyGroup = 65534;
        const uid_t nobody = 65534;
        const bool dropped = ::setgid(nobodyGroup) == 0 && ::setuid(nobody) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Gbk(const std::string& utf8) {
    return CodePage::Encode(CString::FromUtf8(utf8).view());
}

namespace {

void CopyField(char* field, std::size_t width, const std::string& utf8) {
    const std::string bytes = Gbk(utf8);
    std::memcpy(field, bytes.data(), std::min(bytes.size(), width - 1));
}

} // namespace

LibraryHeader MakeHeader(const std::string& name, const std::string& author, std::int32_t version,
                         std::int32_t date) {
    LibraryHeader header{};
    header.magic[0] = 'S';
    header.magic[1] = 'C';
    CopyField(header.name, sizeof header.name, name);
    CopyField(header.author, sizeof header.author, author);
    header.version = version;
    header.date = date;
    return header;
}

PoemRecord MakeRecord(const TestPoem& poem) {
    PoemRecord record{};
    CopyField(record.title, sizeof record.title, poem.title);
    CopyField(record.author, sizeof record.author, poem.author);
    CopyField(record.dynasty, sizeof record.dynasty, poem.dynasty);
    CopyField(record.form, sizeof record.form, poem.form);
    return record;
}

void WriteLibrary(const TempFolder& folder, const std::string& name,
                  const std::vector<TestPoem>& poems, LibraryHeader header) {
    std::string data;
    std::string records;
    for (const TestPoem& poem : poems) {
        PoemRecord record = MakeRecord(poem);
        const std::string text = Gbk(poem.text) + '\0';
        record.offset = static_cast<std::uint32_t>(data.size());
        record.length = static_cast<std::uint32_t>(text.size());
        data += text;
        records.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    header.count = static_cast<std::uint32_t>(poems.size());
    std::string index(reinterpret_cast<const char*>(&header), sizeof header);
    WriteFile(folder.File(name + ".idx"), index + records);
    WriteFile(folder.File(name + ".dat"), data);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<PoemRecord> RecordsOf(const std::string& indexBytes) {
    std::vector<PoemRecord> records;
    for (std::size_t at = kHeaderSize; at + kRecordSize <= indexBytes.size(); at += kRecordSize) {
        PoemRecord record;
        std::memcpy(&record, indexBytes.data() + at, sizeof record);
        records.push_back(record);
    }
    return records;
}

} // namespace testing_support
