#pragma once
// Files by full path, opened existing only (a file is never created here), read and written
// in bytes. Errors never throw: the calls report them and keep a description for a message box.

#include "platform/core/CString.h"

#include <cstdint>
#include <string_view>

class CFileException {
public:
    enum Cause {
        none,
        fileNotFound,
        badPath,
        accessDenied,
        sharingViolation,
        diskFull,
        endOfFile,
        ioError,
        generic
    };

    // The description names the file and the reason, in the program's language, and is cut to
    // maxChars - 1 characters so that it fits the caller's buffer with its terminating zero.
    CString GetErrorMessage(unsigned maxChars = kMaxMessage) const;
    bool GetErrorMessage(char16_t* buffer, unsigned maxChars) const;

    void Set(Cause cause, int osError, const CString& fileName);
    // The same with the cause that the system's error number stands for.
    void SetFromOsError(int osError, const CString& fileName);
    Cause m_cause = none;
    int m_lOsError = 0;
    CString m_strFileName;

    static constexpr unsigned kMaxMessage = 1024;
};

class CFile {
public:
    enum OpenFlags : unsigned { modeRead = 0x0000, modeWrite = 0x0001, modeReadWrite = 0x0002 };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens an existing file; fills *error (when given) and returns false when it cannot.
    bool Open(const CString& path, unsigned flags, CFileException* error = nullptr);
    bool IsOpen() const { return m_fd >= 0; }
    // The system's descriptor of the open file (-1 when closed), for mapping it.
    int GetHandle() const { return m_fd; }
    const CString& GetFilePath() const { return m_strPath; }

    // Returns the number of bytes read: fewer than asked at the end of the file, 0 on error.
    unsigned Read(void* buffer, unsigned count);
    // Reads at an absolute position without moving the file position.
    unsigned ReadAt(std::uint64_t position, void* buffer, unsigned count);
    // Writes every byte or reports failure; the description is in LastError().
    bool Write(const void* buffer, unsigned count);
    // Moves the file position; returns the new position, or -1 on error.
    std::int64_t Seek(std::int64_t offset, SeekPosition from);
    std::int64_t SeekToEnd() { return Seek(0, end); }
    std::int64_t GetLength() const;
    // The whole file, mapped read-only and mapped again whenever its length has changed; empty
    // when the file is empty or cannot be mapped (callers then read instead). Valid until the
    // next call or Close.
    std::string_view MapView();
    // Gives back the view of MapView, so that the mapped file takes no memory until the next.
    void ReleaseView() { Unmap(); }
    // Pushes what was written down to the storage.
    bool Flush();
    void Close();

    const CFileException& LastError() const { return m_lastError; }

private:
    bool Fail(int osError);
    void Unmap();

    int m_fd = -1;
    void* m_map = nullptr;
    std::size_t m_mapSize = 0;
    CString m_strPath;
    CFileException m_lastError;
};

// Test hook: a budget of write calls and flushes that a file operation may make before the
// "machine stops". Once spent, every later write and flush is dropped and reported as failed,
// just as if the process had been killed at that point. Negative means unlimited.
namespace FileFaults {
void SetWriteBudget(int calls);
int WritesMade();
} // namespace FileFaults
