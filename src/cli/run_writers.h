// The outputs of `locseq run` besides its reports: the tables, the page and
// its figures, and a note about -s.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/job_run.h"
#include "report/page.h"
#include "tables/tables_writer.h"

namespace locseq::cli {

// The CSV tables in a folder (see tables::TablesWriter), with sweep.csv
// when the run sweeps truncation levels.
class TablesOutput final : public RunWriter {
 public:
  TablesOutput(const std::string& folder, bool sweep) : folder_(folder), sweep_(sweep) {}
  void plan(files::OutputPlan& plan) const override;
  void attach(const std::vector<std::ostream*>& streams) override;
  void head(const RunHead& h) override { writer_->head(h); }
  void block(const BlockResult& b) override { writer_->block(b); }
  void finish(files::OutputSet&) override { writer_->finish(); }

 private:
  std::string folder_;
  bool sweep_;
  std::unique_ptr<tables::TablesWriter> writer_;
};

// The page (--report FILE) and its figures (--plots DIR), written at the end
// of the run from all its results.
class ReportOutput final : public RunWriter {
 public:
  // `describe` says what the page shows of the job; it reads the job's
  // files, so it is called (by read()) once the plan of the run is checked.
  // With `sweep`, the figures include sweep.svg.
  ReportOutput(const std::string& page, const std::string& plots, bool sweep,
               std::function<report::PageJob()> describe);
  void plan(files::OutputPlan& plan) const override;
  void read() override { job_ = describe_(); }
  void attach(const std::vector<std::ostream*>& streams) override;
  void head(const RunHead& h) override { head_ = h; }
  void block(const BlockResult& b) override { blocks_.push_back(b); }
  void finish(files::OutputSet& outputs) override;

 private:
  std::string page_;
  std::string plots_;
  bool sweep_;
  std::function<report::PageJob()> describe_;
  report::PageJob job_;
  std::ostream* page_out_ = nullptr;
  RunHead head_;
  std::vector<BlockResult> blocks_;
};

// Says on standard error when -s asks to standardise data that were not
// standardised.
class StandardiseNote final : public RunWriter {
 public:
  StandardiseNote(std::ostream& err, std::string cls) : err_(err), cls_(std::move(cls)) {}
  void plan(files::OutputPlan&) const override {}
  void attach(const std::vector<std::ostream*>&) override {}
  void head(const RunHead& h) override;

 private:
  std::ostream& err_;
  std::string cls_;
};

// Warns once when names of .NAQ hold bytes that are not UTF-8: the tables
// and the page show each such byte as \xHH (the reports keep them).
class NameBytesNote final : public RunWriter {
 public:
  NameBytesNote(std::ostream& err, std::string naq) : err_(err), naq_(std::move(naq)) {}
  void plan(files::OutputPlan&) const override {}
  void attach(const std::vector<std::ostream*>&) override {}
  void head(const RunHead& h) override;

 private:
  std::ostream& err_;
  std::string naq_;
};

// What the page says of the job: its name, the options, its input files by
// base name with their sizes and modification times (UTC), and the full
// location names from JOB.names.csv when that file exists (a warning on
// `err` when its text cannot be read, or holds bytes that are not UTF-8;
// InputError when the file cannot).
report::PageJob describe_job(const std::string& job, const std::vector<std::string>& inputs,
                             const std::string& options, std::ostream& err);

}  // namespace locseq::cli
