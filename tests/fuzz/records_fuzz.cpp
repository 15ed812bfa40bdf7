// Fuzz target: the record layer. The first byte picks what the rest feeds:
// a layout (first line) with values or records to read by it, free-format
// integers, .SEQ lines and years, or single numbers. InputError is an
// expected outcome; anything else is a finding.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/input_error.h"
#include "data/year_reader.h"
#include "formats/seq.h"
#include "records/field_reader.h"
#include "records/free_format.h"
#include "records/layout_driver.h"
#include "records/numbers.h"
#include "records/record_writer.h"

namespace {

using namespace locseq;
using records::Layout;

// The kinds of the data items a layout takes its values by, in order.
struct KindRecorder {
  std::size_t wanted;
  std::vector<records::Op> kinds;
  bool has_value() const { return kinds.size() < wanted; }
  void data(const records::Item& it) { kinds.push_back(it.op); }
  void literal(std::string_view) {}
  void skip(int) {}
  void column(int) {}
  void new_record() {}
};

// Values for the layout's data items in turn, drawn from the bytes.
std::vector<records::Value> values_for(const Layout& layout, std::string_view bytes,
                                       std::vector<std::string>& texts) {
  KindRecorder recorder{std::min<std::size_t>(bytes.size() / 8, 64), {}};
  try {
    records::detail::drive(layout, recorder);
  } catch (const std::logic_error&) {
    return {};  // takes no value, or runs on without one
  }
  std::vector<records::Value> values;
  texts.reserve(recorder.kinds.size());
  for (records::Op op : recorder.kinds) {
    std::int64_t i = 0;
    double d = 0.0;
    std::memcpy(&i, bytes.data(), 8);
    std::memcpy(&d, bytes.data(), 8);
    if (op == records::Op::Integer) {
      values.emplace_back(i);
    } else if (op == records::Op::Text) {
      texts.emplace_back(bytes.substr(0, static_cast<std::size_t>(i & 15)));
      values.emplace_back(std::string_view(texts.back()));
    } else {
      values.emplace_back(d);
    }
    bytes.remove_prefix(8);
  }
  return values;
}

void layout_case(std::string_view in) {
  std::size_t nl = in.find('\n');
  std::string source(in.substr(0, nl));
  std::string_view rest = nl == std::string_view::npos ? "" : in.substr(nl + 1);
  std::optional<Layout> layout;
  try {
    layout.emplace(source);
  } catch (const std::invalid_argument&) {
    return;  // not a layout
  }
  std::vector<std::string> texts;
  std::vector<records::Value> values = values_for(*layout, rest, texts);
  try {
    std::string out = records::format(*layout, values);
    (void)out;
  } catch (const std::logic_error& e) {
    // Only a layout that runs on without taking a value may refuse.
    if (std::string(e.what()).find("without taking") == std::string::npos) throw;
  }

  // The same layout as an input layout over the rest, as records.
  std::vector<std::int32_t> ints(16);
  std::vector<float> reals(16);
  std::vector<std::array<char, 8>> chars(16);
  std::vector<records::Target> targets;
  std::size_t n = 0;
  for (int i = 0; i < layout->size() && targets.size() < 16; ++i) {
    const records::Item& it = (*layout)[i];
    if (it.op == records::Op::Integer) targets.emplace_back(ints[n++]);
    if (it.op == records::Op::Fixed || it.op == records::Op::Exponent ||
        it.op == records::Op::General) {
      targets.emplace_back(reals[n++]);
    }
    if (it.op == records::Op::Text) targets.emplace_back(std::span<char>(chars[n++]));
  }
  std::istringstream stream{std::string(rest)};
  records::FileReader reader(stream, "fuzz", 16);
  try {
    while (records::read_fields(reader, *layout, targets, "a record")) {
    }
  } catch (const InputError&) {
  } catch (const std::logic_error& e) {
    if (std::string(e.what()).find("without taking") == std::string::npos) throw;
  }
}

// The first byte: how many values (its value modulo 40), whether repeat
// counts are allowed (bit 6), from the console or a file (bit 7).
void free_format_case(std::string_view in) {
  if (in.empty()) return;
  const auto first = static_cast<unsigned char>(in[0]);
  std::vector<std::int32_t> out(first % 40);
  const records::FreeFormat rules{.repeat_counts = (first & 0x40) != 0};
  std::istringstream stream{std::string(in.substr(1))};
  records::FileReader file(stream, "fuzz", 16);
  records::ConsoleReader console(stream, "console");
  records::RecordSource& reader =
      first & 0x80 ? static_cast<records::RecordSource&>(console) : file;
  try {
    for (int reads = 0; reads < 8; ++reads)
      records::read_free_integers(reader, out, "values", rules);
  } catch (const InputError&) {
  }
}

// Every line the reader's short cut takes reads alike by the full parser:
// a record, the same numbers to the bit.
void same_both_ways(std::string_view line, const records::FileReader& reader) {
  formats::seq::Observation fast, full;
  if (!read_by_short_cut(line, fast)) return;
  formats::seq::Line kind = formats::seq::Line::Blank;
  try {
    kind = formats::seq::parse_line(line, full, reader);
  } catch (const InputError&) {
    throw std::runtime_error("the short cut reads a line the parser refuses: " + std::string(line));
  }
  if (kind != formats::seq::Line::Record || fast.year != full.year ||
      fast.location != full.location || fast.genotype != full.genotype ||
      fast.more_numbers != full.more_numbers || std::memcmp(&fast.value, &full.value, 4) != 0) {
    throw std::runtime_error("the short cut reads a line otherwise: " + std::string(line));
  }
}

// Year y of a 4 x 4 year read record by record by the .SEQ scanner, as
// ReadYear reads it: the oracle for ReadYear, which reads most records where
// they stand in its buffer. The outcome: 1 at the end of the data, 0
// before it, or minus the line of an InputError.
long read_year_by_records(const Year& year, std::int32_t y, records::FileReader& seq) {
  std::fill_n(year.YearData.data(), 16, 0.0f);
  std::fill_n(year.IncidenceMatrix.data(), 16, 0);
  formats::seq::Scanner scanner(seq);
  formats::seq::Observation obs;
  try {
    while (scanner.next(obs)) {
      if (obs.year < y) continue;
      if (obs.year > y) {
        seq.step_back();
        return 0;
      }
      if (obs.location < 1 || obs.location > 4 || obs.genotype < 1 || obs.genotype > 4) {
        return -seq.line();
      }
      year.YearData(obs.location, obs.genotype) = obs.value;
      year.IncidenceMatrix(obs.location, obs.genotype) = 1;
    }
  } catch (const InputError& e) {
    return -e.line();
  }
  return 1;
}

void read_years_both_ways(const std::string& text) {
  std::array<float, 16> x[2];
  std::array<std::int32_t, 16> n[2];
  std::istringstream streams[2] = {std::istringstream(text), std::istringstream(text)};
  records::FileReader a(streams[0], "fuzz.SEQ", 16), b(streams[1], "fuzz.SEQ", 16);
  const Year fast{Mat<float>(x[0].data(), 4, 4), Mat<std::int32_t>(n[0].data(), 4, 4)};
  const Year plain{Mat<float>(x[1].data(), 4, 4), Mat<std::int32_t>(n[1].data(), 4, 4)};
  for (std::int32_t y = 1; y <= 3; ++y) {
    long outcome = 0;
    try {
      outcome = ReadYear(fast, y, a).end_of_data ? 1 : 0;
    } catch (const InputError& e) {
      outcome = -e.line();
    }
    if (outcome != read_year_by_records(plain, y, b) ||
        (outcome >= 0 &&
         (std::memcmp(x[0].data(), x[1].data(), sizeof x[0]) != 0 || n[0] != n[1]))) {
      throw std::runtime_error("ReadYear reads year " + std::to_string(y) + " otherwise");
    }
    if (outcome < 0) return;
  }
}

void seq_case(std::string_view in) {
  read_years_both_ways(std::string(in));
  std::istringstream stream{std::string(in)};
  records::FileReader reader(stream, "fuzz.SEQ", 16);
  std::string_view line;
  int steps = 0;
  while (reader.next(line)) {
    same_both_ways(line, reader);
    if (++steps % 3 == 0) {
      reader.step_back();
      reader.next(line);
    }
    if (steps == 50) reader.rewind();
  }
}

// A real that parses must equal std::from_chars of its plain spelling.
void number_case(std::string_view token) {
  float f = 0.0f;
  if (records::parse_real(token, f) == records::NumberStatus::Ok && token.size() < 200) {
    std::string plain;
    for (char c : token) plain += (c == 'D' || c == 'd') ? 'e' : c;
    if (!plain.empty() && plain[0] == '+') plain.erase(0, 1);
    float g = 0.0f;
    auto r = std::from_chars(plain.data(), plain.data() + plain.size(), g);
    if (r.ec == std::errc() && std::memcmp(&f, &g, sizeof f) != 0) {
      throw std::runtime_error("parse_real differs from from_chars on " + std::string(token));
    }
  }
  std::int32_t i = 0;
  (void)records::parse_integer(token, i);
  (void)records::parse_real_implied(token, 3, f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0:
      layout_case(in);
      break;
    case 1:
      free_format_case(in);
      break;
    case 2:
      seq_case(in);
      break;
    default:
      number_case(in);
      break;
  }
  return 0;
}
