#include "data/year_reader.h"

#include <algorithm>
#include <cstring>

#include "core/input_error.h"

namespace locseq {

namespace {

using formats::seq::Observation;

bool blank(char c) {
  return c == ' ' || c == '\t';
}

bool digit(char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}

// The short cut for the common record: three plain integers of up to nine
// digits and a real of up to seven significant digits with a decimal
// exponent of at most ten, separated by blanks, tabs or one comma. `end` is
// the end of the record or of the bytes at hand; with kSentinel the byte at
// `end` is known to be a NUL, which stops every scan without a bound check.
// Returns the position just
// after the value (where a blank, comma or line end must follow), or nullptr
// for anything else, which the full parser then reads (or refuses) by the
// same rules.
//
// The value rounds once, to the nearest float, as a full conversion does: a
// mantissa m < 2^24 and 10^k (k <= 10) are exact in float, so m * 10^k
// rounds once; and m / 10^k lies at least 2^-48 (relative) from any float
// midpoint, farther than the double product m * 10^-k (within 2^-52) can
// stray, so rounding that product to float rounds m / 10^k itself.
template <bool kSentinel>
const char* fast_observation(const char* p, const char* end, Observation& out) {
  // Whether p is still inside the bytes (the sentinel is no accepted byte).
  auto in = [&](const char* q) { return kSentinel || q < end; };
  static constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                     1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  static constexpr double kInversePow10[] = {1e0,  1e-1, 1e-2, 1e-3, 1e-4, 1e-5,
                                             1e-6, 1e-7, 1e-8, 1e-9, 1e-10};
  std::int32_t* const slots[3] = {&out.year, &out.location, &out.genotype};
  // Skips the separator after a number: blanks, at most one comma.
  auto separator = [&]() -> bool {
    if (in(p) && !blank(*p) && *p != ',') return false;  // text stuck to the number
    while (in(p) && blank(*p)) ++p;
    if (in(p) && *p == ',') {
      ++p;
      while (in(p) && blank(*p)) ++p;
      if (in(p) && *p == ',') return false;
    }
    return in(p);
  };
  while (in(p) && blank(*p)) ++p;
  for (std::int32_t* slot : slots) {
    bool negative = false;
    if (in(p) && (*p == '-' || *p == '+')) negative = *p++ == '-';
    const char* first = p;
    std::int32_t v = 0;
    while (in(p) && digit(*p) && p - first < 9) v = v * 10 + (*p++ - '0');
    if (p == first || !separator()) return nullptr;
    *slot = negative ? -v : v;
  }
  bool negative = false;
  if (in(p) && (*p == '-' || *p == '+')) negative = *p++ == '-';
  std::uint32_t mantissa = 0;
  int digits = 0;    // significant digits so far
  int decimals = 0;  // digits after the point
  bool point = false, any = false;
  for (; in(p); ++p) {
    if (digit(*p)) {
      any = true;
      if (mantissa != 0 || *p != '0') ++digits;
      if (digits > 7) return nullptr;
      mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
      decimals += point;
    } else if (*p == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!any) return nullptr;
  int exponent = -decimals;
  if (in(p) && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
    ++p;
    bool exp_negative = false;
    if (in(p) && (*p == '-' || *p == '+')) exp_negative = *p++ == '-';
    const char* first = p;
    int e = 0;
    while (in(p) && digit(*p) && p - first < 3) e = e * 10 + (*p++ - '0');
    if (p == first || (in(p) && digit(*p))) return nullptr;
    exponent += exp_negative ? -e : e;
  }
  // After the value: a blank, a comma or the line end (a CR only before LF;
  // elsewhere it is text stuck to the number).
  if (in(p) && !blank(*p) && *p != ',' && *p != '\n' &&
      !(*p == '\r' && in(p + 1) && p[1] == '\n')) {
    return nullptr;
  }
  if (exponent < -10 || exponent > 10) return nullptr;
  float v = exponent >= 0
                ? static_cast<float>(mantissa) * kPow10[exponent]
                : static_cast<float>(static_cast<double>(mantissa) * kInversePow10[-exponent]);
  out.value = negative ? -v : v;
  return p;
}

}  // namespace

bool read_by_short_cut(std::string_view line, Observation& out) {
  const char* after = fast_observation<false>(line.data(), line.data() + line.size(), out);
  if (after == nullptr) return false;
  out.more_numbers =
      formats::seq::holds_a_number(line.substr(static_cast<std::size_t>(after - line.data())));
  return true;
}

YearRead ReadYear(const Year& year, std::int32_t y, records::FileReader& seq) {
  const Mat<float> YearData = year.YearData;
  const Mat<std::int32_t> IncidenceMatrix = year.IncidenceMatrix;
  std::fill_n(YearData.data(), YearData.rows() * YearData.cols(), 0.0f);
  std::fill_n(IncidenceMatrix.data(), IncidenceMatrix.rows() * IncidenceMatrix.cols(), 0);
  YearRead read;
  formats::seq::Scanner scanner(seq, read_by_short_cut);
  // The order of the years met in this call, which is that of the pass:
  // every record before the first one of this call was of a year up to the
  // year before.
  formats::seq::YearOrder order;
  Observation obs;
  bool started = false;  // a record of a year not before y was met
  for (;;) {
    if (!started) read.start = seq.tell();
    // Most records are read where they stand in the buffer; the rest (a
    // record the buffer cuts, a last line without a line end, blank lines,
    // a record cut short, anything uncommon) go through the scanner.
    const std::string_view at_hand = seq.unread();
    const char* const end = at_hand.data() + at_hand.size();
    const char* after = fast_observation<true>(at_hand.data(), end, obs);
    const char* nl = nullptr;
    if (after != nullptr) {
      nl = *after == '\n' ? after
                          : static_cast<const char*>(
                                std::memchr(after, '\n', static_cast<std::size_t>(end - after)));
    }
    if (nl != nullptr) {
      seq.take_record(nl + 1);
      obs.more_numbers = nl != after && formats::seq::holds_a_number(
                                            {after, static_cast<std::size_t>(nl - after)});
      if (obs.more_numbers) formats::seq::warn_more_numbers(seq, obs.value);
    } else {
      const bool more = scanner.next(obs);
      if (!started) read.start = scanner.start();
      if (!more) {
        read.end_of_data = true;
        return read;
      }
    }
    started = started || obs.year >= y;
    if (obs.year > y) {
      seq.step_back();
      return read;
    }
    if (order.out_of_order(seq, obs.year) || obs.year < y) continue;
    if (obs.location < 1 || obs.location > YearData.rows() || obs.genotype < 1 ||
        obs.genotype > YearData.cols()) {
      seq.fail(formats::seq::cell_fault(obs, static_cast<std::int32_t>(YearData.rows()),
                                        static_cast<std::int32_t>(YearData.cols())));
    }
    YearData(obs.location, obs.genotype) = obs.value;
    IncidenceMatrix(obs.location, obs.genotype) = 1;
    ++read.records;
  }
}

}  // namespace locseq
