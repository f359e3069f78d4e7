#pragma once
// Dialog templates of the framework's own tests.

#include "platform/ui/DialogTemplate.h"

// A form with one control of every kind.
constexpr UINT kFormDialog = 9001;
// Screens with one button, 109, that the tests use to open further screens.
constexpr UINT kFirstDialog = 9011;
constexpr UINT kSecondDialog = 9012;
constexpr UINT kThirdDialog = 9013;
constexpr UINT kFourthDialog = 9014;
// A screen with no controls, captioned only by the program's name.
constexpr UINT kBareDialog = 9020;

constexpr int kLabel = 100;
constexpr int kNameEdit = 101;
constexpr int kNotesEdit = 102;
constexpr int kCodeEdit = 103;
constexpr int kReadOnlyEdit = 104;
constexpr int kList = 105;
constexpr int kCombo = 106;
constexpr int kListView = 107;
constexpr int kConfirmButton = 108;
constexpr int kOpenButton = 109;
constexpr int kDisabledButton = 110;
constexpr int kSortedList = 111;

void RegisterTestTemplates();
