// The .SEQ reader takes a short cut for the common value spellings; it must
// give the very value the full number reader gives, for every spelling.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "data/year_reader.h"
#include "core/input_error.h"
#include "records/numbers.h"

namespace locseq {
namespace {

std::string spelling(std::mt19937& rng) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::string s;
  if (pick(4) == 0) s += pick(2) ? "-" : "+";
  std::string digits;
  for (int n = 1 + pick(10); n > 0; --n) digits += static_cast<char>('0' + pick(10));
  if (pick(5) == 0) digits.insert(0, std::string(static_cast<std::size_t>(pick(4)), '0'));
  switch (pick(4)) {
    case 0:
      s += digits;
      break;
    case 1:
      s += digits.substr(0, digits.size() / 2) + "." + digits.substr(digits.size() / 2);
      break;
    case 2:
      s += "." + digits;
      break;
    default:
      s += digits + ".";
      break;
  }
  if (pick(3) == 0) {
    s += "EeDd"[pick(4)];
    if (pick(2)) s += pick(2) ? "-" : "+";
    s += std::to_string(pick(pick(4) == 0 ? 60 : 14));
  }
  return s;
}

TEST(ObservationValues, EverySpellingReadsAsTheFullReaderReadsIt) {
  std::mt19937 rng(7);
  std::istringstream none;
  records::RecordReader seq(none, "T.SEQ");
  const char* const separators[] = {" ", "  ", "\t", ",", " , ", ", "};
  for (int i = 0; i < 20000; ++i) {
    const std::string value = spelling(rng);
    float expected = 0.0f;
    if (records::parse_real(value, expected) != records::NumberStatus::Ok) continue;
    const char* sep = separators[rng() % std::size(separators)];
    const std::string line =
        std::string("12") + sep + "3" + sep + "004" + sep + value + (rng() % 3 == 0 ? " tail" : "");
    Observation obs;
    ASSERT_EQ(parse_observation(line, obs, seq), SeqLine::Record) << line;
    EXPECT_EQ(obs.year, 12);
    EXPECT_EQ(obs.location, 3);
    EXPECT_EQ(obs.genotype, 4);
    EXPECT_EQ(std::memcmp(&obs.value, &expected, sizeof expected), 0)
        << line << ": " << obs.value << " vs " << expected;
  }
}

TEST(ObservationValues, TheShortCutLeavesEveryRefusalToTheFullReader) {
  std::istringstream none;
  records::RecordReader seq(none, "T.SEQ");
  Observation obs;
  for (const char* line :
       {"1 2 3 4.5abc", "1 2 3 .", "1 2 3 -", "1 2 3 1e", "1 2 3 1e+", "1 2 3 1..2", "1,2,,3 4",
        "1 2 3 nan", "1 2 3 1e39", "1 2x 3 4", "1234567890123 2 3 4", "1 2 3 4e9999999"}) {
    EXPECT_THROW(parse_observation(line, obs, seq), InputError) << line;
  }
  EXPECT_THROW(parse_observation("1 2 3 4.5\rX", obs, seq), InputError);
  EXPECT_THROW(parse_observation("1 2 3 4.5\r", obs, seq), InputError);
  EXPECT_EQ(parse_observation("1 2 3", obs, seq), SeqLine::Short);
  EXPECT_EQ(parse_observation(" \t ", obs, seq), SeqLine::Blank);
  ASSERT_EQ(parse_observation("+1 -2 0003 -0", obs, seq), SeqLine::Record);
  EXPECT_EQ(obs.location, -2);
  EXPECT_TRUE(std::signbit(obs.value));
}

// Read where they stand in the buffer, records follow the same rules.
TEST(ObservationValues, InPlaceRecordsFollowTheSameRules) {
  std::vector<float> data(4);
  std::vector<std::int32_t> incidence(4);
  std::ostringstream console_text, sco_text;
  records::Unit console(console_text, "console"), sco(sco_text, "T.SCO");
  auto read = [&](const std::string& text) {
    std::istringstream in(text);
    records::RecordReader seq(in, "T.SEQ");
    ReadYear(Mat<float>(data.data(), 2, 2), Mat<std::int32_t>(incidence.data(), 2, 2), 1, 2, 2, seq,
             console, sco);
  };
  read("1 1 1 4.5\r\n1 2 2 -1.25 tail\r\n");
  EXPECT_EQ(data[0], 4.5f);
  EXPECT_EQ(data[3], -1.25f);
  for (const char* bad : {"1 1 1 4.5\rX\n", "1 1 1 4.5\r\r\n", "1 1 1 4.5x\n2 1 1 1\n"}) {
    EXPECT_THROW(read(bad), InputError) << bad;
  }
}

}  // namespace
}  // namespace locseq
