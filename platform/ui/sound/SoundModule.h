#pragma once
// The sound device's player is a module of its own, loaded the first time music plays: the media
// framework and the audio libraries under it are a score of shared libraries, and loading them
// with the reader would hold up its first screen for music that the poem page starts later.
// The module is plain C at its edge, so that nothing of the reader needs to be linked into it.

#include <cstddef>

extern "C" {

struct LomevaSoundPlayer;

// A player, or null when the module cannot make one.
using LomevaSoundCreate = LomevaSoundPlayer* (*)();
// Starts the wave file at path[0, length) (UTF-16), looping when `loop` is non-zero, in place of
// what was playing. Returns 0 without a sound device or when the file does not exist, at once.
using LomevaSoundPlay = int (*)(LomevaSoundPlayer*, const char16_t* path, std::size_t length,
                                int loop);
using LomevaSoundStop = void (*)(LomevaSoundPlayer*);
using LomevaSoundDestroy = void (*)(LomevaSoundPlayer*);
}

namespace SoundModule {
// The module's file, in the program folder.
constexpr const char16_t* kFileName = u"liblomeva_sound.so";
constexpr const char* kCreate = "lomeva_sound_create";
constexpr const char* kPlay = "lomeva_sound_play";
constexpr const char* kStop = "lomeva_sound_stop";
constexpr const char* kDestroy = "lomeva_sound_destroy";
} // namespace SoundModule
