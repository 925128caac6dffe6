// Additive synthesis: each note is a few sine partials, each decaying at its own rate,
// after a short attack; a released note fades quickly.
#include "tools/winter_tune.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "tools/tiling_noise.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFadeOutSeconds = 0.3;
constexpr double kPeak = 0.89;  // about -1 dB, room for the encoder's filtering
constexpr uint64_t kSleighBellSeed = 0x5EED0B11u;
constexpr double kInaudible = 5e-4;  // about -66 dB in the mix: a partial this quiet ends

struct Partial {
    double ratio;  // to the fundamental
    double amplitude;
    double decaySeconds;  // time for the partial to fall to 1/e
};

constexpr int kMaxPartials = 6;  // the sum in addNote adds six

struct Timbre {
    const Partial* partials;  // at most kMaxPartials
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
    int pitch;  // MIDI note number; 0 is a rest
    double beats;
};

// Written in C major (G major for "Good King Wenceslas") from C5 = 72, one bar a line:
// G4 = 67, A4 = 69, B4 = 71, D5 = 74, E5 = 76, F5 = 77, G5 = 79, A5 = 81.
// clang-format off
constexpr Note kJingleBellsVerse[] = {
    {67, 1}, {76, 1}, {74, 1}, {72, 1},              // Dashing through the
    {67, 3}, {67, 0.5}, {67, 0.5},                   // snow in a
    {67, 1}, {76, 1}, {74, 1}, {72, 1},              // one horse open
    {69, 4},                                         // sleigh,
    {69, 1}, {77, 1}, {76, 1}, {74, 1},              // o'er the fields we
    {71, 4},                                         // go,
    {79, 1}, {79, 1}, {77, 1}, {74, 1},              // laughing all the
    {76, 4},                                         // way;
    {67, 1}, {76, 1}, {74, 1}, {72, 1},              // bells on bob-tail
    {67, 4},                                         // ring,
    {67, 1}, {76, 1}, {74, 1}, {72, 1},              // making spirits
    {69, 3}, {69, 1},                                // bright, what
    {69, 1}, {77, 1}, {76, 1}, {74, 1},              // fun it is to
    {79, 1}, {79, 1}, {79, 1}, {79, 1},              // ride and sing a
    {81, 1}, {79, 1}, {77, 1}, {74, 1},              // sleighing song to-
    {72, 2}, {79, 2},                                // night, oh!
};
constexpr Note kJingleBellsChorus[] = {
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
constexpr Note kDeckTheHalls[] = {
    {79, 1.5}, {77, 0.5}, {76, 1}, {74, 1},                      // Deck the halls with
    {72, 1}, {74, 1}, {76, 1}, {72, 1},                          // boughs of holly,
    {74, 0.5}, {76, 0.5}, {77, 0.5}, {74, 0.5}, {76, 1.5}, {74, 0.5}, // fa la la la la, la
    {72, 1}, {71, 1}, {72, 2},                                   // la la la.
    {79, 1.5}, {77, 0.5}, {76, 1}, {74, 1},                      // 'Tis the season
    {72, 1}, {74, 1}, {76, 1}, {72, 1},                          // to be jolly,
    {74, 0.5}, {76, 0.5}, {77, 0.5}, {74, 0.5}, {76, 1.5}, {74, 0.5}, // fa la la la la, la
    {72, 1}, {71, 1}, {72, 2},                                   // la la la.
    {74, 1.5}, {76, 0.5}, {77, 1}, {74, 1},                      // Don we now our
    {76, 1.5}, {77, 0.5}, {79, 1}, {74, 1},                      // gay apparel,
    {76, 0.5}, {78, 0.5}, {79, 1}, {81, 0.5}, {83, 0.5}, {84, 1}, // fa la la, la la la,
    {83, 1}, {81, 1}, {79, 2},                                   // la la la.
    {79, 1.5}, {77, 0.5}, {76, 1}, {74, 1},                      // Troll the ancient
    {72, 1}, {74, 1}, {76, 1}, {72, 1},                          // Yuletide carol,
    {81, 0.5}, {81, 0.5}, {81, 0.5}, {81, 0.5}, {79, 1.5}, {77, 0.5}, // fa la la la la, la
    {76, 1}, {74, 1}, {72, 2},                                   // la la la.
};
// In G major: D4 = 62, E4 = 64, F#4 = 66, G4 = 67, A4 = 69, B4 = 71, C5 = 72, D5 = 74.
constexpr Note kGoodKingWenceslas[] = {
    {67, 1}, {67, 1}, {67, 1}, {69, 1},              // Good King Wences-
    {67, 1}, {67, 1}, {62, 2},                       // las looked out
    {64, 1}, {62, 1}, {64, 1}, {66, 1},              // on the feast of
    {67, 2}, {67, 2},                                // Stephen,
    {67, 1}, {67, 1}, {67, 1}, {69, 1},              // when the snow lay
    {67, 1}, {67, 1}, {62, 2},                       // round about,
    {64, 1}, {62, 1}, {64, 1}, {66, 1},              // deep and crisp and
    {67, 2}, {67, 2},                                // even.
    {74, 1}, {72, 1}, {71, 1}, {69, 1},              // Brightly shone the
    {71, 1}, {69, 1}, {67, 2},                       // moon that night,
    {64, 1}, {62, 1}, {64, 1}, {66, 1},              // though the frost was
    {67, 2}, {67, 2},                                // cruel,
    {62, 1}, {62, 1}, {64, 1}, {66, 1},              // when a poor man
    {67, 1}, {67, 1}, {69, 2},                       // came in sight,
    {74, 1}, {72, 1}, {71, 1}, {69, 1},              // gath'ring winter
    {67, 2}, {72, 2},                                // fu-
    {67, 4},                                         // el.
};
// Three beats a bar, after a one-beat pickup.
constexpr Note kWeWishYouAMerryChristmas[] = {
    {67, 1},                                         // We
    {72, 1}, {72, 0.5}, {74, 0.5}, {72, 0.5}, {71, 0.5}, // wish you a merry
    {69, 1}, {69, 1}, {69, 1},                       // Christmas, we
    {74, 1}, {74, 0.5}, {76, 0.5}, {74, 0.5}, {72, 0.5}, // wish you a merry
    {71, 1}, {67, 1}, {67, 1},                       // Christmas, we
    {76, 1}, {76, 0.5}, {77, 0.5}, {76, 0.5}, {74, 0.5}, // wish you a merry
    {72, 1}, {69, 1}, {67, 0.5}, {67, 0.5},          // Christmas and a
    {69, 1}, {74, 1}, {71, 1},                       // happy New
    {72, 2}, {0, 1},                                 // Year.
};
// clang-format on

struct Chord {
    int root;          // pitch class, 0 = C
    int intervals[4];  // semitones above the root; -1 ends a chord of fewer notes
};

constexpr Chord kC{0, {0, 4, 7, -1}};
constexpr Chord kF{5, {0, 4, 7, -1}};
constexpr Chord kG{7, {0, 4, 7, -1}};
constexpr Chord kD{2, {0, 4, 7, -1}};
constexpr Chord kEm{4, {0, 3, 7, -1}};
constexpr Chord kD7{2, {0, 4, 7, 10}};
constexpr Chord kG7{7, {0, 4, 7, 10}};

// One chord a bar.
constexpr const Chord* kJingleBellsVerseChords[] = {&kC, &kC, &kC, &kF, &kF, &kG7, &kG7, &kC,
                                                    &kC, &kC, &kC, &kF, &kF, &kC,  &kG7, &kC};
constexpr const Chord* kJingleBellsChorusChords[] = {&kC, &kC, &kC, &kC, &kF, &kC, &kD7, &kG7,
                                                     &kC, &kC, &kC, &kC, &kF, &kC, &kG7, &kC};
constexpr const Chord* kDeckTheHallsChords[] = {&kC,  &kC, &kG7, &kC, &kC, &kC, &kG7, &kC,
                                                &kG7, &kC, &kD7, &kG, &kC, &kC, &kF,  &kC};
constexpr const Chord* kGoodKingWenceslasChords[] = {&kG,  &kG, &kD, &kG, &kG, &kG, &kD, &kG, &kG,
                                                     &kEm, &kD, &kG, &kD, &kD, &kG, &kC, &kG};
constexpr const Chord* kWeWishChords[] = {&kC, &kF, &kD7, &kG, &kC, &kF, &kG7, &kC};

// A song as written: its melody, its chords (one a bar) and its metre.
struct Score {
    const Note* melody;
    size_t melodyNotes;
    const Chord* const* barChords;
    int bars;
    int beatsPerBar;
    double pickupBeats;  // melody before the first bar, over the end of the piece before
};

template <size_t Notes, size_t Bars>
constexpr Score makeScore(const Note (&melody)[Notes], const Chord* const (&barChords)[Bars],
                          int beatsPerBar, double pickupBeats) {
    return {melody, Notes, barChords, static_cast<int>(Bars), beatsPerBar, pickupBeats};
}

constexpr int kFourBeats = 4;
constexpr int kThreeBeats = 3;
constexpr double kNoPickup = 0.0;
constexpr double kOneBeatPickup = 1.0;

constexpr Score kJingleBellsVerseScore =
    makeScore(kJingleBellsVerse, kJingleBellsVerseChords, kFourBeats, kNoPickup);
constexpr Score kJingleBellsChorusScore =
    makeScore(kJingleBellsChorus, kJingleBellsChorusChords, kFourBeats, kNoPickup);
constexpr Score kDeckTheHallsScore =
    makeScore(kDeckTheHalls, kDeckTheHallsChords, kFourBeats, kNoPickup);
constexpr Score kGoodKingWenceslasScore =
    makeScore(kGoodKingWenceslas, kGoodKingWenceslasChords, kFourBeats, kNoPickup);
constexpr Score kWeWishYouAMerryChristmasScore =
    makeScore(kWeWishYouAMerryChristmas, kWeWishChords, kThreeBeats, kOneBeatPickup);

// Who plays the melody.
struct MelodyVoice {
    const Timbre* timbre;
    bool octaveDoubling;  // the melody also an octave higher, softer, on bells
};

constexpr MelodyVoice kBellMelody{&kBell, false};
constexpr MelodyVoice kPianoMelody{&kPiano, false};
constexpr MelodyVoice kBellMelodyInOctaves{&kBell, true};

// Strokes of the sleigh bells a beat.
struct SleighBellVoice {
    int strokesPerBeat;  // 0, 1 or 2
};

constexpr SleighBellVoice kNoSleighBells{0};
constexpr SleighBellVoice kSleighBellsOnTheBeat{1};
constexpr SleighBellVoice kSleighBellsOnHalfBeats{2};

// Semitones from the key a score is written in, melody and chords alike.
constexpr int kAsWritten = 0;
constexpr int kUpAFourth = 5;
constexpr int kUpAFifth = 7;

// One song of the medley, as the medley plays it.
struct Piece {
    const Score* score;
    double beatsPerMinute;
    int transpose;
    MelodyVoice melody;
    SleighBellVoice sleighBells;
};

// The medley in order. Key, tempo, the melody's instrument, its octave doubling and the
// sleigh bells change from song to song.
constexpr Piece kMedley[] = {
    // score, beats a minute, key, melody, sleigh bells
    {&kJingleBellsVerseScore, 132.0, kAsWritten, kBellMelody, kSleighBellsOnHalfBeats},
    {&kJingleBellsChorusScore, 132.0, kAsWritten, kBellMelody, kSleighBellsOnHalfBeats},
    {&kDeckTheHallsScore, 126.0, kUpAFourth, kBellMelody, kSleighBellsOnTheBeat},
    {&kGoodKingWenceslasScore, 108.0, kAsWritten, kPianoMelody, kNoSleighBells},
    {&kWeWishYouAMerryChristmasScore, 150.0, kUpAFifth, kBellMelody, kSleighBellsOnTheBeat},
    {&kWeWishYouAMerryChristmasScore, 150.0, kUpAFifth, kPianoMelody, kSleighBellsOnHalfBeats},
    {&kJingleBellsChorusScore, 132.0, kAsWritten, kBellMelodyInOctaves, kSleighBellsOnHalfBeats},
};

// A voice's level in the mix, which is scaled to kPeak as a whole afterwards, and its
// place from -1 (left) to 1 (right).
struct VoiceLevel {
    double gain;
    double pan;
};

constexpr VoiceLevel kMelodyLevel{0.5, 0.0};
constexpr VoiceLevel kOctaveLevel{0.2, 0.2};
constexpr VoiceLevel kChordLevel{0.1, 0.35};
constexpr VoiceLevel kBassLevel{0.35, -0.3};
constexpr VoiceLevel kBassFifthLevel{0.3, kBassLevel.pan};

constexpr double pieceSeconds(const Piece& piece) {
    return piece.score->bars * piece.score->beatsPerBar * 60.0 / piece.beatsPerMinute;
}

constexpr double medleySeconds() {
    double seconds = 0.0;
    for (const Piece& piece : kMedley) seconds += pieceSeconds(piece);
    return seconds;
}

// A mistyped note length shifts every later note against its chords.
constexpr bool melodiesFillTheirBars() {
    for (const Piece& piece : kMedley) {
        double beats = 0.0;
        const Score& score = *piece.score;
        for (size_t i = 0; i < score.melodyNotes; ++i) beats += score.melody[i].beats;
        if (beats != score.pickupBeats + score.bars * score.beatsPerBar) return false;
    }
    return true;
}

static_assert(melodiesFillTheirBars(), "a melody does not fill its bars");
// Room for the last chord to ring before the fade, and not much more.
static_assert(medleySeconds() + 1.0 <= kTuneSeconds && kTuneSeconds <= medleySeconds() + 2.5,
              "kTuneSeconds does not fit the medley");

struct StereoMix {
    std::vector<float> left;  // single precision halves the memory of a three-minute mix
    std::vector<float> right;
};

double frequencyOf(int pitch) {
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

// The first pitch at or above `lowest` of the pitch class `pitchClass` (0 = C).
int pitchFrom(int lowest, int pitchClass) {
    return lowest + ((pitchClass - lowest) % 12 + 12) % 12;
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

// Adds one note, panned with equal power.
void addNote(StereoMix& mix, double startSeconds, double lengthSeconds, int pitch,
             const VoiceLevel& level, const Timbre& timbre) {
    const double gain = level.gain;
    const size_t start = static_cast<size_t>(std::lround(startSeconds * kTuneSampleRate));
    if (start >= mix.left.size()) return;
    const size_t release = static_cast<size_t>(std::lround(lengthSeconds * kTuneSampleRate));
    const double releaseDecay = std::exp(-1.0 / (timbre.releaseSeconds * kTuneSampleRate));
    const double fundamental = frequencyOf(pitch);

    // Each partial is a decaying sine a r^i sin(w i), stepped by its two-term recurrence
    // x[i] = 2 r cos(w) x[i-1] - r^2 x[i-2]: one multiply-add a sample. Stepped side by
    // side, the partials' chains overlap in the processor.
    double feedback[kMaxPartials] = {};
    double damping[kMaxPartials] = {};
    double before[kMaxPartials] = {};   // x[i-1]
    double current[kMaxPartials] = {};  // x[i], starting at x[0] = 0
    size_t length = 0;
    for (int p = 0; p < timbre.partialCount; ++p) {
        const Partial& partial = timbre.partials[p];
        const double frequency = fundamental * partial.ratio;
        if (frequency >= 0.45 * kTuneSampleRate) continue;  // would alias
        const double step = 2.0 * kPi * frequency / kTuneSampleRate;
        const double decay = std::exp(-1.0 / (partial.decaySeconds * kTuneSampleRate));
        feedback[p] = 2.0 * decay * std::cos(step);
        damping[p] = decay * decay;
        before[p] = -partial.amplitude * std::sin(step) / decay;  // x[-1]
        length = std::max(length,
                          audibleSamples(partial.amplitude * gain, decay, releaseDecay, release));
    }
    length = std::min(length, mix.left.size() - start);
    // Attack and release shape the whole note.
    const double attackSamples = timbre.attackSeconds * kTuneSampleRate;
    const double leftGain = gain * std::sqrt((1.0 - level.pan) / 2.0);
    const double rightGain = gain * std::sqrt((1.0 + level.pan) / 2.0);
    float* left = mix.left.data() + start;
    float* right = mix.right.data() + start;
    double gate = 1.0;
    for (size_t i = 0; i < length; ++i) {
        // Summed in pairs, not in one long chain of additions.
        const double sum =
            (current[0] + current[1]) + (current[2] + current[3]) + (current[4] + current[5]);
        for (int p = 0; p < kMaxPartials; ++p) {
            const double next = feedback[p] * current[p] - damping[p] * before[p];
            before[p] = current[p];
            current[p] = next;
        }
        const double age = static_cast<double>(i);
        const double value = sum * gate * (age < attackSamples ? age / attackSamples : 1.0);
        left[i] += static_cast<float>(value * leftGain);
        right[i] += static_cast<float>(value * rightGain);
        if (i >= release) gate *= releaseDecay;
    }
}

constexpr double kSleighBellGain = 0.08;
constexpr double kOffBeatSleighBellGain = 0.05;
// The bells stand right of centre: the left channel gets this share of them.
constexpr double kSleighBellLeftShare = 0.6;

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
        mix.left[i] += static_cast<float>(bright * level * kSleighBellLeftShare);
        mix.right[i] += static_cast<float>(bright * level);
        level *= decayFactor;
    }
}

// The lowest pitches of the accompaniment: chords from G3 up, the bass from E2 up.
constexpr int kChordFloor = 55;
constexpr int kBassFloor = 40;
constexpr int kFifth = 7;  // semitones above the root

void addChord(StereoMix& mix, double startSeconds, double lengthSeconds, const Chord& chord,
              int transpose) {
    for (int interval : chord.intervals) {
        if (interval < 0) break;
        addNote(mix, startSeconds, lengthSeconds,
                pitchFrom(kChordFloor, chord.root + transpose + interval), kChordLevel, kPiano);
    }
}

// One bar of accompaniment. In four, bass on beats 1 and 3 (root, then fifth) and short
// chords on 2 and 4; in three, the root on 1 and chords on 2 and 3. A piece's last bar
// holds its chord instead.
void addBar(StereoMix& mix, const Piece& piece, int bar, double barStart, SeededRandom& random) {
    const Score& score = *piece.score;
    const Chord& chord = *score.barChords[bar];
    const double secondsPerBeat = 60.0 / piece.beatsPerMinute;
    const int root = chord.root + piece.transpose;
    const int bass = pitchFrom(kBassFloor, root);
    const int strokesPerBeat = piece.sleighBells.strokesPerBeat;
    if (bar == score.bars - 1) {
        const double barSeconds = score.beatsPerBar * secondsPerBeat;
        addNote(mix, barStart, barSeconds, bass, kBassLevel, kPiano);
        addChord(mix, barStart, barSeconds, chord, piece.transpose);
        if (strokesPerBeat > 0) addSleighBells(mix, barStart, kSleighBellGain, random);
        return;
    }
    const bool inFour = score.beatsPerBar == kFourBeats;
    addNote(mix, barStart, (inFour ? 2 : 1) * secondsPerBeat, bass, kBassLevel, kPiano);
    for (int beat = 1; beat < score.beatsPerBar; ++beat) {
        const double beatStart = barStart + beat * secondsPerBeat;
        if (inFour && beat == 2) {
            addNote(mix, beatStart, 2 * secondsPerBeat, pitchFrom(kBassFloor, root + kFifth),
                    kBassFifthLevel, kPiano);
        } else {
            addChord(mix, beatStart, 0.75 * secondsPerBeat, chord, piece.transpose);
        }
    }
    const int strokes = strokesPerBeat * score.beatsPerBar;
    for (int stroke = 0; stroke < strokes; ++stroke) {
        const bool onBeat = stroke % strokesPerBeat == 0;
        addSleighBells(mix, barStart + stroke * secondsPerBeat / strokesPerBeat,
                       onBeat ? kSleighBellGain : kOffBeatSleighBellGain, random);
    }
}

void addPiece(StereoMix& mix, const Piece& piece, double startSeconds, SeededRandom& random) {
    const Score& score = *piece.score;
    const double secondsPerBeat = 60.0 / piece.beatsPerMinute;
    double noteStart = startSeconds - score.pickupBeats * secondsPerBeat;
    for (size_t i = 0; i < score.melodyNotes; ++i) {
        const Note& note = score.melody[i];
        const double length = note.beats * secondsPerBeat;
        if (note.pitch != 0) {
            const int pitch = note.pitch + piece.transpose;
            addNote(mix, noteStart, length, pitch, kMelodyLevel, *piece.melody.timbre);
            if (piece.melody.octaveDoubling) {
                addNote(mix, noteStart, length, pitch + 12, kOctaveLevel, kBell);
            }
        }
        noteStart += length;
    }
    for (int bar = 0; bar < score.bars; ++bar) {
        addBar(mix, piece, bar, startSeconds + bar * score.beatsPerBar * secondsPerBeat, random);
    }
}

int16_t toSample(double value) {
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

}  // namespace

std::vector<int16_t> synthesizeWinterTune() {
    const size_t frames = static_cast<size_t>(kTuneSeconds * kTuneSampleRate);
    StereoMix mix{std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f)};
    SeededRandom random{kSleighBellSeed};
    double pieceStart = 0.0;
    for (const Piece& piece : kMedley) {
        addPiece(mix, piece, pieceStart, random);
        pieceStart += pieceSeconds(piece);
    }

    double peak = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        peak = std::max({peak, std::fabs(static_cast<double>(mix.left[i])),
                         std::fabs(static_cast<double>(mix.right[i]))});
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
