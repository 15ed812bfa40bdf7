// The texts of the page and its figures, typed by where they come from, so
// that a text of the job reaches them only escaped and isolated:
//
//   JobText  a text of the job (a name, the title, a file name), as given;
//            it has no way out but through Text and Html.
//   Text     words for the reader: the writer's own, numbers, and job
//            texts. Written escaped; each job text isolated, so that a
//            right-to-left name, or one holding bidi controls, cannot
//            reorder what stands around it.
//   Html     markup of the page: the writer's own (string literals only),
//            and texts escaped, each job text in a <bdi> element.
//
// Where no element can stand (a figure's text, a tooltip, a <title>, an
// attribute) a job text stands between U+2068 FIRST STRONG ISOLATE and
// U+2069 POP DIRECTIONAL ISOLATE instead. Either way the isolates opened
// inside a job text are closed before its end and a stray U+2069 in it is
// dropped, so that it cannot close the isolation early.
#pragma once

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace locseq::report {

class JobText {
 public:
  JobText() = default;
  explicit JobText(std::string raw) : raw_(std::move(raw)) {}
  bool empty() const { return raw_.empty(); }
  // The text cleaned (see balanced) and cut to at most `limit`
  // characters, an ellipsis replacing the last one when it is cut.
  JobText shortened(std::size_t limit) const;
  // Its number of characters once cleaned, for the layout.
  std::size_t length() const;

 private:
  friend class Text;
  friend class Html;
  std::string raw_;
};

class Text {
 public:
  Text() = default;
  Text(const char* words) : Text(std::string(words)) {}
  Text(std::string words);
  Text(const JobText& job);
  Text& operator+=(const Text& more);
  bool empty() const { return pieces_.empty(); }
  // The text with every job text between U+2068 and U+2069; not escaped.
  std::string isolated() const;

 private:
  friend class Html;
  struct Piece {
    std::string text;  // words, or a job text as given
    bool job = false;
  };
  std::vector<Piece> pieces_;
};

Text operator+(Text text, const Text& more);

// The text escaped, every job text between U+2068 and U+2069: for places
// where no element can stand.
std::string escape(const Text& text);

class Html {
 public:
  Html() = default;
  template <std::size_t N>
  Html(const char (&markup)[N]) : text_(markup, N - 1) {}

  // The writer's markup: a string literal.
  template <std::size_t N>
  Html& operator<<(const char (&markup)[N]) {
    text_.append(markup, N - 1);
    return *this;
  }
  Html& operator<<(const Html& more);
  Html& operator<<(const JobText& job);        // escaped, in <bdi>
  Html& operator<<(const Text& text);          // escaped, job texts in <bdi>
  Html& operator<<(const std::string& words);  // escaped
  Html& operator<<(std::string_view words);    // escaped
  template <std::integral I>
  requires(!std::is_same_v<I, char> && !std::is_same_v<I, bool>) Html& operator<<(I number) {
    text_ += std::to_string(number);
    return *this;
  }
  // A text where no element can stand (a <title>, an attribute value):
  // escaped, job texts between U+2068 and U+2069.
  static Html flat(const Text& text);
  // A figure or other markup made by a writer that escapes its own texts.
  static Html made(std::string markup);

  const std::string& str() const { return text_; }
  bool empty() const { return text_.empty(); }

 private:
  std::string text_;
};

// A job text as it is isolated: each byte that is not UTF-8 written \xHH,
// then cleaned as clean_utf8 does (controls become U+FFFD), the isolates it
// opens closed at its end and a U+2069 that closes none dropped. Not
// escaped, not yet wrapped.
std::string balanced(std::string_view raw);

}  // namespace locseq::report
