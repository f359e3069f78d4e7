#include "platform/core/FindFile.h"
#include "tests/common/TestLibrary.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

using testing_support::TempFolder;
using testing_support::WriteFile;

std::set<std::u16string> Find(const std::string& pattern) {
    std::set<std::u16string> names;
    WIN32_FIND_DATA found{};
    HANDLE search = FindFirstFile(CString::FromUtf8(pattern).GetString(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.insert(found.cFileName);
    } while (FindNextFile(search, &found));
    EXPECT_TRUE(FindClose(search));
    return names;
}

TEST(FindFile, ListsTheMatchingFilesByBareName) {
    TempFolder folder;
    for (const char* name : {"kavro.idx", "a.b.idx", ".idx", "唐诗 宋词.idx", "-dash.idx",
                             "kavro.dat", "idx", "notes.idx.txt"}) {
        WriteFile(folder.File(name), "x");
    }
    std::filesystem::create_directory(folder.File("folder.idx"));
    EXPECT_EQ(Find(folder.Folder() + "*.idx"),
              (std::set<std::u16string>{u"kavro.idx", u"a.b.idx", u".idx", u"唐诗 宋词.idx",
                                        u"-dash.idx"}));
}

TEST(FindFile, NothingToFindOpensNoSearch) {
    TempFolder folder;
    WIN32_FIND_DATA found{};
    EXPECT_EQ(FindFirstFile(CString::FromUtf8(folder.Folder() + "*.idx").GetString(), &found),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFile(u"/no/such/folder/*.idx", &found), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFile(INVALID_HANDLE_VALUE, &found));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

} // namespace
