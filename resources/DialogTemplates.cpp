// The dialog templates of every screen, one table each, in dialog units with the 9-point
// "宋体" font.

#include "resources/ProgramResources.h"
#include "resources/ResourceIds.h"

#include "platform/ui/UiConstants.h"

#include <array>

namespace {

constexpr const char16_t* kFont = u"宋体";
constexpr WORD kPoints = 9;

// Windows without a caption of their own: the catalogue, the search and entry screens, the
// reader.
constexpr DWORD kBorderedPopup = WS_POPUP | WS_VISIBLE | WS_BORDER | DS_SETFONT;
// The pages of the options sheet: the caption is the page's tab.
constexpr DWORD kSheetPage = WS_CHILD | WS_VISIBLE | WS_CAPTION | DS_SETFONT;

constexpr DWORD kLabel = SS_LEFT | SS_CENTERIMAGE;
constexpr DWORD kLineEdit = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kPickList = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kDropList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

// ---- 102: the main screen -----------------------------------------------------------------

constexpr DialogTemplate kMainMenu{
    IDD_MAINMENU, u"Qinvara", WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT,
    0x80040000,   162,        194,
    kFont,        kPoints,    {}};

// ---- 135: the catalogue -------------------------------------------------------------------

constexpr ControlTemplate kCatalogControls[] = {
    {IDC_LIST_POEMS, ControlKind::ListView, u"", 0, 0, 161, 163,
     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP |
         WS_DISABLED},
    {IDC_BTN_READ, ControlKind::PushButton, u"阅读", 2, 164, 27, 14,
     BS_CENTER | BS_VCENTER | WS_TABSTOP | WS_DISABLED},
    {IDC_STATIC_STATUS, ControlKind::Static, u"", 34, 167, 122, 10, kLabel},
};

constexpr DialogTemplate kCatalog{IDD_CATALOG, u"",     kBorderedPopup,  0, 161, 184,
                                  kFont,       kPoints, kCatalogControls};

// ---- 136: the add-poem screen -------------------------------------------------------------

constexpr ControlTemplate kAddPoemControls[] = {
    {IDC_STATIC, ControlKind::Static, u"标题", 4, 7, 22, 10, kLabel},
    {IDC_EDIT_TITLE, ControlKind::Edit, u"", 27, 5, 121, 12, kLineEdit},
    {IDC_STATIC, ControlKind::Static, u"格律", 4, 20, 22, 10, kLabel},
    {IDC_COMBO_FORM, ControlKind::ComboBox, u"", 27, 18, 77, 88, kDropList},
    {IDC_STATIC, ControlKind::Static, u"作者", 4, 33, 22, 10, kLabel},
    {IDC_EDIT_AUTHOR, ControlKind::Edit, u"", 27, 32, 76, 12, kLineEdit},
    {IDC_STATIC, ControlKind::Static, u"内容", 4, 47, 18, 10, kLabel},
    {IDC_EDIT_CONTENT, ControlKind::Edit, u"", 1, 57, 158, 119,
     ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL | WS_VSCROLL |
         WS_BORDER | WS_TABSTOP},
    {IDC_BTN_SAVE, ControlKind::PushButton, u"保存", 121, 32, 30, 13, BS_NOTIFY | WS_TABSTOP},
};

constexpr DialogTemplate kAddPoem{IDD_ADDPOEM, u"",     kBorderedPopup,  0, 160, 191,
                                  kFont,       kPoints, kAddPoemControls};

// ---- 137: the search screen ---------------------------------------------------------------

constexpr ControlTemplate kSearchControls[] = {
    {IDC_COMBO_FIELD, ControlKind::ComboBox, u"", 38, 7, 53, 79, kDropList},
    {IDC_EDIT_KEYWORD, ControlKind::Edit, u"", 38, 24, 109, 12, kLineEdit},
    {IDC_BTN_SEARCH, ControlKind::PushButton, u"搜索", 109, 38, 34, 13,
     BS_DEFPUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP | WS_DISABLED},
    {IDC_LIST_AUTHORS_SHARED, ControlKind::ListBox, u"", 8, 63, 66, 84, kPickList},
    {IDC_LIST_DYNASTIES_SHARED, ControlKind::ListBox, u"", 79, 63, 66, 40, kPickList},
    {IDC_LIST_FORMS, ControlKind::ListBox, u"", 79, 107, 66, 40, kPickList},
    {IDC_STATIC, ControlKind::Static, u"类  别", 1, 7, 30, 12, kLabel},
    {IDC_STATIC, ControlKind::Static, u"关键字", 1, 24, 30, 12, kLabel},
    {IDC_STATIC, ControlKind::GroupBox, u"选择", 2, 50, 150, 101, BS_GROUPBOX},
    {IDC_BTN_INTRODUCE, ControlKind::PushButton, u"介绍", 7, 153, 34, 13, WS_TABSTOP | WS_DISABLED},
    {IDC_BTN_EXPLAIN, ControlKind::PushButton, u"解释", 112, 153, 34, 13, WS_TABSTOP | WS_DISABLED},
};

constexpr const char16_t* kSearchFields[] = {u"标题", u"作者", u"朝代", u"格律", u"全文"};
constexpr ComboInitData kSearchInitData[] = {{IDC_COMBO_FIELD, kSearchFields}};

constexpr DialogTemplate kSearch{
    IDD_SEARCH, u"", kBorderedPopup, 0, 153, 194, kFont, kPoints, kSearchControls, kSearchInitData};

// ---- 144: the reader ----------------------------------------------------------------------

constexpr DialogTemplate kPoemView{IDD_POEMVIEW, u"",   kBorderedPopup, 0, 160,
                                   190,          kFont, kPoints,        {}};

// ---- 146: the reference page --------------------------------------------------------------

constexpr DialogTemplate kRefPage{
    IDD_REFPAGE, u"详细", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,           153,     192,
    kFont,       kPoints, {}};

// ---- 101: the colour page -----------------------------------------------------------------

constexpr DWORD kColourEdit = WS_BORDER | WS_TABSTOP | ES_READONLY | ES_UPPERCASE | ES_AUTOHSCROLL;
constexpr DWORD kChooseButton = WS_TABSTOP | BS_VCENTER;
constexpr DWORD kPageLabel = SS_LEFT | WS_GROUP;

constexpr ControlTemplate kColourControls[] = {
    {IDC_EDIT_FORMCOLOR, ControlKind::Edit, u"", 65, 22, 53, 11, kColourEdit},
    {IDC_BTN_FORMCOLOR_SHARED, ControlKind::PushButton, u"选择", 125, 22, 21, 11, kChooseButton},
    {IDC_EDIT_TITLECOLOR, ControlKind::Edit, u"", 65, 38, 53, 11, kColourEdit},
    {IDC_BTN_TITLECOLOR, ControlKind::PushButton, u"选择", 126, 37, 21, 11, kChooseButton},
    {IDC_EDIT_AUTHORCOLOR, ControlKind::Edit, u"", 65, 53, 53, 11, kColourEdit},
    {IDC_BTN_AUTHORCOLOR, ControlKind::PushButton, u"选择", 126, 52, 20, 11, kChooseButton},
    {IDC_EDIT_TEXTCOLOR, ControlKind::Edit, u"", 65, 68, 53, 11, kColourEdit},
    {IDC_BTN_TEXTCOLOR, ControlKind::PushButton, u"选择", 126, 68, 20, 11, kChooseButton},
    {IDC_BTN_APPLY, ControlKind::PushButton, u"应用", 125, 100, 28, 13, WS_TABSTOP},
    {IDC_STATIC, ControlKind::Static, u"格律颜色", 7, 22, 44, 10, kPageLabel},
    {IDC_STATIC, ControlKind::Static, u"标题颜色", 7, 38, 44, 10, kPageLabel},
    {IDC_STATIC, ControlKind::Static, u"年代/作者颜色", 7, 54, 56, 10, kPageLabel},
    {IDC_STATIC, ControlKind::Static, u"诗词颜色", 7, 70, 42, 10, kPageLabel},
    {IDC_STATIC, ControlKind::GroupBox, u"颜色", 2, 5, 154, 89, BS_GROUPBOX},
};

constexpr DialogTemplate kColourPage{
    IDD_PAGE_COLOURS, u"浏览", kSheetPage, 0, 161, 194, kFont, kPoints, kColourControls};

// ---- 139: the background page -------------------------------------------------------------

constexpr DWORD kPageHeading = SS_LEFT | SS_CENTERIMAGE | WS_GROUP;
constexpr DWORD kFileNameField = kPageHeading | WS_BORDER;
constexpr DWORD kPageList = WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;

constexpr ControlTemplate kBackgroundControls[] = {
    {IDC_STATIC, ControlKind::Static, u"选择背景图片或音乐", 4, 5, 81, 11, kPageHeading},
    {IDC_STATIC_PICTURE_SHARED, ControlKind::Static, u"", 5, 19, 115, 11, kFileNameField},
    {IDC_LIST_PICTURES_SHARED, ControlKind::ListBox, u"", 5, 35, 116, 41, kPageList},
    {IDC_BTN_PREVIEW, ControlKind::PushButton, u"预览", 129, 63, 28, 13, WS_TABSTOP},
    {IDC_STATIC_MUSIC, ControlKind::Static, u"", 5, 88, 115, 11, kFileNameField},
    {IDC_LIST_MUSIC_SHARED, ControlKind::ListBox, u"", 5, 104, 116, 41, kPageList},
};

constexpr DialogTemplate kBackgroundPage{
    IDD_PAGE_BACKGROUND, u"背景", kSheetPage, 0, 161, 193, kFont, kPoints, kBackgroundControls};

// ---- 145: the library page ----------------------------------------------------------------

constexpr ControlTemplate kLibraryControls[] = {
    {IDC_STATIC, ControlKind::Static, u"选择诗词词库", 6, 4, 57, 10, kPageHeading},
    {IDC_LIST_LIBRARIES_SHARED, ControlKind::ListBox, u"", 7, 16, 147, 127, kPageList},
    {IDC_BTN_LOAD, ControlKind::PushButton, u"选 用", 126, 147, 28, 12, WS_TABSTOP},
};

constexpr DialogTemplate kLibraryPage{
    IDD_PAGE_LIBRARY, u"诗词词库", kSheetPage, 0, 161, 192, kFont, kPoints, kLibraryControls};

constexpr std::array<const DialogTemplate*, 9> kTemplates = {
    &kColourPage, &kMainMenu, &kCatalog,        &kAddPoem,     &kSearch,
    &kPoemView,   &kRefPage,  &kBackgroundPage, &kLibraryPage,
};

} // namespace

const DialogTemplate& MainMenuTemplate() {
    return kMainMenu;
}

std::span<const DialogTemplate* const> ProgramTemplates() {
    return kTemplates;
}

void RegisterProgramResources() {
    for (const DialogTemplate* dialogTemplate : kTemplates) {
        RegisterDialogTemplate(*dialogTemplate);
    }
}
