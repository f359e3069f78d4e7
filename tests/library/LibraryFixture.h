#pragma once

#include "library/PoemLibrary.h"
#include "platform/core/Services.h"
#include "settings/Settings.h"
#include "tests/common/TestLibrary.h"

#include <gtest/gtest.h>
#include <memory>

// A temporary program folder, a recording message box, and helpers to open libraries in it.
class LibraryTest : public ::testing::Test {
protected:
    LibraryTest() : m_boxes(m_recorder) { g_strAppPath = CString::FromUtf8(m_folder.Folder()); }
    ~LibraryTest() override { ResetSettings(); }

    void Write(const std::vector<testing_support::TestPoem>& poems,
               const LibraryHeader& header = testing_support::MakeHeader()) {
        testing_support::WriteLibrary(m_folder, "kavro", poems, header);
    }
    std::unique_ptr<CPoemLibrary> Open(bool expected = true) {
        auto library = std::make_unique<CPoemLibrary>(g_strAppPath);
        EXPECT_EQ(static_cast<bool>(library->Open()), expected);
        return library;
    }
    std::string IndexBytes() const { return testing_support::ReadFile(m_folder.File("kavro.idx")); }
    std::string DataBytes() const { return testing_support::ReadFile(m_folder.File("kavro.dat")); }
    void SetIndexBytes(const std::string& bytes) {
        testing_support::WriteFile(m_folder.File("kavro.idx"), bytes);
    }
    const std::vector<MessageBoxInfo>& Boxes() const { return m_recorder.m_boxes; }
    CString LastMessage() const { return Boxes().empty() ? CString() : Boxes().back().text; }

    testing_support::TempFolder m_folder;
    CRecordingMessageBox m_recorder;
    ScopedService<IMessageBoxService> m_boxes;
};

inline std::vector<testing_support::TestPoem> ThreePoems() {
    return {
        {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
        {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
        {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
    };
}
