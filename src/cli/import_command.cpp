#include <CLI/CLI.hpp>
#include <filesystem>
#include <sstream>

#include "cli/commands.h"
#include "cli/job_run.h"
#include "cli/job_settings.h"
#include "cli/progress.h"
#include "cli/warnings.h"
#include "core/input_error.h"
#include "files/input_file.h"
#include "files/output_plan.h"
#include "files/output_set.h"
#include "import/importer.h"

namespace locseq::cli {

namespace {

std::optional<char> delimiter_of(const std::string& text) {
  if (text.empty()) return std::nullopt;
  if (text == "," || text == ";") return text[0];
  if (text == "tab" || text == "\\t" || text == "\t") return '\t';
  throw InputError("--delimiter", 0, "expected , or ; or tab, found '" + text + "'");
}

}  // namespace

CLI::App* add_import_command(CLI::App& app, ImportCommandOptions& o) {
  CLI::App* c = app.add_subcommand(
      "import",
      "Make a job (JOB.NAQ, JOB.SEQ, JOB.names.csv, JOB.CLS and JOB.settings) from a table of the "
      "trial.");
  c->add_option("DATA", o.table,
                "The table: a header row, then one row per year, location and genotype (or, with "
                "--wide, per year and genotype or location); comma, semicolon or tab separated")
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
  c->add_option_function<std::string>(
       "--wide",
       [&o](const std::string& kind) {
         o.table_options.wide =
             kind == "location" ? import::Wide::Location : import::Wide::Genotype;
       },
       "The table has a column per location (or genotype), headed by its name, besides the year "
       "and genotype (location) columns")
      ->check(CLI::IsMember({"location", "genotype"}).description(""))
      ->type_name("location|genotype");
  c->add_option("--ignore", o.table_options.ignore,
                "With --wide: a column that holds no values, left out (repeatable)")
      ->allow_extra_args(false)
      ->type_name("COLUMN");
  c->add_option("--na", o.table_options.na,
                "A value so written is missing, besides an empty field, NA, ., - and * "
                "(repeatable; --na=-99 for a number)")
      ->allow_extra_args(false)
      ->type_name("TEXT");
  c->add_option_function<std::string>(
       "--decimal",
       [&o](const std::string& mark) {
         o.table_options.decimal =
             mark == "point" ? import::DecimalMark::Point : import::DecimalMark::Comma;
       },
       "The values' decimal mark (default: a comma in a ; table whose values have one, else a "
       "point)")
      ->check(CLI::IsMember({"point", "comma"}).description(""))
      ->type_name("point|comma");
  c->add_option_function<std::string>(
       "--encoding",
       [&o](const std::string& name) {
         o.table_options.encoding = *formats::text::encoding_named(name);
       },
       "The table's encoding, converted to UTF-8 (default: utf-8, checked)")
      ->check(CLI::Validator(
          [](const std::string& name) {
            return formats::text::encoding_named(name)
                       ? std::string()
                       : name + " is not utf-8, cp1252 (windows-1252) or latin1 (iso-8859-1)";
          },
          ""))
      ->type_name("utf-8|cp1252|latin1");
  c->add_flag("--fold-names", o.table_options.fold_names,
              "Names that differ only in letter case or inner blanks (and years that are one "
              "number) are one name, its first spelling");
  c->add_option("--replicates", o.replicates,
                "error (the default): two values for one cell is an error; mean: their mean")
      ->check(CLI::IsMember({"error", "mean"}).description(""))
      ->type_name("error|mean");
  c->add_flag("--rename", o.table_options.rename,
              "Names cut to 8 bytes that clash end in ~1, ~2, ... instead of being an error");
  c->add_flag("--no-classify", o.no_classify, "Make no JOB.CLS (and no JOB.settings)");
  c->add_flag("--force", o.classify.force, "Replace existing job files");
  add_classify_options(*c, o.classify);
  c->footer(
      "The table must be UTF-8 unless --encoding names its encoding. Names that differ only in "
      "letter case or inner blanks are a warning each, one name with --fold-names. Missing "
      "values: an empty field, NA, ., - or * (more with --na). Values: at most 3.4e38 / (4 x "
      "locations) in magnitude, so that a run's single-precision sums stay finite. The "
      "classification takes the options of classify (locseq classify --help states its rules); "
      "JOB.settings records the table, the options of the import and of the classification, and "
      "locseq run JOB takes the truncation level and the standardisation from it.\nExit status: "
      "0 done, 1 bad input or a failed write, 2 a usage error.");
  return c;
}

int import_command(ImportCommandOptions o, Streams standard) {
  ProgressDisplay display(standard, "locseq import", true);
  const Streams s = display.streams();
  JobRun job;
  return report_failures(
      s.out, s.err, job,
      [&] {
        const std::string naq = o.job + ".NAQ", seq = o.job + ".SEQ", cls = o.job + ".CLS";
        const std::string names = o.job + ".names.csv", settings = settings_name(cls);
        // Without --force no job file is replaced, not even one another
        // command makes while this one runs.
        const files::Existing existing =
            o.classify.force ? files::Existing::Replace : files::Existing::Refuse;
        files::OutputPlan plan;
        plan.input("table", o.table);
        plan.output(".NAQ", naq, existing);
        plan.output(".SEQ", seq, existing);
        plan.output("names", names, existing);
        if (!o.no_classify) {
          plan.output(".CLS", cls, existing);
          plan.output("settings", settings, existing);
        }
        plan.check();
        files::OutputSet outputs(plan, s.err);
        o.table_options.delimiter = delimiter_of(o.delimiter);
        o.table_options.replicates_mean = o.replicates == "mean";
        const import::ImportedJob imported =
            import::import_table(files::open_input(o.table).read_all(), o.table, o.table_options);
        for (const import::TableWarning& w : imported.warnings) {
          show_warning(s.err, o.table, w.line, w.message);
        }
        std::vector<std::pair<std::string, std::string>> written = {
            {naq, imported.naq}, {seq, imported.seq}, {names, imported.names_csv}};
        std::optional<ClassifyOutcome> classified;
        if (!o.no_classify) {
          std::istringstream naq_in(imported.naq), seq_in(imported.seq);
          o.classify.job = o.job;
          o.classify.method.name = std::filesystem::path(o.table).stem().string();
          classified = classify_trial(naq_in, naq, seq_in, seq, o.classify, s.err);
          written.emplace_back(cls, classified->result.cls);
          const ImportRecord record = import_record(o, imported);
          written.emplace_back(settings,
                               classification_settings(*classified, o.classify, cls, &record));
        }
        outputs.prepare();
        job.outputs = OutputStage::Prepared;
        for (std::size_t k = 0; k < written.size(); ++k) outputs.stream(k) << written[k].second;
        outputs.commit();
        job.outputs = OutputStage::Committed;
        auto counted = [](std::int32_t n, const char* what) {
          return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
        };
        s.out << "locseq: " << o.table << ": " << counted(imported.MAXY, "year") << ", "
              << counted(imported.MAXL, "location") << ", " << counted(imported.MAXG, "genotype")
              << '\n';
        for (const std::string& note : imported.notes) s.out << "locseq: " << note << '\n';
        s.out << "locseq: wrote";
        for (const auto& f : written) s.out << ' ' << f.first;
        s.out << '\n';
        if (classified) describe_classification(*classified, cls, s.out);
        return 0;
      },
      [] {});
}

}  // namespace locseq::cli
