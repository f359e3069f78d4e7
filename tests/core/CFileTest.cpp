#include "platform/core/CFile.h"
#include "tests/common/TestLibrary.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

CString Path(const std::string& path) {
    return CString::FromUtf8(path);
}

TEST(CFile, ReadsSeeksAndWritesAnExistingFile) {
    TempFolder folder;
    WriteFile(folder.File("a.bin"), "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(Path(folder.File("a.bin")), CFile::modeReadWrite));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Seek(8, CFile::begin), 8);
    EXPECT_EQ(file.Read(buffer, 8), 2u); // fewer at the end of the file
    EXPECT_EQ(file.SeekToEnd(), 10);
    EXPECT_TRUE(file.Write("ab", 2));
    EXPECT_TRUE(file.Flush());
    EXPECT_EQ(file.ReadAt(9, buffer, 8), 3u);
    EXPECT_EQ(std::string(buffer, 3), "9ab");
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFile(folder.File("a.bin")), "0123456789ab");
}

TEST(CFile, NeverCreatesAFileAndSaysWhyItCannotOpen) {
    TempFolder folder;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(Path(folder.File("missing.idx")), CFile::modeReadWrite, &error));
    EXPECT_EQ(::access(folder.File("missing.idx").c_str(), F_OK), -1);
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    const CString message = error.GetErrorMessage();
    EXPECT_NE(message.Find(u"missing.idx"), -1);
    EXPECT_NE(message.Find(u"文件不存在"), -1);
    EXPECT_FALSE(file.Open(Path(folder.Folder()), CFile::modeRead, &error)); // a folder
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_EQ(file.Read(nullptr, 0), 0u);
}

TEST(CFile, ReadOnlyFilesRefuseWritingButOpenForReading) {
    TempFolder folder;
    folder.OpenToEveryone();
    WriteFile(folder.File("ro.idx"), "abc");
    ::chmod(folder.File("ro.idx").c_str(), 0444);
    EXPECT_TRUE(testing_support::AsUnprivilegedUser([&] {
        CFile file;
        CFileException error;
        const bool refused =
            !file.Open(Path(folder.File("ro.idx")), CFile::modeReadWrite, &error) &&
            error.m_cause == CFileException::accessDenied &&
            error.GetErrorMessage().Find(u"没有访问权限") != -1;
        return refused && file.Open(Path(folder.File("ro.idx")), CFile::modeRead) &&
               !file.Write("x", 1);
    }));
}

TEST(CFileException, DescriptionFitsTheCallersBuffer) {
    CFileException error;
    error.Set(CFileException::fileNotFound, 2, CString(u'长', 3000));
    EXPECT_EQ(error.GetErrorMessage().GetLength(), 1023);
    char16_t buffer[16];
    ASSERT_TRUE(error.GetErrorMessage(buffer, 16));
    EXPECT_EQ(std::u16string_view(buffer).size(), 15u);
    EXPECT_FALSE(error.GetErrorMessage(buffer, 0));
}

} // namespace
