// The tick schedule both window systems' timers keep: deadlines fixed from
// the start, and late ticks folded into one. The timer as the program sees
// it is the shell test's.
#include <gtest/gtest.h>

#include "platform/tick_schedule.h"

namespace {

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
