// A simulator serving a fresh temporary folder, and a raw master on its link.
#pragma once

#include "sim/sim.h"
#include "sim_raw_master.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

class SimBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/regscope-sim-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder_ = dir;
        sim::Options o;
        o.folder = folder_;
        o.port = 3;
        std::string error;
        ASSERT_TRUE(sim_.Start(o, &error)) << error;
        bank_ = sim_.AddGenericSlave(1);
        ASSERT_TRUE(master_.Open(sim_.LinkPath(), 19200, 2));
    }
    void TearDown() override
    {
        master_.Close();
        sim_.Stop();
        rmdir(folder_.c_str());
    }

    std::string folder_;
    sim::Simulator sim_;
    std::shared_ptr<sim::RegisterBank> bank_;
    RawMaster master_;
};
