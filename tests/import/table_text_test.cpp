// Tables that are not UTF-8: refused where the first such byte stands, or
// converted with the encoding they were saved in.
#include "import/table_text.h"

#include <gtest/gtest.h>

#include "import/outcome.h"

namespace locseq::import {
namespace {

using formats::text::Encoding;
using testing::expect_words;
using testing::import_of;

ImportOptions in(Encoding e) {
  ImportOptions o;
  o.encoding = e;
  return o;
}

TEST(TableText, RefusedOrConverted) {
  const std::string head = "year;location;genotype;value\r\n";  // 30 bytes
  const std::string cp1252 =
      head + "2019;Zurich;G1;1\r\n2019;Z\xFCrich;G\x8A;2\r\n2019;S\xE3o Paulo;G1;3\r\n";
  const std::string utf8 = head + "2019;Z\xC3\xBCrich;G1;1\r\n";
  struct Case {
    std::string name;
    std::string table;
    Encoding encoding;
    std::string names_csv_holds;  // empty: an error
    long line = 0;
    std::vector<std::string> words{};
  };
  const Case cases[] = {
      {"Windows-1252 as UTF-8",
       cp1252,
       Encoding::Utf8,
       "",
       3,
       {"not UTF-8", "byte 7 of the line (byte 55 of the file) is \\xFC",
        "'2019;Z\\xFCrich;G\\x8A;2'", "--encoding cp1252", "--encoding latin1"}},
      {"Windows-1252", cp1252, Encoding::Cp1252,
       "\"Z\xC3\xBCrich\",\"Z\xC3\xBCrich\"\n\"location\",3,\"S\xC3\xA3o Pau\",\"S\xC3\xA3o "
       "Paulo\"\n"
       "\"genotype\",1,\"G1\",\"G1\"\n\"genotype\",2,\"G\xC5\xA0\",\"G\xC5\xA0\""},
      {"Latin-1", head + "1;\xC6r\xF8sk\xF8\x62ing;g;1\n", Encoding::Latin1,
       "\"\xC3\x86r\xC3\xB8sk\xC3\xB8\x62ing\""},
      {"UTF-8 given as Windows-1252",
       utf8,
       Encoding::Cp1252,
       "",
       2,
       {"UTF-8 already", "would become '2019;Z\xC3\x83\xC2\xBCrich;G1;1'",
        "leave out --encoding cp1252"}},
      {"UTF-8 given as UTF-8", utf8, Encoding::Utf8, "\"Z\xC3\xBCrich\""},
      {"ASCII given as Latin-1", head + "1;a;g;1\n", Encoding::Latin1, "\"a\""},
      {"a byte Windows-1252 lacks",
       head + "1;a\x81;g;1\n",
       Encoding::Cp1252,
       "",
       2,
       {"\\x81", "no character in Windows-1252"}},
      {"a C1 control as Latin-1",
       head + "1;\x93q\x94;g;1\n",
       Encoding::Latin1,
       "",
       2,
       {"\\x93", "--encoding cp1252"}},
      {"UTF-16", std::string("\xFF\xFEy\0e\0", 6), Encoding::Cp1252, "", 1, {"UTF-16"}},
      {"a long line cut around the byte",
       head + "2019;" + std::string(40, 'A') + "\xFC" + std::string(40, 'B') + ";g;1\n",
       Encoding::Utf8,
       "",
       2,
       {"byte 46 of the line",
        "'..." + std::string(24, 'A') + "\\xFC" + std::string(24, 'B') + "...'"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const testing::Outcome got = import_of(c.table, in(c.encoding));
    if (c.names_csv_holds.empty()) {
      ASSERT_FALSE(got.job);
      EXPECT_EQ(got.line, c.line) << got.message;
      expect_words(got.message, c.words);
    } else {
      ASSERT_TRUE(got.job) << got.message;
      expect_words(got.job->names_csv, {c.names_csv_holds});
      EXPECT_TRUE(formats::text::is_utf8(got.job->naq + got.job->names_csv));
    }
  }
}

}  // namespace
}  // namespace locseq::import
