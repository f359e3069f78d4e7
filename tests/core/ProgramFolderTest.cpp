#include "platform/core/ProgramFolder.h"
#include "tests/common/TestLibrary.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::AsUnprivilegedUser;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

// An installed program folder, and where a user's own one goes.
class ProgramFolderTest : public testing::Test {
protected:
    ProgramFolderTest()
        : m_installed(m_root.Path() / "installed"), m_own(m_root.Path() / "home" / "lomeva") {
        fs::create_directories(m_installed);
        for (const char* name :
             {"lomeva", "pimg", "liblomeva_sound.so", "bgpic1.jpg", "sound1.wav", "authors.htm"}) {
            WriteFile(Installed(name), name);
        }
        Install("kavro", "index 1", "data 1");
        WriteFile(Installed("lone.idx"), "an index without its data file");
    }

    std::string Installed(const std::string& name) const { return (m_installed / name).string(); }
    std::string Own(const std::string& name) const { return (m_own / name).string(); }

    // A library as a package brings it: new files put in place, as dpkg does.
    void Install(const std::string& base, const std::string& index, const std::string& data) {
        for (const auto& [extension, bytes] : {std::pair{".idx", index}, {".dat", data}}) {
            const std::string path = Installed(base + extension);
            WriteFile(path + ".new", bytes);
            fs::rename(path + ".new", path);
        }
    }

    std::vector<std::string> Prepare() {
        std::vector<std::string> notes;
        EXPECT_TRUE(PrepareOwnProgramFolder(m_installed, m_own, notes));
        return notes;
    }

    TempFolder m_root;
    fs::path m_installed;
    fs::path m_own;
};

TEST_F(ProgramFolderTest, TheFirstStartCopiesEveryLibraryAndLinksEverythingElse) {
    EXPECT_TRUE(Prepare().empty());

    for (const char* name : {"kavro.idx", "kavro.dat"}) {
        EXPECT_FALSE(fs::is_symlink(Own(name))) << name;
        EXPECT_EQ(ReadFile(Own(name)), ReadFile(Installed(name))) << name;
        EXPECT_NE(fs::status(Own(name)).permissions() & fs::perms::owner_write, fs::perms::none);
    }
    for (const char* name :
         {"lomeva", "pimg", "liblomeva_sound.so", "bgpic1.jpg", "sound1.wav", "authors.htm"}) {
        ASSERT_TRUE(fs::is_symlink(Own(name))) << name;
        EXPECT_EQ(fs::read_symlink(Own(name)), m_installed / name);
    }
    // Half a library is none: neither copied nor linked.
    EXPECT_FALSE(fs::exists(fs::symlink_status(Own("lone.idx"))));
}

TEST_F(ProgramFolderTest, ThePagesOfPoetsAndFormsAreLinkedAsFoldersAndAHiddenFolderIsNot) {
    for (const char* folder : {"poets/唐代", "forms", ".building.x"}) {
        fs::create_directories(m_installed / folder);
    }
    WriteFile(Installed("poets/唐代/李白.htm"), "李白");
    WriteFile(Installed("forms/浣溪沙.htm"), "浣溪沙");
    WriteFile(Installed(".building.x/kavro.idx"), "half a build");
    EXPECT_TRUE(Prepare().empty());
    for (const char* name : {"poets", "forms"}) {
        ASSERT_TRUE(fs::is_symlink(Own(name))) << name;
        EXPECT_EQ(fs::read_symlink(Own(name)), m_installed / name);
    }
    EXPECT_EQ(ReadFile(Own("poets/唐代/李白.htm")), "李白");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Own(".building.x"))));
    // A newer install without the pages leaves no dangling link behind.
    fs::remove_all(m_installed / "forms");
    EXPECT_TRUE(Prepare().empty());
    EXPECT_FALSE(fs::exists(fs::symlink_status(Own("forms"))));
}

