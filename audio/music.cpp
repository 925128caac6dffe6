// Background music on SDL2_mixer.
// SDL_mixer fixes a piece's repeat count when it starts, so a count set on a playing
// stream restarts it at the position it has reached, with the new count.
#include "audio/music.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <cstdio>

#include "base/regular_file.h"

struct MusicStream {
    Mix_Music* music;
    int loopCount;  // repeats after the first play
};

namespace {
bool audioOpen = false;
}

void musicChooseSilentOutput() {
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
}

bool musicInit(int mixRate, int channels) {
    // SDL's own handlers would turn SIGINT and SIGTERM into quit events that nobody
    // reads, and nothing short of SIGKILL could end the demo.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
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
