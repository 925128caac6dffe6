// PerfTimer against a counter driven by hand, so every timing case is exact.
#include "timing/perf_timer.h"

#include <gtest/gtest.h>

#include "timing/perf_counter.h"

namespace {

int64_t fakeTicks = 0;
int64_t readFakeTicks() {
    return fakeTicks;
}

constexpr int64_t kTicksPerSecond = 1000;

class PerfTimerTest : public testing::Test {
  protected:
    void SetUp() override {
        savedReader = perfCounterReader;
        savedFrequency = perfCounterFrequency;
        perfCounterReader = readFakeTicks;
        perfCounterFrequency = kTicksPerSecond;
        fakeTicks = 5000;
        framesPerSecond = 0;
    }
    void TearDown() override {
        perfCounterReader = savedReader;
        perfCounterFrequency = savedFrequency;
    }
    PerfCounterReader savedReader = nullptr;
    int64_t savedFrequency = 0;
};

TEST_F(PerfTimerTest, ConstructionReadsFrequencyAndMarksDelta) {
    PerfTimer timer;
    EXPECT_EQ(timer.frequency, kTicksPerSecond);
    EXPECT_EQ(timer.deltaMark, 5000);
    EXPECT_EQ(timer.now, 0);
    EXPECT_EQ(timer.waitMark, 0);
    EXPECT_EQ(timer.fpsMark, 0);
    EXPECT_EQ(timer.stopwatchStart, 0);
    EXPECT_EQ(timer.frameCount, 0);
    EXPECT_EQ(timer.lastDelta, 0.0);
    for (int i = 0; i < kMovingAverageLength; ++i) {
        EXPECT_EQ(timer.samples[i], 0.0);
        EXPECT_EQ(timer.previousSamples[i], 0.0);
    }
}

TEST_F(PerfTimerTest, FrameDeltaMeasuresFromPreviousCall) {
    PerfTimer timer;
    fakeTicks += 2500;  // the start-up counts into the first step
    EXPECT_DOUBLE_EQ(timer.frameDelta(), 2.5);
    EXPECT_EQ(timer.deltaMark, 7500);
    EXPECT_EQ(timer.now, 7500);
    fakeTicks += 16;
    EXPECT_DOUBLE_EQ(timer.frameDelta(), 0.016);
    EXPECT_DOUBLE_EQ(timer.lastDelta, 0.016);
}

TEST_F(PerfTimerTest, FrameDeltaWithinOneTickIsZero) {
    PerfTimer timer;
    timer.frameDelta();
    EXPECT_EQ(timer.frameDelta(), 0.0);
}

TEST_F(PerfTimerTest, FirstCountFramePublishesOneWhenCounterPastOneSecond) {
    PerfTimer timer;
    EXPECT_EQ(framesPerSecond, 0);
    timer.countFrame();
    EXPECT_EQ(framesPerSecond, 1);
    EXPECT_EQ(timer.fpsMark, 5000);
    EXPECT_EQ(timer.frameCount, 0);
}

TEST_F(PerfTimerTest, CountFrameExactlyOneSecondLaterDoesNotPublish) {
    PerfTimer timer;
    timer.countFrame();  // publishes 1, mark at 5000
    for (int i = 0; i < 59; ++i) {
        fakeTicks += 10;
        timer.countFrame();
    }
    fakeTicks = 6000;  // exactly 1.0 s after the mark
    timer.countFrame();
    EXPECT_EQ(framesPerSecond, 1);
    EXPECT_EQ(timer.frameCount, 60);
    fakeTicks = 6001;  // the first call past it publishes, counting the call at 1.0 s
    timer.countFrame();
    EXPECT_EQ(framesPerSecond, 61);
    EXPECT_EQ(timer.frameCount, 0);
    EXPECT_EQ(timer.fpsMark, 6001);
}

TEST_F(PerfTimerTest, CountFrameStaysZeroUntilFirstPublication) {
    fakeTicks = 500;  // the counter has run for half a second only
    PerfTimer timer;
    timer.countFrame();
    timer.countFrame();
    EXPECT_EQ(framesPerSecond, 0);
    EXPECT_EQ(timer.frameCount, 2);
}

TEST_F(PerfTimerTest, MovingAverageDividesByTwentyAlways) {
    PerfTimer timer;
    EXPECT_DOUBLE_EQ(timer.movingAverage(4.0), 0.2);
    EXPECT_DOUBLE_EQ(timer.movingAverage(2.0), 0.3);
    EXPECT_EQ(timer.samples[0], 2.0);
    EXPECT_EQ(timer.samples[1], 4.0);
    for (int i = 0; i < 18; ++i) timer.movingAverage(2.0);
    EXPECT_DOUBLE_EQ(timer.movingAverage(2.0), 2.0);  // the 4.0 has left the window
    EXPECT_EQ(timer.previousSamples[19], 2.0);
}

TEST_F(PerfTimerTest, WaitIntervalFirstCallMeasuresFromZero) {
    PerfTimer timer;
    timer.waitInterval(1.0f);  // 5 s since counter value 0: one reading
    EXPECT_EQ(timer.waitMark, 5000);
    fakeTicks = 5200;
    timer.waitInterval(0.0f);
    timer.waitInterval(-3.0f);
    EXPECT_EQ(timer.waitMark, 5200);
}

int64_t advancingTicks() {
    return fakeTicks += 100;
}

TEST_F(PerfTimerTest, WaitIntervalBusyWaitsFromEndOfPreviousWait) {
    PerfTimer timer;
    perfCounterReader = advancingTicks;
    timer.waitInterval(0.0f);
    int64_t mark = timer.waitMark;
    timer.waitInterval(0.5f);
    // Readings at +100 .. +500 (the first not short of 0.5 s), then one fresh reading.
    EXPECT_EQ(timer.waitMark - mark, 600);
    EXPECT_EQ(timer.now, timer.waitMark);
}

TEST_F(PerfTimerTest, StopwatchMeasuresFromStartOrFromZero) {
    PerfTimer timer;
    EXPECT_DOUBLE_EQ(timer.stopwatchElapsed(), 5.0);
    timer.startStopwatch();
    fakeTicks += 250;
    EXPECT_DOUBLE_EQ(timer.stopwatchElapsed(), 0.25);
}

}  // namespace