TEST_F(ProgramFolderTest, ANewerLibraryRenewsAnUntouchedCopyAndKeepsOneWithTheUsersPoems) {
    Prepare();
    Install("kavro", "index 2", "data 2");
    EXPECT_TRUE(Prepare().empty());
    EXPECT_EQ(ReadFile(Own("kavro.idx")), "index 2");
    EXPECT_EQ(ReadFile(Own("kavro.dat")), "data 2");

    // The user adds a poem; then a third version comes.
    WriteFile(Own("kavro.idx"), "index 2 + a poem");
    WriteFile(Own("kavro.dat"), "data 2 + a poem");
    Install("kavro", "index 3", "data 3");
    const std::vector<std::string> notes = Prepare();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("kavro"), std::string::npos) << notes[0];
    EXPECT_EQ(ReadFile(Own("kavro.idx")), "index 2 + a poem");
    EXPECT_EQ(ReadFile(Own("kavro.dat")), "data 2 + a poem");

    // Said once: the next start has nothing new to say, and still keeps the user's copy.
    EXPECT_TRUE(Prepare().empty());
    Install("kavro", "index 4", "data 4");
    EXPECT_EQ(Prepare().size(), 1u);
    EXPECT_EQ(ReadFile(Own("kavro.idx")), "index 2 + a poem");
}

// A library's notes are part of it: copied with it, never linked, renewed with it (also when
// only they changed), and kept with a copy the user changed.
TEST_F(ProgramFolderTest, NotesTravelWithTheirLibrary) {
    Prepare(); // a record from before kavro had notes
    const auto installNotes = [this](const std::string& bytes) {
        WriteFile(Installed("kavro.notes.new"), bytes);
        fs::rename(Installed("kavro.notes.new"), Installed("kavro.notes"));
    };
    installNotes("notes 1");
    EXPECT_TRUE(Prepare().empty());
    EXPECT_FALSE(fs::is_symlink(Own("kavro.notes")));
    EXPECT_EQ(ReadFile(Own("kavro.notes")), "notes 1");
    EXPECT_EQ(ReadFile(Own("kavro.idx")), "index 1");

    installNotes("notes 2"); // the same library, better notes
    EXPECT_TRUE(Prepare().empty());
    EXPECT_EQ(ReadFile(Own("kavro.notes")), "notes 2");

    // A library without notes replaces one with: the old notes go with the old library.
    fs::remove(Installed("kavro.notes"));
    Install("kavro", "index 2", "data 2");
    EXPECT_TRUE(Prepare().empty());
    EXPECT_FALSE(fs::exists(Own("kavro.notes")));
    EXPECT_EQ(ReadFile(Own("kavro.dat")), "data 2");

    // The user's own copy keeps its notes whatever comes.
    installNotes("notes 3");
    Install("kavro", "index 3", "data 3");
    Prepare();
    EXPECT_EQ(ReadFile(Own("kavro.notes")), "notes 3");
    WriteFile(Own("kavro.idx"), "index 3 + a poem");
    WriteFile(Own("kavro.dat"), "data 3 + a poem");
    installNotes("notes 4");
    Install("kavro", "index 4", "data 4");
    EXPECT_EQ(Prepare().size(), 1u);
    EXPECT_EQ(ReadFile(Own("kavro.notes")), "notes 3");
    EXPECT_EQ(ReadFile(Own("kavro.idx")), "index 3 + a poem");
    // Notes without their library are none.
    WriteFile(Installed("lone.notes"), "notes of nothing");
    Prepare();
    EXPECT_FALSE(fs::exists(fs::symlink_status(Own("lone.notes"))));
}

// The search index beside a library goes with its copy, never as a link to the installed one
// (an append writes it), and a newer library without one takes the user's old one away.
TEST_F(ProgramFolderTest, TheSearchIndexTravelsWithItsLibrary) {
    WriteFile(Installed("kavro.search"), "search 1");
    EXPECT_TRUE(Prepare().empty());
    EXPECT_FALSE(fs::is_symlink(Own("kavro.search")));
    EXPECT_EQ(ReadFile(Own("kavro.search")), "search 1");

    fs::remove(Installed("kavro.search"));
    Install("kavro", "index 2", "data 2");
    Prepare();
    EXPECT_EQ(ReadFile(Own("kavro.idx")), "index 2");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Own("kavro.search"))));

    // An install that adds one to the same library brings it to the copy that has none, and
    // one of a newer make takes the place of the copy's.
    WriteFile(Installed("kavro.search"), "search 2");
    Install("kavro", "index 2", "data 2");
    Prepare();
    EXPECT_EQ(ReadFile(Own("kavro.search")), "search 2");
    WriteFile(Installed("kavro.search"), "search 2 of a newer make");
    Install("kavro", "index 2", "data 2");
    Prepare();
    EXPECT_EQ(ReadFile(Own("kavro.search")), "search 2 of a newer make");
    // Nothing installed since: the copy's own stays.
    WriteFile(Own("kavro.search"), "search 2, its stamps renewed");
    Prepare();
    EXPECT_EQ(ReadFile(Own("kavro.search")), "search 2, its stamps renewed");
}

