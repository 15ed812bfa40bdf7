// The journal of a commit, and what later commands do with the journal of
// one that died.
//
// A command writes each output into a work folder of its own beside the
// target, `.locseq-XXXXXX`, locked (flock) for as long as the command
// lives; its temporaries there have short names (1, 2, ...). To commit, it
// takes the lock of every target folder, in one order, and then, in each
// work folder:
//   1. links each file about to be replaced or removed as o1, o2, ... (the
//      old set, kept);
//   2. writes `journal`: the whole set, every folder and file, and which
//      work folder is the primary one (the first folder's). The other
//      folders' journals are written first, the primary's last;
//   3. renames each new file over its target, and removes the files the
//      set no longer holds (step-K.svg beyond the new last step);
//   4. removes the primary's journal: this one unlink is the commit;
//   5. removes the work folders.
// Until step 4 the set can be rolled back (each kept old file renamed back,
// each new file that had no old one removed), by the command itself on a
// failure, or, should it die, by the next command that writes in any of
// the folders: a work folder whose lock no process holds is a dead
// command's; when the primary journal of its set is still there, the whole
// set, in every folder, is rolled back; otherwise what is left of it is
// removed.
#pragma once

#include <sys/types.h>

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace locseq::files {

struct JournalEntry {
  int number = 0;         // the temporary is NUMBER, the kept old file oNUMBER
  bool had_old = false;   // the target existed (and was kept)
  bool replaces = false;  // a new file goes there; else the target is removed
  ino_t new_ino = 0;      // the new file's inode, to know it again
  std::string leaf;       // the target's name in its folder
};

struct JournalFolder {
  std::string path;  // absolute, without links
  std::string work;  // the name of the work folder in it
  std::vector<JournalEntry> entries;
};

struct Journal {
  std::string primary;  // the path of the primary work folder
  std::vector<JournalFolder> folders;
};

// The name of the kept old file of entry `number` in its work folder.
std::string kept_name(int number);

std::string journal_text(const Journal& journal);
// Nothing when the text is not a whole journal.
std::optional<Journal> parse_journal(std::string_view text);

// Whether `leaf` is the name of a work folder.
bool is_work_folder_name(std::string_view leaf);

// The locks of the folders a command writes in, always taken in one order
// (by device and inode), so that two commands never wait for each other.
class FolderLocks {
 public:
  FolderLocks() = default;
  ~FolderLocks();
  FolderLocks(const FolderLocks&) = delete;
  FolderLocks& operator=(const FolderLocks&) = delete;

  // Holds the locks of `folders` (existing folders) as well as those held:
  // when one more is needed, every lock is let go and all are taken again
  // in order. Waits for a folder another command is committing to; a
  // request to stop (core/cancel.h) is seen while waiting. Throws
  // InputError when a folder cannot be opened or locked.
  void hold(const std::vector<std::string>& folders);
  bool holds(const std::string& folder) const;
  void release();

 private:
  struct Held;
  std::vector<Held*> held_;
};

// Rolls back or removes what dead commands left in `folders` (the caller
// holds their locks in `locks`, which may take more), saying so in one line
// each on `notes`.
void recover(FolderLocks& locks, const std::vector<std::string>& folders, std::ostream& notes);

// Takes the lock of each existing folder of `folders`, recovers (above)
// and lets the locks go.
void recover_folders(const std::vector<std::string>& folders, std::ostream& notes);

// Undoes the commit of `journal`, as far as it went, in every folder; then
// removes the primary journal and the work folders. False when a file
// could not be put back (the journal then stays, for the next command).
bool roll_back(const Journal& journal);

// Removes a work folder and what it holds (only the names it makes).
void remove_work_folder(int folder_fd, const std::string& work);

}  // namespace locseq::files
