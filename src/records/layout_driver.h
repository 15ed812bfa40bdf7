// Walks a layout for the writer and the reader alike: groups and their repeat
// counts, repeated data items, the end of the values and the resumption at the
// last parenthesised group. Internal to the record layer.
#pragma once

#include <array>
#include <stdexcept>

#include "records/layout.h"

namespace locseq::records::detail {

// Handler: bool has_value(); void data(const Item&); void literal(std::string_view);
// void skip(int n); void column(int n); void new_record().
template <class Handler>
void drive(const Layout& layout, Handler& h) {
  struct Frame {
    int open;  // index of the group's Open item
    int left;  // repetitions still to run, this one included
  };
  std::array<Frame, 8> stack{};
  int depth = 0;
  int i = 1;  // item 0 is the layout's own opening parenthesis
  bool used_since_resume = false;
  // Items walked since the last value: a layout that repeats texts or
  // positions without end is a fault of the layout, not a reason to hang.
  long idle = 0;
  constexpr long kMaxIdle = 1L << 20;
  for (;;) {
    if (++idle > kMaxIdle) throw std::logic_error("layout runs on without taking a value");
    const Item& it = layout[i];
    switch (it.op) {
      case Op::Open:
        stack[static_cast<std::size_t>(depth++)] = Frame{i, it.repeat};
        ++i;
        break;
      case Op::Close:
        if (depth == 0) {  // the end of the layout
          if (!h.has_value()) return;
          if (!used_since_resume) throw std::logic_error("layout takes no value");
          used_since_resume = false;
          h.new_record();
          i = layout.resume_at();
          break;
        }
        if (--stack[static_cast<std::size_t>(depth - 1)].left > 0) {
          i = stack[static_cast<std::size_t>(depth - 1)].open + 1;
        } else {
          --depth;
          ++i;
        }
        break;
      case Op::Skip:
        h.skip(it.width);
        ++i;
        break;
      case Op::Column:
        h.column(it.width);
        ++i;
        break;
      case Op::NewRecord:
        h.new_record();
        ++i;
        break;
      case Op::Literal:
        h.literal(layout.literal(it));
        ++i;
        break;
      case Op::NoAdvance:
        ++i;
        break;
      default:  // a data item
        for (int r = 0; r < it.repeat; ++r) {
          if (!h.has_value()) return;
          h.data(it);
          used_since_resume = true;
          idle = 0;
        }
        ++i;
        break;
    }
  }
}

}  // namespace locseq::records::detail
