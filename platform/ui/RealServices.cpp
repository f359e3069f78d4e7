#include "platform/ui/RealServices.h"

#include "platform/ui/WinApp.h"
#include "platform/ui/qt/QtText.h"

#include <QApplication>
#include <QAudioDevice>
#include <QColorDialog>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QSoundEffect>
#include <QUrl>

struct CDeviceSound::Player {
    std::unique_ptr<QSoundEffect> effect;
    CString playing; // the file playing now, empty when none
};

CDeviceSound::CDeviceSound() : m_player(std::make_unique<Player>()) {}

CDeviceSound::~CDeviceSound() = default;

BOOL CDeviceSound::PlaySound(const char16_t* name, HMODULE, DWORD flags) {
    if (name == nullptr) {
        if (m_player->effect) {
            m_player->effect->stop();
        }
        m_player->effect.reset();
        m_player->playing.Empty();
        return TRUE;
    }
    if ((flags & SND_NOSTOP) != 0 && !m_player->playing.IsEmpty()) {
        return FALSE; // the sound that is playing goes on
    }
    const QString path = ToQString(CString(name));
    if (QMediaDevices::audioOutputs().isEmpty() || !QFileInfo(path).isFile()) {
        return FALSE;
    }
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(path));
    effect->setLoopCount((flags & SND_LOOP) != 0 ? QSoundEffect::Infinite : 1);
    effect->play();
    m_player->effect = std::move(effect);
    m_player->playing = name;
    return TRUE;
}

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
        QColorDialog::getColor(QColor(GetRValue(start), GetGValue(start), GetBValue(start)),
                               QApplication::activeWindow(), QStringLiteral("颜色"));
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
    const CString path = AfxGetModuleFileName();
    const CString folder = path.Left(path.ReverseFind(u'/') + 1);
    const QString viewer = ToQString(folder + u"pimg");
    if (!QFileInfo(viewer).isExecutable()) {
        return FALSE;
    }
    const QStringList arguments{ToQString(CString(info->lpParameters))};
    return QProcess::startDetached(viewer, arguments) ? TRUE : FALSE;
}
