// High-resolution timer on the platform counter.
// Every operation reads the counter once into `now` and measures from a mark.
#include "timing/perf_timer.h"

#include "timing/perf_counter.h"

int32_t framesPerSecond = 0;

PerfTimer::PerfTimer()
    : now(0),
      deltaMark(0),
      waitMark(0),
      fpsMark(0),
      stopwatchStart(0),
      frequency(perfCounterFrequency),
      frameCount(0),
      lastDelta(0.0),
      samples{},
      previousSamples{} {
    deltaMark = perfCounterReader();
}

int64_t PerfTimer::readCounter() {
    now = perfCounterReader();
    return now;
}

double PerfTimer::elapsedSeconds(int64_t ticks) const {
    return static_cast<double>(ticks) / static_cast<double>(frequency);
}

double PerfTimer::frameDelta() {
    readCounter();
    lastDelta = elapsedSeconds(now - deltaMark);
    deltaMark = now;
    return lastDelta;
}

void PerfTimer::countFrame() {
    frameCount = frameCount + 1;
    readCounter();
    // Strictly greater: a call exactly one second after the mark still counts into this interval.
    if (elapsedSeconds(now - fpsMark) > 1.0) {
        fpsMark = now;
        framesPerSecond = frameCount;
        frameCount = 0;
    }
}

void PerfTimer::waitInterval(float seconds) {
    do {
        readCounter();
    } while (seconds > elapsedSeconds(now - waitMark));
    waitMark = readCounter();
}

void PerfTimer::startStopwatch() {
    stopwatchStart = readCounter();
}

double PerfTimer::stopwatchElapsed() {
    readCounter();
    return elapsedSeconds(now - stopwatchStart);
}

double PerfTimer::movingAverage(double sample) {
    double sum = 0.0;
    for (int i = 1; i < kMovingAverageLength; ++i) {
        samples[i] = previousSamples[i - 1];
        sum = sum + samples[i];
    }
    samples[0] = sample;
    sum = sum + sample;
    for (int i = 0; i < kMovingAverageLength; ++i) previousSamples[i] = samples[i];
    return sum / kMovingAverageLength;
}

PerfTimer frameTimer;
