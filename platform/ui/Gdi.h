#pragma once
// Drawing for OnPaint: a paint context for the window being painted, memory contexts that hold a
// bitmap for copying, fonts made from a point size in tenths and a face name, and text drawn in
// rectangles with alignment flags, in a text colour and a background mode.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/UiConstants.h"

#include <memory>

class CDC;
class CWnd;

class CFont {
public:
    CFont() = default;
    // `pointSize` is in tenths of a point (85 for 8.5 points).
    BOOL CreatePointFont(int pointSize, const CString& faceName, CDC* pDC = nullptr);
    BOOL DeleteObject();
    bool IsCreated() const { return m_bCreated; }
    int GetPointSize() const { return m_nPointSize; }
    const CString& GetFaceName() const { return m_strFace; }

private:
    CString m_strFace;
    int m_nPointSize = 0;
    bool m_bCreated = false;
};

class CBitmap {
public:
    CBitmap();
    ~CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Loads bitmap `id` of the program's resources; FALSE when there is none.
    BOOL LoadBitmap(UINT id);
    BOOL DeleteObject();
    CSize GetSize() const;

    struct Image;
    const Image* GetImage() const { return m_image.get(); }

private:
    std::unique_ptr<Image> m_image;
};

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context: it draws nothing itself, but a bitmap selected into it can be copied
    // to another context with BitBlt.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    int SetBkMode(int mode); // TRANSPARENT or OPAQUE; returns the previous mode
    int GetBkMode() const;
    COLORREF SetTextColor(COLORREF color); // returns the previous colour
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);

    // Each returns what was selected before; null stands for the window's own font.
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);

    // Copies a width x height block of the source's bitmap from (xSrc, ySrc) to (x, y), without
    // scaling. Only SRCCOPY is known.
    BOOL BitBlt(int x, int y, int width, int height, CDC* pSrcDC, int xSrc, int ySrc, DWORD rop);
    // Draws text in the rectangle with DT_LEFT/DT_CENTER/DT_RIGHT, DT_SINGLELINE with
    // DT_VCENTER or DT_BOTTOM, and DT_NOCLIP; returns the height of the text drawn.
    int DrawText(const CString& text, LPRECT rect, UINT format);
    void FillSolidRect(const RECT& rect, COLORREF color);

    struct State;

protected:
    std::unique_ptr<State> m_state;
};

// The context of the paint in progress for a window. Made outside a paint it draws nothing.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    CWnd* m_pWnd;
};
