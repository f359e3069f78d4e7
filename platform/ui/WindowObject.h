#pragma once
// What a window's record sees of the program object attached to the window: the handle the
// object holds and the window procedure its messages go to. CWnd is that object; the record
// knows no more of it, so the framework's classes stand above the records they are made of.

#include "platform/core/WinTypes.h"

class CWindowObject {
public:
    CWindowObject() = default;
    virtual ~CWindowObject() = default;
    CWindowObject(const CWindowObject&) = delete;
    CWindowObject& operator=(const CWindowObject&) = delete;

    HWND m_hWnd = nullptr;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // True when the object's class answers `message` itself: the screen asks before it turns
    // presses and keys into messages that only some windows want.
    virtual bool Handles(UINT message) const = 0;

    friend class CWindowRecord;
};
