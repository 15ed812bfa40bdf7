// Readable comparisons of texts that must match byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace locseq::testing {

// Passes when a == b; otherwise says where they first part (line and column)
// and shows both lines.
::testing::AssertionResult same_text(const std::string& expected, const std::string& actual);

}  // namespace locseq::testing
