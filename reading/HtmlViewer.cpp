#include "reading/HtmlViewer.h"

#include "platform/ui/HtmlControl.h"

HWND CreateHtmlViewer(CWnd& dialog, LPARAM zoomLevel) {
    HINSTANCE hInstance = AfxGetInstanceHandle();
    CRect client;
    dialog.GetClientRect(client);
    if (!InitHTMLControl(hInstance)) {
        return nullptr;
    }
    HWND hwndHtml = CreateWindowEx(0, kHtmlViewClass, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, 1,
                                   1, client.Width() - 2, client.Height() - 2, dialog.GetSafeHwnd(),
                                   nullptr, hInstance, nullptr);
    if (hwndHtml != nullptr) {
        ::SendMessage(hwndHtml, DTM_ENABLESCRIPTING, 0, 1);
        ::SendMessage(hwndHtml, DTM_ZOOMLEVEL, 0, zoomLevel);
        ::SendMessage(hwndHtml, DTM_ENABLESHRINK, 0, 0);
    }
    return hwndHtml;
}
