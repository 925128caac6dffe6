// Additive synthesis: each note is a few sine partials, each decaying at its own rate,
// after a short attack; a released note fades quickly.
#include "tools/winter_tune.h"

#include <algorithm>
#include <cmath>

#include "tools/tiling_noise.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeatsPerMinute = 132.0;
constexpr double kSecondsPerBeat = 60.0 / kBeatsPerMinute;
constexpr int kBeatsPerBar = 4;
constexpr int kBars = 16;
constexpr double kFadeOutSeconds = 0.3;
constexpr double kPeak = 0.89;  // about -1 dB, room for the encoder's filtering
constexpr uint64_t kSleighBellSeed = 0x5EED0B11u;
constexpr double kInaudible = 5e-4;  // about -66 dB in the mix: a partial this quiet ends

struct Partial {
    double ratio;  // to the fundamental
    double amplitude;
    double decaySeconds;  // time for the partial to fall to 1/e
};

struct Timbre {
    const Partial* partials;
    int partialCount;
    double attackSeconds;
    double releaseSeconds;  // time constant of the fade after the note ends
};

// Slightly stretched upper partials give the glassy ring of a celesta.
constexpr Partial kBellPartials[] = {{1.0, 1.0, 1.1},  {2.0, 0.45, 0.55}, {3.0, 0.22, 0.35},
                                     {4.2, 0.14, 0.2}, {5.4, 0.08, 0.12}, {6.8, 0.05, 0.08}};
constexpr Partial kPianoPartials[] = {{1.0, 1.0, 0.9},   {2.0, 0.5, 0.6},  {3.0, 0.3, 0.45},
                                      {4.0, 0.18, 0.35}, {5.0, 0.1, 0.25}, {6.0, 0.06, 0.2}};
constexpr Timbre kBell{kBellPartials, 6, 0.004, 0.3};
constexpr Timbre kPiano{kPianoPartials, 6, 0.006, 0.08};

struct Note {
    int pitch;  // MIDI note number
    double beats;
};

// C major, one bar a line: C5 = 72, D5 = 74, E5 = 76, F5 = 77, G5 = 79.
// clang-format off
constexpr Note kMelody[] = {
    {76, 1}, {76, 1}, {76, 2},                       // Jingle bells,
    {76, 1}, {76, 1}, {76, 2},                       // jingle bells,
    {76, 1}, {79, 1}, {72, 1.5}, {74, 0.5},          // jingle all the
    {76, 4},                                         // way;
    {77, 1}, {77, 1}, {77, 1.5}, {77, 0.5},          // oh what fun it
    {77, 1}, {76, 1}, {76, 1}, {76, 0.5}, {76, 0.5}, // is to ride in a
    {76, 1}, {74, 1}, {74, 1}, {76, 1},              // one horse open
    {74, 2}, {79, 2},                                // sleigh, hey!
    {76, 1}, {76, 1}, {76, 2},                       // Jingle bells,
    {76, 1}, {76, 1}, {76, 2},                       // jingle bells,
    {76, 1}, {79, 1}, {72, 1.5}, {74, 0.5},          // jingle all the
    {76, 4},                                         // way;
    {77, 1}, {77, 1}, {77, 1.5}, {77, 0.5},          // oh what fun it
    {77, 1}, {76, 1}, {76, 1}, {76, 0.5}, {76, 0.5}, // is to ride in a
    {79, 1}, {79, 1}, {77, 1}, {74, 1},              // one horse open
    {72, 4},                                         // sleigh.
};
// clang-format on

struct Chord {
    int bass;  // root, MIDI note number
    int fifth;
    int voicing[4];  // 0 ends a voicing of fewer notes
};

constexpr Chord kC{48, 55, {60, 64, 67, 0}};
constexpr Chord kF{41, 48, {60, 65, 69, 0}};
constexpr Chord kD7{50, 45, {60, 62, 66, 69}};
constexpr Chord kG7{43, 50, {59, 62, 65, 67}};
constexpr const Chord* kBarChords[kBars] = {&kC, &kC, &kC, &kC, &kF, &kC, &kD7, &kG7,
                                            &kC, &kC, &kC, &kC, &kF, &kC, &kG7, &kC};