TEST_F(ProgramFolderTest, TheUsersOwnLibrariesStayAndARemovedCopyComesBack) {
    Prepare();
    WriteFile(Own("mine.idx"), "my index");
    WriteFile(Own("mine.dat"), "my data");
    fs::remove(Own("kavro.idx"));
    fs::remove(Own("kavro.dat"));
    EXPECT_TRUE(Prepare().empty());
    EXPECT_EQ(ReadFile(Own("mine.idx")), "my index");
    EXPECT_EQ(ReadFile(Own("mine.dat")), "my data");
    EXPECT_EQ(ReadFile(Own("kavro.idx")), "index 1");
}

TEST_F(ProgramFolderTest, ACopyThatWasThereBeforeAnyRecordIsTheUsers) {
    fs::create_directories(m_own);
    WriteFile(Own("kavro.idx"), "somebody's index");
    WriteFile(Own("kavro.dat"), "somebody's data");
    EXPECT_EQ(Prepare().size(), 1u);
    Install("kavro", "index 2", "data 2");
    Prepare();
    EXPECT_EQ(ReadFile(Own("kavro.idx")), "somebody's index");
}

TEST_F(ProgramFolderTest, LinksFollowWhatIsInstalled) {
    Prepare();
    WriteFile(Installed("bgpic2.jpg"), "a new picture");
    fs::remove(Installed("sound1.wav"));
    Prepare();
    EXPECT_EQ(fs::read_symlink(Own("bgpic2.jpg")), m_installed / "bgpic2.jpg");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Own("sound1.wav"))));
}

TEST_F(ProgramFolderTest, AFolderThatCannotBeMadeIsSaid) {
    WriteFile((m_root.Path() / "home").string(), "a file where the folder should go");
    std::vector<std::string> notes;
    EXPECT_FALSE(PrepareOwnProgramFolder(m_installed, m_own, notes));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find(m_own.string()), std::string::npos) << notes[0];
    // The reader then runs where it is installed.
    fs::permissions(m_installed, fs::perms::owner_write, fs::perm_options::remove);
    notes.clear();
    const bool installed = AsUnprivilegedUser(
        [&] { return RunningProgramFolder(m_installed, m_own, notes) == m_installed; });
    fs::permissions(m_installed, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(installed);
}

TEST_F(ProgramFolderTest, OnlyAFolderTheUserMayNotWriteIsLeft) {
    // Writable: the build tree, or an install into one's own prefix.
    std::vector<std::string> notes;
    EXPECT_EQ(RunningProgramFolder(m_installed, m_own, notes), m_installed);
    EXPECT_FALSE(fs::exists(m_own));

    // Not writable (as nobody when the test runs as root, who may write anything).
    m_root.OpenToEveryone();
    fs::permissions(m_installed, fs::perms::owner_write, fs::perm_options::remove);
    const bool own = AsUnprivilegedUser([&] {
        std::vector<std::string> unprivilegedNotes;
        return RunningProgramFolder(m_installed, m_own, unprivilegedNotes) == m_own &&
               unprivilegedNotes.empty() && ReadFile(Own("kavro.idx")) == "index 1";
    });
    fs::permissions(m_installed, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(own);
}

TEST(UserProgramFolder, FollowsTheDataHomeOrElseHome) {
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string data = savedData != nullptr ? savedData : "";
    const std::string home = savedHome != nullptr ? savedHome : "";

    ::setenv("XDG_DATA_HOME", "/data", 1);
    ::setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(UserProgramFolder(), fs::path("/data/lomeva"));
    ::setenv("XDG_DATA_HOME", "relative/data", 1); // not absolute: not to be used
    EXPECT_EQ(UserProgramFolder(), fs::path("/home/ann/.local/share/lomeva"));
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
    EXPECT_EQ(UserProgramFolder(), fs::path());

    savedData != nullptr ? ::setenv("XDG_DATA_HOME", data.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    savedHome != nullptr ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

} // namespace
