#pragma once
// What the program asks of the outside world goes through a service: an interface with a real
// implementation that the program installs at start and a recording one that tests install.
// Installing returns the previous implementation; ScopedService puts it back.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <vector>

template <class Interface> class Service {
public:
    static Interface* Install(Interface* implementation) {
        Interface* previous = Slot();
        Slot() = implementation;
        return previous;
    }
    static Interface* Installed() { return Slot(); }

private:
    static Interface*& Slot() {
        static Interface* current = nullptr;
        return current;
    }
};

template <class Interface> class ScopedService {
public:
    explicit ScopedService(Interface& implementation)
        : m_previous(Service<Interface>::Install(&implementation)) {}
    ~ScopedService() { Service<Interface>::Install(m_previous); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Interface* m_previous;
};

// ---- Message boxes ------------------------------------------------------------------------

// One message box, as the program asks for it, the services show or record it, the screen
// runs it and a test reads it back.
struct MessageBoxInfo {
    HWND owner = nullptr;
    CString text;
    CString caption;
    UINT type = MB_OK; // the buttons and the icon (MB_ICONEXCLAMATION ...)
};

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Shows the box and returns the button that closed it (IDOK for an OK-only box).
    virtual int Show(const MessageBoxInfo& box) = 0;
};

// Writes the text of each box to standard error: the command line's boxes, and the program's
// until its window exists.
class CConsoleMessageBox : public IMessageBoxService {
public:
    int Show(const MessageBoxInfo& box) override;
};

// Remembers every box and answers IDOK.
class CRecordingMessageBox : public IMessageBoxService {
public:
    int Show(const MessageBoxInfo& box) override;
    std::vector<MessageBoxInfo> m_boxes;
};

// The name that captions the application's own boxes: the executable's name.
const CString& AfxGetAppName();
void AfxSetAppName(const CString& name);

int MessageBox(HWND owner, const CString& text, const CString& caption, UINT type);
// The application's box: captioned with its name, OK only (an icon may be asked for).
int AfxMessageBox(const CString& text, UINT type = MB_OK);
