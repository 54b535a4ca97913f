#include "tests/support/SimFixture.h"

#include "common/Flags.h"

namespace testing_support {

SimTest::SimTest() {
    sim::Reset();
    core::ResetFlags();
    sim::M().tempPath = temp_.Path() + "/";
}

SimTest::~SimTest() {
    sim::Reset();
    core::ResetFlags();
}

}  // namespace testing_support
