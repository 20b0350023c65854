#include "game/sound.h"

#include "platform/resource.h"
#include "platform/sound.h"

const char* SoundResourceName(unsigned event) {
    switch (event) {
        case SOUND_CLICK: return "CLICK";
        case SOUND_CANCEL: return "CANSEL";
        case SOUND_OPEN: return "OPEN";
        case SOUND_INCORRECT: return "INCORRECT";
        default: return nullptr;
    }
}

const char* SoundResourceNameOf(const platform::Module* module, const uint8_t* image) {
    for (unsigned event = SOUND_CLICK; event <= SOUND_INCORRECT; ++event) {
        platform::ResourceBlock block{};
        if (image != nullptr &&
            platform::ResourceFindByName(module, platform::RESOURCE_SOUND,
                                         SoundResourceName(event), &block) &&
            block.data == image) {
            return SoundResourceName(event);
        }
    }
    return nullptr;
}

void PrepareUiSounds(AppState* state) {
    for (unsigned event = SOUND_CLICK; event <= SOUND_INCORRECT; ++event) {
        platform::ResourceBlock block{};
        if (platform::ResourceFindByName(state->hinstance, platform::RESOURCE_SOUND,
                                         SoundResourceName(event), &block)) {
            platform::SoundPrepare(state->hwnd, block.data, block.size);
        }
    }
}

void PlayUiSound(AppState* state, unsigned event) {
    PlaySoundResource(state, SoundResourceName(event));
}

void PlaySoundResource(AppState* state, const char* name) {
    platform::ResourceBlock block{};
    const bool started =
        platform::ResourceFindByName(state->hinstance, platform::RESOURCE_SOUND, name, &block) &&
        platform::SoundPlay(state->hwnd, block.data, block.size);
    if (!started) {
        platform::SoundBeep(state->hwnd);
    }
}
