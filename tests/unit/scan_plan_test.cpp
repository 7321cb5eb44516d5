// The scan's plan: the order of the tries, the wait for each, and the
// lists of the .cfg keys.
#include <gtest/gtest.h>

#include "tools/scan/scan_plan.h"

namespace {

using serial::Parity;

TEST(ScanPlan, WaitIsTheReplyOnTheWirePlusTurnRoundCappedByTimeout)
{
    struct Row {
        int32_t baud;
        int function;
        bool config;
        double timeout_s, expected_s;
    } rows[] = {
        {19200, 3, false, 1.0, 7 * 11.0 / 19200 + 0.05},
        {9600, 17, false, 1.0, 27 * 11.0 / 9600 + 0.05},
        {1200, 4, false, 0.08, 0.08}, // never beyond TIMEOUT
        {115200, 3, true, 1.0, 12 * 11.0 / 115200 + 0.05},
    };
    for (const Row& r : rows) {
        scan::Try t{1, r.baud, Parity::Even, r.config};
        EXPECT_NEAR(scan::TryTimeout(t, r.function, r.timeout_s), r.expected_s, 1e-9) << r.baud;
    }
}

TEST(ScanPlan, SettingBySettingThenTheConfigurationProbe)
{
    scan::Settings s;
    s.from = 3;
    s.to = 4;
    s.bauds = {9600, 19200};
    s.parities = {Parity::Odd};
    s.config_mode = true;
    std::string order;
    for (const scan::Try& t : scan::PlanTries(s, serial::LineSettings{1, 1200, Parity::Even}))
        order += std::to_string(t.address) + "@" + std::to_string(t.baud) + " ";
    EXPECT_EQ(order, "3@9600 4@9600 3@19200 4@19200 248@9600 ");

    // A network line is one setting, its own, whatever is checked.
    serial::LineSettings net{1, 38400, Parity::NoneOneStopBit};
    net.SetNet("tcp://127.0.0.1:1502");
    s.bauds.clear();
    EXPECT_EQ(scan::Refusal(s, true), "");
    auto tries = scan::PlanTries(s, net);
    ASSERT_EQ(tries.size(), 3u);
    EXPECT_EQ(tries[0].baud, 38400);
    EXPECT_EQ(tries[2].parity, Parity::NoneOneStopBit);
}

TEST(ScanPlan, ListsKeepWhatTheyUnderstandInOrderWithoutRepeats)
{
    EXPECT_EQ(scan::BaudsText(scan::ParseBauds("19200,,9600,x,19200,-5")), "19200,9600");
    EXPECT_EQ(scan::ParitiesText(scan::ParseParities("3,2,7,3")), "3,2");
    EXPECT_TRUE(scan::ParseBauds("").empty());
    EXPECT_EQ(scan::DurationText(125.4), "2 min 05 s");
}

} // namespace
