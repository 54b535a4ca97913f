// A handler that throws inside a window procedure: the error stops at the procedure's edge with a
// trace line naming the place, and the message loop goes on with the next message.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/Trace.h"
#include "platform/MessageLoop.h"
#include "platform/Window.h"
#include "platform/sim/Sim.h"
#include "tests/support/SimFixture.h"

namespace {

using testing_support::SimTest;

class HandlerError : public SimTest {
protected:
    HandlerError() {
        core::SetTraceSink([this](std::string_view text) { trace.emplace_back(text); });
    }
    ~HandlerError() override { core::SetTraceSink({}); }

    std::vector<std::string> trace;
};

TEST_F(HandlerError, AThrowingCloseHandlerIsSwallowedAndTheLoopGoesOn) {
    int closes = 0;
    plat::WindowEvents events;
    events.onCloseRequest = [&] {
        if (++closes == 1) {
            throw std::runtime_error("the first close fails");
        }
        plat::PostQuit(7);
    };
    const auto window = plat::Window::Create({}, std::move(events));
    sim::At(100, [&] { window->Close(); });
    sim::At(200, [&] { window->Close(); });
    sim::SetRunLimit(1000);
    EXPECT_EQ(plat::RunMessageLoop(), 7) << "the second close was handled";
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(trace, (std::vector<std::string>{"Error swallowed in window procedure: the first close fails"}));
}

}  // namespace
