#pragma once
// What a poem's page takes of the settings, as one value. A new value holds what every start
// begins with (the shared settings start from it too); the screens compose with the shared
// settings' values of the moment (CurrentPageSettings in settings/Settings.h), the command line
// with its own.

#include "platform/core/CString.h"
#include "platform/core/ProgramFiles.h"

struct PageSettings {
    // The folder of the picture, ending with its separator ('/'); empty until someone says.
    CString programFolder;
    // A bare file name in that folder.
    CString backPicture = CString::FromUtf8(BackgroundPictureName(kDefaultBackgroundPicture));
    // Six hexadecimal digits each, red green blue, without '#'.
    CString formColor = u"FFFFFF";
    CString titleColor = u"FFFFFF";
    CString authorColor = u"FFFFFF"; // the dynasty and author line
    CString textColor = u"FFFFFF";

    friend bool operator==(const PageSettings&, const PageSettings&) = default;
};
