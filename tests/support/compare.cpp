#include "support/compare.h"

#include <algorithm>

namespace locseq::testing {

namespace {

std::string line_at(const std::string& s, std::size_t at) {
  std::size_t begin = s.rfind('\n', at == 0 ? 0 : at - 1);
  begin = (begin == std::string::npos || at == 0) ? 0 : begin + 1;
  std::size_t end = s.find('\n', at);
  return s.substr(begin, (end == std::string::npos ? s.size() : end) - begin);
}

}  // namespace

::testing::AssertionResult same_text(const std::string& expected, const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::size_t at = static_cast<std::size_t>(
      std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
      expected.begin());
  long line = 1 + std::count(expected.begin(), expected.begin() + static_cast<long>(at), '\n');
  return ::testing::AssertionFailure()
         << "texts part at byte " << at << " (line " << line << ") of " << expected.size()
         << " expected / " << actual.size() << " actual bytes\n  expected: ["
         << line_at(expected, at) << "]\n  actual:   [" << line_at(actual, at) << "]";
}

}  // namespace locseq::testing
