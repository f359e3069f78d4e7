#include "platform/core/ColorChooser.h"

BOOL CRecordingColorChooser::ChooseColor(CHOOSECOLOR* choice) {
    m_calls.push_back(*choice);
    m_customColorsSeen.emplace_back();
    if (choice->lpCustColors != nullptr) {
        m_customColorsSeen.back().assign(choice->lpCustColors, choice->lpCustColors + 16);
    }
    if (m_answers.empty()) {
        return 0;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    for (const auto& [index, color] : answer.customColors) {
        if (choice->lpCustColors != nullptr && index >= 0 && index < 16) {
            choice->lpCustColors[index] = color;
        }
    }
    if (!answer.color) {
        return 0;
    }
    choice->rgbResult = *answer.color;
    return 1;
}

BOOL ChooseColor(CHOOSECOLOR* choice) {
    IColorChooserService* service = Service<IColorChooserService>::Installed();
    return service != nullptr ? service->ChooseColor(choice) : 0;
}
