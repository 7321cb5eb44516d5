// The timer of the headless window system on its own clock: deadlines fixed
// from the start, late ticks folded into one, and a resting timer that wakes
// nobody.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/tick_schedule.h"
#include "platform/ui.h"

namespace {

std::vector<double> tick_times;
double busy_s = 0; // how long each tick keeps the program

class Timer : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::Reset();
        tick_times.clear();
        busy_s = 0;
        ui::EventSink sink;
        sink.on_timer = [] {
            tick_times.push_back(headless::ClockNow());
            headless::AdvanceClock(busy_s);
        };
        ui::SetEventSink(sink);
        ui::CreateMainWindow("Main", 0, 0, 400, 280, {}, {});
    }

    static void ExpectTimes(const std::vector<double>& want)
    {
        ASSERT_EQ(tick_times.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_NEAR(tick_times[i], want[i], 1e-9) << "tick " << i;
    }
};

TEST_F(Timer, TicksFallDueAtTheStartPlusWholePeriodsWhateverTheyCost)
{
    headless::AdvanceClock(0.05);
    ui::StartTimer(100);
    busy_s = 0.03; // a pass that fits: the next deadline does not move
    EXPECT_EQ(headless::AdvanceClock(1.0), 10);
    ExpectTimes({0.15, 0.25, 0.35, 0.45, 0.55, 0.65, 0.75, 0.85, 0.95, 1.05});

    // A thousand seconds later the deadlines are still where they were.
    tick_times.clear();
    EXPECT_EQ(headless::AdvanceClock(1000.0), 10000);
    EXPECT_NEAR(tick_times.back(), 1001.05, 1e-6);
}

TEST_F(Timer, TicksThatFallDueDuringALongPassComeAsOneWhenItEnds)
{
    ui::StartTimer(100);
    busy_s = 0.25;
    EXPECT_EQ(headless::AdvanceClock(1.0), 5);
    // Not 0.1, 0.2, 0.3 in a burst: one tick at the end of each pass.
    ExpectTimes({0.1, 0.35, 0.6, 0.85, 1.1});

    // The pass begun at 1.1 ends at 1.35, past the deadlines 1.2 and 1.3:
    // one tick then. Once the passes fit again, the old grid comes back.
    busy_s = 0;
    tick_times.clear();
    EXPECT_EQ(headless::AdvanceClock(0.3), 4);
    ExpectTimes({1.35, 1.4, 1.5, 1.6});
}

TEST_F(Timer, ARestingTimerKeepsItsPeriodAndWakesNobodyUntilStartedAgain)
{
    ui::StartTimer(250);
    EXPECT_EQ(headless::AdvanceClock(0.5), 2);
    ui::RestTimer();
    EXPECT_TRUE(ui::TimerResting());
    EXPECT_EQ(ui::TimerPeriod(), 250);
    EXPECT_EQ(headless::AdvanceClock(60.0), 0);

    // The program's own view of the timer still ticks, for what it counts.
    EXPECT_EQ(headless::Tick(2), 2);

    ui::StartTimer(250);
    EXPECT_FALSE(ui::TimerResting());
    tick_times.clear();
    EXPECT_EQ(headless::AdvanceClock(0.5), 2);
    ExpectTimes({60.75, 61.0});

    // A stopped timer cannot rest.
    ui::StopTimer();
    ui::RestTimer();
    EXPECT_FALSE(ui::TimerResting());
    EXPECT_EQ(headless::AdvanceClock(1.0), 0);
}

TEST(TickSchedule, ADueTickIsTakenOnceAndRoundingNeverGivesAnEarlyOne)
{
    ticks::Schedule s;
    ticks::Begin(&s, 10.0, 0.001);
    EXPECT_FALSE(ticks::TakeDue(&s, 10.0009999));
    EXPECT_TRUE(ticks::TakeDue(&s, 10.001));
    EXPECT_FALSE(ticks::TakeDue(&s, 10.001));
    // Woken a day late: one tick, and the next deadline is still on the grid
    // and ahead of now.
    EXPECT_TRUE(ticks::TakeDue(&s, 86410.0005));
    EXPECT_GT(ticks::NextDeadline(s), 86410.0005);
    EXPECT_NEAR(ticks::NextDeadline(s), 86410.001, 1e-6);
    EXPECT_FALSE(ticks::TakeDue(&s, 86410.0005));

    ticks::Begin(&s, 0, 0); // not running
    EXPECT_FALSE(ticks::TakeDue(&s, 1e9));
}

} // namespace
