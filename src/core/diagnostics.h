// Warnings: input that the run reads as specified, but that is probably not
// what the analyst meant. They never change a report; whoever runs the
// analysis decides how to show them.
#pragma once

#include <cstddef>
#include <string>

namespace locseq {

// The kinds of warning, each counted on its own.
enum class Warning : unsigned char {
  ByteOrderMark,    // a UTF-8 byte-order mark at the start of an input
  ExtraNumbers,     // a .SEQ line with more than four numbers
  OutOfOrder,       // a .SEQ record of a lower year than a record before it
  NoLineEnd,        // a .SEQ that ends in the middle of a line
  OptionColumns,    // letters outside the option columns of the options line
  LongName,         // a .NAQ name longer than 8 characters
  CoincidingNames,  // two names of one kind that are the same in 8 characters
  EmptyBlock,       // a block whose data years hold no observation
  OutsideRange,     // .SEQ numbers outside the run's range, in years no block reads
  ExtraNames,       // .NAQ lines beyond the names the counts ask for
  ShortLastRecord,  // a last .SEQ record with fewer than four numbers (the end of the data)
  SweepLevel,       // a truncation level of the sweep that a block cannot be cut at
};
inline constexpr std::size_t kWarningKinds = 12;

// Receives warnings. `line` is 0 when the warning names no line.
class Diagnostics {
 public:
  virtual ~Diagnostics() = default;
  virtual void warn(Warning kind, const std::string& file, long line,
                    const std::string& message) = 0;
};

}  // namespace locseq
