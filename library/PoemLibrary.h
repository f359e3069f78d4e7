#pragma once
// An open poetry library: every index record in memory (the index Open checked, mapped, or read
// when it cannot be, the first time the records are needed), the data file kept open, texts read
// from it at every use and never cached. The library's two files are named in the folder it is
// given. Reading the files (LibraryFiles), choosing records (RecordSelection) and appending
// (LibraryAppend) each have a room of their own; this class holds what is open and loaded.

#include "library/LibraryAppend.h"
#include "library/LibraryFiles.h"
#include "library/LibraryFormat.h"
#include "library/RecordArray.h"
#include "library/RecordSelection.h"
#include "library/SearchIndexInUse.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The result buffer of the open library: room for every record, filled by Select.
extern PoemRecord* g_pResult;

class CSearchIndexNames;

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
    unsigned Select(const char16_t* keyword, SelectField field,
                    std::vector<std::uint32_t>* numbers = nullptr);
    PoemRecord* GetResultBuffer() const { return g_pResult; }
    // The places in the library (from 0) of the records Select would choose, in library order,
    // copied nowhere: a caller that only reads them (the command line prints hundreds of
    // thousands) takes them a piece at a time with ReadRecords. Empty when nothing is loaded.
    std::vector<std::uint32_t> Find(const char16_t* keyword, SelectField field);
    // Copies the records numbered `numbers` to `out`: from memory once read, otherwise from the
    // index file. False when they cannot be read (the library then closes, and says so).
    bool ReadRecords(std::span<const std::uint32_t> numbers, PoemRecord* out);
    // The titles, poets, dynasties and forms of the records, decoded to UTF-8 when the search
    // index was made, to be read one record at a time (of its first Records() records), while
    // the search index describes the library: printing many records, they read a quarter of the
    // bytes and decode nothing. Null when it keeps none. They last until the library next reads
    // records, is appended to or is opened again.
    const CSearchIndexNames* SearchNames();

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
    // The same without reading the records: false once Open failed, or their reading did.
    bool IsUsable() const { return m_bOpen; }

    // The number of records: the header's count from a successful Open until they are read, then
    // the number read, which is the size of GetRecords(). Zero when Open failed before making room
    // for them, and from the moment their reading fails. The header keeps the count it states.
    std::uint32_t m_nCount = 0;

private:
    OpenFailure MakeRoomForRecords(std::unique_ptr<CFile> index);
    // Reads the records the first time they are needed; returns whether the library is open.
    bool ReadRecordsIfDue();
    // The full-text selection through the search index, when it serves.
    std::optional<std::vector<std::uint32_t>> FindTextIndexed(const SearchKeyword& keyword);
    // The search index while it describes the two files; null when it does not serve.
    const CSearchIndex* SearchIndexInUse();
    std::string IndexPath() const;

    CFile m_file;
    CString m_strFolder;
    LibraryHeader m_header{};
    CString m_strIndexName;
    CString m_strDataName;
    RecordArray m_pRecords;
    RecordArray m_pResult; // what g_pResult points to
    std::uint32_t m_nStatedCount = 0;
    std::uint32_t m_nResultFilled = 0;     // entries of g_pResult that may not be zero
    std::unique_ptr<CFile> m_pUnreadIndex; // the index, open until its records are read
    FileStamp m_indexReadStamp;            // the index file when its records were read
    CSearchIndexInUse m_searchIndex;
    bool m_bOpen = false;
};
