// A mapped file cut short while it is read: the guarded pass stops and says so, a kept mapping
// reads zeros where the file went away; neither ends the process.

#include "platform/core/MappedRead.h"
#include "tests/common/TestLibrary.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

class MappedReadTest : public ::testing::Test {
protected:
    MappedReadTest() {
        testing_support::WriteFile(m_folder.File("f"), std::string(3 * m_page, 'x'));
        m_fd = ::open(m_folder.File("f").c_str(), O_RDWR);
    }
    ~MappedReadTest() override { ::close(m_fd); }

    const char* Map() {
        void* map = ::mmap(nullptr, 3 * m_page, PROT_READ, MAP_SHARED, m_fd, 0);
        EXPECT_NE(map, MAP_FAILED);
        return static_cast<const char*>(map);
    }

    testing_support::TempFolder m_folder;
    std::size_t m_page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    int m_fd = -1;
};

TEST_F(MappedReadTest, AGuardedPassStopsAtThePageThatWentAway) {
    const char* map = Map();
    int sum = 0;
    auto whole = [&] {
        for (std::size_t i = 0; i < 3 * m_page; i += 512) {
            sum += map[i];
        }
    };
    EXPECT_TRUE(MappedRead::ReadMappedGuarded(whole));
    EXPECT_EQ(sum, 'x' * 3 * static_cast<int>(m_page / 512));
    ASSERT_EQ(::ftruncate(m_fd, static_cast<off_t>(m_page)), 0);
    sum = 0;
    EXPECT_FALSE(MappedRead::ReadMappedGuarded(whole));
    EXPECT_EQ(sum, 'x' * static_cast<int>(m_page / 512)); // the first page was read
    // Guards nest: an inner pass that fails leaves the outer one guarded.
    bool inner = true;
    auto outer = [&] {
        inner = MappedRead::ReadMappedGuarded(whole);
        sum = map[0];
    };
    EXPECT_TRUE(MappedRead::ReadMappedGuarded(outer));
    EXPECT_FALSE(inner);
    EXPECT_EQ(sum, 'x');
    ::munmap(const_cast<char*>(map), 3 * m_page);
}

TEST_F(MappedReadTest, AKeptMappingReadsZerosWhereTheFileWentAway) {
    const char* map = Map();
    ASSERT_TRUE(MappedRead::KeepReadable(map, 3 * m_page));
    ASSERT_EQ(::ftruncate(m_fd, static_cast<off_t>(m_page + 10)), 0);
    EXPECT_EQ(map[0], 'x');
    EXPECT_EQ(map[m_page + 9], 'x');
    EXPECT_EQ(map[m_page + 10], '\0');    // past the end in the last page: the kernel's zeros
    EXPECT_EQ(map[2 * m_page + 1], '\0'); // a page that went away
    MappedRead::StopKeeping(map);
    ::munmap(const_cast<char*>(map), 3 * m_page);
}

} // namespace
