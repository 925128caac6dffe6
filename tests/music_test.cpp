// The music layer on SDL's disk audio driver: what would reach the speakers is written
// to a file, so a test can hear whether the piece plays.
#include "audio/music.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/mp3_start.h"
#include "tests/support/temp_dir.h"
#include "tools/mp3_encoder.h"

namespace {

// Streams live to the end of the process, as in the demo: every one opened is kept here,
// in a list that is never destroyed, so the leak check at exit still finds them.
std::vector<MusicStream*>* const openedStreams = new std::vector<MusicStream*>;

MusicStream* keptOpen(MusicStream* stream) {
    openedStreams->push_back(stream);
    return stream;
}

// A 440 Hz stereo tone, encoded as the asset tool encodes the music.
std::vector<uint8_t> toneMp3(double seconds) {
    const int rate = 44100;
    std::vector<int16_t> samples;
    for (int i = 0; i < static_cast<int>(seconds * rate); ++i) {
        int16_t v = static_cast<int16_t>(12000 * std::sin(i * 2 * M_PI * 440 / rate));
        samples.push_back(v);
        samples.push_back(v);
    }
    std::vector<uint8_t> mp3;
    encodeMp3(samples, 2, rate, mp3);
    return mp3;
}

// An ID3v2.4 tag of `body` bytes; `footer` adds the 10-byte footer that the flags announce.
std::vector<uint8_t> id3Tag(uint32_t body, bool footer) {
    std::vector<uint8_t> tag = {'I', 'D', '3', 4, 0, static_cast<uint8_t>(footer ? 0x10 : 0)};
    for (int shift = 21; shift >= 0; shift -= 7) tag.push_back((body >> shift) & 0x7F);
    tag.resize(tag.size() + body, 0);
    if (footer) tag.insert(tag.end(), {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0, 0});
    return tag;
}

std::vector<uint8_t> joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Bytes this process has read from files so far.
uint64_t bytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") return value;
    }
    return 0;
}

