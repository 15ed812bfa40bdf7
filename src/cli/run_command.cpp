#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli/commands.h"
#include "cli/job_run.h"
#include "cli/options.h"
#include "cli/run_writers.h"
#include "cli/warnings.h"
#include "core/input_error.h"
#include "records/null_stream.h"

namespace locseq::cli {

namespace {

// The options that decide the results, as the page shows them.
std::string options_text(const RunOptions& o) {
  std::string text = o.groups ? "-g " + std::to_string(*o.groups) : "-g by the square-root rule";
  if (o.standardize) text += ", -s";
  return text + ", --areas " + o.areas;
}

}  // namespace

CLI::App* add_run_command(CLI::App& app, RunOptions& o) {
  CLI::App* run = app.add_subcommand(
      "run", "Run the analysis of a job without questions, writing its reports (and tables).");
  run->add_option("JOB", o.job, "The job: reads JOB.CLS, JOB.NAQ and JOB.SEQ")->required();
  add_groups_option(*run, o.groups,
                    "The truncation level NGP, the number of groups (default: the square-root "
                    "rule, the smallest whole number whose square is at least MAXL)");
  run->add_flag("-s,--standardize", o.standardize,
                "Standardise the data again (answers yes to 'Standardize again?'; only data "
                "classified on standardised values, SEDTYP S, are asked)");
  not_empty(
      run->add_option("-o,--out", o.out,
                      "Write the reports as PREFIX.SCO, PREFIX.COS and PREFIX.ALC (default: JOB)")
          ->type_name("PREFIX"));
  not_empty(
      run->add_option("--tables", o.tables,
                      "Also write the results as CSV tables into DIR (made if missing): steps.csv, "
                      "fit_by_year.csv, groups.csv, distances.csv, membership.csv (and "
                      "sweep.csv with --sweep)")
          ->type_name("DIR"));
  not_empty(
      run->add_option("--report", o.report,
                      "Also write the results as one self-contained HTML page: the fit over the "
                      "sequence, by year, the stability of the groups, each step's hierarchy and "
                      "allocations")
          ->type_name("FILE.html"));
  not_empty(
      run->add_option("--plots", o.plots,
                      "Also write the page's figures as SVG files into DIR (made if missing): "
                      "fit.svg, fit_by_year.svg, stability.svg, step-K.svg")
          ->type_name("DIR"));
  add_sweep_option(*run, o.sweep_first, o.sweep_last,
                   "Also cut, allocate and fit every step at each truncation level from A to B "
                   "(the reports keep -g): with --tables, sweep.csv; with --report, a chart of "
                   "the adjusted fit against the number of groups");
  run->add_flag("-q,--quiet", o.quiet, "Write nothing on standard output");
  add_cache_option(*run, o.cache_mb);
  add_areas_option(*run, o.areas);
  run->footer(
      "The reports are those of the dialogue given the same answers; nothing is replaced unless "
      "the run ends normally.\nExit status: 0 done, 1 bad input or a failed write, 2 a usage "
      "error, 3 the job was refused (work areas too small).\nExample: locseq run WHEAT --tables "
      "wheat-tables");
  return run;
}

int run_command(const RunOptions& o, Streams s) {
  records::NullStream nowhere;
  records::Unit console(o.quiet ? static_cast<std::ostream&>(nowhere) : s.out, "standard output",
                        /*flush_each=*/true);
  RunWarnings warnings(s.err);
  JobRun job;
  const std::string prefix = o.out.empty() ? o.job : o.out;
  job.names = {o.job + ".CLS",  o.job + ".NAQ",  o.job + ".SEQ",
               prefix + ".SCO", prefix + ".COS", prefix + ".ALC"};
  if (o.areas == "auto") job.settings.areas = std::nullopt;
  job.settings.cache_bytes = o.cache_mb << 20;
  job.settings.sweep = {o.sweep_first, o.sweep_last};
  return report_failures(
      s.out, s.err, job,
      [&] {
        std::unique_ptr<TablesOutput> tables;
        if (!o.tables.empty()) {
          tables = std::make_unique<TablesOutput>(o.tables, !job.settings.sweep.empty());
        }
        std::unique_ptr<ReportOutput> page;
        if (!o.report.empty() || !o.plots.empty()) {
          job.inputs.push_back({"names", o.job + ".names.csv"});
          page = std::make_unique<ReportOutput>(o.report, o.plots, [&] {
            return describe_job(o.job, {job.names[0], job.names[1], job.names[2]}, options_text(o),
                                s.err);
          });
        }
        StandardiseNote note(s.err, job.names[0]);
        if (tables) job.writers.push_back(tables.get());
        if (page) job.writers.push_back(page.get());
        if (o.standardize) job.writers.push_back(&note);
        PresetAnswers answers(o.groups, o.standardize, console);
        const SetUpResult result = run_job(job, answers, console, warnings, s.err);
        warnings.summary();
        if (result.outcome == SetUpOutcome::Ran) return 0;
        if (o.quiet) {
          std::istringstream lines(result.refusal);
          for (std::string line; std::getline(lines, line);) s.err << "locseq: " << line << '\n';
        }
        s.err << "locseq: " << printable(job.names[0])
              << ": the job was refused: the fixed work areas are too small for it (see the "
                 "dimension table); --areas auto sizes them to the job\n";
        return 3;
      },
      [&] { warnings.summary(); });
}

}  // namespace locseq::cli
