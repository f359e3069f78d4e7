#include "platform/ui/RealServices.h"

#include "platform/core/SplitPath.h"
#include "platform/ui/ModuleFile.h"
#include "platform/ui/UiConstants.h"
#include "platform/ui/qt/ColourChooserPanel.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/Screen.h"

#include "platform/ui/sound/SoundModule.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileInfo>
#include <QProcess>

#include <dlfcn.h>

// The loaded module and its player. The module stays loaded until the program ends: the media
// framework under it does not expect to be unloaded while the application runs.
struct CDeviceSound::Player {
    LomevaSoundPlayer* player = nullptr;
    LomevaSoundPlay play = nullptr;
    LomevaSoundStop stop = nullptr;
    LomevaSoundDestroy destroy = nullptr;
};

CDeviceSound::CDeviceSound(CString module) : m_strModule(std::move(module)) {}

CDeviceSound::~CDeviceSound() {
    if (m_player != nullptr && m_player->player != nullptr) {
        m_player->destroy(m_player->player);
    }
}

bool CDeviceSound::LoadPlayer() {
    if (m_player != nullptr) {
        return m_player->player != nullptr;
    }
    m_player = std::make_unique<Player>(); // tried once: a missing module is not looked for again
    if (m_strModule.IsEmpty()) {
        const CString program = AfxGetModuleFileName();
        m_strModule = SplitPath(program).folder + SoundModule::kFileName;
    }
    void* module = ::dlopen(m_strModule.ToUtf8().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        return false;
    }
    const auto create = reinterpret_cast<LomevaSoundCreate>(::dlsym(module, SoundModule::kCreate));
    Player loaded;
    loaded.play = reinterpret_cast<LomevaSoundPlay>(::dlsym(module, SoundModule::kPlay));
    loaded.stop = reinterpret_cast<LomevaSoundStop>(::dlsym(module, SoundModule::kStop));
    loaded.destroy = reinterpret_cast<LomevaSoundDestroy>(::dlsym(module, SoundModule::kDestroy));
    if (create == nullptr || loaded.play == nullptr || loaded.stop == nullptr ||
        loaded.destroy == nullptr) {
        return false;
    }
    loaded.player = create();
    *m_player = loaded;
    return m_player->player != nullptr;
}

BOOL CDeviceSound::PlaySound(const char16_t* name, HMODULE, DWORD flags) {
    if (name == nullptr) {
        if (m_player != nullptr && m_player->player != nullptr) {
            m_player->stop(m_player->player);
        }
        m_strPlaying.Empty();
        return TRUE;
    }
    if ((flags & SND_NOSTOP) != 0 && !m_strPlaying.IsEmpty()) {
        return FALSE; // the sound that is playing goes on
    }
    const CString path(name);
    if (!LoadPlayer() || m_player->play(m_player->player, path.GetString(),
                                        static_cast<std::size_t>(path.GetLength()),
                                        (flags & SND_LOOP) != 0 ? 1 : 0) == 0) {
        return FALSE;
    }
    m_strPlaying = path;
    return TRUE;
}

namespace {

// Runs the chooser over the screen until the user confirms (the colour) or cancels (an invalid
// colour). The bar's "ok" confirms, Esc cancels, as the chooser's own buttons do.
QColor ChooseOnScreen(const QColor& initial) {
    CScreen& screen = CScreen::Instance();
    if (screen.IsClosing()) {
        return {};
    }
    CColourChooserRun chooser(screen.ClientArea(), initial);
    CModalRun run(chooser);
    return run.Exec(IDCANCEL) == IDOK ? chooser.Colour() : QColor();
}

} // namespace

BOOL CScreenColorChooser::ChooseColor(CHOOSECOLOR* choice) {
    constexpr int kCustomColors = 16;
    if (choice->lpCustColors != nullptr) {
        for (int i = 0; i < kCustomColors; ++i) {
            const COLORREF c = choice->lpCustColors[i];
            QColorDialog::setCustomColor(i, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    }
    const COLORREF start = (choice->Flags & CC_RGBINIT) != 0 ? choice->rgbResult : RGB(0, 0, 0);
    const QColor chosen =
        ChooseOnScreen(QColor(GetRValue(start), GetGValue(start), GetBValue(start)));
    if (choice->lpCustColors != nullptr) {
        for (int i = 0; i < kCustomColors; ++i) {
            const QColor c = QColorDialog::customColor(i);
            choice->lpCustColors[i] = RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()),
                                          static_cast<BYTE>(c.blue()));
        }
    }
    if (!chosen.isValid()) {
        return FALSE;
    }
    choice->rgbResult = RGB(static_cast<BYTE>(chosen.red()), static_cast<BYTE>(chosen.green()),
                            static_cast<BYTE>(chosen.blue()));
    return TRUE;
}

BOOL CViewerLauncher::ShellExecuteEx(SHELLEXECUTEINFO* info) {
    if (info == nullptr || info->lpFile == nullptr || CString(info->lpFile) != u"pimg.exe") {
        return FALSE;
    }
    const CString folder = SplitPath(AfxGetModuleFileName()).folder;
    const QString viewer = ToQString(folder + u"pimg");
    if (!QFileInfo(viewer).isExecutable()) {
        return FALSE;
    }
    const QStringList arguments{ToQString(CString(info->lpParameters))};
    return QProcess::startDetached(viewer, arguments) ? TRUE : FALSE;
}
