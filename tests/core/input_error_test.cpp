#include "core/input_error.h"

#include <gtest/gtest.h>

#include <string>

namespace locseq {
namespace {

TEST(Printable, InvisibleAndControlCharactersAreShownByteByByte) {
  const struct {
    const char* what;
    std::string text, shown;
  } cases[] = {
      {"plain text and visible UTF-8 stay", "Dubbo, NSW \xC3\xA9t\xC3\xA9 \xE5\x8C\x97",
       "Dubbo, NSW \xC3\xA9t\xC3\xA9 \xE5\x8C\x97"},
      {"a right-to-left override (U+202E)",
       "A\xE2\x80\xAE"
       "BC",
       "A\\xE2\\x80\\xAEBC"},
      {"left-to-right embedding (U+202A)", "\xE2\x80\xAA", "\\xE2\\x80\\xAA"},
      {"right-to-left embedding (U+202B)", "\xE2\x80\xAB", "\\xE2\\x80\\xAB"},
      {"pop directional formatting (U+202C)", "\xE2\x80\xAC", "\\xE2\\x80\\xAC"},
      {"left-to-right override (U+202D)", "\xE2\x80\xAD", "\\xE2\\x80\\xAD"},
      {"left-to-right isolate (U+2066)", "\xE2\x81\xA6", "\\xE2\\x81\\xA6"},
      {"right-to-left isolate (U+2067)", "\xE2\x81\xA7", "\\xE2\\x81\\xA7"},
      {"first strong isolate (U+2068)", "\xE2\x81\xA8", "\\xE2\\x81\\xA8"},
      {"pop directional isolate (U+2069)", "\xE2\x81\xA9", "\\xE2\\x81\\xA9"},
      {"left-to-right mark (U+200E)", "\xE2\x80\x8E", "\\xE2\\x80\\x8E"},
      {"right-to-left mark (U+200F)", "x\xE2\x80\x8Fy", "x\\xE2\\x80\\x8Fy"},
      {"Arabic letter mark (U+061C)", "\xD8\x9C", "\\xD8\\x9C"},
      {"a zero-width space and a byte-order mark", "\xE2\x80\x8B\xEF\xBB\xBF",
       "\\xE2\\x80\\x8B\\xEF\\xBB\\xBF"},
      {"a line end, a tab, a NUL and DEL", std::string("a\nb\t\0\x7F", 6),
       "a\\x0Ab\\x09\\x00\\x7F"},
      {"a C1 control (U+009B, a terminal's command start)",
       "\xC2\x9B"
       "31m",
       "\\xC2\\x9B31m"},
      {"bytes that are not UTF-8", "\xFF\xE2\x80", "\\xFF\\xE2\\x80"},
      {"an escape already shown stays as it is", "\\xE2\\x80\\xAE", "\\xE2\\x80\\xAE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(printable(c.text), c.shown) << c.what;
    EXPECT_EQ(std::string(InputError(c.text, 3, "at " + c.text).what()),
              c.shown + ":3: at " + c.shown)
        << c.what;
  }
}

}  // namespace
}  // namespace locseq
