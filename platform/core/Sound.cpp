#include "platform/core/Sound.h"

BOOL CRecordingSound::PlaySound(const char16_t* name, HMODULE, DWORD flags) {
    const bool stop = name == nullptr;
    m_calls.push_back({stop ? CString() : CString(name), stop, flags});
    if (stop) {
        m_strPlaying.Empty();
        m_bLooping = false;
        return 1;
    }
    if ((flags & SND_NOSTOP) != 0 && !m_strPlaying.IsEmpty()) {
        return 0; // the sound already playing goes on
    }
    m_strPlaying = name;
    m_bLooping = (flags & SND_LOOP) != 0;
    return 1;
}

BOOL PlaySound(const char16_t* name, HMODULE module, DWORD flags) {
    ISoundService* service = Service<ISoundService>::Installed();
    return service != nullptr ? service->PlaySound(name, module, flags) : 0;
}
