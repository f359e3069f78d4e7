#pragma once
// Message boxes on the screen: modal over the screen in front, with the caption in the bar, the
// icon the type asks for, the text and an OK button. Before the program's window system exists
// (or while the window closes) a box cannot be shown and answers OK at once, its text going to
// standard error in the first case.

#include "platform/core/Services.h"

class CScreenMessageBox : public IMessageBoxService {
public:
    int Show(const MessageBoxInfo& box) override;
};
