#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "cli/job_files.h"
#include "cli/job_run.h"
#include "core/input_error.h"

namespace locseq::cli {

namespace {

std::optional<char> delimiter_of(const std::string& text) {
  if (text.empty()) return std::nullopt;
  if (text == "," || text == ";") return text[0];
  if (text == "tab" || text == "\\t" || text == "\t") return '\t';
  throw InputError("--delimiter", 0, "expected , or ; or tab, found '" + text + "'");
}

std::string read_whole(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in.is_open()) throw InputError(name, 0, "cannot open the table");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) throw InputError(name, 0, "cannot read the table");
  return bytes.str();
}

}  // namespace

CLI::App* add_import_command(CLI::App& app, ImportCommandOptions& o) {
  CLI::App* c = app.add_subcommand(
      "import",
      "Make a job (JOB.NAQ, JOB.SEQ, JOB.names.csv and JOB.CLS) from a long table of the trial.");
  c->add_option("DATA", o.table,
                "The table: a header row, then one row per year, location and genotype; comma, "
                "semicolon or tab separated")
      ->required();
  c->add_option("JOB", o.job, "The job to make")->required();
  c->add_option("--delimiter", o.delimiter, "The field separator (default: found in the header)")
      ->type_name(",|;|tab");
  c->add_option("--year", o.table_options.year_column,
                "The year column (default: the column named year or season)")
      ->type_name("COLUMN");
  c->add_option("--location", o.table_options.location_column,
                "The location column (default: location, loc or site)")
      ->type_name("COLUMN");
  c->add_option("--genotype", o.table_options.genotype_column,
                "The genotype column (default: genotype, gen, entry, variety or cultivar)")
      ->type_name("COLUMN");
  c->add_option("--value", o.table_options.value_column,
                "The value column (default: value or yield)")
      ->type_name("COLUMN");
  c->add_option("--replicates", o.replicates,
                "error (the default): two values for one cell is an error; mean: their mean")
      ->check(CLI::IsMember({"error", "mean"}).description(""))
      ->type_name("error|mean");
  c->add_flag("--rename", o.table_options.rename,
              "Names cut to 8 bytes that clash end in ~1, ~2, ... instead of being an error");
  c->add_flag("--no-classify", o.no_classify, "Make no JOB.CLS");
  c->add_flag("--force", o.classify.force, "Replace existing job files");
  add_classify_options(*c, o.classify);
  c->footer(
      "Missing values: an empty field, NA, ., - or *. Values: at most 3.4e38 / (4 x locations) in "
      "magnitude, so that a run's single-precision sums stay finite. Then: locseq run JOB [-g "
      "N].\nExit status: 0 done, 1 bad input or a failed write, 2 a usage error.");
  return c;
}

int import_command(ImportCommandOptions o, Streams s) {
  JobRun none;
  return report_failures(
      s.out, s.err, none,
      [&] {
        const std::string naq = o.job + ".NAQ", seq = o.job + ".SEQ", cls = o.job + ".CLS";
        const std::string names = o.job + ".names.csv";
        refuse_existing({naq, seq, names, cls}, o.classify.force);
        o.table_options.delimiter = delimiter_of(o.delimiter);
        o.table_options.replicates_mean = o.replicates == "mean";
        const import::ImportedJob job =
            import::import_table(read_whole(o.table), o.table, o.table_options);
        std::vector<std::pair<std::string, std::string>> files = {
            {naq, job.naq}, {seq, job.seq}, {names, job.names_csv}};
        std::optional<ClassifyOutcome> classified;
        if (!o.no_classify) {
          std::istringstream naq_in(job.naq), seq_in(job.seq);
          o.classify.job = o.job;
          classified = classify_trial(naq_in, naq, seq_in, seq, o.classify, s.err);
          files.emplace_back(cls, classified->result.cls);
        }
        refuse_coinciding_names({{"table", o.table}, {".NAQ", naq}, {".SEQ", seq}});
        write_new_files(files, o.classify.force);
        auto counted = [](std::int32_t n, const char* what) {
          return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
        };
        s.out << "locseq: " << o.table << ": " << counted(job.MAXY, "year") << ", "
              << counted(job.MAXL, "location") << ", " << counted(job.MAXG, "genotype") << '\n';
        for (const std::string& note : job.notes) s.out << "locseq: " << note << '\n';
        s.out << "locseq: wrote";
        for (const auto& f : files) s.out << ' ' << f.first;
        s.out << '\n';
        if (classified) describe_classification(*classified, cls, s.out);
        return 0;
      },
      [] {});
}

}  // namespace locseq::cli
