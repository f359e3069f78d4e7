#pragma once
// Starting another program, as the background page starts the picture viewer.

#include "platform/core/Services.h"

#include <vector>

// The launch record as the handheld has it (60 bytes there).
struct SHELLEXECUTEINFO {
    DWORD cbSize;
    DWORD fMask;
    HWND hwnd;
    const char16_t* lpVerb;
    const char16_t* lpFile;
    const char16_t* lpParameters;
    const char16_t* lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    void* lpIDList;
    const char16_t* lpClass;
    void* hkeyClass;
    DWORD dwHotKey;
    void* hIcon;
    void* hProcess;
};

class IProgramLauncher {
public:
    virtual ~IProgramLauncher() = default;
    // Starts the program and returns at once, never waiting for it.
    virtual BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) = 0;
};

// Remembers each launch and starts nothing.
class CRecordingLauncher : public IProgramLauncher {
public:
    struct Launch {
        CString verb;
        CString file;
        CString parameters;
        HWND window;
        DWORD size;
    };
    BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) override;
    std::vector<Launch> m_launches;
};

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);
