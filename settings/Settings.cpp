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
    const PageSettings start;
    g_strAppPath = start.programFolder;
    g_strBackPicture = start.backPicture;
    g_strBackMusic = CString::FromUtf8(BackgroundMusicName(kDefaultBackgroundMusic));
    g_strFormColor = start.formColor;
    g_strTitleColor = start.titleColor;
    g_strAuthorColor = start.authorColor;
    g_strTextColor = start.textColor;
}

PageSettings CurrentPageSettings() {
    PageSettings now;
    now.programFolder = g_strAppPath;
    now.backPicture = g_strBackPicture;
    now.formColor = g_strFormColor;
    now.titleColor = g_strTitleColor;
    now.authorColor = g_strAuthorColor;
    now.textColor = g_strTextColor;
    return now;
}

namespace {

// Every start begins from the defaults: the strings above are built first (they come first in
// this file), then given their start values here, before the program runs.
[[maybe_unused]] const bool g_bDefaultsSet = (ResetSettings(), true);

} // namespace
