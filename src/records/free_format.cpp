#include "records/free_format.h"

#include "core/input_error.h"
#include "records/numbers.h"

namespace locseq::records {

namespace {

bool blank(char c) {
  return c == ' ' || c == '\t';
}

bool separator(char c) {
  return blank(c) || c == ',' || c == '/';
}

}  // namespace

std::string FreePlace::describe() const {
  std::string out(what);
  if (wanted > 1) {
    out += " (" + std::to_string(wanted) + " values, " + std::to_string(got) + " read)";
  }
  return out;
}

bool FreeScanner::next(std::string_view& token, std::int32_t& repeat, const FreePlace& place) {
  for (;;) {
    while (at_ < record_.size() && blank(record_[at_])) ++at_;
    if (at_ == record_.size()) return false;
    if (record_[at_] != ',') break;
    if (comma_ || !any_) in_.fail("empty value before a comma in " + place.describe());
    comma_ = true;
    ++at_;
  }
  if (record_[at_] == '/') in_.fail("'/' is not accepted in " + place.describe());
  const std::size_t start = at_;
  while (at_ < record_.size() && !separator(record_[at_])) ++at_;
  token = record_.substr(start, at_ - start);
  repeat = 1;
  if (rules_.repeat_counts) {
    if (std::size_t star = token.find('*'); star != std::string_view::npos) {
      NumberStatus s = parse_integer(token.substr(0, star), repeat);
      if (s != NumberStatus::Ok || repeat < 1 || token[0] == '+' || token[0] == '-') {
        in_.fail("expected a repeat count before '*' in " + place.describe() + ", found " +
                 quoted(token));
      }
      token = token.substr(star + 1);
      if (token.empty()) in_.fail("empty value after a repeat count in " + place.describe());
    }
  }
  comma_ = false;
  any_ = true;
  return true;
}

void refuse_integer(const RecordSource& in, std::string_view token, bool out_of_range,
                    const FreePlace& place) {
  if (out_of_range) in.fail("integer beyond 32 bits in " + place.describe() + ": " + quoted(token));
  in.fail("expected an integer in " + place.describe() + ", found " + quoted(token));
}

void refuse_real(const RecordSource& in, std::string_view token, bool out_of_range,
                 const FreePlace& place) {
  if (out_of_range) {
    in.fail("number beyond single precision in " + place.describe() + ": " + quoted(token));
  }
  in.fail("expected a number in " + place.describe() + ", found " + quoted(token));
}

void read_free_integers(RecordSource& in, std::span<std::int32_t> out, std::string_view what,
                        FreeFormat rules) {
  FreeScanner scanner(in, rules);
  FreePlace place{what, out.size(), 0};
  while (place.got < out.size()) {
    std::string_view record;
    if (!in.next(record)) in.fail_at_end(place.describe());
    scanner.start(record);
    std::string_view token;
    std::int32_t repeat = 1;
    while (place.got < out.size() && scanner.next(token, repeat, place)) {
      std::int32_t value = 0;
      NumberStatus s = parse_integer(token, value);
      if (s != NumberStatus::Ok) refuse_integer(in, token, s == NumberStatus::OutOfRange, place);
      for (std::int32_t r = 0; r < repeat && place.got < out.size(); ++r) out[place.got++] = value;
    }
  }
}

}  // namespace locseq::records
