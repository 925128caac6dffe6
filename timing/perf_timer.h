// High-resolution timer: the animation's time step and the frame counter.
// One instance, frameTimer, is constructed before main and lives to the end.
#pragma once

#include <cstdint>

constexpr int kMovingAverageLength = 20;

struct PerfTimer {
    int64_t now;
    int64_t deltaMark;
    int64_t waitMark;
    int64_t fpsMark;
    int64_t stopwatchStart;
    int64_t frequency;
    int32_t frameCount;
    double lastDelta;
    double samples[kMovingAverageLength];
    double previousSamples[kMovingAverageLength];

    PerfTimer();

    // Seconds since the previous call (since construction for the first).
    double frameDelta();
    // Counts one frame; publishes framesPerSecond once more than a second has passed.
    void countFrame();
    // Busy-waits until `seconds` have passed since the end of the previous wait.
    void waitInterval(float seconds);
    void startStopwatch();
    double stopwatchElapsed();
    // Mean of the last 20 samples; samples not yet pushed count as 0.
    double movingAverage(double sample);

  private:
    int64_t readCounter();
    double elapsedSeconds(int64_t ticks) const;
};

// Frames counted in the last completed second; written only by countFrame.
extern int32_t framesPerSecond;

extern PerfTimer frameTimer;
