// The console and the six files of a job, as the analysis reads and writes
// them; the prompts, the answers and the progress lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/record_reader.h"
#include "records/record_writer.h"

namespace locseq {

struct Units {
  records::Unit& console;    // standard output
  records::FileReader& cls;  // unit 20: classification and control
  records::FileReader& naq;  // unit 21: names of years, locations, genotypes
  records::FileReader& seq;  // unit 22: observations
  records::Unit& sco;        // unit 23: full report
  records::Unit& cos;        // unit 24: control records and results
  records::Unit& alc;        // unit 25: allocations
};

// Writes a progress line to the console and then to .SCO.
void progress(Units& u, std::string_view text);

// Writes formatted records to the console and then to .SCO.
void to_console_and_sco(Units& u, const std::string& records);

// Writes a prompt (no line end) to the console.
void prompt(records::Unit& console, std::string_view text);

// Reads one answer: the first n characters of the next console line, padded
// with blanks. Throws InputError at the end of console input.
std::string read_answer(records::ConsoleReader& console_in, std::size_t n,
                        std::string_view question);

// The questions a run asks after the file names: on the console in the
// dialogue, answered beforehand on the command line.
class Questions {
 public:
  virtual ~Questions() = default;
  // The truncation level: none for the square-root rule, else the level
  // asked for (not yet checked against the job).
  virtual std::optional<std::int32_t> truncation_level() = 0;
  // Throws InputError for a truncation level the job cannot take, naming
  // where it came from.
  [[noreturn]] virtual void refuse_level(const std::string& message) const = 0;
  // Whether to standardise again; asked only of standardised data.
  virtual bool standardise_again() = 0;
};

// The questions asked on the console.
class DialogueQuestions final : public Questions {
 public:
  DialogueQuestions(records::ConsoleReader& in, records::Unit& console)
      : in_(in), console_(console) {}
  std::optional<std::int32_t> truncation_level() override;
  [[noreturn]] void refuse_level(const std::string& message) const override;
  bool standardise_again() override;

 private:
  records::ConsoleReader& in_;
  records::Unit& console_;
};

// Answers given beforehand: nothing is read, and the console shows what
// the dialogue would, without its prompts.
class PresetAnswers final : public Questions {
 public:
  PresetAnswers(std::optional<std::int32_t> level, bool standardise, records::Unit& console)
      : level_(level), standardise_(standardise), console_(console) {}
  std::optional<std::int32_t> truncation_level() override;
  [[noreturn]] void refuse_level(const std::string& message) const override;
  bool standardise_again() override;

 private:
  std::optional<std::int32_t> level_;
  bool standardise_;
  records::Unit& console_;
};

}  // namespace locseq
