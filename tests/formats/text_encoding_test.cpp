#include "formats/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace locseq::formats::text {
namespace {

TEST(TextEncoding, FindsWhereUtf8StopsAndShowsTheBytes) {
  struct Case {
    std::string text;
    std::size_t offset, length;  // of the fault; length 0: valid
    std::string escaped;
  };
  const Case cases[] = {
      {"Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80", 0, 0,
       "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"", 0, 0, ""},
      {"Z\xFCrich", 1, 1, "Z\\xFCrich"},                         // Windows-1252 ü
      {"S\xE3o Paulo", 1, 1, "S\\xE3o Paulo"},                   // a lead byte without continuation
      {"abcdefghijklmnop\x80", 16, 1, "abcdefghijklmnop\\x80"},  // past the ASCII stride
      {"a\xE2\x82", 1, 2, "a\\xE2\\x82"},                        // cut short at the end
      {"\xC0\xAF/", 0, 2, "\\xC0\\xAF/"},                        // overlong '/'
      {"\xED\xA0\x80", 0, 3, "\\xED\\xA0\\x80"},                 // a surrogate
      {"\xF4\x90\x80\x80", 0, 4, "\\xF4\\x90\\x80\\x80"},        // above U+10FFFF
      {"\xF8\x88\x80\x80\x80", 0, 4, "\\xF8\\x88\\x80\\x80\\x80"},  // no 5-byte forms
  };
  for (const Case& c : cases) {
    const auto fault = find_invalid_utf8(c.text);
    ASSERT_EQ(fault.has_value(), c.length > 0) << c.text;
    if (fault) {
      EXPECT_EQ(fault->offset, c.offset) << c.text;
      EXPECT_EQ(fault->length, c.length) << c.text;
    }
    EXPECT_EQ(escape_invalid_utf8(c.text), c.escaped);
    EXPECT_TRUE(is_utf8(escape_invalid_utf8(c.text))) << c.text;
  }
}

TEST(TextEncoding, SingleByteTablesBecomeUtf8) {
  struct Case {
    Encoding encoding;
    std::string bytes;
    std::string utf8;  // empty: the byte at `undefined` has no character
    std::size_t undefined = 0;
  };
  const Case cases[] = {
      {Encoding::Cp1252, "Z\xFCrich;S\xE3o Paulo", "Z\xC3\xBCrich;S\xC3\xA3o Paulo"},
      {Encoding::Cp1252, "\x80 \x8A\x9C\x9F \x96 \x85",  // € Š œ Ÿ – …
       "\xE2\x82\xAC \xC5\xA0\xC5\x93\xC5\xB8 \xE2\x80\x93 \xE2\x80\xA6"},
      {Encoding::Latin1, "\xC6r\xF8sk\xF8\x62ing \xFF",
       "\xC3\x86r\xC3\xB8sk\xC3\xB8\x62ing \xC3\xBF"},
      {Encoding::Utf8, "\xFC", "\xFC"},  // UTF-8 is left as it is
      {Encoding::Cp1252, "ab\x81", "", 2},
      {Encoding::Cp1252, "\x9D", "", 0},
      {Encoding::Latin1, "a\x93quoted\x94", "", 1},  // a C1 control: Windows-1252 really
  };
  for (const Case& c : cases) {
    const auto undefined = find_undefined_byte(c.bytes, c.encoding);
    if (c.utf8.empty()) {
      EXPECT_EQ(undefined, c.undefined) << c.bytes;
      continue;
    }
    EXPECT_FALSE(undefined) << c.bytes;
    EXPECT_EQ(to_utf8(c.bytes, c.encoding), c.utf8);
  }
  // Every byte of either encoding that has a character is one valid
  // character, and Latin-1's is the code point of the byte.
  for (Encoding e : {Encoding::Cp1252, Encoding::Latin1}) {
    for (int b = 1; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      if (find_undefined_byte(byte, e)) continue;
      const std::string utf8 = to_utf8(byte, e);
      ASSERT_TRUE(is_utf8(utf8)) << b;
      const std::size_t length = utf8_length_at(utf8, 0);
      EXPECT_EQ(length, utf8.size()) << b;
      if (e == Encoding::Latin1) {
        EXPECT_EQ(code_point_at(utf8, 0, length), char32_t(b));
      }
    }
  }
}

TEST(TextEncoding, EncodingNames) {
  const std::pair<const char*, std::optional<Encoding>> cases[] = {
      {"utf-8", Encoding::Utf8},    {"UTF8", Encoding::Utf8},
      {"cp1252", Encoding::Cp1252}, {"Windows-1252", Encoding::Cp1252},
      {"latin1", Encoding::Latin1}, {"ISO-8859-1", Encoding::Latin1},
      {"utf-16", std::nullopt},     {"", std::nullopt},
  };
  for (auto [name, encoding] : cases) {
    EXPECT_EQ(encoding_named(name), encoding) << name;
    if (encoding) {
      EXPECT_EQ(encoding_named(encoding_name(*encoding)), encoding);
    }
  }
}

}  // namespace
}  // namespace locseq::formats::text