struct StereoMix {
    std::vector<double> left;
    std::vector<double> right;
    std::vector<double> note;  // scratch for the note being rendered
};

double frequencyOf(int pitch) {
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

// Samples until a partial that starts at `amplitude` and shrinks by `decay` per sample,
// and also by `releaseDecay` from sample `release` on, falls below kInaudible.
size_t audibleSamples(double amplitude, double decay, double releaseDecay, size_t release) {
    if (amplitude <= kInaudible) return 0;
    const double untilSilent = std::log(kInaudible / amplitude) / std::log(decay);
    if (untilSilent <= static_cast<double>(release)) {
        return static_cast<size_t>(std::ceil(untilSilent));
    }
    const double atRelease = amplitude * std::pow(decay, static_cast<double>(release));
    return release + static_cast<size_t>(std::ceil(std::log(kInaudible / atRelease) /
                                                   std::log(decay * releaseDecay)));
}

// Adds one note. pan: -1 left to 1 right, equal power.
void addNote(StereoMix& mix, double startSeconds, double lengthSeconds, int pitch, double gain,
             double pan, const Timbre& timbre) {
    const size_t start = static_cast<size_t>(std::lround(startSeconds * kTuneSampleRate));
    if (start >= mix.left.size()) return;
    const size_t room = mix.left.size() - start;
    const size_t release = static_cast<size_t>(std::lround(lengthSeconds * kTuneSampleRate));
    const double releaseDecay = std::exp(-1.0 / (timbre.releaseSeconds * kTuneSampleRate));
    const double fundamental = frequencyOf(pitch);

    size_t length = 0;
    for (int p = 0; p < timbre.partialCount; ++p) {
        const Partial& partial = timbre.partials[p];
        const double decay = std::exp(-1.0 / (partial.decaySeconds * kTuneSampleRate));
        length = std::max(length,
                          audibleSamples(partial.amplitude * gain, decay, releaseDecay, release));
    }
    length = std::min(length, room);
    mix.note.assign(length, 0.0);
    // Plain pointers in the loops: the debug build does not inline vector indexing.
    double* note = mix.note.data();
    for (int p = 0; p < timbre.partialCount; ++p) {
        const Partial& partial = timbre.partials[p];
        const double frequency = fundamental * partial.ratio;
        if (frequency >= 0.45 * kTuneSampleRate) continue;  // would alias
        const double step = 2.0 * kPi * frequency / kTuneSampleRate;
        const double decay = std::exp(-1.0 / (partial.decaySeconds * kTuneSampleRate));
        const size_t count = std::min(
            length, audibleSamples(partial.amplitude * gain, decay, releaseDecay, release));
        // A decaying sine a r^i sin(w i) by its two-term recurrence, one multiply-add
        // per sample: x[i] = 2 r cos(w) x[i-1] - r^2 x[i-2].
        const double feedback = 2.0 * decay * std::cos(step);
        const double damping = decay * decay;
        double before = 0.0;
        double current = partial.amplitude * decay * std::sin(step);
        for (size_t i = 1; i < count; ++i) {
            note[i] += current;
            const double next = feedback * current - damping * before;
            before = current;
            current = next;
        }
    }
    // Attack and release shape the whole note.
    const double attackSamples = timbre.attackSeconds * kTuneSampleRate;
    const double leftGain = gain * std::sqrt((1.0 - pan) / 2.0);
    const double rightGain = gain * std::sqrt((1.0 + pan) / 2.0);
    double* left = mix.left.data() + start;
    double* right = mix.right.data() + start;
    double gate = 1.0;
    for (size_t i = 0; i < length; ++i) {
        const double age = static_cast<double>(i);
        const double value = note[i] * gate * (age < attackSamples ? age / attackSamples : 1.0);
        left[i] += value * leftGain;
        right[i] += value * rightGain;
        if (i >= release) gate *= releaseDecay;
    }
}

// A shaken bell strap: bright noise that dies away in a few tens of milliseconds.
void addSleighBells(StereoMix& mix, double startSeconds, double gain, SeededRandom& random) {
    const size_t start = static_cast<size_t>(std::lround(startSeconds * kTuneSampleRate));
    const size_t length = static_cast<size_t>(0.12 * kTuneSampleRate);
    const double decayFactor = std::exp(-1.0 / (0.025 * kTuneSampleRate));
    double level = gain;
    double previous = 0.0;
    for (size_t i = start; i < std::min(mix.left.size(), start + length); ++i) {
        double noise = random.unit() * 2.0 - 1.0;
        double bright = noise - previous;  // first difference: keeps the highs
        previous = noise;
        mix.left[i] += bright * level * 0.6;
        mix.right[i] += bright * level;
        level *= decayFactor;
    }
}

void addMelody(StereoMix& mix) {
    double beat = 0.0;
    for (const Note& note : kMelody) {
        addNote(mix, beat * kSecondsPerBeat, note.beats * kSecondsPerBeat, note.pitch, 0.5, 0.0,
                kBell);
        beat += note.beats;
    }
}

void addChord(StereoMix& mix, double startSeconds, double beats, const Chord& chord) {
    for (int pitch : chord.voicing) {
        if (pitch == 0) break;
        addNote(mix, startSeconds, beats * kSecondsPerBeat, pitch, 0.1, 0.35, kPiano);
    }
}

void addAccompaniment(StereoMix& mix) {
    SeededRandom random{kSleighBellSeed};
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = *kBarChords[bar];
        const double barStart = bar * kBeatsPerBar * kSecondsPerBeat;
        const bool last = bar == kBars - 1;
        if (last) {
            // The closing chord is held through the bar.
            addNote(mix, barStart, 4 * kSecondsPerBeat, chord.bass, 0.35, -0.3, kPiano);
            addChord(mix, barStart, 4, chord);
            addSleighBells(mix, barStart, 0.08, random);
            continue;
        }
        // Bass on beats 1 and 3, short chords on 2 and 4, the bells on every eighth.
        addNote(mix, barStart, 2 * kSecondsPerBeat, chord.bass, 0.35, -0.3, kPiano);
        addNote(mix, barStart + 2 * kSecondsPerBeat, 2 * kSecondsPerBeat, chord.fifth, 0.3, -0.3,
                kPiano);
        addChord(mix, barStart + kSecondsPerBeat, 0.75, chord);
        addChord(mix, barStart + 3 * kSecondsPerBeat, 0.75, chord);
        for (int eighth = 0; eighth < 2 * kBeatsPerBar; ++eighth) {
            addSleighBells(mix, barStart + eighth * kSecondsPerBeat / 2,
                           eighth % 2 == 0 ? 0.08 : 0.05, random);
        }
    }
}

int16_t toSample(double value) {
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

}  // namespace

std::vector<int16_t> synthesizeWinterTune() {
    const size_t frames = static_cast<size_t>(kTuneSeconds * kTuneSampleRate);
    StereoMix mix{std::vector<double>(frames, 0.0), std::vector<double>(frames, 0.0), {}};
    addMelody(mix);
    addAccompaniment(mix);

    double peak = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    }
    const double scale = peak > 0.0 ? kPeak / peak : 0.0;
    // The last chord rings into the end; fade it so the loop restarts from silence.
    const size_t fadeStart = frames - static_cast<size_t>(kFadeOutSeconds * kTuneSampleRate);
    std::vector<int16_t> samples(frames * kTuneChannels);
    for (size_t i = 0; i < frames; ++i) {
        double fade =
            i < fadeStart ? 1.0 : static_cast<double>(frames - 1 - i) / (frames - 1 - fadeStart);
        samples[2 * i] = toSample(mix.left[i] * scale * fade);
        samples[2 * i + 1] = toSample(mix.right[i] * scale * fade);
    }
    return samples;
}
