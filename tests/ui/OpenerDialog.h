#pragma once
// A test screen whose button 109 runs an action, and that writes down what happens to it.

#include "platform/ui/Dialog.h"
#include "tests/ui/TestTemplates.h"

#include <functional>
#include <string>
#include <vector>

class COpenerDlg : public CDialog {
public:
    COpenerDlg(UINT templateId, std::vector<std::string>& log, std::string name)
        : CDialog(templateId), m_log(log), m_name(std::move(name)) {}

    std::function<void()> m_onOpen;
    bool m_bIgnoreClose = false; // a close handler that does not end the screen

protected:
    const CMessageMap* GetMessageMap() const override {
        static const CMessageMapOf<COpenerDlg> map(
            CDialog::GetMessageMap(), {
                                          On::Clicked(kOpenButton, &COpenerDlg::OnOpen),
                                          On::Close(&COpenerDlg::OnClose),
                                      });
        return &map;
    }

    void OnOpen() {
        m_log.push_back(m_name + " opens");
        if (m_onOpen) {
            m_onOpen();
        }
        m_log.push_back(m_name + " goes on");
    }

    void OnClose() {
        m_log.push_back(m_name + " closes");
        if (!m_bIgnoreClose) {
            Default();
        }
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};
