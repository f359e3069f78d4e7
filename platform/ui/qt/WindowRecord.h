#pragma once
// What a window handle stands for: the record of one window (a dialog or one of its controls),
// with its Qt widget, its id, the program object attached to it and its timers. HWND points at
// the record itself; a handle is only used after checking that its record is still alive.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

class CWindowObject;
class QPainter;
class CPreciseTimer;

struct HWND__ {
    virtual ~HWND__() = default;
};

class CWindowRecord : public HWND__ {
public:
    CWindowRecord(int id, CWindowRecord* parent);
    ~CWindowRecord() override;
    CWindowRecord(const CWindowRecord&) = delete;
    CWindowRecord& operator=(const CWindowRecord&) = delete;

    // The live record behind a handle, or null for a null or destroyed window.
    static CWindowRecord* FromHandle(HWND handle);
    HWND Handle() { return this; }

    int Id() const { return m_id; }
    CWindowRecord* Parent() const { return m_parent; }
    virtual QWidget* Widget() const = 0;

    // The object that stands for this window: the attached one, else the temporary one the
    // window keeps, else null.
    CWindowObject* Object() const;
    // Gives a window that no object is attached to a temporary object that lives as long as the
    // window (CWnd::FromHandle makes one).
    void KeepTemporary(std::unique_ptr<CWindowObject> object);
    bool Attach(CWindowObject* object);
    void Detach(const CWindowObject* object);

    virtual CString Text() const;
    virtual void SetText(const CString& text);

    // True when the attached object answers `message` itself.
    bool Handles(UINT message) const;
    // Delivers a message to the attached object's WindowProc, or to the default handling.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Sends WM_COMMAND with this control's id and `code` to the parent window.
    void Notify(WORD code);

    bool SetTimer(UINT_PTR id, unsigned milliseconds);
    bool KillTimer(UINT_PTR id);

    CWindowRecord* Child(int id) const;
    const std::vector<std::unique_ptr<CWindowRecord>>& Children() const { return m_children; }
    CWindowRecord* AddChild(std::unique_ptr<CWindowRecord> child);

    // The painter of the paint in progress, for CPaintDC; null outside a paint.
    QPainter* ActivePainter() const { return m_activePainter; }
    void Paint(QPainter& painter);

protected:
    // Called by a derived destructor while its widgets still exist, so that nothing they emit
    // while being destroyed reaches a program object.
    void BeginDestruction() { m_destroying = true; }
    bool IsDestroying() const { return m_destroying; }

private:
    int m_id;
    CWindowRecord* m_parent;
    CWindowObject* m_attached = nullptr;
    std::unique_ptr<CWindowObject> m_temporary;
    std::vector<std::unique_ptr<CWindowRecord>> m_children;
    std::map<UINT_PTR, std::unique_ptr<CPreciseTimer>> m_timers;
    QPainter* m_activePainter = nullptr;
    bool m_destroying = false;
};

// A record whose widget the record owns: a top-level piece such as a dialog.
class COwningRecord : public CWindowRecord {
public:
    using CWindowRecord::CWindowRecord;
    ~COwningRecord() override;
    QWidget* Widget() const override { return m_widget; }

protected:
    void SetWidget(QWidget* widget) { m_widget = widget; }

private:
    QPointer<QWidget> m_widget;
};
