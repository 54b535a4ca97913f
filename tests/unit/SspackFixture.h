#pragma once

// Fixture savers for the builder's tests: small generated files in the test's own folder, a
// manifest as JSON, and the builder's C++ entry points.

#include <gtest/gtest.h>

#include "tests/support/Savers.h"

namespace sspack_test {

using testing_support::Bytes;
using testing_support::Json;
using testing_support::Pattern;
using testing_support::Text;
using SspackTest = testing_support::SaverTest;

}  // namespace sspack_test
