#include "records/field_reader.h"

#include <algorithm>
#include <string>

#include "core/input_error.h"
#include "records/layout_driver.h"
#include "records/numbers.h"

namespace locseq::records {

namespace {

class FieldReader {
 public:
  FieldReader(RecordSource& in, std::string_view record, std::span<const Target> targets,
              std::string_view what)
      : in_(in), record_(record), targets_(targets), what_(what) {}

  bool has_value() const { return next_ < targets_.size(); }

  void data(const Item& it) {
    const Target& t = targets_[next_++];
    std::size_t w = static_cast<std::size_t>(it.width);
    if (it.op == Op::Text && w == 0) w = t.text.size();
    std::string field = take(w);
    switch (t.kind) {
      case Target::Kind::Text: {
        std::size_t len = t.text.size();
        std::fill(t.text.begin(), t.text.end(), ' ');
        if (w >= len) {
          std::copy_n(field.end() - static_cast<std::ptrdiff_t>(len), len, t.text.begin());
        } else {
          std::copy_n(field.begin(), w, t.text.begin());
        }
        return;
      }
      case Target::Kind::Integer: {
        std::string digits = without_blanks(field);
        if (digits.empty()) {
          *t.integer = 0;
          return;
        }
        NumberStatus s = parse_integer(digits, *t.integer);
        if (s == NumberStatus::Ok) return;
        fail(w, s == NumberStatus::OutOfRange ? "an integer within 32 bits" : "an integer", field);
      }
      case Target::Kind::Real: {
        std::string digits = without_blanks(field);
        if (digits.empty()) {
          *t.real = 0.0f;
          return;
        }
        NumberStatus s = parse_real_implied(digits, it.decimals, *t.real);
        if (s == NumberStatus::Ok) return;
        fail(w, s == NumberStatus::OutOfRange ? "a number within single precision" : "a number",
             field);
      }
    }
  }

  // A literal skips its columns; a doubled quote stands for one.
  void literal(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i, ++col_) {
      if (text[i] == '\'') ++i;
    }
  }
  void skip(int n) { col_ += static_cast<std::size_t>(n); }
  void column(int n) { col_ = static_cast<std::size_t>(n - 1); }
  void new_record() {
    if (!in_.next(record_)) in_.fail_at_end(std::string(what_));
    col_ = 0;
  }

 private:
  // The next w columns of the record, blank beyond its end.
  std::string take(std::size_t w) {
    std::string field(w, ' ');
    if (col_ < record_.size()) {
      std::size_t n = std::min(w, record_.size() - col_);
      std::copy_n(record_.begin() + static_cast<std::ptrdiff_t>(col_), n, field.begin());
    }
    col_ += w;
    return field;
  }

  static std::string without_blanks(const std::string& field) {
    std::string out;
    for (char c : field) {
      if (c != ' ') out += c;
    }
    return out;
  }

  [[noreturn]] void fail(std::size_t w, const char* expected, const std::string& field) const {
    std::size_t first = col_ - w + 1;
    in_.fail("expected " + std::string(expected) + " in columns " + std::to_string(first) + "-" +
             std::to_string(col_) + " of " + std::string(what_) + ", found " + quoted(field));
  }

  RecordSource& in_;
  std::string_view record_;
  std::span<const Target> targets_;
  std::string_view what_;
  std::size_t next_ = 0;
  std::size_t col_ = 0;
};

}  // namespace

bool read_fields(RecordSource& in, const Layout& layout, std::span<const Target> targets,
                 std::string_view what) {
  std::string_view record;
  if (!in.next(record)) return false;
  parse_fields(in, record, layout, targets, what);
  return true;
}

void parse_fields(RecordSource& in, std::string_view record, const Layout& layout,
                  std::span<const Target> targets, std::string_view what) {
  FieldReader reader(in, record, targets, what);
  detail::drive(layout, reader);
}

}  // namespace locseq::records
