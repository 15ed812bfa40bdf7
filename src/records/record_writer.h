// Writing records by layout, and the output files they go to.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "records/layout.h"

namespace locseq::records {

// One value for a data item: an integer for Iw, a real for Fw.d, Ew.d and
// Gw.d, a text for A and Aw. A single-precision value is widened exactly.
struct Value {
  enum class Kind : unsigned char { Integer, Real, Text };

  template <class T>
  requires std::is_integral_v<T> Value(T v)
      : kind(Kind::Integer), integer(static_cast<std::int64_t>(v)) {}
  Value(float v) : kind(Kind::Real), real(static_cast<double>(v)) {}
  Value(double v) : kind(Kind::Real), real(v) {}
  Value(std::string_view v) : kind(Kind::Text), text(v) {}
  Value(const char* v) : kind(Kind::Text), text(v) {}

  Kind kind;
  std::int64_t integer = 0;
  double real = 0.0;
  std::string_view text;
};

// Formats `values` by `layout` and appends the records to `out`, each ended
// by a line end except the last one of a layout holding $.
void format(std::string& out, const Layout& layout, std::span<const Value> values);
std::string format(const Layout& layout, std::span<const Value> values);
inline std::string format(const Layout& layout, std::initializer_list<Value> values = {}) {
  return format(layout, std::span<const Value>(values.begin(), values.size()));
}
inline void format(std::string& out, const Layout& layout, std::initializer_list<Value> values) {
  format(out, layout, std::span<const Value>(values.begin(), values.size()));
}

// Single fields, as the layout items write them (exposed for the tests).
std::string integer_field(std::int64_t v, int w);
std::string fixed_field(double v, int w, int d);
std::string exponent_field(double v, int w, int d);
std::string general_field(double v, int w, int d);

// An output file (or the console) that records are written to. A failed
// write throws InputError naming the file. The console is flushed after
// every write, so that progress shows as it is made.
class Unit {
 public:
  Unit(std::ostream& out, std::string name, bool flush_each = false)
      : out_(&out), name_(std::move(name)), flush_each_(flush_each) {}

  // Writes already formatted records.
  void put(std::string_view text);
  // Formats and writes.
  void write(const Layout& layout, std::span<const Value> values) { put(format(layout, values)); }
  void write(const Layout& layout, std::initializer_list<Value> values = {}) {
    put(format(layout, values));
  }
  // Pushes buffered records to the file; throws when that fails.
  void flush();
  // Drops the line end that the next text starts with, if it does: where a
  // prompt is left out, the line end that would have ended its line goes
  // with it.
  void skip_next_line_end() { skip_line_end_ = true; }
  const std::string& name() const { return name_; }

 private:
  [[noreturn]] void failed() const;
  std::ostream* out_;
  std::string name_;
  bool flush_each_;
  bool skip_line_end_ = false;
};

}  // namespace locseq::records
