// The music layer on SDL's disk audio driver: what would reach the speakers is written
// to a file, so a test can hear whether the piece plays.
#include "audio/music.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

// Streams live to the end of the process, as in the demo.
MusicStream* playingStream = nullptr;

// A mono 16-bit WAV of a 440 Hz tone.
void writeToneWav(const std::string& path, double seconds) {
    const int rate = 44100;
    const uint32_t samples = static_cast<uint32_t>(seconds * rate);
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + samples * 2);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(samples * 2);
    for (uint32_t i = 0; i < samples; ++i) {
        u16(static_cast<uint16_t>(
            static_cast<int16_t>(12000 * std::sin(i * 2 * M_PI * 440 / rate))));
    }
}

bool anyNonZero(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) {
        if (b != 0) return true;
    }
    return false;
}

class MusicTest : public testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }
    TempDir temp;
    std::string dir = temp.path();
    std::string output = temp.file("out.raw");
};

TEST_F(MusicTest, PlaysStreamAndLoopCountKeepsItPlaying) {
    std::string tone = dir + "/tone.wav";
    writeToneWav(tone, 0.3);
    ASSERT_TRUE(musicInit(44100, 32));
    playingStream = musicStreamOpen(tone.c_str());
    ASSERT_NE(playingStream, nullptr);
    EXPECT_TRUE(musicStreamPlay(0, playingStream));
    EXPECT_TRUE(musicStreamSetLoopCount(playingStream, 5));
    SDL_Delay(800);  // longer than one play: only the repeats can still be playing
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(anyNonZero(readWholeFile(output)));
}

TEST_F(MusicTest, MissingFileLeavesEverythingSilentAndSafe) {
    ASSERT_TRUE(musicInit(44100, 32));
    // Absent; what else is no regular file is the opener's own test.
    MusicStream* stream = musicStreamOpen((dir + "/missing.mp3").c_str());
    EXPECT_EQ(stream, nullptr);
    EXPECT_FALSE(musicStreamPlay(0, stream));
    EXPECT_FALSE(musicStreamSetLoopCount(stream, 5));
    EXPECT_FALSE(Mix_PlayingMusic());
}

TEST_F(MusicTest, StartedAudioLeavesInterruptAndTerminateToTheirDefault) {
    ASSERT_TRUE(musicInit(44100, 32));
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << strsignal(signal);
    }
}

TEST_F(MusicTest, NoAudioDeviceMeansNoStream) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(musicInit(44100, 32));
    std::string tone = dir + "/tone.wav";
    writeToneWav(tone, 0.1);
    MusicStream* stream = musicStreamOpen(tone.c_str());
    EXPECT_EQ(stream, nullptr);
    EXPECT_FALSE(musicStreamPlay(0, stream));
    EXPECT_FALSE(musicStreamSetLoopCount(stream, 5));
}

}  // namespace
