// The poems the reference pages are made from, taken from a library on disk.

#include "tools/refpages/LibraryPoems.h"
#include "library/PoemLibrary.h"
#include "platform/core/Services.h"
#include "tests/common/TestLibrary.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;

class LibraryPoemsTest : public ::testing::Test {
protected:
    LibraryPoemsTest() {
        testing_support::WriteLibrary(m_folder, "kavro",
                                      {{"静夜思", "李白", "唐代", "五言绝句", "床前明月光"},
                                       {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓"}});
    }

    testing_support::TempFolder m_folder;
    CRecordingMessageBox m_recorder;
    ScopedService<IMessageBoxService> m_boxes{m_recorder};
};

TEST_F(LibraryPoemsTest, EveryPoemWithItsFieldsAndText) {
    CPoemLibrary library(CString::FromUtf8(m_folder.Folder()));
    ASSERT_TRUE(library.Open());
    std::vector<refpages::Poem> poems;
    ASSERT_TRUE(CollectPoems(library, poems));
    ASSERT_EQ(poems.size(), 2u);
    EXPECT_EQ(poems[1].title, "春晓");
    EXPECT_EQ(poems[1].author, "孟浩然");
    EXPECT_EQ(poems[1].form, "五言绝句");
    EXPECT_EQ(poems[1].text, "春眠不觉晓");
}

TEST_F(LibraryPoemsTest, AnIndexCutShortAfterOpenGivesNoPoemsAndOneMessage) {
    CPoemLibrary library(CString::FromUtf8(m_folder.Folder()));
    ASSERT_TRUE(library.Open());
    const std::string index = m_folder.File("kavro.idx");
    WriteFile(index, ReadFile(index).substr(0, 292 + 124));
    std::vector<refpages::Poem> poems;
    EXPECT_FALSE(CollectPoems(library, poems));
    EXPECT_TRUE(poems.empty());
    ASSERT_EQ(m_recorder.m_boxes.size(), 1u);
    EXPECT_EQ(m_recorder.m_boxes[0].text, CString(u"不能读诗词索引文件."));
}

} // namespace
