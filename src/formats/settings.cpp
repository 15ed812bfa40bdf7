#include "formats/settings.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "core/input_error.h"

namespace locseq::formats::settings {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

bool is_control(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

bool is_name_start(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_name_char(char c) {
  return is_name_start(c) || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

const Key* known(std::string_view name) {
  const auto* k =
      std::find_if(kKeys.begin(), kKeys.end(), [&](const Key& key) { return key.name == name; });
  return k == kKeys.end() ? nullptr : k;
}

// A known key spelt with other capitals or '-' for '_', or empty.
std::string_view meant(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '-') c = '_';
  }
  const Key* k = known(folded);
  return k ? k->name : std::string_view();
}

// The length of the UTF-8 character starting at s[at], or 0 when the bytes
// there are not one.
std::size_t utf8_length(std::string_view s, std::size_t at) {
  const auto lead = static_cast<unsigned char>(s[at]);
  std::size_t n = 0;
  char32_t least = 0;
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) {
    n = 2;
    least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    n = 3;
    least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    n = 4;
    least = 0x10000;
  } else {
    return 0;
  }
  if (at + n > s.size()) return 0;
  char32_t code = lead & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[at + k]);
    if ((b & 0xC0) != 0x80) return 0;
    code = (code << 6) | (b & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return n;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One line, without its line end.
class LineParser {
 public:
  LineParser(std::string_view text, const std::string& file, long line)
      : s_(text), file_(file), line_(line) {}

  // False for a blank or comment line.
  bool parse(Setting& out) {
    skip_blanks();
    if (at_end_or_comment()) return false;
    const std::size_t key_start = at_;
    while (at_ < s_.size() && is_name_char(s_[at_])) ++at_;
    const std::string_view key = s_.substr(key_start, at_ - key_start);
    skip_blanks();
    if (key.empty() || !is_name_start(key.front())) {
      fail("expected KEY = VALUE, a key being letters, digits, _ and -, starting with a letter");
    }
    if (at_ >= s_.size() || s_[at_] != '=') {
      fail("expected KEY = VALUE: no '=' after the key " + locseq::quoted(key));
    }
    ++at_;
    skip_blanks();
    out.key = std::string(key);
    out.value = at_ < s_.size() && s_[at_] == '"' ? quoted_value() : bare_value();
    out.line = line_;
    return true;
  }

 private:
  void skip_blanks() {
    while (at_ < s_.size() && is_blank(s_[at_])) ++at_;
  }
  bool at_end_or_comment() const { return at_ >= s_.size() || s_[at_] == '#'; }

  [[noreturn]] void fail(const std::string& message) const {
    throw InputError(file_, line_, message);
  }

  std::string bare_value() {
    const std::size_t start = at_;
    while (at_ < s_.size() && s_[at_] != '#') {
      if (is_control(s_[at_]) && !is_blank(s_[at_])) {
        fail("a control character (byte " + std::to_string(static_cast<unsigned char>(s_[at_])) +
             ") in the value; write it in double quotes as \\xHH");
      }
      ++at_;
    }
    std::size_t end = at_;
    while (end > start && is_blank(s_[end - 1])) --end;
    return std::string(s_.substr(start, end - start));
  }

  std::string quoted_value() {
    ++at_;  // the opening quote
    std::string value;
    for (;;) {
      if (at_ >= s_.size()) fail("the quoted value is not closed on its line");
      const char c = s_[at_++];
      if (c == '"') break;
      if (is_control(c) && c != '\t') {
        fail("a control character (byte " + std::to_string(static_cast<unsigned char>(c)) +
             ") in the quoted value; write it as \\xHH");
      }
      if (c != '\\') {
        value += c;
        continue;
      }
      if (at_ >= s_.size()) fail("the quoted value is not closed on its line");
      const char e = s_[at_++];
      switch (e) {
        case '"':
        case '\\':
          value += e;
          break;
        case 't':
          value += '\t';
          break;
        case 'n':
          value += '\n';
          break;
        case 'r':
          value += '\r';
          break;
        case 'x': {
          const int hi = at_ < s_.size() ? hex_digit(s_[at_]) : -1;
          const int lo = at_ + 1 < s_.size() ? hex_digit(s_[at_ + 1]) : -1;
          if (hi < 0 || lo < 0) fail("\\x must be followed by two hex digits");
          value += static_cast<char>(hi * 16 + lo);
          at_ += 2;
          break;
        }
        default:
          fail("unknown escape \\" + std::string(1, e) +
               " in the quoted value (known: \\\" \\\\ \\t \\n \\r \\xHH)");
      }
    }
    skip_blanks();
    if (!at_end_or_comment()) fail("text after the closing quote (a comment starts with #)");
    return value;
  }

  std::string_view s_;
  const std::string& file_;
  long line_;
  std::size_t at_ = 0;
};

bool needs_quotes(std::string_view v) {
  if (v.empty() || is_blank(v.front()) || is_blank(v.back()) || v.front() == '"') return true;
  for (std::size_t at = 0; at < v.size();) {
    if (v[at] == '#' || is_control(v[at])) return true;
    const std::size_t n = utf8_length(v, at);
    if (n == 0) return true;
    at += n;
  }
  return false;
}

// A comment as written: one line of UTF-8, each control character or byte
// that is not UTF-8 shown as '?'.
std::string comment_text(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t n = utf8_length(text, at);
    if (n == 0 || is_control(text[at])) {
      out += '?';
      ++at;
    } else {
      out.append(text.substr(at, n));
      at += n;
    }
  }
  return out;
}

std::int64_t whole_number(const Setting& s, const std::string& file) {
  std::int64_t n = 0;
  const std::string& v = s.value;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || end != v.data() + v.size() || n < 1 ||
      n > std::numeric_limits<std::int32_t>::max()) {
    throw InputError(file, s.line,
                     s.key + " must be a whole number from 1, not " + locseq::quoted(v));
  }
  return n;
}

}  // namespace

