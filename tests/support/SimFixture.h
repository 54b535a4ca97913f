#pragma once

#include <gtest/gtest.h>

#include "platform/sim/Sim.h"
#include "tests/support/TempDir.h"

namespace testing_support {

// Every test on the simulated machine starts from a fresh machine, whose temporary path is a
// folder of the test's own.
class SimTest : public ::testing::Test {
protected:
    SimTest();
    ~SimTest() override;

    sim::Machine& Machine() { return sim::M(); }
    // The folder pieces are taken out to (the machine's temporary path, with its separator).
    std::string Temp() const { return temp_.Path() + "/"; }
    TempDir& Dir() { return temp_; }

private:
    TempDir temp_;
};

}  // namespace testing_support
