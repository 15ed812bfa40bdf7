// Texts on the page: job texts made safe for HTML and SVG, and numbers as
// the tables write them or rounded for a label.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/arrays.h"

namespace locseq::report {

// The text as well-formed UTF-8 that HTML and XML accept: every byte that
// does not begin a valid sequence (stray continuation bytes, overlong forms,
// surrogates, code points above U+10FFFF, a sequence cut short) becomes
// U+FFFD, and so does every control character other than tab and line feed
// (C0, DEL, C1) and the non-characters U+FFFE and U+FFFF. Never fails.
std::string clean_utf8(std::string_view text);

// The text cleaned as clean_utf8 does, with & < > " ' written as character
// references, so that it can stand as HTML or SVG text or as a double- or
// single-quoted attribute value and never forms markup.
std::string escape(std::string_view text);

// Number of characters (code points) of a well-formed UTF-8 text.
std::size_t text_length(std::string_view utf8);

// The text cut to at most `limit` characters, an ellipsis replacing the
// last one when it is cut. Expects well-formed UTF-8 (as clean_utf8 makes).
std::string shorten(std::string_view utf8, std::size_t limit);

// An 8-character name without its trailing blanks (and NUL bytes).
std::string trimmed(const Name8& name);

// A text without its trailing blanks.
std::string_view trim_right(std::string_view text);

// The shortest text that reads back to the same double (std::to_chars).
std::string round_trip(double value);

// The value in fixed point with `decimals` decimals ("-0.00" is written
// "0.00"); non-finite values as "NA".
std::string fixed(double value, int decimals);

// The value with `digits` significant digits in fixed point (or exponent
// form below 1e-4 and from 1e6): for labels, not for the numbers of tables.
std::string significant(double value, int digits);

// The value in exponent form with `digits` significant digits ("1.190e+06");
// non-finite values as "NA".
std::string exponent_form(double value, int digits);

// "1 thing" or "N things".
std::string counted(long long n, std::string_view one, std::string_view many);

// A coordinate for SVG: at most two decimals, trailing zeros dropped.
std::string coord(double value);

}  // namespace locseq::report
