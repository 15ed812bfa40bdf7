#include "cli/job_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <sstream>

#include "cli/warnings.h"
#include "files/input_file.h"
#include "formats/cls.h"
#include "import/recorded_options.h"
#include "records/record_reader.h"
#include "setup/run_setup.h"

#ifndef LOCSEQ_VERSION
#define LOCSEQ_VERSION "0.0.0"
#endif

namespace locseq::cli {

namespace fs = std::filesystem;
namespace st = formats::settings;

namespace {

std::string number_text(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string trimmed(const Name8& name) {
  std::string_view s(name.data(), name.size());
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return std::string(s);
}

std::string delimiter_text(char delimiter) {
  return delimiter == '\t' ? "tab" : std::string(1, delimiter);
}

// The counts of a block, as the run's cut needs them.
struct BlockCounts {
  std::int32_t step = 0;
  long line = 0;  // of its retained count, where the run refuses it
  std::int32_t retained = 0;
  std::int32_t eliminated = 0;
};

struct ClsCounts {
  std::int32_t MAXL = 0;  // 0: the head could not be read
  char SEDTYP = 0;        // 0: the options record could not be read
  std::vector<BlockCounts> blocks;
};

// The most locations whose blocks are counted beforehand; a larger head is
// left to the run (which refuses it for its work areas or reads it).
constexpr std::int32_t kMostCounted = std::int32_t{1} << 22;

// The blocks of `cls` with their counts, up to the first that cannot be
// read or would be refused for anything but its level: what follows is
// left to the run, which says what is wrong with it.
ClsCounts count_blocks(const std::string& cls) {
  ClsCounts out;
  // Read in full first: a file that cannot be read is an error, one that
  // cannot be parsed is the run's to say.
  std::istringstream text(files::open_input(cls).read_all());
  records::FileReader r(text, cls);
  try {
    const formats::cls::Head head = formats::cls::read_head(r);
    if (head.MAXL > kMostCounted) return out;
    out.MAXL = head.MAXL;
    formats::cls::read_title(r);
    out.SEDTYP = formats::cls::read_options(r)[2];
    formats::cls::read_sequence_years(r);
    std::vector<std::int32_t> entries(static_cast<std::size_t>(head.MAXL));
    formats::cls::BlockHeader header;
    for (std::int32_t k = 1; formats::cls::read_block_header(r, header); ++k) {
      BlockCounts b{k, 0, formats::cls::read_retained_count(r, k), 0};
      b.line = r.line();
      formats::cls::read_elimination_vector(r, entries, k);
      std::int32_t ones = 0;
      for (std::int32_t e : entries) {
        ones += e == 1;
        b.eliminated += e == 0;
      }
      if (b.retained < 1 || b.retained != ones) break;
      out.blocks.push_back(b);
      for (std::int32_t h = 1; h < b.retained; ++h) {
        formats::cls::read_hierarchy_record(r, k, h, b.retained - 1);
      }
    }
  } catch (const InputError&) {  // the run meets it and says it
  }
  return out;
}

// The largest level that cuts every block of `c`, or 0.
std::int32_t largest_level(const ClsCounts& c) {
  std::int32_t level = c.MAXL;
  for (const BlockCounts& b : c.blocks) {
    level = std::min({level, b.retained - 1, c.MAXL - b.eliminated});
  }
  return std::max(level, 0);
}

// The first block that `level` cannot cut, as the refusal of the run.
std::optional<InputError> refusal_of(const std::string& cls, const ClsCounts& c, std::int32_t level,
                                     const std::string& source, const std::string& classified) {
  for (const BlockCounts& b : c.blocks) {
    if (b.retained > level && b.eliminated <= c.MAXL - level) continue;
    std::string text = "block " + std::to_string(b.step) + " retains " +
                       std::to_string(b.retained) + " and eliminates " +
                       std::to_string(b.eliminated) + " locations: it cannot be cut into " +
                       std::to_string(level) + " groups (" + source +
                       "), as a run cuts a block only when it retains more locations than groups";
    if (!classified.empty()) text += "; " + cls + " was classified for " + classified;
    const std::int32_t largest = largest_level(c);
    if (largest >= 1) {
      text += "; -g " + std::to_string(largest) + (largest > 1 ? " or lower" : "") +
              " cuts every block";
    }
    return InputError(cls, b.line, text);
  }
  return std::nullopt;
}

}  // namespace

std::string settings_name(const std::string& cls) {
  return fs::path(cls).replace_extension(".settings").string();
}

std::string classification_settings(const ClassifyOutcome& c, const ClassifyCommandOptions& o,
                                    const std::string& cls, const ImportRecord* import) {
  const std::string version = LOCSEQ_VERSION;
  const classify::ClassifyResult& r = c.result;
  const classify::ClassifyOptions& m = o.method;
  const bool pairwise = m.proximity == classify::Proximity::pairwise;
  const auto year = [&](const char* key, std::int32_t y) {
    return st::Setting{key, std::to_string(y),
                       trimmed(c.year_names[static_cast<std::size_t>(y - 1)])};
  };
  st::Section method{"The classification (locseq classify --help says what each means)", {}};
  method.settings = {
      {"groups", std::to_string(r.level), m.groups ? "" : "the square-root rule"},
      {"standardize", std::string(st::yes_no(o.sed == "standardized"))},
      {"proximity", pairwise ? "pairwise" : "complete"},
      {"min_share", number_text(m.min_share)},
  };
  if (pairwise) {
    method.settings.push_back({"min_years", number_text(m.min_years)});
    method.settings.push_back({"min_cells", std::to_string(m.min_cells)});
  }
  method.settings.push_back(year("first_year", r.IYS));
  method.settings.push_back(year("last_year", r.IYF));
  std::vector<st::Section> sections = {{"", {{"version", version}}}, method};
  if (import) {
    st::Section table{"The import: the table and how it was read", {{"table", import->table}}};
    table.settings.insert(table.settings.end(), import->options.begin(), import->options.end());
    sections.push_back(table);
  }
  return st::write(
      {"How " + fs::path(cls).filename().string() + " was classified, written with it by locseq " +
           version + ".",
       "locseq run and check take groups and standardize from here when the command line",
       "gives no -g, -s or --no-standardize.",
       "Lines are KEY = VALUE; # starts a comment; a value in double quotes may hold any",
       "text, with \\\" \\\\ \\t \\n \\r and \\xHH for a byte."},
      sections);
}

ImportRecord import_record(const ImportCommandOptions& o, const import::ImportedJob& imported) {
  ImportRecord record{o.table, {}};
  auto& options = record.options;
  options.push_back({"delimiter", delimiter_text(imported.delimiter)});
  // A wide table has no column for the kind its value columns name.
  constexpr std::array<const char*, 4> kColumnKeys = {"year_column", "location_column",
                                                      "genotype_column", "value_column"};
  for (std::size_t r = 0; r < kColumnKeys.size(); ++r) {
    if (!imported.columns[r].empty()) options.push_back({kColumnKeys[r], imported.columns[r]});
  }
  options.push_back({"rename", std::string(st::yes_no(o.table_options.rename))});
  import::ImportOptions read_with = o.table_options;
  read_with.replicates_mean = o.replicates == "mean";
  for (auto& [key, value] : import::recorded_options(read_with)) {
    options.push_back({std::move(key), std::move(value)});
  }
  return record;
}

GivenSettings given_settings(std::optional<std::int32_t> groups, bool standardize,
                             bool no_standardize) {
  GivenSettings given{groups, std::nullopt};
  if (standardize || no_standardize) given.standardise = standardize;
  return given;
}

JobSettings settle_settings(const std::string& cls, const GivenSettings& given, std::ostream& err) {
  JobSettings out;
  out.groups = given.groups;
  out.standardise = given.standardise.value_or(false);
  const std::string name = settings_name(cls);
  const std::unique_ptr<files::InputFile> in = files::open_optional_input(name);
  if (!in) return out;
  out.file = name;
  const st::File file = st::read(in->read_all(), name);
  for (const st::File::Warning& w : file.warnings) {
    show_warning(err, name, w.line, w.message);
    ++out.warnings;
  }
  const st::RunSettings s = st::run_settings(file, name);
  const ClsCounts counts = count_blocks(cls);

  // What was taken, and of it what a run without the settings would not
  // have done, with the option that says otherwise.
  std::vector<std::string> taken, differs, change;
  if (s.groups && counts.MAXL > 0 && *s.groups > counts.MAXL) {
    throw InputError(name, s.groups_line,
                     "groups = " + std::to_string(*s.groups) + " is above MAXL (" +
                         std::to_string(counts.MAXL) + ") of " + cls +
                         ": the settings are not those of this classification");
  }
  if (!given.groups && s.groups) {
    out.groups = s.groups;
    out.groups_line = s.groups_line;
    taken.push_back("groups " + std::to_string(*s.groups));
    if (counts.MAXL == 0 || *s.groups != square_root_rule(counts.MAXL)) {
      differs.push_back(taken.back());
      change.push_back("-g N");
    }
  }
  if (!given.standardise && s.standardize) {
    out.standardise = *s.standardize;
    if (counts.SEDTYP == 'S') {
      taken.push_back("standardize " + std::string(st::yes_no(*s.standardize)));
      if (*s.standardize) {
        differs.push_back(taken.back());
        change.push_back("--no-standardize");
      }
    } else if (*s.standardize && counts.SEDTYP != 0) {
      show_warning(err, name, s.standardize_line,
                   "standardize = yes, but " + cls + " holds centred data (SEDTYP '" +
                       std::string(1, counts.SEDTYP) +
                       "'): there is nothing to standardise again; were the settings made with "
                       "another classification?");
      ++out.warnings;
    }
  }
  if (counts.MAXL > 0) {
    const std::int32_t level = out.groups.value_or(square_root_rule(counts.MAXL));
    const std::string source = given.groups      ? "-g " + std::to_string(level)
                               : out.groups_line ? "groups = " + std::to_string(level) + " in " +
                                                       name + ":" + std::to_string(out.groups_line)
                                                 : "the square-root rule";
    const std::string classified = s.groups && given.groups
                                       ? std::to_string(*s.groups) + " groups (" + name + ":" +
                                             std::to_string(s.groups_line) + ")"
                                       : "";
    out.refusal = refusal_of(cls, counts, level, source, classified);
  }
  const auto both = [](const std::vector<std::string>& items, const char* joint) {
    return items.size() == 1 ? items[0] : items[0] + joint + items[1];
  };
  if (!taken.empty()) out.taken = both(taken, " and ");
  if (!differs.empty()) {
    err << "locseq: " << name << ": note: " << both(differs, " and ") << ", as classified ("
        << both(change, " or ") << " to change)\n";
  }
  return out;
}

void SettingsInput::plan(files::OutputPlan& plan) const {
  plan.input("settings", settings_name(cls_));
}

void SettingsInput::read() {
  settled_ = settle_settings(cls_, given_, err_);
  if (settled_.refusal) throw *settled_.refusal;
}

PresetAnswers SettledAnswers::preset() const {
  const JobSettings& s = settings_.settled();
  return PresetAnswers(s.groups, s.standardise, console_);
}

std::optional<std::int32_t> SettledAnswers::truncation_level() {
  return preset().truncation_level();
}

bool SettledAnswers::standardise_again() {
  return preset().standardise_again();
}

void SettledAnswers::refuse_level(const std::string& message) const {
  const JobSettings& s = settings_.settled();
  if (s.groups_line > 0) throw InputError(s.file, s.groups_line, message);
  preset().refuse_level(message);
}

}  // namespace locseq::cli
