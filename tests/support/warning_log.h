// Warnings kept as text, for the tests of the readers that report them.
#pragma once

#include <array>
#include <string>

#include "core/diagnostics.h"

namespace locseq::testing {

// Every warning as "FILE:LINE Kind; ", in the order they came.
class WarningLog final : public Diagnostics {
 public:
  void warn(Warning kind, const std::string& file, long line, const std::string& message) override {
    static constexpr std::array<const char*, kWarningKinds> kNames = {
        "ByteOrderMark", "ExtraNumbers", "OutOfOrder",      "NoLineEnd",
        "OptionColumns", "LongName",     "CoincidingNames", "EmptyBlock",
        "OutsideRange",  "ExtraNames",   "ShortLastRecord", "SweepLevel"};
    text += file + ":" + std::to_string(line) + " " + kNames[static_cast<std::size_t>(kind)] + "; ";
    messages += message + "\n";
  }
  std::string text;      // where and what kind
  std::string messages;  // their messages, a line each
};

}  // namespace locseq::testing
