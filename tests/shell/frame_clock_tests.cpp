#include "shell/frame_clock.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t FakeNow;
std::uint32_t FakeTicks() { return FakeNow; }

class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FrameTicks = FakeTicks;
        ResetFrameClock();
    }
    void TearDown() override { ResetFrameClock(); }

    // A frame at start, then whether one is due `later` ms afterwards.
    bool DueAfter(std::uint32_t start, std::uint32_t later)
    {
        ResetFrameClock();
        FakeNow = start;
        EXPECT_TRUE(FrameClock(30));
        FakeNow = start + later;
        return FrameClock(30);
    }
};

TEST_F(FrameClockTest, FirstCallFiresEvenAtTickZero)
{
    FakeNow = 0;
    EXPECT_TRUE(FrameClock(30));
    EXPECT_FALSE(FrameClock(30));
}

TEST_F(FrameClockTest, DueAfter34MillisecondsNot33AtAnyUptime)
{
    // Minutes, days and weeks of uptime, and just before the 49.7-day wrap.
    for (std::uint32_t start : {180000u, 1u << 22, 1u << 31, 4000000000u, 0xFFFFFF00u - 100}) {
        EXPECT_FALSE(DueAfter(start, 33)) << start;
        EXPECT_TRUE(DueAfter(start, 34)) << start;
    }
}

TEST_F(FrameClockTest, KeepsFiringAcrossTheTickCountWrap)
{
    EXPECT_FALSE(DueAfter(0xFFFFFFF0u, 33));  // lands on 0x11
    EXPECT_TRUE(DueAfter(0xFFFFFFF0u, 34));   // lands on 0x12
    // A steady 30 frames a second through the wrap: every 34 ms is due.
    ResetFrameClock();
    FakeNow = 0xFFFFF000u;
    int frames = 0;
    for (int step = 0; step < 300; ++step, FakeNow += 34)
        frames += FrameClock(30);
    EXPECT_EQ(frames, 300);
}

TEST_F(FrameClockTest, LastFrameMovesOnlyWhenAFrameIsDue)
{
    FakeNow = 1000;
    ASSERT_TRUE(FrameClock(30));
    FakeNow = 1020;
    EXPECT_FALSE(FrameClock(30));
    FakeNow = 1034;  // measured from 1000, not from 1020
    EXPECT_TRUE(FrameClock(30));
}

}  // namespace
