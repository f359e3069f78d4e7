#include "platform/core/Services.h"

#include <cstdio>

namespace {

CString& AppName() {
    static CString name = u"lomeva";
    return name;
}

IMessageBoxService& MessageBoxes() {
    static CConsoleMessageBox console;
    IMessageBoxService* installed = Service<IMessageBoxService>::Installed();
    return installed != nullptr ? *installed : console;
}

} // namespace

int CConsoleMessageBox::Show(const MessageBoxInfo& box) {
    const std::string line = box.text.ToUtf8() + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return IDOK;
}

int CRecordingMessageBox::Show(const MessageBoxInfo& box) {
    m_boxes.push_back(box);
    return IDOK;
}

const CString& AfxGetAppName() {
    return AppName();
}

void AfxSetAppName(const CString& name) {
    AppName() = name;
}

int MessageBox(HWND owner, const CString& text, const CString& caption, UINT type) {
    return MessageBoxes().Show({owner, text, caption, type});
}

int AfxMessageBox(const CString& text, UINT type) {
    return MessageBox(nullptr, text, AfxGetAppName(), type);
}
