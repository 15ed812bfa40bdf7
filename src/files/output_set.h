// The outputs of one command, replaced as a whole or not at all.
//
// Each output is written into a temporary beside its target (in a work
// folder of the command's own, see journal.h) and the whole set is moved in
// at the end by one journalled commit, across all the folders it spans.
// Until then every earlier output stays as it was; a command that fails or
// is stopped removes its temporaries, its work folders and the folders it
// made; one that dies is cleaned up after by the next command that writes
// in the same folders. Outputs that are devices or pipes are written
// directly, after the files are committed.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/output_plan.h"

namespace locseq::files {

struct Journal;
struct JournalFolder;

class OutputSet {
 public:
  // The outputs of `plan`, which check() has passed. Rolls back or removes
  // what dead commands left in the folders of its outputs (one line each on
  // `notes`); makes nothing yet.
  OutputSet(const OutputPlan& plan, std::ostream& notes);
  // Unless committed: removes every temporary, work folder and folder made.
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  // Makes the folders the plan lets it make, a work folder in each folder
  // of an output and a temporary for each planned output. Throws
  // InputError naming the output: an existing file that cannot be written,
  // a folder that takes no new file.
  void prepare();

  // The stream of the planned output `index` (in the plan's order).
  std::ostream& stream(std::size_t index);
  // The stream of the planned output named `name`.
  std::ostream& stream(const std::string& name);

  // Writes `content` as the output `name` and closes it: a planned output,
  // or one named by a pattern of the plan, checked against the inputs and
  // every other output as the planned ones were.
  void write(const std::string& name, std::string_view content);

  // Closes and syncs every output, then replaces the set as a whole: after
  // this returns, or after it throws, the folders hold either the whole new
  // set or the whole earlier one (committed() says which). Then writes the
  // outputs that are devices or pipes; a failure there throws with the
  // files committed. Throws InputError, or Cancelled when asked to stop
  // before the commit is made.
  void commit();
  bool committed() const { return committed_; }

 private:
  struct File;
  struct Folder;
  struct Commit;

  std::size_t folder_of(const Place& place, const PlannedOutput& out);
  File& make_file(const PlannedOutput& out, const Place& place);
  void close_file(File& f, bool sync);
  // The steps of commit().
  void sync_written();
  Commit journal_of_set() const;
  void add_stale_figures(const Folder& folder, JournalFolder& jf, int& next_number) const;
  std::string shown_target(const Commit& c, std::size_t i, std::size_t k) const;
  void keep_old_set(Commit& c) const;
  void write_journals(const Journal& journal) const;
  void move_in(const Commit& c);
  void write_direct_outputs();
  void discard() noexcept;

  std::vector<PlannedFile> inputs_;
  std::vector<Identity> input_ids_;
  std::vector<PlannedOutput> planned_;
  std::vector<PlannedPattern> patterns_;
  std::ostream& notes_;
  std::vector<std::unique_ptr<Folder>> folders_;
  std::vector<std::unique_ptr<File>> files_;  // the planned ones first, in order
  std::vector<std::string> made_;             // the folders made, in order
  std::string work_name_;                     // the name of its work folders
  bool prepared_ = false;
  bool committed_ = false;
};

}  // namespace locseq::files
