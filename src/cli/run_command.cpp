#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli/commands.h"
#include "cli/job_run.h"
#include "cli/job_settings.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "cli/run_summary.h"
#include "cli/run_writers.h"
#include "cli/warnings.h"
#include "core/input_error.h"
#include "records/null_stream.h"

namespace locseq::cli {

namespace {

// The options given that decide the results, as the page shows them (what
// the settings gave is a line of its own).
std::string options_text(const RunOptions& o, const JobSettings& settled) {
  std::string text = o.groups         ? "-g " + std::to_string(*o.groups) + ", "
                     : settled.groups ? ""
                                      : "-g by the square-root rule, ";
  if (o.standardize) text += "-s, ";
  if (o.no_standardize) text += "--no-standardize, ";
  return text + "--areas " + o.areas;
}

}  // namespace

CLI::App* add_run_command(CLI::App& app, RunOptions& o) {
  CLI::App* run = app.add_subcommand(
      "run", "Run the analysis of a job without questions, writing its reports (and tables).");
  run->add_option("JOB", o.job,
                  "The job: reads JOB.CLS, JOB.NAQ and JOB.SEQ, and JOB.settings when there")
      ->required();
  add_groups_option(*run, o.groups,
                    "The truncation level NGP, the number of groups (default: groups of "
                    "JOB.settings, the level of the classification; without it the square-root "
                    "rule, the smallest whole number whose square is at least MAXL)");
  add_standardize_options(*run, o.standardize, o.no_standardize,
                          "Standardise the data again (answers yes to 'Standardize again?'; only "
                          "data classified on standardised values, SEDTYP S, are asked; default: "
                          "standardize of JOB.settings, else no)");
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
      run->add_option(
             "--plots", o.plots,
             "Also write the page's figures as SVG files into DIR (made if missing): "
             "fit.svg, fit_by_year.svg, stability.svg, step-K.svg (and sweep.svg with --sweep)")
          ->type_name("DIR"));
  add_sweep_option(*run, o.sweep_first, o.sweep_last,
                   "Also cut, allocate and fit every step at each truncation level from A to B "
                   "(the reports keep -g): with --tables, sweep.csv; with --report, a chart of "
                   "the adjusted fit against the number of groups");
  run->add_flag("-q,--quiet", o.quiet,
                "Write nothing on standard output and show no progress: errors and warnings only");
  run->add_flag("--console", o.console,
                "Show on standard output the progress lines of the dialogue (its console without "
                "the questions) instead of the summary");
  run->parse_complete_callback([&o] {
    if (o.quiet && o.console) {
      throw CLI::ValidationError("--console",
                                 "cannot go with --quiet: --console shows the dialogue's lines, "
                                 "--quiet nothing");
    }
  });
  add_cache_option(*run, o.cache_mb);
  add_areas_option(*run, o.areas);
  run->footer(
      "The reports are those of the dialogue given the same answers; nothing is replaced unless "
      "the run ends normally. Standard output shows a line per step (its year, the locations "
      "retained and eliminated, the groups, RSQ classified and with the allocated locations) and "
      "the files written; standard error, on a terminal, a progress bar. When standard output is "
      "one of the outputs (--report /dev/stdout) the summary goes to standard error.\nExit status: "
      "0 done, 1 bad input or a failed write, 2 a usage "
      "error, 3 the job was refused (work areas too small).\nExample: locseq run WHEAT --tables "
      "wheat-tables");
  return run;
}

int run_command(const RunOptions& o, Streams standard) {
  JobRun job;
  const std::string prefix = o.out.empty() ? o.job : o.out;
  job.names = {o.job + ".CLS",  o.job + ".NAQ",  o.job + ".SEQ",
               prefix + ".SCO", prefix + ".COS", prefix + ".ALC"};
  if (o.areas == "auto") job.settings.areas = std::nullopt;
  job.settings.cache_bytes = o.cache_mb << 20;
  job.settings.sweep = {o.sweep_first, o.sweep_last};

  // What the run shows goes to standard output, or to standard error when
  // standard output is one of its outputs. The progress bar stays away
  // from a terminal that shows the dialogue's lines.
  const bool diverted = among_outputs(standard.out_fd, output_names(o, job.names));
  const bool lines_on_terminal =
      o.console && is_terminal(diverted ? standard.err_fd : standard.out_fd);
  ProgressDisplay display(standard, "locseq run", !o.quiet && !lines_on_terminal);
  const Streams s = display.streams();
  std::ostream& shown = diverted ? s.err : s.out;
  records::NullStream nowhere;
  records::Unit console(o.console ? shown : nowhere, "standard output", /*flush_each=*/true);
  RunWarnings warnings(s.err);
  RunSummary summary(shown);
  return report_failures(
      shown, s.err, job,
      [&] {
        // First of the writers: the settings are settled before the page
        // describes the job.
        SettingsInput settings(job.names[0],
                               given_settings(o.groups, o.standardize, o.no_standardize), s.err);
        job.writers.push_back(&settings);
        std::unique_ptr<TablesOutput> tables;
        if (!o.tables.empty()) {
          tables = std::make_unique<TablesOutput>(o.tables, !job.settings.sweep.empty());
        }
        std::unique_ptr<ReportOutput> page;
        if (!o.report.empty() || !o.plots.empty()) {
          job.inputs.push_back({"names", o.job + ".names.csv"});
          page = std::make_unique<ReportOutput>(o.report, o.plots, o.sweep_first != 0, [&] {
            report::PageJob described =
                describe_job(o.job, {job.names[0], job.names[1], job.names[2]},
                             options_text(o, settings.settled()), s.err);
            described.settings_file =
                std::filesystem::path(settings.settled().file).filename().string();
            described.settings_taken = settings.settled().taken;
            return described;
          });
        }
        StandardiseNote note(s.err, job.names[0]);
        NameBytesNote name_bytes(s.err, job.names[1]);
        if (tables) job.writers.push_back(tables.get());
        if (page) job.writers.push_back(page.get());
        if (tables || page) job.writers.push_back(&name_bytes);
        if (o.standardize) job.writers.push_back(&note);
        if (!o.quiet && !o.console) job.writers.push_back(&summary);
        SettledAnswers answers(settings, console);
        const SetUpResult result = run_job(job, answers, console, warnings, s.err);
        warnings.summary();
        if (result.outcome == SetUpOutcome::Ran) {
          if (!o.quiet && !o.console) shown << written_line(o, job.names, summary.steps());
          return 0;
        }
        if (!o.console) {
          std::istringstream lines(result.refusal);
          for (std::string line; std::getline(lines, line);) s.err << "locseq: " << line << '\n';
        }
        s.err << "locseq: " << printable(job.names[0])
              << ": the job was refused: the fixed work areas are too small for it (see the "
                 "dimension table in "
              << printable(job.names[3]) << "); --areas auto sizes them to the job\n";
        return 3;
      },
      [&] { warnings.summary(); });
}

}  // namespace locseq::cli
