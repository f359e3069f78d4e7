#pragma once
// A temporary program folder with the screen driver, and a library in it when a test wants one.

#include "library/LibraryFormat.h"
#include "library/PoemLibrary.h"
#include "settings/InstalledLibrary.h"
#include "settings/Settings.h"
#include "tests/common/TestLibrary.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"

#include <gtest/gtest.h>

class AppTest : public ::testing::Test {
protected:
    AppTest() { m_driver.SetProgramFolder(m_folder.Folder()); }
    ~AppTest() override {
        InstallLibrary(nullptr);
        ResetSettings();
    }

    void WriteDefaultLibrary(const LibraryHeader& header = testing_support::MakeHeader()) {
        testing_support::WriteLibrary(m_folder, "kavro", ThreePoems(), header);
    }

    // Opens the folder's default library as start-up would, and installs it.
    void InstallDefaultLibrary(const LibraryHeader& header = testing_support::MakeHeader()) {
        WriteDefaultLibrary(header);
        g_strAppPath = CString::FromUtf8(m_folder.Folder());
        InstallLibrary(std::make_unique<CPoemLibrary>(g_strAppPath));
        ASSERT_TRUE(g_pLibrary->Open());
    }

    static std::vector<testing_support::TestPoem> ThreePoems() {
        return {
            {"静夜思", "李白", "唐代", "五言绝句", "床前明月光，\r\n疑是地上霜。"},
            {"春晓", "孟浩然", "唐代", "五言绝句", "春眠不觉晓，\r\n处处闻啼鸟。"},
            {"水调歌头", "苏轼", "宋代", "水调歌头", "明月几时有？\r\n把酒问青天。"},
        };
    }

    testing_support::TempFolder m_folder;
    testing_support::CTestDriver m_driver;
};
