#include "platform/ui/sound/SoundModule.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

struct LomevaSoundPlayer {
    std::unique_ptr<QSoundEffect> effect;
};

namespace {

void Stop(LomevaSoundPlayer& player) {
    if (player.effect) {
        player.effect->stop();
    }
    player.effect.reset();
}

} // namespace

extern "C" {

[[gnu::visibility("default")]] LomevaSoundPlayer* lomeva_sound_create() {
    return new (std::nothrow) LomevaSoundPlayer;
}

[[gnu::visibility("default")]] int
lomeva_sound_play(LomevaSoundPlayer* player, const char16_t* path, std::size_t length, int loop) {
    const QString file = QString::fromUtf16(path, static_cast<qsizetype>(length));
    if (QMediaDevices::audioOutputs().isEmpty() || !QFileInfo(file).isFile()) {
        return 0;
    }
    Stop(*player);
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(file));
    effect->setLoopCount(loop != 0 ? QSoundEffect::Infinite : 1);
    effect->play();
    player->effect = std::move(effect);
    return 1;
}

[[gnu::visibility("default")]] void lomeva_sound_stop(LomevaSoundPlayer* player) {
    Stop(*player);
}

[[gnu::visibility("default")]] void lomeva_sound_destroy(LomevaSoundPlayer* player) {
    if (player != nullptr) {
        Stop(*player);
    }
    delete player;
}
}
