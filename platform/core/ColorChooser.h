#pragma once
// The colour chooser: the user picks a colour, or cancels.

#include "platform/core/Services.h"

#include <deque>
#include <optional>
#include <vector>

constexpr DWORD CC_RGBINIT = 0x00000001;
constexpr DWORD CC_FULLOPEN = 0x00000002;
constexpr DWORD CC_SOLIDCOLOR = 0x00000080;
constexpr DWORD CC_ANYCOLOR = 0x00000100;

// The chooser's record as the handheld has it (36 bytes there).
struct CHOOSECOLOR {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    COLORREF rgbResult;
    COLORREF* lpCustColors; // 16 colours, offered and written back
    DWORD Flags;
    LPARAM lCustData;
    void* lpfnHook;
    const char16_t* lpTemplateName;
};

class IColorChooserService {
public:
    virtual ~IColorChooserService() = default;
    // Non-zero with rgbResult set when the user confirms; zero when they cancel.
    virtual BOOL ChooseColor(CHOOSECOLOR* choice) = 0;
};

// Answers from a script: each call takes the next answer (a colour, or nothing for a cancel)
// and may define custom colours as a user would.
class CRecordingColorChooser : public IColorChooserService {
public:
    struct Answer {
        std::optional<COLORREF> color;
        std::vector<std::pair<int, COLORREF>> customColors; // index and colour to define
    };
    BOOL ChooseColor(CHOOSECOLOR* choice) override;

    std::deque<Answer> m_answers;
    std::vector<CHOOSECOLOR> m_calls;
    std::vector<std::vector<COLORREF>> m_customColorsSeen; // the 16 offered at each call
};

BOOL ChooseColor(CHOOSECOLOR* choice);
