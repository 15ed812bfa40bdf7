#include "records/record_writer.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "core/input_error.h"
#include "records/layout_driver.h"

namespace locseq::records {

namespace {

std::string right_aligned(std::string s, int w) {
  auto width = static_cast<std::size_t>(w);
  if (s.size() > width) return std::string(width, '*');
  s.insert(0, width - s.size(), ' ');
  return s;
}

// Drops the 0 in front of the point ("0.5" -> ".5", "-0.5" -> "-.5"), the one
// character a number may lose before its field overflows.
std::string fitted(std::string s, int w) {
  if (s.size() > static_cast<std::size_t>(w)) {
    std::size_t at = s[0] == '-' ? 1 : 0;
    if (s.compare(at, 2, "0.") == 0) s.erase(at, 1);
  }
  return right_aligned(std::move(s), w);
}

std::string non_finite(double v, int w) {
  std::string s = std::isnan(v) ? "NaN" : (v < 0 ? "-Infinity" : "Infinity");
  if (s.size() > static_cast<std::size_t>(w) && !std::isnan(v)) s = v < 0 ? "-Inf" : "Inf";
  return right_aligned(s, w);
}

// v rounded to d decimals, the exact binary value rounded to nearest, ties to
// even; the point is always written.
std::string fixed_text(double v, int d) {
  std::string buf(static_cast<std::size_t>(d) + 330, '\0');  // 309 digits, sign, point
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, d);
  std::string s(buf.data(), r.ptr);
  if (d == 0) s += '.';
  return s;
}

// |v| (not 0) rounded to d significant digits: the digits and the decimal
// exponent of the first one (1.5 gives "15" and 0).
void significant(double a, int d, std::string& digits, int& exponent) {
  std::string buf(static_cast<std::size_t>(d) + 16, '\0');  // d digits, point, e-308
  auto r = std::to_chars(buf.data(), buf.data() + buf.size() - 1, a, std::chars_format::scientific,
                         d - 1);
  *r.ptr = '\0';
  digits.assign(1, buf[0]);
  if (d > 1) digits.append(buf.data() + 2, static_cast<std::size_t>(d - 1));
  exponent = std::atoi(std::strchr(buf.data(), 'e') + 1);
}

}  // namespace

std::string integer_field(std::int64_t v, int w) {
  return right_aligned(std::to_string(v), w);
}

std::string fixed_field(double v, int w, int d) {
  if (!std::isfinite(v)) return non_finite(v, w);
  if (v == 0.0) v = 0.0;  // zero has no sign
  return fitted(fixed_text(v, d), w);
}

std::string exponent_field(double v, int w, int d) {
  if (!std::isfinite(v)) return non_finite(v, w);
  std::string digits(static_cast<std::size_t>(d), '0');
  int exponent = 0;  // of the form 0.ddd
  if (v != 0.0) {
    significant(std::fabs(v), d, digits, exponent);
    ++exponent;
  }
  std::string s = v < 0.0 ? "-0." : "0.";  // zero has no sign
  s += digits;
  int mag = std::abs(exponent);
  if (mag > 999) return std::string(static_cast<std::size_t>(w), '*');
  std::string e = std::to_string(mag);
  if (mag <= 99) {
    s += 'E';
    e.insert(0, 2 - e.size(), '0');
  }
  s += exponent < 0 ? '-' : '+';
  s += e;
  return fitted(std::move(s), w);
}

std::string general_field(double v, int w, int d) {
  if (!std::isfinite(v)) return non_finite(v, w);
  const std::string tail(4, ' ');
  if (w - 4 < d + 2) return exponent_field(v, w, d);  // no room for the fixed form
  if (v == 0.0) return fitted(fixed_text(0.0, d - 1), w - 4) + tail;
  std::string digits;
  int exponent = 0;
  significant(std::fabs(v), d, digits, exponent);
  if (exponent < -1 || exponent > d - 1) return exponent_field(v, w, d);
  return fitted(fixed_text(v, d - 1 - exponent), w - 4) + tail;
}

namespace {

class Writer {
 public:
  Writer(std::string& out, std::span<const Value> values)
      : out_(out), start_(out.size()), values_(values) {}

  bool has_value() const { return next_ < values_.size(); }

  void data(const Item& it) {
    const Value& v = values_[next_++];
    bool text = it.op == Op::Text;
    if (text != (v.kind == Value::Kind::Text) ||
        (it.op == Op::Integer) != (v.kind == Value::Kind::Integer)) {
      throw std::logic_error("value does not suit its layout item");
    }
    switch (it.op) {
      case Op::Integer:
        return put(integer_field(v.integer, it.width));
      case Op::Fixed:
        return put(fixed_field(v.real, it.width, it.decimals));
      case Op::Exponent:
        return put(exponent_field(v.real, it.width, it.decimals));
      case Op::General:
        return put(general_field(v.real, it.width, it.decimals));
      default:
        break;
    }
    auto w = static_cast<std::size_t>(it.width);
    if (w == 0) return put(v.text);
    if (v.text.size() >= w) return put(v.text.substr(0, w));
    put(std::string(w - v.text.size(), ' ') + std::string(v.text));
  }

  void literal(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
      plain += text[i];
      if (text[i] == '\'') ++i;  // '' stands for one quote
    }
    put(plain);
  }
  void skip(int n) { col_ += static_cast<std::size_t>(n); }
  void column(int n) { col_ = static_cast<std::size_t>(n - 1); }
  void new_record() {
    out_ += '\n';
    start_ = out_.size();
    col_ = 0;
  }

 private:
  // Writes at the current column, filling any gap before it with blanks;
  // a column moved back by Tn overwrites.
  void put(std::string_view s) {
    const std::size_t len = out_.size() - start_;
    if (col_ >= len) {
      out_.append(col_ - len, ' ');
      out_.append(s);
    } else {
      const std::size_t over = std::min(s.size(), len - col_);
      out_.replace(start_ + col_, over, s.substr(0, over));
      out_.append(s.substr(over));
    }
    col_ += s.size();
  }

  std::string& out_;
  std::size_t start_;  // where the current record starts in out_
  std::size_t col_ = 0;
  std::span<const Value> values_;
  std::size_t next_ = 0;
};

}  // namespace

void format(std::string& out, const Layout& layout, std::span<const Value> values) {
  Writer w(out, values);
  detail::drive(layout, w);
  if (!layout.no_advance()) out += '\n';
}

std::string format(const Layout& layout, std::span<const Value> values) {
  std::string out;
  format(out, layout, values);
  return out;
}

void Unit::put(std::string_view text) {
  if (skip_line_end_ && !text.empty()) {
    skip_line_end_ = false;
    if (text.front() == '\n') text.remove_prefix(1);
  }
  out_->write(text.data(), static_cast<std::streamsize>(text.size()));
  if (flush_each_) out_->flush();
  if (!*out_) failed();
}

void Unit::flush() {
  out_->flush();
  if (!*out_) failed();
}

void Unit::failed() const {
  int err = errno;
  std::string why = err != 0 ? std::strerror(err) : "write error";
  throw InputError(name_, 0, "cannot write to the file: " + why);
}

}  // namespace locseq::records
