#pragma once
// The program's resource numbers: dialog templates, the main screen picture, the icon and the
// controls of each template.
//
// A control number is unique within its template only. Where two or three templates give the
// same number to controls of their own, each name ends in _SHARED and says beside it who else
// has the number: one template is shown at a time, but a search by number over more than one
// screen (a test's, a tool's) finds whichever comes first.

// Dialog templates.
constexpr unsigned IDD_PAGE_COLOURS = 101;
constexpr unsigned IDD_MAINMENU = 102;
constexpr unsigned IDD_CATALOG = 135;
constexpr unsigned IDD_ADDPOEM = 136;
constexpr unsigned IDD_SEARCH = 137;
constexpr unsigned IDD_PAGE_BACKGROUND = 139;
constexpr unsigned IDD_POEMVIEW = 144;
constexpr unsigned IDD_PAGE_LIBRARY = 145;
constexpr unsigned IDD_REFPAGE = 146;

// Pictures.
constexpr unsigned IDI_MAINFRAME = 128;  // the program's icon
constexpr unsigned IDB_MAINSCREEN = 129; // 240 x 320, 24 bits

// The catalogue.
constexpr int IDC_LIST_POEMS = 1001;
constexpr int IDC_BTN_READ = 1002;
constexpr int IDC_STATIC_STATUS = 1003;

// The search screen.
constexpr int IDC_COMBO_FIELD = 1006;
constexpr int IDC_EDIT_KEYWORD = 1007;
constexpr int IDC_LIST_AUTHORS_SHARED = 1008;   // with the pictures and the libraries
constexpr int IDC_LIST_DYNASTIES_SHARED = 1009; // with the music
constexpr int IDC_LIST_FORMS = 1010;
constexpr int IDC_BTN_SEARCH = 1011;
constexpr int IDC_BTN_INTRODUCE = 1036;
constexpr int IDC_BTN_EXPLAIN = 1037;

// The add-poem screen.
constexpr int IDC_EDIT_TITLE = 1012;
constexpr int IDC_COMBO_FORM = 1013;
constexpr int IDC_EDIT_AUTHOR = 1014;
constexpr int IDC_EDIT_CONTENT = 1015;
constexpr int IDC_BTN_SAVE = 1016;

// The colour page.
constexpr int IDC_EDIT_TITLECOLOR = 1018;
constexpr int IDC_EDIT_AUTHORCOLOR = 1019;
constexpr int IDC_EDIT_TEXTCOLOR = 1020;
constexpr int IDC_BTN_TITLECOLOR = 1021;
constexpr int IDC_BTN_AUTHORCOLOR = 1022;
constexpr int IDC_BTN_TEXTCOLOR = 1023;
constexpr int IDC_BTN_APPLY = 1024;
constexpr int IDC_EDIT_FORMCOLOR = 1025;
constexpr int IDC_BTN_FORMCOLOR_SHARED = 1026; // with the picture's name

// The background page.
constexpr int IDC_LIST_PICTURES_SHARED = 1008;  // with the authors and the libraries
constexpr int IDC_LIST_MUSIC_SHARED = 1009;     // with the dynasties
constexpr int IDC_STATIC_PICTURE_SHARED = 1026; // with the form colour's button
constexpr int IDC_BTN_PREVIEW = 1027;
constexpr int IDC_STATIC_MUSIC = 1028;

// The library page.
constexpr int IDC_LIST_LIBRARIES_SHARED = 1008; // with the authors and the pictures
constexpr int IDC_BTN_LOAD = 1029;
