#include "data/year_reader.h"

#include <algorithm>
#include <string>

#include "records/input_error.h"
#include "records/numbers.h"

namespace locseq {

namespace {

constexpr records::Layout kEndOfData("(A)");

constexpr const char* kFieldNames[4] = {"the year", "the location", "the genotype", "the value"};

bool blank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

SeqLine parse_observation(std::string_view line, Observation& out,
                          const records::RecordReader& seq) {
  const char* p = line.data();
  const char* const end = p + line.size();
  int fields = 0;
  bool comma = false;  // a comma since the last number
  for (;;) {
    while (p < end && blank(*p)) ++p;
    if (p == end) return fields == 0 ? SeqLine::Blank : SeqLine::Short;
    if (*p == ',') {
      if (comma || fields == 0) seq.fail("empty field before a comma; four numbers expected");
      comma = true;
      ++p;
      continue;
    }
    if (*p == '/') seq.fail("'/' is not accepted; four numbers expected");
    const char* start = p;
    while (p < end && !blank(*p) && *p != ',' && *p != '/') ++p;
    std::string_view token(start, static_cast<std::size_t>(p - start));
    records::NumberStatus s;
    if (fields < 3) {
      std::int32_t* slot = fields == 0 ? &out.year : fields == 1 ? &out.location : &out.genotype;
      s = records::parse_integer(token, *slot);
      if (s == records::NumberStatus::OutOfRange) {
        seq.fail(std::string(kFieldNames[fields]) + " " + quoted(token) + " is beyond 32 bits");
      }
      if (s != records::NumberStatus::Ok) {
        seq.fail("expected an integer (" + std::string(kFieldNames[fields]) + ") in field " +
                 std::to_string(fields + 1) + ", found " + quoted(token));
      }
    } else {
      s = records::parse_real(token, out.value);
      if (s == records::NumberStatus::OutOfRange) {
        seq.fail("the value " + quoted(token) + " is beyond single precision");
      }
      if (s != records::NumberStatus::Ok) {
        seq.fail("expected a number (the value) in field 4, found " + quoted(token));
      }
      return SeqLine::Record;
    }
    ++fields;
    comma = false;
  }
}

void ReadYear(Mat<float> YearData, Mat<std::int32_t> IncidenceMatrix, std::int32_t y,
              std::int32_t MAXL, std::int32_t MAXG, records::RecordReader& seq,
              records::Unit& console, records::Unit& sco) {
  std::fill_n(YearData.data(), std::int64_t{MAXL} * MAXG, 0.0f);
  std::fill_n(IncidenceMatrix.data(), std::int64_t{MAXL} * MAXG, 0);
  auto end_of_data = [&] {
    std::string record = records::format(kEndOfData, {" End of data"});
    console.put(record);
    sco.put(record);
  };
  std::string_view line;
  Observation obs;
  for (;;) {
    if (!seq.next(line)) return end_of_data();
    SeqLine kind = parse_observation(line, obs, seq);
    if (kind == SeqLine::Blank) continue;
    if (kind == SeqLine::Short) {
      // The record cut short by the end of the file, when only blank lines
      // follow it; anywhere else a record with a number missing.
      const long short_line = seq.line();
      while (seq.next(line)) {
        if (!std::all_of(line.begin(), line.end(), blank)) {
          seq.fail_at(short_line, "fewer than four numbers (year, location, genotype, value)");
        }
      }
      return end_of_data();
    }
    if (obs.year < y) continue;
    if (obs.year > y) {
      seq.step_back();
      return;
    }
    if (obs.location < 1 || obs.location > MAXL) {
      seq.fail("location " + std::to_string(obs.location) + " is outside 1 to MAXL (" +
               std::to_string(MAXL) + ")");
    }
    if (obs.genotype < 1 || obs.genotype > MAXG) {
      seq.fail("genotype " + std::to_string(obs.genotype) + " is outside 1 to MAXG (" +
               std::to_string(MAXG) + ")");
    }
    YearData(obs.location, obs.genotype) = obs.value;
    IncidenceMatrix(obs.location, obs.genotype) = 1;
  }
}

}  // namespace locseq
