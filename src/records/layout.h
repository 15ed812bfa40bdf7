// Record layouts: a layout string such as "(I7,(T8,10G10.2))" parsed once,
// at compile time, into typed items that the writer and the fixed-field
// reader both interpret.
//
// Items: A (text of the value's own length), Aw, Iw, Fw.d, Ew.d, Gw.d, nX,
// Tn, '/', '$' (no line end after the last record), 'quoted text' (a
// doubled quote stands for one quote), n(...) groups, and a repeat count in
// front of a data item (10I10). When values remain at the end of the layout
// a new record starts and the layout resumes at its last parenthesised group
// (or at its start when it has none).
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace locseq::records {

enum class Op : unsigned char {
  Integer,    // Iw
  Fixed,      // Fw.d
  Exponent,   // Ew.d
  General,    // Gw.d
  Text,       // A (width 0: the value's own length) or Aw
  Skip,       // nX
  Column,     // Tn
  NewRecord,  // /
  Literal,    // 'text'
  NoAdvance,  // $
  Open,       // n(
  Close,      // )
};

struct Item {
  Op op = Op::Literal;
  int width = 0;             // w of a data item; n of nX and Tn
  int decimals = 0;          // d of Fw.d, Ew.d, Gw.d
  int repeat = 1;            // repeat count of a data item or of a group
  int link = 0;              // Open: index of its Close; Close: index of its Open
  std::size_t text_at = 0;   // Literal: first character inside the quotes
  std::size_t text_len = 0;  // Literal: characters between the quotes
};

constexpr bool is_data(Op op) {
  return op == Op::Integer || op == Op::Fixed || op == Op::Exponent || op == Op::General ||
         op == Op::Text;
}

class Layout {
 public:
  static constexpr int kMaxItems = 40;

  // Parses `source`; throws std::invalid_argument when it is not a layout,
  // so that a constexpr Layout with a bad string fails the build.
  constexpr explicit Layout(std::string_view source) : source_(source) { parse(); }

  std::string_view source() const { return source_; }
  int size() const { return count_; }
  const Item& operator[](int i) const { return items_[static_cast<std::size_t>(i)]; }
  // Where the layout resumes when values remain at its end.
  int resume_at() const { return resume_; }
  bool no_advance() const { return no_advance_; }
  // A literal's text, doubled quotes still doubled.
  std::string_view literal(const Item& item) const {
    return source_.substr(item.text_at, item.text_len);
  }

 private:
  constexpr void parse();
  constexpr void add(const Item& item) {
    if (count_ == kMaxItems) throw std::invalid_argument("layout has too many items");
    items_[static_cast<std::size_t>(count_++)] = item;
  }
  constexpr int number(std::size_t& i) const;

  std::string_view source_;
  std::array<Item, kMaxItems> items_{};
  int count_ = 0;
  int resume_ = 1;
  bool no_advance_ = false;
};

constexpr int Layout::number(std::size_t& i) const {
  int n = 0;
  bool any = false;
  while (i < source_.size() && source_[i] >= '0' && source_[i] <= '9') {
    if (n > 99999) throw std::invalid_argument("layout: number too large");
    n = n * 10 + (source_[i] - '0');
    ++i;
    any = true;
  }
  if (!any) throw std::invalid_argument("layout: number expected");
  return n;
}

constexpr void Layout::parse() {
  const std::string_view s = source_;
  std::size_t i = 0;
  auto blanks = [&] {
    while (i < s.size() && s[i] == ' ') ++i;
  };
  blanks();
  if (i == s.size() || s[i] != '(') throw std::invalid_argument("layout must start with (");
  ++i;
  add(Item{Op::Open});
  std::array<int, 8> open{};  // indices of the groups not yet closed
  int depth = 1;
  open[0] = 0;
  int last_top_group = 0;  // Open index of the last group closed at depth 1
  bool expect_item = true;
  while (depth > 0) {
    blanks();
    if (i == s.size()) throw std::invalid_argument("layout: missing )");
    char c = s[i];
    if (c == ',') {
      ++i;
      expect_item = true;
      continue;
    }
    if (c == ')') {
      ++i;
      int at = open[static_cast<std::size_t>(--depth)];
      add(Item{Op::Close, 0, 0, 1, at});
      items_[static_cast<std::size_t>(at)].link = count_ - 1;
      if (depth == 1) last_top_group = at;
      expect_item = false;
      continue;
    }
    if (!expect_item && c != '/' && c != '$') throw std::invalid_argument("layout: , expected");
    expect_item = true;
    if (c == '/') {
      ++i;
      add(Item{Op::NewRecord});
      continue;
    }
    if (c == '$') {
      ++i;
      no_advance_ = true;
      add(Item{Op::NoAdvance});
      continue;
    }
    if (c == '\'') {
      std::size_t start = ++i;
      for (;;) {
        if (i == s.size()) throw std::invalid_argument("layout: unterminated text");
        if (s[i] == '\'') {
          if (i + 1 < s.size() && s[i + 1] == '\'') {
            i += 2;
            continue;
          }
          break;
        }
        ++i;
      }
      Item lit{Op::Literal};
      lit.text_at = start;
      lit.text_len = i - start;
      add(lit);
      ++i;
      expect_item = false;
      continue;
    }
    int repeat = 1;
    bool counted = false;
    if (c >= '0' && c <= '9') {
      repeat = number(i);
      counted = true;
      blanks();
      if (i == s.size()) throw std::invalid_argument("layout: item expected");
      c = s[i];
    }
    if (repeat < 1) throw std::invalid_argument("layout: zero repeat");
    ++i;
    expect_item = false;
    switch (c) {
      case '(': {
        if (depth == static_cast<int>(open.size())) throw std::invalid_argument("layout too deep");
        open[static_cast<std::size_t>(depth++)] = count_;
        add(Item{Op::Open, 0, 0, repeat});
        expect_item = true;
        break;
      }
      case 'X':
        if (!counted) repeat = 1;
        add(Item{Op::Skip, repeat});
        break;
      case 'T': {
        if (counted) throw std::invalid_argument("layout: T takes no repeat");
        int col = number(i);
        if (col < 1) throw std::invalid_argument("layout: T0");
        add(Item{Op::Column, col});
        break;
      }
      case 'A': {
        int w = 0;
        if (i < s.size() && s[i] >= '0' && s[i] <= '9') w = number(i);
        add(Item{Op::Text, w, 0, repeat});
        break;
      }
      case 'I': {
        int w = number(i);
        if (w < 1) throw std::invalid_argument("layout: I0");
        add(Item{Op::Integer, w, 0, repeat});
        break;
      }
      case 'F':
      case 'E':
      case 'G': {
        int w = number(i);
        if (i == s.size() || s[i] != '.') throw std::invalid_argument("layout: .d expected");
        ++i;
        int d = number(i);
        if (w < 1 || d >= w || (c != 'F' && d < 1)) throw std::invalid_argument("layout: bad w.d");
        Op op = c == 'F' ? Op::Fixed : c == 'E' ? Op::Exponent : Op::General;
        add(Item{op, w, d, repeat});
        break;
      }
      default:
        throw std::invalid_argument("layout: unknown item");
    }
  }
  blanks();
  if (i != s.size()) throw std::invalid_argument("layout: text after the last )");
  resume_ = last_top_group == 0 ? 1 : last_top_group;
}

}  // namespace locseq::records
