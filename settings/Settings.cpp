#include "settings/Settings.h"

CString g_strAppPath;
CString g_strBackPicture = u"bgpic27.jpg";
CString g_strBackMusic = u"sound1.wav";
CString g_strFormColor = u"FFFFFF";
CString g_strTitleColor = u"FFFFFF";
CString g_strAuthorColor = u"FFFFFF";
CString g_strTextColor = u"FFFFFF";
CPoemLibrary* g_pLibrary = nullptr;

void ResetSettings() {
    g_strAppPath.Empty();
    g_strBackPicture = u"bgpic27.jpg";
    g_strBackMusic = u"sound1.wav";
    g_strFormColor = u"FFFFFF";
    g_strTitleColor = u"FFFFFF";
    g_strAuthorColor = u"FFFFFF";
    g_strTextColor = u"FFFFFF";
}
