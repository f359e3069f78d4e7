// Splitting a path into its folder and its file, in both string types.

#include "platform/core/SplitPath.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitPathTest, TheFolderKeepsItsSlashAndTheFileIsTheRest) {
    const FolderAndFile<CString> wide = SplitPath(CString(u"/opt/诗词/kavro.idx"));
    EXPECT_EQ(wide.folder, CString(u"/opt/诗词/"));
    EXPECT_EQ(wide.file, CString(u"kavro.idx"));
    const FolderAndFile<std::string> narrow = SplitPath(std::string("/opt/诗词/kavro.idx"));
    EXPECT_EQ(narrow.folder, "/opt/诗词/");
    EXPECT_EQ(narrow.file, "kavro.idx");
}

TEST(SplitPathTest, AtTheEdgesTheSlashDecides) {
    EXPECT_EQ(SplitPath(CString(u"/lomeva")).folder, CString(u"/"));
    EXPECT_EQ(SplitPath(std::string("lib/")).file, "");
    // Without a slash the path is all file: the caller says what an empty folder means.
    const FolderAndFile<CString> bare = SplitPath(CString(u"kavro.idx"));
    EXPECT_TRUE(bare.folder.IsEmpty());
    EXPECT_EQ(bare.file, CString(u"kavro.idx"));
    const FolderAndFile<std::string> narrow = SplitPath(std::string("kavro.idx"));
    EXPECT_TRUE(narrow.folder.empty());
    EXPECT_EQ(narrow.file, "kavro.idx");
}

} // namespace
