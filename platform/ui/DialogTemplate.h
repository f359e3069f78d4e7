#pragma once
// Dialog templates as data: the window's caption, styles, size and font, and its controls with
// id, kind, text, position, size and styles. Positions and sizes are in dialog units; with the
// 9-point "宋体" font a unit is 1.5 pixels both ways. A combo box's initial items are part of
// the template too.

#include "platform/core/WinTypes.h"

#include <span>

enum class ControlKind {
    Static,
    Edit,
    PushButton,
    GroupBox,
    ListBox,
    ComboBox,
    ListView, // the "SysListView32" window class
};

struct ControlTemplate {
    int id; // IDC_STATIC when the program never refers to the control
    ControlKind kind;
    const char16_t* text;
    short x;
    short y;
    short cx;
    short cy;
    DWORD style; // WS_*, and the SS_/ES_/BS_/LBS_/CBS_/LVS_ styles of the kind
};

// The items that a combo box holds as soon as its dialog exists, before OnInitDialog runs.
struct ComboInitData {
    int controlId;
    std::span<const char16_t* const> items;
};

struct DialogTemplate {
    UINT id;
    const char16_t* caption;
    DWORD style;
    DWORD exStyle;
    short cx;
    short cy;
    const char16_t* fontFace;
    WORD pointSize;
    std::span<const ControlTemplate> controls;
    std::span<const ComboInitData> initData = {};
};

// The templates a program can build dialogs from. Registering a second template with the same id
// replaces the first; the framework keeps the pointer, so templates are static data.
void RegisterDialogTemplate(const DialogTemplate& dialogTemplate);
const DialogTemplate* FindDialogTemplate(UINT id);

// Dialog units to pixels: 1.5 pixels per unit both ways, rounded half up.
constexpr int DialogUnitsToPixels(int units) {
    return (units * 3 + (units >= 0 ? 1 : -1)) / 2;
}
