#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"
#include "cli/options.h"
#include "core/cancel.h"
#include "core/input_error.h"
#include "signals/signals.h"

#ifndef LOCSEQ_VERSION
#define LOCSEQ_VERSION "0.0.0"
#endif

namespace locseq::cli {

namespace {

int dispatch(int argc, const char* const* argv, Streams s) {
  if (argc <= 1) return dialogue_command(s);

  CLI::App app(
      "locseq judges a classification of the locations of a multi-year trial, year by year: for "
      "every step of the sequence it cuts the hierarchy of the retained locations into groups, "
      "allocates the eliminated locations to the nearest group, and reports how well the groups "
      "fit the data.",
      "locseq");
  app.set_version_flag("--version", std::string("locseq ") + LOCSEQ_VERSION);
  app.require_subcommand(0, 1);
  app.footer(
      "Without a command locseq asks for the job on the console (the dialogue).\nRun 'locseq "
      "COMMAND --help' for the options of a command.\n");
  std::int64_t dialogue_cache_mb = 256;
  add_cache_option(app, dialogue_cache_mb);
  RunOptions run;
  CheckOptions check;
  ImportCommandOptions import;
  ClassifyCommandOptions classify;
  CLI::App* run_app = add_run_command(app, run);
  CLI::App* check_app = add_check_command(app, check);
  CLI::App* import_app = add_import_command(app, import);
  CLI::App* classify_app = add_classify_command(app, classify);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e, s.out, s.err);
    const std::string command = command_of(argc, argv);
    bool known = false;
    for (const CLI::App* sub : app.get_subcommands({})) known = known || sub->get_name() == command;
    if (!known && !command.empty()) {
      s.err << "locseq: unknown command '" << printable(command)
            << "'; the commands are run, check, import and classify\n";
    } else {
      s.err << "locseq: " << (known ? command + ": " : "") << printable(e.what()) << '\n';
    }
    s.err << "locseq: see 'locseq " << (known ? command + " " : "") << "--help'\n";
    return 2;
  }
  if (run_app->parsed()) return run_command(run, s);
  if (check_app->parsed()) return check_command(check, s);
  if (import_app->parsed()) return import_command(import, s);
  if (classify_app->parsed()) return classify_command(classify, s);
  return dialogue_command(s, dialogue_cache_mb);
}

}  // namespace

int main(int argc, const char* const* argv, Streams s) {
  signals::install();
  int status = 1;
  try {
    status = dispatch(argc, argv, s);
    if (status == 0 && signals::received() != 0) {
      s.err << "locseq: stopped by a signal after every output was written\n";
    }
    s.out.flush();
  } catch (const Cancelled&) {  // stopped while only writing on the console
  }
  s.err.flush();
  // A command stopped by a signal ends by it, as it would have without
  // the handler.
  signals::end_if_received();
  return status;
}

}  // namespace locseq::cli
