// The notes file beside a library: written whole, read a poem at a time, shown only beside the
// record and text it was written for, and read as no notes when it is missing or damaged.

#include "library/PoemNotes.h"
#include "platform/core/CodePage.h"
#include "tests/library/LibraryFixture.h"

#include <cstring>
#include <filesystem>

namespace {

using testing_support::ReadFile;
using testing_support::WriteFile;

const PoemNotes kMoonNotes{{}, {u"床--井栏。", u"疑--好像。"}};
const PoemNotes kDawnNotes{u"春晓（一作春眠）", {u"晓--天亮。"}};

class PoemNotesTest : public LibraryTest {
protected:
    // The three poems, the first and the third with notes, and the library open over them.
    void WriteNotedLibrary() {
        Write(ThreePoems());
        m_library = Open();
        CNotesWriter writer;
        writer.Add(Record(0), Text(0), kMoonNotes);
        writer.Add(Record(1), Text(1), PoemNotes());
        writer.Add(Record(2), Text(2), kDawnNotes);
        EXPECT_EQ(writer.Count(), 2u);
        std::string error;
        ASSERT_TRUE(writer.Write(NotesPath(), error)) << error;
    }
    std::string NotesPath() const { return m_folder.File("kavro.notes"); }
    const PoemRecord& Record(int i) { return m_library->GetRecords()[static_cast<size_t>(i)]; }
    std::string Text(int i) {
        CString text;
        m_library->ReadText(&Record(i), text);
        return CodePage::Encode(text.view());
    }
    PoemNotes Find(const PoemRecord& record) { return FindPoemNotes(*m_library, record); }

    std::unique_ptr<CPoemLibrary> m_library;
};

TEST_F(PoemNotesTest, EachPoemFindsItsOwnNotesAndAPoemWithoutFindsNone) {
    WriteNotedLibrary();
    EXPECT_EQ(Find(Record(0)), kMoonNotes);
    EXPECT_TRUE(Find(Record(1)).IsEmpty());
    EXPECT_EQ(Find(Record(2)), kDawnNotes);
    // A copy of the record (the result buffer holds copies) finds them as well.
    const PoemRecord copy = Record(2);
    EXPECT_EQ(Find(copy), kDawnNotes);
    EXPECT_EQ(kDawnNotes.Lines(), (std::vector<CString>{u"原题：春晓（一作春眠）", u"晓--天亮。"}));

    const NotesFileContents contents = ReadNotesFile(CString::FromUtf8(NotesPath()));
    EXPECT_TRUE(contents.present);
    EXPECT_TRUE(contents.problems.empty());
    ASSERT_EQ(contents.entries.size(), 2u);
    EXPECT_EQ(contents.entries[0].offset, Record(0).offset);
    EXPECT_EQ(contents.entries[1].notes, kDawnNotes);
    EXPECT_EQ(NotesFileName(u"全唐诗.idx"), u"全唐诗.notes");
}

TEST_F(PoemNotesTest, NotesAreShownOnlyBesideTheRecordAndTextTheyWereWrittenFor) {
    WriteNotedLibrary();
    // Another title, another author, another place: another poem.
    PoemRecord retitled = Record(0);
    std::memcpy(retitled.title, "\xB4\xBA", 3); // 春
    EXPECT_TRUE(Find(retitled).IsEmpty());
    PoemRecord otherAuthor = Record(0);
    otherAuthor.author[0] = 'x';
    EXPECT_TRUE(Find(otherAuthor).IsEmpty());
    PoemRecord elsewhere = Record(0);
    elsewhere.offset = Record(1).offset;
    elsewhere.length = Record(1).length;
    EXPECT_TRUE(Find(elsewhere).IsEmpty());
    // The data file changed under the notes: the same place now holds another text.
    std::string data = DataBytes();
    data[Record(2).offset] = 'X';
    WriteFile(m_folder.File("kavro.dat"), data);
    m_library = Open();
    EXPECT_TRUE(Find(Record(2)).IsEmpty());
    EXPECT_EQ(Find(Record(0)), kMoonNotes);
}

TEST_F(PoemNotesTest, AMissingOrDamagedFileReadsAsNoNotes) {
    Write(ThreePoems());
    m_library = Open();
    EXPECT_TRUE(Find(Record(0)).IsEmpty());
    EXPECT_FALSE(ReadNotesFile(CString::FromUtf8(NotesPath())).present);

    WriteNotedLibrary();
    const std::string sound = ReadFile(NotesPath());
    const auto damaged = [&](const std::string& bytes) {
        WriteFile(NotesPath(), bytes);
        return ReadNotesFile(CString::FromUtf8(NotesPath())).problems;
    };
    // A byte of the first poem's notes changed: those notes are none, the others stand.
    std::string flipped = sound;
    flipped[sound.size() - 3] ^= 0x55;
    EXPECT_EQ(damaged(flipped).size(), 1u);
    EXPECT_EQ(Find(Record(0)), kMoonNotes);
    EXPECT_TRUE(Find(Record(2)).IsEmpty());
    // Cut short, inside the notes and inside the entries.
    EXPECT_FALSE(damaged(sound.substr(0, sound.size() - 4)).empty());
    EXPECT_EQ(Find(Record(0)), kMoonNotes);
    EXPECT_FALSE(damaged(sound.substr(0, 40)).empty());
    EXPECT_TRUE(Find(Record(0)).IsEmpty());
    // Bytes after the last notes, another file's header, a count past the end, notes said to
    // be four gigabytes long.
    EXPECT_FALSE(damaged(sound + "x").empty());
    EXPECT_FALSE(damaged("XX" + sound.substr(2)).empty());
    std::string counted = sound;
    counted[12] = '\x7F';
    EXPECT_FALSE(damaged(counted).empty());
    EXPECT_TRUE(Find(Record(0)).IsEmpty());
    std::string huge = sound;
    std::memset(&huge[16 + 20], 0xFF, 4); // the first entry's notes size
    EXPECT_FALSE(damaged(huge).empty());
    EXPECT_TRUE(Find(Record(0)).IsEmpty());
    EXPECT_EQ(Find(Record(2)), kDawnNotes);
    EXPECT_FALSE(damaged("").empty());
}

TEST_F(PoemNotesTest, WritingReplacesTheFileWholeAndNoNotesMeanNoFile) {
    WriteNotedLibrary();
    CNotesWriter writer;
    writer.Add(Record(1), Text(1), PoemNotes{{}, {u"<b>粗</b> & 细"}});
    std::string error;
    ASSERT_TRUE(writer.Write(NotesPath(), error));
    EXPECT_TRUE(Find(Record(0)).IsEmpty());
    EXPECT_EQ(Find(Record(1)).notes, std::vector<CString>{u"<b>粗</b> & 细"});
    // Nothing is left beside it.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(m_folder.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 3u);

    ASSERT_TRUE(CNotesWriter().Write(NotesPath(), error));
    EXPECT_FALSE(std::filesystem::exists(NotesPath()));
    // A folder that cannot be written says so.
    EXPECT_FALSE(writer.Write(m_folder.File("missing/kavro.notes"), error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

} // namespace
