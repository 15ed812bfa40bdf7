// Numbers as they stand in the input files: one token, already cut out.
#pragma once

#include <cstdint>
#include <string_view>

namespace locseq::records {

enum class NumberStatus { Ok, Malformed, OutOfRange };

// An integer: an optional sign and one or more digits, leading zeros
// allowed, within 32 bits.
NumberStatus parse_integer(std::string_view token, std::int32_t& out);

// A real in ordinary decimal or exponent form: an optional sign, digits with
// at most one point (at least one digit in all), then optionally E, e, D or d,
// an optional sign and digits. Converted straight to the nearest
// single-precision value; a magnitude too small for single precision reads as
// zero, one too large (or an exponent beyond any range) is OutOfRange.
NumberStatus parse_real(std::string_view token, float& out);

// A real written in a fixed field with d implied decimals: as parse_real, but
// without a point the last d digits of the mantissa are decimals.
NumberStatus parse_real_implied(std::string_view token, int d, float& out);

}  // namespace locseq::records
