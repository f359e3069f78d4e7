#include "settings/Settings.h"

#include "platform/core/ProgramFiles.h"

CString g_strAppPath;
CString g_strBackPicture;
CString g_strBackMusic;
CString g_strFormColor;
CString g_strTitleColor;
CString g_strAuthorColor;
CString g_strTextColor;
CPoemLibrary* g_pLibrary = nullptr;

void ResetSettings() {
    g_strAppPath.Empty();
    g_strBackPicture = CString::FromUtf8(BackgroundPictureName(kDefaultBackgroundPicture));
    g_strBackMusic = CString::FromUtf8(BackgroundMusicName(kDefaultBackgroundMusic));
    const CString white = u"FFFFFF";
    g_strFormColor = white;
    g_strTitleColor = white;
    g_strAuthorColor = white;
    g_strTextColor = white;
}

namespace {

// Every start begins from the defaults: the strings above are built first (they come first in
// this file), then given their start values here, before the program runs.
[[maybe_unused]] const bool g_bDefaultsSet = (ResetSettings(), true);

} // namespace
