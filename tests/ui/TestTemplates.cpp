#include "tests/ui/TestTemplates.h"

#include "platform/ui/UiConstants.h"

namespace {

constexpr DWORD kPopup = WS_POPUP | WS_VISIBLE | WS_BORDER | DS_SETFONT;

constexpr ControlTemplate kFormControls[] = {
    {kLabel, ControlKind::Static, u"标签", 4, 4, 60, 10, SS_LEFT | SS_CENTERIMAGE},
    {kNameEdit, ControlKind::Edit, u"", 4, 16, 80, 12, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
    {kNotesEdit, ControlKind::Edit, u"", 4, 30, 80, 30,
     ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
    {kCodeEdit, ControlKind::Edit, u"", 90, 16, 60, 12, WS_BORDER | ES_UPPERCASE | WS_TABSTOP},
    {kReadOnlyEdit, ControlKind::Edit, u"只读", 90, 30, 60, 12,
     WS_BORDER | ES_READONLY | WS_TABSTOP},
    {kList, ControlKind::ListBox, u"", 4, 64, 70, 40,
     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
    {kCombo, ControlKind::ComboBox, u"", 80, 64, 70, 60, CBS_DROPDOWNLIST | WS_TABSTOP},
    {kListView, ControlKind::ListView, u"", 4, 108, 150, 50,
     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP},
    {kConfirmButton, ControlKind::PushButton, u"确定", 4, 162, 30, 13,
     BS_DEFPUSHBUTTON | WS_TABSTOP},
    {kOpenButton, ControlKind::PushButton, u"打开", 40, 162, 30, 13, WS_TABSTOP},
    {kDisabledButton, ControlKind::PushButton, u"不行", 76, 162, 30, 13, WS_TABSTOP | WS_DISABLED},
    {kSortedList, ControlKind::ListBox, u"", 80, 84, 70, 20, LBS_SORT | WS_BORDER},
    {IDC_STATIC, ControlKind::GroupBox, u"组", 2, 60, 156, 100, BS_GROUPBOX},
};

constexpr const char16_t* kComboItems[] = {u"甲", u"乙", u"丙"};
constexpr ComboInitData kFormInitData[] = {{kCombo, kComboItems}};

constexpr DialogTemplate kForm{kFormDialog, u"表单",       kPopup,       0, 160, 190, u"宋体",
                               9,           kFormControls, kFormInitData};

constexpr ControlTemplate kOpenerControls[] = {
    {kOpenButton, ControlKind::PushButton, u"打开", 10, 10, 40, 14, WS_TABSTOP},
};

constexpr DialogTemplate kFirst{kFirstDialog, u"一", kPopup,         0, 160, 190,
                                u"宋体",      9,     kOpenerControls};
constexpr DialogTemplate kSecond{kSecondDialog, u"二", kPopup,         0, 160, 190,
                                 u"宋体",       9,     kOpenerControls};
constexpr DialogTemplate kThird{kThirdDialog, u"三", kPopup,         0, 160, 190,
                                u"宋体",      9,     kOpenerControls};
constexpr DialogTemplate kFourth{kFourthDialog, u"四", kPopup,         0, 160, 190,
                                 u"宋体",       9,     kOpenerControls};
constexpr DialogTemplate kBare{kBareDialog, u"", kPopup, 0, 100, 100, u"宋体", 9, {}};

} // namespace

void RegisterTestTemplates() {
    for (const DialogTemplate* dialogTemplate :
         {&kForm, &kFirst, &kSecond, &kThird, &kFourth, &kBare}) {
        RegisterDialogTemplate(*dialogTemplate);
    }
}
