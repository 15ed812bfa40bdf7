#include "report/markup.h"

#include "formats/text_encoding.h"
#include "report/text.h"

namespace locseq::report {
namespace {

constexpr std::string_view kFirstStrongIsolate = "\xE2\x81\xA8";  // U+2068
constexpr std::string_view kPopIsolate = "\xE2\x81\xA9";          // U+2069

// U+2066 LEFT-TO-RIGHT, U+2067 RIGHT-TO-LEFT and U+2068 FIRST STRONG
// ISOLATE open an isolate, U+2069 closes one: 0xE2 0x81 0xA6 to 0xA9.
int isolate_at(std::string_view text, std::size_t i) {
  if (i + 2 >= text.size() || text[i] != '\xE2' || text[i + 1] != '\x81') return 0;
  const auto third = static_cast<unsigned char>(text[i + 2]);
  if (third >= 0xA6 && third <= 0xA8) return 1;
  return third == 0xA9 ? -1 : 0;
}

// A job text as the page shows it: a byte that is not UTF-8 as \xHH, so
// that it is seen rather than lost, then cleaned.
std::string shown(std::string_view raw) {
  return clean_utf8(formats::text::escape_invalid_utf8(raw));
}

}  // namespace

std::string balanced(std::string_view raw) {
  const std::string clean = shown(raw);
  std::string out;
  out.reserve(clean.size());
  int open = 0;
  for (std::size_t i = 0; i < clean.size(); ++i) {
    const int isolate = isolate_at(clean, i);
    if (isolate < 0 && open == 0) {
      i += 2;  // a U+2069 that closes nothing of the text's own
      continue;
    }
    open += isolate;
    out += clean[i];
  }
  for (; open > 0; --open) out += kPopIsolate;
  return out;
}

JobText JobText::shortened(std::size_t limit) const {
  return JobText(shorten(shown(raw_), limit));
}

std::size_t JobText::length() const {
  return text_length(shown(raw_));
}

Text::Text(std::string words) {
  if (!words.empty()) pieces_.push_back({std::move(words), false});
}

Text::Text(const JobText& job) : pieces_{{job.raw_, true}} {}

Text& Text::operator+=(const Text& more) {
  pieces_.insert(pieces_.end(), more.pieces_.begin(), more.pieces_.end());
  return *this;
}

Text operator+(Text text, const Text& more) {
  return text += more;
}

std::string Text::isolated() const {
  std::string out;
  for (const Piece& p : pieces_) {
    if (p.job) {
      out += kFirstStrongIsolate;
      out += balanced(p.text);
      out += kPopIsolate;
    } else {
      out += p.text;
    }
  }
  return out;
}

std::string escape(const Text& text) {
  return escape(std::string_view(text.isolated()));
}

Html& Html::operator<<(const Html& more) {
  text_ += more.text_;
  return *this;
}

Html& Html::operator<<(const JobText& job) {
  text_ += "<bdi>";
  text_ += escape(std::string_view(balanced(job.raw_)));
  text_ += "</bdi>";
  return *this;
}

Html& Html::operator<<(const Text& text) {
  for (const Text::Piece& p : text.pieces_) {
    if (p.job) {
      *this << JobText(p.text);
    } else {
      *this << std::string_view(p.text);
    }
  }
  return *this;
}

Html& Html::operator<<(const std::string& words) {
  return *this << std::string_view(words);
}

Html& Html::operator<<(std::string_view words) {
  text_ += escape(words);
  return *this;
}

Html Html::flat(const Text& text) {
  return made(escape(text));
}

Html Html::made(std::string markup) {
  Html out;
  out.text_ = std::move(markup);
  return out;
}

}  // namespace locseq::report
