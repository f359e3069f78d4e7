#pragma once
// The services as the program uses them for real: music through the sound device, the colour
// chooser on the screen, and the picture viewer as a program of its own. AfxWinMain installs
// them; tests install the recording versions instead.

#include "platform/core/ColorChooser.h"
#include "platform/core/ProgramLauncher.h"
#include "platform/core/Sound.h"

#include <memory>

// Plays one looping wave file at a time through the player module, which it loads the first time
// something is to play. Without the module or a sound device it plays nothing and fails at once,
// never blocking.
class CDeviceSound : public ISoundService {
public:
    // `module` is the player module's path; by default the one in the program folder.
    explicit CDeviceSound(CString module = CString());
    ~CDeviceSound() override;
    CDeviceSound(const CDeviceSound&) = delete;
    CDeviceSound& operator=(const CDeviceSound&) = delete;
    BOOL PlaySound(const char16_t* name, HMODULE module, DWORD flags) override;

private:
    struct Player;
    bool LoadPlayer();

    CString m_strModule;
    std::unique_ptr<Player> m_player;
    CString m_strPlaying; // the file playing now, empty when none
};

class CScreenColorChooser : public IColorChooserService {
public:
    BOOL ChooseColor(CHOOSECOLOR* choice) override;
};

// Starts "pimg.exe", the picture viewer, which here is the program `pimg` in the program
// folder, with the parameters as its one argument. Other programs are not started.
class CViewerLauncher : public IProgramLauncher {
public:
    BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) override;
};