const Setting* File::find(std::string_view key) const {
  const auto at = std::find_if(settings.begin(), settings.end(),
                               [&](const Setting& s) { return s.key == key; });
  return at == settings.end() ? nullptr : &*at;
}

File read(std::string_view bytes, const std::string& file) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  File out;
  long line = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    ++line;
    std::size_t end = bytes.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view text = bytes.substr(at, end - at);
    at = end;
    if (at < bytes.size()) {
      at += bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
    }
    Setting s;
    if (!LineParser(text, file, line).parse(s)) continue;
    const Key* key = known(s.key);
    if (!key) {
      const std::string_view guess = meant(s.key);
      out.warnings.push_back(
          {line,
           "unknown key " + locseq::quoted(s.key) + " is ignored" +
               (guess.empty() ? std::string() : " (did you mean " + std::string(guess) + "?)")});
    } else if (const Setting* before = out.find(s.key); before && !key->list) {
      throw InputError(file, line,
                       s.key + " is given twice, on lines " + std::to_string(before->line) +
                           " and " + std::to_string(line) + "; keep one");
    }
    out.settings.push_back(std::move(s));
  }
  return out;
}

std::string value_text(std::string_view value) {
  if (!needs_quotes(value)) return std::string(value);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (std::size_t at = 0; at < value.size();) {
    const char c = value[at];
    const std::size_t n = utf8_length(value, at);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (n == 0 || is_control(c)) {
      const auto u = static_cast<unsigned char>(c);
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out.append(value.substr(at, n));
      at += n;
      continue;
    }
    ++at;
  }
  return out + '"';
}

std::string write(const std::vector<std::string>& head, const std::vector<Section>& sections) {
  std::string out;
  for (const std::string& line : head) out += "# " + comment_text(line) + '\n';
  for (const Section& section : sections) {
    out += '\n';
    if (!section.comment.empty()) out += "# " + comment_text(section.comment) + '\n';
    for (const Setting& s : section.settings) {
      out += s.key + " = " + value_text(s.value);
      if (!s.comment.empty()) out += "  # " + comment_text(s.comment);
      out += '\n';
    }
  }
  return out;
}

RunSettings run_settings(const File& settings, const std::string& file) {
  RunSettings out;
  if (const Setting* g = settings.find("groups")) {
    out.groups = static_cast<std::int32_t>(whole_number(*g, file));
    out.groups_line = g->line;
  }
  if (const Setting* s = settings.find("standardize")) {
    if (s->value != "yes" && s->value != "no") {
      throw InputError(file, s->line,
                       "standardize must be yes or no, not " + locseq::quoted(s->value));
    }
    out.standardize = s->value == "yes";
    out.standardize_line = s->line;
  }
  return out;
}

}  // namespace locseq::formats::settings
