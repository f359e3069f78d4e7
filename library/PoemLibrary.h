#pragma once
// An open poetry library: every index record in memory (the index Open checked, mapped, or read
// when it cannot be, the first time the records are needed), the data file kept open, texts read
// from it at every use and never cached. The library's two files are named in the folder it is
// given.

#include "library/LibraryFormat.h"
#include "library/RecordArray.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum SelectField {
    SEL_TITLE = 0,
    SEL_AUTHOR = 1,
    SEL_DYNASTY = 2,
    SEL_FORM = 3,
    SEL_ALL = 4,
    SEL_FULLTEXT = 5,
};

// How the data file is opened: for reading and writing (the reader, which appends), or for
// reading only (whatever only reads, so that a library one may not write can still be read).
enum class LibraryAccess { readWrite, readOnly };

// Why Open failed.
enum class OpenFailure {
    none,
    indexNotOpened, // the index file could not be opened; the file error says why
    headerShort,    // the index is shorter than its header
    notAnIndex,     // the header has no signature
    recordsMissing, // the index holds fewer records than its header counts
    noMemory,       // no room for the records
    dataNotOpened,  // the data file could not be opened; the file error says why
};

struct OpenResult {
    OpenFailure failure = OpenFailure::none;
    CFileException fileError; // for the files that could not be opened

    explicit operator bool() const { return failure == OpenFailure::none; }
};

// What the reader says about a failed Open: the file error, or its own words; empty for the
// failures it passes over in silence (missing records, no memory).
CString OpenFailureMessage(const OpenResult& result);
// Shows that message in a box, when there is one.
void ShowOpenFailure(const OpenResult& result);

// The result buffer of the open library: room for every record, filled by Select.
extern PoemRecord* g_pResult;

// One poem for AppendPoems: its record (length and offset are filled in) and its text bytes.
struct PoemToAppend {
    PoemRecord* record;
    const char* text;
    unsigned size;
};

class CPoemLibrary {
public:
    // `folder` holds the library's files and ends with its separator ('/').
    explicit CPoemLibrary(const CString& folder);
    virtual ~CPoemLibrary();
    CPoemLibrary(const CPoemLibrary&) = delete;
    CPoemLibrary& operator=(const CPoemLibrary&) = delete;

    // Bare file names in the folder (kavro.idx and kavro.dat unless set); called, if at all,
    // before Open.
    void SetFileNames(const CString& indexName, const CString& dataName);
    // Loads the library named by the two file names: its header now, its records when first
    // needed. Shows nothing: the caller tells the user what the result says.
    OpenResult Open(LibraryAccess access = LibraryAccess::readWrite);

    CString GetName() const;
    CString GetAuthor() const;
    CString GetVersion() const; // 10203 -> "1.2.3"
    CString GetDate() const;    // 20050301 -> "2005-03-01"

    // Reads the text of a record of this library into `text`. Returns the bytes read, or -1
    // (leaving `text` untouched) when the record is null.
    int ReadText(const PoemRecord* record, CString& text);

    // Copies the matching records, in library order, to the front of g_pResult and returns
    // how many there are. `keyword` may be null for SEL_ALL. `numbers`, when given, receives
    // the place in the library (from 0) of each record found.
    unsigned Select(const char16_t* keyword, int field,
                    std::vector<std::uint32_t>* numbers = nullptr);
    PoemRecord* GetResultBuffer() const { return g_pResult; }

    // Appends one poem to the library's files (not to what is loaded): `record` holds the
    // title, author, dynasty and form; its length and offset are filled in here.
    bool AppendPoem(PoemRecord& record, const char* text, unsigned size);
    // Appends several poems at once; the files end exactly as the same appends one by one
    // would leave them, with far fewer writes and flushes.
    bool AppendPoems(std::span<const PoemToAppend> poems);

    const CString& GetFolder() const { return m_strFolder; }
    const CString& GetIndexName() const { return m_strIndexName; }
    const CString& GetDataName() const { return m_strDataName; }
    const LibraryHeader& GetHeader() const { return m_header; }
    // The number of poems the header states once Open has accepted it (zero before): what the
    // main screen shows, even when the records cannot be had.
    std::uint32_t GetStatedCount() const { return m_nStatedCount; }
    // The loaded records (read now if they have not been yet): empty when nothing was loaded or
    // the reading failed.
    std::span<const PoemRecord> GetRecords();
    // True when Open succeeded: records loaded and the data file open.
    bool IsOpen();

    // The number of records: the header's count from a successful Open until they are read, then
    // the number read, which is the size of GetRecords(). Zero when Open failed before making room
    // for them, and from the moment their reading fails. The header keeps the count it states.
    std::uint32_t m_nCount = 0;

private:
    OpenFailure LoadRecords(std::unique_ptr<CFile> index);
    // Reads the records the first time they are needed; returns whether the library is open.
    bool ReadRecordsIfDue();
    bool MapOrReadRecords(CFile& index);
    bool ReadIndexHeaderForAppend(CFile& index, LibraryHeader& header);
    bool WriteTexts(std::span<const PoemToAppend> poems);
    bool ReadTextBytes(const PoemRecord& record, std::string& bytes);
    // Puts record number `record` at place `at` of the result.
    void AddResult(unsigned at, std::uint32_t record);
    unsigned FillResult(std::u16string_view keyword, int field);
    unsigned SelectByFieldInOnePass(const std::string& needle, std::size_t fieldOffset,
                                    std::size_t fieldWidth);
    unsigned SelectFullText(std::u16string_view keyword);
    std::optional<unsigned> SelectFullTextMapped(const std::string& needle);
    unsigned SelectFullTextByReading(std::u16string_view keyword,
                                     const std::optional<std::string>& needle);
    unsigned SelectByField(std::u16string_view keyword, std::size_t fieldOffset,
                           std::size_t fieldWidth);

    CFile m_file;
    CString m_strFolder;
    LibraryHeader m_header{};
    CString m_strIndexName;
    CString m_strDataName;
    RecordArray m_pRecords;
    RecordArray m_pResult; // what g_pResult points to
    std::uint32_t m_nStatedCount = 0;
    std::vector<std::uint32_t>* m_pNumbers = nullptr; // of the selection running
    std::uint32_t m_nResultFilled = 0;                // entries of g_pResult that may not be zero
    std::unique_ptr<CFile> m_pUnreadIndex;            // the index, open until its records are read
    bool m_bOpen = false;
};
