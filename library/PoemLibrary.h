#pragma once
// An open poetry library: every index record in memory (read from the index Open checked, the
// first time the records are needed), the data file kept open, texts read from it whenever they
// are needed and never cached.

#include "library/LibraryFormat.h"
#include "library/RecordArray.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <span>

enum SelectField {
    SEL_TITLE = 0,
    SEL_AUTHOR = 1,
    SEL_DYNASTY = 2,
    SEL_FORM = 3,
    SEL_ALL = 4,
    SEL_FULLTEXT = 5,
};

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
    CPoemLibrary();
    virtual ~CPoemLibrary();
    CPoemLibrary(const CPoemLibrary&) = delete;
    CPoemLibrary& operator=(const CPoemLibrary&) = delete;

    // Bare file names in the program folder; called, if at all, before Open.
    void SetFileNames(const CString& indexName, const CString& dataName);
    // Loads the library named by the two file names: its header now, its records when first
    // needed. Shows its own message for the failures that have one.
    bool Open();

    CString GetName() const;
    CString GetAuthor() const;
    CString GetVersion() const; // 10203 -> "1.2.3"
    CString GetDate() const;    // 20050301 -> "2005-03-01"

    // Reads the text of a record of this library into `text`. Returns the bytes read, or -1
    // (leaving `text` untouched) when the record is null.
    int ReadText(const PoemRecord* record, CString& text);

    // Copies the matching records, in library order, to the front of g_pResult and returns
    // how many there are. `keyword` may be null for SEL_ALL.
    unsigned Select(const char16_t* keyword, int field);
    PoemRecord* GetResultBuffer() const { return g_pResult; }

    // Appends one poem to the library's files (not to what is loaded): `record` holds the
    // title, author, dynasty and form; its length and offset are filled in here.
    bool AppendPoem(PoemRecord& record, const char* text, unsigned size);
    // Appends several poems at once; the files end exactly as the same appends one by one
    // would leave them, with far fewer writes and flushes.
    bool AppendPoems(std::span<const PoemToAppend> poems);

    const CString& GetIndexName() const { return m_strIndexName; }
    const CString& GetDataName() const { return m_strDataName; }
    const LibraryHeader& GetHeader() const { return m_header; }
    // The loaded records (read now if they have not been yet), or null when nothing was loaded.
    const PoemRecord* GetRecords();
    // True when Open succeeded: records loaded and the data file open.
    bool IsOpen();

    std::uint32_t m_nCount = 0;

private:
    bool LoadRecords(std::unique_ptr<CFile> index);
    // Reads the records the first time they are needed; returns whether the library is open.
    bool ReadRecordsIfDue();
    bool ReadIndexHeaderForAppend(CFile& index, LibraryHeader& header);
    bool WriteTexts(std::span<const PoemToAppend> poems);
    bool ReadTextBytes(const PoemRecord& record, std::string& bytes);
    unsigned FillResult(std::u16string_view keyword, int field);
    unsigned SelectFullText(std::u16string_view keyword);
    unsigned SelectByField(std::u16string_view keyword, std::size_t fieldOffset,
                           std::size_t fieldWidth);

    CFile m_file;
    LibraryHeader m_header{};
    CString m_strIndexName;
    CString m_strDataName;
    RecordArray m_pRecords;
    RecordArray m_pResult;                 // what g_pResult points to
    std::uint32_t m_nResultFilled = 0;     // entries of g_pResult that may not be zero
    std::unique_ptr<CFile> m_pUnreadIndex; // the index, open until its records are read
    bool m_bOpen = false;
};
