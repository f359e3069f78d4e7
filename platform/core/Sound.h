#pragma once
// Wave files played by name, asynchronously and in a loop, as the reader's background music.

#include "platform/core/Services.h"

#include <vector>

class ISoundService {
public:
    virtual ~ISoundService() = default;
    // name null stops what is playing. SND_NOSTOP keeps a sound that is already playing.
    virtual BOOL PlaySound(const char16_t* name, HMODULE module, DWORD flags) = 0;
};

// Remembers every call and keeps track of what would be playing.
class CRecordingSound : public ISoundService {
public:
    struct Call {
        CString name; // empty for a stop
        bool stop;
        DWORD flags;
    };
    BOOL PlaySound(const char16_t* name, HMODULE module, DWORD flags) override;

    std::vector<Call> m_calls;
    CString m_strPlaying; // the sound playing now, empty when none
    bool m_bLooping = false;
};

// Through the installed service; without one, nothing plays and the call fails.
BOOL PlaySound(const char16_t* name, HMODULE module, DWORD flags);
