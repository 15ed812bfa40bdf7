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
  FieldReader(RecordReader& in, std::string_view record, std::span<const Target> targets,
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

  RecordReader& in_;
  std::string_view record_;
  std::span<const Target> targets_;
  std::string_view what_;
  std::size_t next_ = 0;
  std::size_t col_ = 0;
};

}  // namespace

bool read_fields(RecordReader& in, const Layout& layout, std::span<const Target> targets,
                 std::string_view what) {
  std::string_view record;
  if (!in.next(record)) return false;
  FieldReader reader(in, record, targets, what);
  detail::drive(layout, reader);
  return true;
}

void read_free_integers(RecordReader& in, std::span<std::int32_t> out, std::string_view what) {
  std::size_t got = 0;
  bool comma = false;  // a comma since the last value (or since the read began)
  auto wanted = [&] {
    return std::string(what) + " (" + std::to_string(out.size()) + " value" +
           (out.size() == 1 ? "" : "s") + ", " + std::to_string(got) + " read)";
  };
  while (got < out.size()) {
    std::string_view rec;
    if (!in.next(rec)) in.fail_at_end(wanted());
    std::size_t i = 0;
    while (got < out.size()) {
      while (i < rec.size() && (rec[i] == ' ' || rec[i] == '\t')) ++i;
      if (i == rec.size()) break;
      if (rec[i] == ',') {
        if (comma || got == 0) in.fail("empty value between separators in " + wanted());
        comma = true;
        ++i;
        continue;
      }
      if (rec[i] == '/') in.fail("'/' is not accepted in " + wanted());
      std::size_t start = i;
      while (i < rec.size() && rec[i] != ' ' && rec[i] != '\t' && rec[i] != ',' && rec[i] != '/') {
        ++i;
      }
      std::string_view token = rec.substr(start, i - start);
      std::int32_t repeat = 1;
      if (std::size_t star = token.find('*'); star != std::string_view::npos) {
        NumberStatus s = parse_integer(token.substr(0, star), repeat);
        if (s != NumberStatus::Ok || repeat < 1 || token[0] == '+' || token[0] == '-') {
          in.fail("expected a repeat count before '*' in " + wanted() + ", found " + quoted(token));
        }
        token = token.substr(star + 1);
        if (token.empty()) in.fail("empty value after a repeat count in " + wanted());
      }
      std::int32_t value = 0;
      NumberStatus s = parse_integer(token, value);
      if (s == NumberStatus::Malformed) {
        in.fail("expected an integer in " + wanted() + ", found " + quoted(token));
      }
      if (s == NumberStatus::OutOfRange) {
        in.fail("integer beyond 32 bits in " + wanted() + ": " + quoted(token));
      }
      for (std::int32_t r = 0; r < repeat && got < out.size(); ++r) out[got++] = value;
      comma = false;
    }
  }
}

}  // namespace locseq::records
