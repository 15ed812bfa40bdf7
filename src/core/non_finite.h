// Numbers that must stay finite. A run holds its values, and the running
// sums of its group means, in single precision, whose largest value is
// about 3.4e38: values near it overflow those sums. Each stage checks the
// sums it makes, where it makes them (a compare per sum); when one is not
// finite, a function beside the stage finds the cell that broke the first,
// and the driver names the year and the record.
#pragma once

#include <cstdint>
#include <string>

#include "core/arrays.h"

namespace locseq {

// The first value of a stage that is not a finite number: the cell whose
// value broke it, and what happened, in words.
struct NonFinite {
  std::int32_t location = 0;  // 1 to MAXL
  std::int32_t genotype = 0;  // 1 to MAXG
  std::string what;  // e.g. "the value 3e+38 less the location's mean -1e+38 is beyond ..."
};

// The largest magnitude of a value for which no sum of a job of `locations`
// locations can overflow, and its text. Data values and the running sums of
// group means are single precision (largest 3.4028235e38 = F); sums of
// squares and distances are double precision, where squares of single
// precision values cannot overflow. Centring subtracts a location's mean
// (of magnitude at most the largest value), so a centred value is at most
// twice the largest; standardising then divides it by a deviation that is at
// least the value over the square root of the location's count, so it never
// grows a value beyond that root. A group's running sum adds the centred
// values of up to MAXL members, each rounded, which grows it by a factor
// below 2 for any job a run can take (at most 5000 locations; the factor
// stays below 2 up to 11 million). Hence F / (4 x locations), cut to two
// significant digits (4.2e+36 for 20 locations).
struct ValueBound {
  float value = 0.0f;  // the bound: a value of at most this magnitude is safe
  std::string text;    // the bound as the messages show it, e.g. "4.2e+36"
};
ValueBound value_bound(std::int32_t locations);

// The shortest text that reads back to the same value ("3e+38", "-1.5",
// "inf").
std::string number_text(double v);
std::string number_text(float v);

// The error message for `bad` in data year `year`: "year 1 (2019), location
// 3 (C), genotype 2 (G2): <what>; <what a job of MAXL locations can hold>".
// A name of blanks is left out.
std::string non_finite_message(const NonFinite& bad, std::int32_t year, const Name8& year_name,
                               const Name8& location_name, const Name8& genotype_name,
                               std::int32_t MAXL);

}  // namespace locseq