// Standard error of `call`, which runs with fd 2 on a file.
template <typename Call>
std::string standardErrorOf(const std::string& path, Call call) {
    std::fflush(stderr);
    int saved = dup(2);
    FILE* capture = std::fopen(path.c_str(), "w");
    dup2(fileno(capture), 2);
    call();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(capture);
    std::vector<uint8_t> bytes = readWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
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
        unsetenv("PULSE_SERVER");
    }
    // The next test starts on a closed device, as the program does: the mixer and SDL
    // count their openings, and a device left open would outlive this test's file.
    void TearDown() override {
        Mix_HaltMusic();
        while (Mix_QuerySpec(nullptr, nullptr, nullptr) != 0) Mix_CloseAudio();
        while (SDL_WasInit(SDL_INIT_AUDIO) != 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    TempDir temp;
    std::string dir = temp.path();
    std::string output = temp.file("out.raw");
};

TEST_F(MusicTest, PlaysStreamAndLoopCountKeepsItPlaying) {
    std::string tone = temp.write("tone.mp3", toneMp3(0.3));
    ASSERT_TRUE(musicInit(44100, 32));
    MusicStream* playingStream = keptOpen(musicStreamOpen(tone.c_str()));
    ASSERT_NE(playingStream, nullptr);
    EXPECT_TRUE(musicStreamPlay(0, playingStream));
    EXPECT_TRUE(musicStreamSetLoopCount(playingStream, 5));
    SDL_Delay(800);  // longer than one play: only the repeats can still be playing
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(anyNonZero(readWholeFile(output)));
}

TEST_F(MusicTest, FileThatIsNoMusicLeavesEverythingSilentAndSafe) {
    ASSERT_TRUE(musicInit(44100, 32));
    // The mixer reads whatever it does not recognise whole, as a tracker module.
    std::string zeros = temp.write("zeros.mp3", std::string());
    std::filesystem::resize_file(zeros, uint64_t{512} << 20);
    std::vector<uint8_t> frames = toneMp3(0.2);
    std::vector<uint8_t> wave = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E'};
    wave.resize(4096, 0);
    const std::string rows[] = {
        // Absent; what else is no regular file is the opener's own test.
        dir + "/missing.mp3",
        zeros,
        temp.write("wave.mp3", wave),
        temp.write("tag-then-zeros.mp3", joined(id3Tag(100, false), std::vector<uint8_t>(8192))),
        temp.write("one-frame.mp3",
                   joined(std::vector<uint8_t>(frames.begin(),
                                               frames.begin() + mpegFrameBytes(frames.data())),
                          std::vector<uint8_t>(8192))),
    };
    for (const std::string& path : rows) {
        SCOPED_TRACE(path);
        uint64_t before = bytesRead();
        MusicStream* stream = musicStreamOpen(path.c_str());
        EXPECT_EQ(stream, nullptr);
        EXPECT_LT(bytesRead() - before, uint64_t{64} << 10);
        EXPECT_FALSE(musicStreamPlay(0, stream));
        EXPECT_FALSE(musicStreamSetLoopCount(stream, 5));
        EXPECT_FALSE(Mix_PlayingMusic());
    }
}

TEST_F(MusicTest, TaggedMp3Plays) {
    ASSERT_TRUE(musicInit(44100, 32));
    std::string tagged = temp.write("tagged.mp3", joined(id3Tag(3000, true), toneMp3(2.0)));
    MusicStream* playingStream = keptOpen(musicStreamOpen(tagged.c_str()));
    ASSERT_NE(playingStream, nullptr);
    EXPECT_TRUE(musicStreamPlay(0, playingStream));
    SDL_Delay(1000);  // the disk driver writes a whole mixer buffer at a time
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(anyNonZero(readWholeFile(output)));
}

// Without a card and without a sound server there is nothing to play on: the start
// finds that out without ALSA's complaints about the missing card.
TEST_F(MusicTest, NoCardAndNoServerIsQuiet) {
    int card = -1;
    if (snd_card_next(&card) == 0 && card >= 0) GTEST_SKIP() << "this machine has a sound card";
    unsetenv("SDL_AUDIODRIVER");
    setenv("PULSE_SERVER", ("unix:" + dir + "/no-server").c_str(), 1);
    bool started = true;
    std::string errors =
        standardErrorOf(temp.file("stderr.txt"), [&] { started = musicInit(44100, 32); });
    EXPECT_FALSE(started);
    EXPECT_EQ(errors, "");
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
    std::string tone = temp.write("tone.mp3", toneMp3(0.1));
    MusicStream* stream = musicStreamOpen(tone.c_str());
    EXPECT_EQ(stream, nullptr);
    EXPECT_FALSE(musicStreamPlay(0, stream));
    EXPECT_FALSE(musicStreamSetLoopCount(stream, 5));
}

struct FrameRow {
    const char* what;
    uint8_t header[4];
    uint32_t bytes;
};

TEST(Mp3Start, FrameHeaderGivesFrameLength) {
    const FrameRow rows[] = {
        {"MPEG-1 layer III 128 kbit/s 44.1 kHz", {0xFF, 0xFB, 0x90, 0x00}, 417},
        {"the same with padding", {0xFF, 0xFB, 0x92, 0x00}, 418},
        {"without CRC protection bit", {0xFF, 0xFA, 0x90, 0x00}, 417},
        {"MPEG-1 layer III 320 kbit/s 32 kHz", {0xFF, 0xFB, 0xE8, 0x00}, 1440},
        {"MPEG-1 layer II 128 kbit/s 48 kHz", {0xFF, 0xFD, 0x84, 0x00}, 384},
        {"MPEG-1 layer I 32 kbit/s 48 kHz", {0xFF, 0xFF, 0x14, 0x00}, 32},
        {"MPEG-2 layer III 64 kbit/s 22.05 kHz", {0xFF, 0xF3, 0x80, 0x00}, 208},
        {"MPEG-2.5 layer III 8 kbit/s 8 kHz", {0xFF, 0xE3, 0x18, 0x00}, 72},
        {"no sync", {0xFF, 0x7B, 0x90, 0x00}, 0},
        {"reserved version", {0xFF, 0xEB, 0x90, 0x00}, 0},
        {"reserved layer", {0xFF, 0xF9, 0x90, 0x00}, 0},
        {"free format", {0xFF, 0xFB, 0x00, 0x00}, 0},
        {"bit-rate index 15", {0xFF, 0xFB, 0xF0, 0x00}, 0},
        {"reserved sample rate", {0xFF, 0xFB, 0x9C, 0x00}, 0},
        {"zeros", {0x00, 0x00, 0x00, 0x00}, 0},
    };
    for (const FrameRow& row : rows) {
        EXPECT_EQ(mpegFrameBytes(row.header), row.bytes) << row.what;
    }
}

TEST(Mp3Start, RecognisesFramesAfterAnOptionalTag) {
    TempDir temp;
    std::vector<uint8_t> tone = toneMp3(0.2);
    std::vector<uint8_t> first(tone.begin(), tone.begin() + mpegFrameBytes(tone.data()));
    // Another stream's frame after the first: the sample rate differs.
    std::vector<uint8_t> other = {0xFF, 0xFB, 0x94, 0x00};
    // The same version, layer and rate, but no sync and then no bit rate.
    std::vector<uint8_t> unsynced = {0x00, 0xFB, 0x90, 0x00};
    std::vector<uint8_t> freeFormat = {0xFF, 0xFB, 0x00, 0x00};
    struct {
        const char* name;
        std::vector<uint8_t> bytes;
        bool mp3;
    } rows[] = {
        {"frames", tone, true},
        {"tag", joined(id3Tag(700, false), tone), true},
        {"tag-with-footer", joined(id3Tag(700, true), tone), true},
        {"empty", {}, false},
        {"short", {0xFF, 0xFB, 0x90}, false},
        {"tag-only", id3Tag(700, false), false},
        {"tag-then-zeros", joined(id3Tag(700, false), std::vector<uint8_t>(4096)), false},
        {"one-frame-then-zeros", joined(first, std::vector<uint8_t>(4096)), false},
        {"one-frame-at-the-end", first, false},
        {"other-rate-next", joined(first, joined(other, std::vector<uint8_t>(400))), false},
        {"unsynced-next", joined(first, joined(unsynced, std::vector<uint8_t>(400))), false},
        {"free-format-next", joined(first, joined(freeFormat, std::vector<uint8_t>(400))), false},
        {"byte-between-tag-and-frame", joined(id3Tag(700, false), joined({0x10}, tone)), false},
    };
    for (const auto& row : rows) {
        FILE* file = std::fopen(temp.write(row.name, row.bytes).c_str(), "rb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fseek(file, 1, SEEK_SET), 0);
        EXPECT_EQ(startsAsMp3(file), row.mp3) << row.name;
        EXPECT_EQ(std::ftell(file), 1) << row.name << ": the position moved";
        std::fclose(file);
    }
}

}  // namespace
