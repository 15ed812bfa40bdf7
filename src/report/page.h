// The report of a run as one self-contained HTML page, and its figures as
// standalone SVG documents.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/results.h"

namespace locseq::report {

// One input file of the job, as the page lists it.
struct InputFile {
  std::string name;         // base name, e.g. WHEAT.CLS
  std::uintmax_t size = 0;  // size in bytes
  std::string modified;     // modification time in UTC, as the caller writes it
};

// What the page shows besides the results. The job name, the input files'
// names and the full names are texts of the job, shown isolated (see
// markup.h); the options and the times are the caller's words.
struct PageJob {
  std::string name;               // the job name (JOB)
  std::string options;            // the options as given on the command line
  std::string settings_file;      // the classification's settings file the run took
                                  // options from (a text of the job), or empty
  std::string settings_taken;     // what it took, in the caller's words ("groups 2")
  std::vector<InputFile> inputs;  // the input files, in the order to list them
  std::map<std::int32_t, std::string>
      location_names;  // full names by location number
                       // (`locations` of JOB.names.csv), shown in place of
                       // the 8-character names when not blank
};

// The page: 1 the job; 2 the overall fit per step; 3 the fit by year; 4 the
// stability of the groups from step to step; 5 each step's dendrogram and
// allocations; 6 the fit table of steps.csv. UTF-8, no script, no request
// for anything outside the page; every text of the job escaped and
// isolated from the text around it. The same inputs give the same bytes.
// Never fails (what cannot be drawn is said).
std::string write_page(const RunHead& head, const std::vector<BlockResult>& blocks,
                       const PageJob& job);

// The page's figures as standalone SVG documents, by file name: fit.svg,
// fit_by_year.svg, stability.svg and step-K.svg for each step K, and, with
// `sweep` (run --sweep), sweep.svg.
std::map<std::string, std::string> write_plots(const RunHead& head,
                                               const std::vector<BlockResult>& blocks,
                                               const PageJob& job, bool sweep = false);

}  // namespace locseq::report
