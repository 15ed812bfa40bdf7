// The commands of the program. Each takes its options (already parsed) and
// the standard streams, and returns the exit status: 0 success; 1 bad input
// or a failed write; 3 a job refused because its work areas are too small.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "classify/classify.h"
#include "core/arrays.h"
#include "import/importer.h"

namespace CLI {
class App;
}

namespace locseq::cli {

struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  // The file descriptors `out` and `err` write, where they are the
  // process's own (-1 otherwise): where standard output goes, and whether
  // standard error is a terminal, for the progress bar.
  int out_fd = -1;
  int err_fd = -1;
};

// No command: the dialogue on the console, which names the files and
// answers the questions, with `cache_mb` MiB for the year cache. Status 0
// also for a refused job.
int dialogue_command(Streams s, std::int64_t cache_mb = 256);

struct RunOptions {
  std::string job;                     // JOB: reads JOB.CLS, JOB.NAQ, JOB.SEQ
  std::optional<std::int32_t> groups;  // -g: the truncation level
  bool standardize = false;            // -s: standardise again
  bool no_standardize = false;         // --no-standardize: do not
  std::string out;                     // -o: the prefix of the reports (JOB when empty)
  std::string tables;                  // --tables: a folder for the CSV tables
  std::string report;                  // --report: the HTML page
  std::string plots;                   // --plots: a folder for the figures
  bool quiet = false;                  // -q: nothing on standard output
  bool console = false;                // --console: the dialogue's progress lines, not the summary
  std::string areas = "fixed";         // --areas: fixed or auto
  std::int64_t cache_mb = 256;         // --cache-mb: memory for the year cache, in MiB
  std::int32_t sweep_first = 0;        // --sweep A:B: the levels A to B (0: no sweep)
  std::int32_t sweep_last = 0;
};
CLI::App* add_run_command(CLI::App& app, RunOptions& o);
int run_command(const RunOptions& o, Streams s);

struct CheckOptions {
  std::string job;
  std::optional<std::int32_t> groups;
  bool standardize = false;
  bool no_standardize = false;
  std::string areas = "fixed";
};
CLI::App* add_check_command(CLI::App& app, CheckOptions& o);
int check_command(const CheckOptions& o, Streams s);

struct ClassifyCommandOptions {
  std::string job;                   // JOB: reads JOB.NAQ and JOB.SEQ
  std::string cls;                   // --cls: the file to write (JOB.CLS when empty)
  std::string size;                  // --size Y,L,G
  std::string sed = "centred";       // --sed: centred or standardized
  bool force = false;                // --force: replace an existing file
  classify::ClassifyOptions method;  // the rest of the method's options
};
CLI::App* add_classify_command(CLI::App& app, ClassifyCommandOptions& o);
// The options of the method, shared with import.
void add_classify_options(CLI::App& app, ClassifyCommandOptions& o);
int classify_command(const ClassifyCommandOptions& o, Streams s);

// A classification and the year names its summary shows.
struct ClassifyOutcome {
  classify::ClassifyResult result;
  std::vector<Name8> year_names;
};
// Reads the trial from .NAQ and .SEQ and classifies it; its warnings go to
// `err`. Throws InputError.
ClassifyOutcome classify_trial(std::istream& naq, const std::string& naq_name, std::istream& seq,
                               const std::string& seq_name, const ClassifyCommandOptions& o,
                               std::ostream& err);
// The summary of a classification written to `cls`: its steps and counts.
void describe_classification(const ClassifyOutcome& c, const std::string& cls, std::ostream& out);

struct ImportCommandOptions {
  std::string table;                    // DATA.csv
  std::string job;                      // JOB: writes JOB.NAQ, JOB.SEQ, JOB.names.csv, JOB.CLS
  std::string delimiter;                // --delimiter: , ; or tab (detected when empty)
  std::string replicates = "error";     // --replicates: error or mean
  bool no_classify = false;             // --no-classify: no JOB.CLS
  import::ImportOptions table_options;  // the columns, --rename
  ClassifyCommandOptions classify;      // the classification's options; force
};
CLI::App* add_import_command(CLI::App& app, ImportCommandOptions& o);
int import_command(ImportCommandOptions o, Streams s);

// The whole command line: the dialogue without arguments, else one
// command; usage errors give status 2.
int main(int argc, const char* const* argv, Streams s);

}  // namespace locseq::cli
