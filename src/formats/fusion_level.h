// The fusion level D(ij) of a hierarchy record, in its ten columns.
#pragma once

#include <string>

namespace locseq::formats::cls {

// Columns of the D(ij) field of a hierarchy record.
constexpr int kFusionLevelWidth = 10;

// `v` (finite) as the D(ij) field: right-aligned in ten columns, always with
// a decimal point (a field without one would be read with three implied
// decimals), in fixed form (".5", "1234.56789") or exponent form
// ("1.23457E-6", "1.234568E9"), whichever shows more significant digits
// (fixed on a tie), correctly rounded. When nine or more digits fit, the
// text reads back as the single-precision value nearest to `v`. Zero, of
// either sign, is "0.0".
std::string fusion_level_field(double v);

}  // namespace locseq::formats::cls
