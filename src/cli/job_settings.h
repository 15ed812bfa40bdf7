// The settings file of a classification (formats/settings.h): written by
// classify and import beside each .CLS, read by run and check for the
// truncation level and the standardisation when the command line does not
// give them.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/job_run.h"
#include "console/console.h"
#include "core/input_error.h"
#include "formats/settings.h"

namespace locseq::cli {

// The settings file of the classification `cls`: its name with the
// extension .settings (JOB.CLS -> JOB.settings, two.CLS -> two.settings).
std::string settings_name(const std::string& cls);

// What an import adds to the settings: the table, and the options it was
// read with as key/value pairs in the order written, each key one of
// formats::settings::kKeys.
struct ImportRecord {
  std::string table;
  std::vector<formats::settings::Setting> options;
};

// The import's part of the settings: the table and the options read with
// it, resolved (the delimiter and the columns found).
ImportRecord import_record(const ImportCommandOptions& o, const import::ImportedJob& imported);

// The settings file of the classification `c` made with `o` and written to
// `cls`, with the program's version; with the import's section when
// `import` is given.
std::string classification_settings(const ClassifyOutcome& c, const ClassifyCommandOptions& o,
                                    const std::string& cls, const ImportRecord* import);

// The truncation level and the standardisation as the command line gives
// them (none: not given).
struct GivenSettings {
  std::optional<std::int32_t> groups;  // -g
  std::optional<bool> standardise;     // -s or --no-standardize
};

// As -g, -s and --no-standardize give them.
GivenSettings given_settings(std::optional<std::int32_t> groups, bool standardize,
                             bool no_standardize);

// What a run (or a check) of a .CLS gets.
struct JobSettings {
  std::optional<std::int32_t> groups;  // the truncation level; none: the square-root rule
  bool standardise = false;            // standardise again
  std::string file;                    // the settings file read; empty when there is none
  long groups_line = 0;                // the line of its groups, when the level came from it
  std::string taken;  // what was taken from it, "groups 2 and standardize yes"; empty: nothing
  // A block the level cannot cut, as the run would fail at it (naming the
  // .CLS and the block's line), said before the run starts.
  std::optional<InputError> refusal;
  std::size_t warnings = 0;  // warnings shown about the file
};

// Reads the settings file of `cls` when there is one, and settles the
// level and the standardisation: the command line's, else the file's. Says
// on `err` what it took that a run without the file would not have done
// (one note), and the warnings about the file (unknown keys; standardize =
// yes for a .CLS of centred data). With a settings file, the blocks of
// `cls` are read for their counts, and the first that cannot be cut at the
// level is the refusal (a .CLS whose blocks cannot be read is left for the
// run to refuse). Without a settings file, nothing is said and the command
// line's values stand. Throws InputError for a settings file that cannot
// be read or is malformed, and for a groups it gives above MAXL.
JobSettings settle_settings(const std::string& cls, const GivenSettings& given, std::ostream& err);

// The settings of the .CLS a run reads, an optional input of its plan,
// settled (and said) once the plan is checked, before any output is
// prepared; a level that cannot cut the blocks is refused then.
class SettingsInput final : public RunWriter {
 public:
  SettingsInput(std::string cls, GivenSettings given, std::ostream& err)
      : cls_(std::move(cls)), given_(given), err_(err) {}
  void plan(files::OutputPlan& plan) const override;
  void read() override;
  void attach(const std::vector<std::ostream*>&) override {}
  const JobSettings& settled() const { return settled_; }

 private:
  std::string cls_;
  GivenSettings given_;
  std::ostream& err_;
  JobSettings settled_;
};

// The run's answers: those of the command line, completed from the
// settings once they are settled. A level out of range names the file it
// came from.
class SettledAnswers final : public Questions {
 public:
  SettledAnswers(const SettingsInput& settings, records::Unit& console)
      : settings_(settings), console_(console) {}
  std::optional<std::int32_t> truncation_level() override;
  [[noreturn]] void refuse_level(const std::string& message) const override;
  bool standardise_again() override;

 private:
  PresetAnswers preset() const;
  const SettingsInput& settings_;
  records::Unit& console_;
};

}  // namespace locseq::cli
