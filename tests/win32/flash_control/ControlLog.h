#pragma once

// The test control's log: one line a call or mouse message, after the tick count, appended to the
// file that FLASH_CONTROL_LOG names. The end-to-end tests read it.

#include <string>

namespace test_control {

void Log(const std::string& text);

// What the test asked of the control through FLASH_CONTROL_FAULT: "throw" (every property and
// method raises an exception), "fail" (every one returns an error), "endless" (it never stops
// playing); empty when it is to behave.
std::string Fault();

}  // namespace test_control
