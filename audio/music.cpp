// Background music on SDL2_mixer.
// SDL_mixer fixes a piece's repeat count when it starts, so a count set on a playing
// stream restarts it at the position it has reached, with the new count.
#include "audio/music.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <alsa/asoundlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/mp3_start.h"
#include "base/regular_file.h"

struct MusicStream {
    Mix_Music* music;
    int loopCount;  // repeats after the first play
};

namespace {

bool audioOpen = false;

// 16384 frames at 44100 Hz: 372 ms that the sound server holds before it runs dry. The
// audio thread decodes the MP3 and competes with the render thread and everything else
// on the machine; 2048 frames (46 ms) ran dry under two busy programs, and so did 8192
// now and then. Music only starts that much later.
const int kMixerFrames = 16384;

// Where ALSA has no card only a sound server can play, and SDL's client for PulseAudio
// talks to PipeWire's Pulse server too. Probing ALSA there costs tens of milliseconds
// before the first frame and prints its failures on standard error. Someone who names
// drivers in SDL_AUDIODRIVER gets what they ask, and an ALSA configuration of one's own
// may lead somewhere other than a card, so ALSA is asked then too.
void preferSoundServerWithoutCard() {
    if (SDL_GetHint(SDL_HINT_AUDIODRIVER) != nullptr) return;
    int card = -1;
    if (snd_card_next(&card) == 0 && card >= 0) return;
    if (std::getenv("ALSA_CONFIG_PATH") != nullptr || access("/etc/asound.conf", F_OK) == 0) {
        return;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && access((std::string(home) + "/.asoundrc").c_str(), F_OK) == 0) return;
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "pulseaudio");
}

}  // namespace

void musicChooseSilentOutput() {
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
}

bool musicInit(int mixRate, int channels) {
    // SDL's own handlers would turn SIGINT and SIGTERM into quit events that nobody
    // reads, and nothing short of SIGKILL could end the demo.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    audioOpen = false;
    preferSoundServerWithoutCard();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, kMixerFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(channels);
    audioOpen = true;
    return true;
}

MusicStream* musicStreamOpen(const char* path) {
    if (!audioOpen) return nullptr;
    // A FIFO in its place would block the start-up for good.
    FILE* file = openRegularStream(path);
    if (file == nullptr) return nullptr;
    // Anything else the mixer does not recognise it reads whole as a tracker module.
    if (!startsAsMp3(file)) {
        std::fclose(file);
        return nullptr;
    }
    SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
    if (stream == nullptr) {
        std::fclose(file);
        return nullptr;
    }
    Mix_Music* music = Mix_LoadMUS_RW(stream, 1);
    if (music == nullptr) return nullptr;
    return new MusicStream{music, 0};
}
bool musicStreamPlay(int, MusicStream* stream) {
    if (stream == nullptr) return false;
    return Mix_PlayMusic(stream->music, 1 + stream->loopCount) == 0;
}

bool musicStreamSetLoopCount(MusicStream* stream, int loopCount) {
    if (stream == nullptr || loopCount < 0) return false;
    stream->loopCount = loopCount;
    if (!Mix_PlayingMusic()) return true;
    double position = Mix_GetMusicPosition(stream->music);
    if (!musicStreamPlay(0, stream)) return false;
    if (position > 0.0) Mix_SetMusicPosition(position);
    return true;
}

double musicStreamSeconds(MusicStream* stream) {
    if (stream == nullptr) return -1.0;
    return Mix_MusicDuration(stream->music);
}
