#include <CLI/CLI.hpp>
#include <filesystem>
#include <iomanip>
#include <sstream>

#include "classify/classify.h"
#include "cli/commands.h"
#include "cli/job_run.h"
#include "cli/job_settings.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "cli/warnings.h"
#include "core/input_error.h"
#include "files/input_file.h"
#include "files/output_plan.h"
#include "files/output_set.h"
#include "formats/cls.h"
#include "records/record_reader.h"

namespace locseq::cli {

namespace {

// Y,L,G for --size.
classify::Sizes parse_size(const std::string& text) {
  std::array<std::int32_t, 3> size{};
  std::istringstream in(text);
  char comma1 = 0, comma2 = 0;
  if (!(in >> size[0] >> comma1 >> size[1] >> comma2 >> size[2]) || comma1 != ',' ||
      comma2 != ',' || !in.eof()) {
    throw InputError("--size", 0, "expected three whole numbers Y,L,G, found '" + text + "'");
  }
  return size;
}

// The sizes in the head of an existing .CLS, if it has a readable head.
classify::Sizes sizes_of_cls(const std::string& name) {
  const auto in = files::open_optional_input(name);
  if (!in) return std::nullopt;
  // Read in full first: a file that cannot be read is an error, a head
  // that cannot be parsed only gives no sizes.
  std::istringstream text(in->read_all());
  try {
    records::FileReader cls(text, name);
    const formats::cls::Head head = formats::cls::read_head(cls);
    return std::array<std::int32_t, 3>{head.MAXY, head.MAXL, head.MAXG};
  } catch (const InputError&) {
    return std::nullopt;
  }
}

}  // namespace

void add_classify_options(CLI::App& app, ClassifyCommandOptions& o) {
  app.add_option("--first-year", o.method.first_year,
                 "The first year of the sequence (IYS): a year number or a year name (default: "
                 "the first year; pairwise, the first year whose step alone can be cut)")
      ->type_name("YEAR");
  app.add_option("--last-year", o.method.last_year,
                 "The last year of the sequence (IYF), likewise (default: the last year)")
      ->type_name("YEAR");
  app.add_option_function<std::string>(
         "--proximity",
         [&o](const std::string& rule) {
           o.method.proximity =
               rule == "complete" ? classify::Proximity::complete : classify::Proximity::pairwise;
         },
         "pairwise (the default): each two locations compared over the cells they share; "
         "complete: all retained locations over the cells they all share, and a location "
         "retained only when present in every year of the window")
      ->check(CLI::IsMember({"pairwise", "complete"}).description(""))
      ->type_name("pairwise|complete");
  app.add_option("--min-share", o.method.min_share,
                 "A location is present in a year when it has values for at least this share of "
                 "the genotypes observed that year")
      ->type_name("SHARE")
      ->default_str("0.8");
  app.add_option("--min-years", o.method.min_years,
                 "Pairwise: a location is a candidate when present in at least this share of the "
                 "window's years with data (rounded up, at least one year)")
      ->type_name("SHARE")
      ->default_str("0.5");
  app.add_option("--min-cells", o.method.min_cells,
                 "Pairwise: the fewest cells (a year and genotype where both have a value) every "
                 "two retained locations must share")
      ->type_name("N")
      ->default_str("10");
  app.add_option("--sed", o.sed,
                 "centred (the default): distances on location-centred data; standardized: "
                 "on location-standardised data")
      ->check(CLI::IsMember({"centred", "standardized"}).description(""))
      ->type_name("centred|standardized");
  add_groups_option(app, o.method.groups,
                    "The truncation level the job will be run with (default: the square-root "
                    "rule); the sequence ends at the last step a run can cut at it");
  app.add_option("--title", o.method.title,
                 "The job title, at most 50 columns (default: the name of the job, or of the "
                 "table without its extension, the seasons and the proximity, as in 'wheat: 6 "
                 "seasons, pairwise Ward')")
      ->type_name("TEXT");
}

// The method in brief, with a worked example; the README says it in full.
const char* const kMethodHelp =
    "Step k of the sequence uses the data years first-year to first-year + k - 1 (its window). "
    "A location is present in a year when it has values for at least --min-share of the "
    "genotypes observed that year.\n"
    "pairwise: a location is a candidate when present in at least --min-years of the window's "
    "years with data; while two candidates share fewer than --min-cells cells (a year and "
    "genotype where both have a value), the candidate in the most such short pairs is eliminated "
    "(ties: fewer values in the window, then the higher location number). Two retained "
    "locations sharing c cells are at the squared distance d2 = (N / c) x the sum of their c "
    "squared differences, N the cells with a value at some retained location. Ward's method "
    "joins the retained locations, from d2 / 2.\n"
    "  Example: a window of 3 years with data and --min-years 0.5 keeps a location present in "
    "2 of them (2/3 >= 0.5), so one that missed a season stays; two locations sharing 80 of "
    "N = 100 cells, with 40 as the sum of their squared differences, are at d2 = 100/80 x 40 = "
    "50.\n"
    "complete: a location is retained when present in every year of the window with data; the "
    "distances run over the genotypes present at every retained location.\n"
    "A location with no value in the window is left out (entry 2), any other not retained is "
    "eliminated (entry 0) for the run to allocate. Without --first-year a pairwise sequence "
    "starts at the first year whose step alone can be cut, with a note.\n\n";

CLI::App* add_classify_command(CLI::App& app, ClassifyCommandOptions& o) {
  CLI::App* c = app.add_subcommand(
      "classify",
      "Write the classification JOB.CLS (Ward's method, step by step) from JOB.NAQ and JOB.SEQ.");
  c->add_option("JOB", o.job,
                "The job: reads JOB.NAQ and JOB.SEQ, writes JOB.CLS and its settings, "
                "JOB.settings")
      ->required();
  not_empty(c->add_option("--cls", o.cls,
                          "Write the classification to FILE instead of JOB.CLS, and its settings "
                          "beside it (two.CLS: two.settings)")
                ->type_name("FILE"));
  c->add_option("--size", o.size,
                "The numbers of years, locations and genotypes, when JOB.NAQ was not written by "
                "'locseq import' and no JOB.CLS holds them")
      ->type_name("Y,L,G");
  c->add_flag("--force", o.force, "Replace an existing classification file and its settings");
  add_classify_options(*c, o);
  c->footer(std::string(kMethodHelp) +
            "The settings file records the options, resolved (key = value lines); locseq run JOB "
            "takes the truncation level and the standardisation from it unless given -g, -s or "
            "--no-standardize.\nExit status: 0 done, 1 bad input or a failed write, 2 a usage "
            "error.");
  return c;
}

ClassifyOutcome classify_trial(std::istream& naq, const std::string& naq_name, std::istream& seq,
                               const std::string& seq_name, const ClassifyCommandOptions& o,
                               std::ostream& err) {
  classify::ClassifyOptions method = o.method;
  method.standardized = o.sed == "standardized";
  if (method.name.empty()) method.name = std::filesystem::path(o.job).filename().string();
  const classify::Sizes size = o.size.empty() ? std::nullopt : parse_size(o.size);
  const classify::Sizes fallback = sizes_of_cls(o.job + ".CLS");
  RunWarnings warnings(err);
  const classify::Trial trial =
      classify::load_trial(naq, naq_name, seq, seq_name, size, fallback, &warnings);
  warnings.summary();
  ClassifyOutcome out{classify::classify(trial, method), trial.YearNames};
  for (const std::string& w : out.result.warnings) show_warning(err, seq_name, 0, w);
  for (const std::string& n : out.result.notes)
    err << "locseq: " << seq_name << ": note: " << n << '\n';
  return out;
}

void describe_classification(const ClassifyOutcome& c, const std::string& cls, std::ostream& out) {
  const classify::ClassifyResult& r = c.result;
  out << "locseq: " << cls << ": " << r.steps.size() << " step" << (r.steps.size() == 1 ? "" : "s")
      << ", data years " << r.IYS << " to " << r.IYF << ", cut into " << r.level << " groups\n";
  out << "  step  year      retained  eliminated  left out\n";
  for (const classify::StepCounts& s : r.steps) {
    const Name8& name = c.year_names[static_cast<std::size_t>(s.year - 1)];
    out << std::setw(6) << s.step << "  " << std::string(name.data(), name.size()) << std::setw(10)
        << s.retained << std::setw(12) << s.eliminated << std::setw(10) << s.left_out << '\n';
  }
}

int classify_command(const ClassifyCommandOptions& o, Streams standard) {
  ProgressDisplay display(standard, "locseq classify", true);
  const Streams s = display.streams();
  const std::string cls = o.cls.empty() ? o.job + ".CLS" : o.cls;
  JobRun job;
  return report_failures(
      s.out, s.err, job,
      [&] {
        const std::string naq_name = o.job + ".NAQ", seq_name = o.job + ".SEQ";
        files::OutputPlan plan;
        plan.input(".NAQ", naq_name);
        plan.input(".SEQ", seq_name);
        const files::Existing existing =
            o.force ? files::Existing::Replace : files::Existing::Refuse;
        plan.output(".CLS", cls, existing);
        plan.output("settings", settings_name(cls), existing);
        plan.check();
        files::OutputSet outputs(plan, s.err);
        files::InputFile naq = files::open_input(naq_name), seq = files::open_input(seq_name);
        const ClassifyOutcome c =
            classify_trial(naq.stream(), naq_name, seq.stream(), seq_name, o, s.err);
        outputs.prepare();
        job.outputs = OutputStage::Prepared;
        outputs.stream(std::size_t{0}) << c.result.cls;
        outputs.stream(std::size_t{1}) << classification_settings(c, o, cls, nullptr);
        outputs.commit();
        job.outputs = OutputStage::Committed;
        describe_classification(c, cls, s.out);
        return 0;
      },
      [] {});
}

}  // namespace locseq::cli
