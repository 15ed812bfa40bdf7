#include "files/output_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <random>

#include "core/cancel.h"
#include "core/input_error.h"
#include "files/fd.h"
#include "files/fd_streams.h"
#include "files/file_ops.h"
#include "files/journal.h"

namespace locseq::files {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A fresh work folder name: ".locseq-" and six letters or digits.
std::string work_folder_name() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static std::random_device device;
  std::string name = ".locseq-";
  for (int i = 0; i < 6; ++i) name += kChars[device() % (sizeof kChars - 1)];
  return name;
}

bool is_folder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

[[noreturn]] void fail(const std::string& name, const std::string& what, int err) {
  throw InputError(shown(name), 0, what + ": " + reason(err));
}

}  // namespace

struct OutputSet::Folder {
  std::string path;  // absolute, without links
  Fd dir;            // the folder
  std::string work;  // the name of the work folder in it
  Fd work_dir;       // the work folder, locked while the command lives
};

struct OutputSet::File {
  PlannedOutput planned;
  Place place;
  std::size_t folder = kNone;  // none for a device or a pipe
  int number = 0;              // the temporary's name in the work folder
  Fd fd;
  std::FILE* spool = nullptr;  // a device's or pipe's bytes, until the commit
  std::unique_ptr<FdOutputBuffer> buffer;
  std::unique_ptr<std::ostream> stream;
  ino_t ino = 0;
  bool closed = false;
  bool synced = false;  // fsync'd when closed

  ~File() {
    if (spool != nullptr) std::fclose(spool);
  }
};

OutputSet::OutputSet(const OutputPlan& plan, std::ostream& notes)
    : inputs_(plan.inputs()), planned_(plan.outputs()), patterns_(plan.patterns()), notes_(notes) {
  for (const PlannedFile& in : inputs_) {
    Identity id;
    if (!input_identity(in.name, id)) id.path.assign(1, '\n');  // matches no output
    input_ids_.push_back(id);
  }
  std::vector<std::string> folders;
  for (const PlannedOutput& out : planned_) {
    const Place place = locate(out.name);
    if (place.type == Place::Type::Missing || place.type == Place::Type::File) {
      folders.push_back(place.folder);
    }
  }
  recover_folders(folders, notes_);
}

OutputSet::~OutputSet() {
  if (!committed_) discard();
}

void OutputSet::discard() noexcept {
  for (auto& f : files_) {
    f->stream.reset();
    f->buffer.reset();
    f->fd.reset();
  }
  for (auto& folder : folders_) {
    if (folder->work_dir) remove_work_folder(folder->dir.get(), folder->work);
    folder->work_dir.reset();
  }
  // The folders made, the last made first, each only when empty.
  for (auto made = made_.rbegin(); made != made_.rend(); ++made) ::rmdir(made->c_str());
}

std::size_t OutputSet::folder_of(const Place& place, const PlannedOutput& out) {
  for (std::size_t i = 0; i < folders_.size(); ++i) {
    if (folders_[i]->path == place.folder) return i;
  }
  auto folder = std::make_unique<Folder>();
  folder->path = place.folder;
  if (!is_folder(place.folder)) {
    if (!out.make_folder) fail(out.name, "cannot make the output in " + place.folder, ENOENT);
    // Made from the outermost missing folder in.
    std::vector<fs::path> missing;
    for (fs::path p(place.folder); !p.empty() && !is_folder(p.string()); p = p.parent_path()) {
      missing.insert(missing.begin(), p);
      if (p == p.parent_path()) break;
    }
    for (const fs::path& p : missing) {
      if (::mkdir(p.c_str(), 0777) == 0) {
        made_.push_back(p.string());
      } else if (errno != EEXIST) {
        fail(out.name, "cannot make the folder " + p.string(), errno);
      }
    }
  }
  folder->dir = Fd(::open(place.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder->dir) fail(out.name, "cannot make the output in " + place.folder, errno);
  folders_.push_back(std::move(folder));
  return folders_.size() - 1;
}

OutputSet::File& OutputSet::make_file(const PlannedOutput& out, const Place& place) {
  auto f = std::make_unique<File>();
  f->planned = out;
  f->place = place;
  if (place.type == Place::Type::Direct) {
    f->spool = std::tmpfile();
    if (f->spool == nullptr) fail(out.name, "cannot make a temporary file for the output", errno);
    f->buffer = std::make_unique<FdOutputBuffer>(::fileno(f->spool), FdOutputBuffer::Kind::File);
  } else {
    if (place.type == Place::Type::File && ::access(place.path().c_str(), W_OK) != 0) {
      fail(out.name, "cannot write the output", errno);
    }
    f->folder = folder_of(place, out);
    Folder& folder = *folders_[f->folder];
    const long longest = ::fpathconf(folder.dir.get(), _PC_NAME_MAX);
    if (longest > 0 && place.leaf.size() > static_cast<std::size_t>(longest)) {
      fail(out.name, "cannot make the output", ENAMETOOLONG);
    }
    if (!folder.work_dir) {
      // Made and locked under the folder's lock: a command cleaning up
      // after dead ones never takes it for one of theirs.
      FolderLocks locks;
      locks.hold({folder.path});
      // One name in every folder, while it is free: a later command says
      // in one line what it removed of a dead one.
      if (work_name_.empty()) work_name_ = work_folder_name();
      for (int attempt = 0;; ++attempt) {
        folder.work = attempt == 0 ? work_name_ : work_folder_name();
        if (::mkdirat(folder.dir.get(), folder.work.c_str(), 0700) == 0) break;
        if (errno != EEXIST || attempt == 100) {
          fail(out.name, "cannot make the output in " + folder.path, errno);
        }
      }
      folder.work_dir = Fd(::openat(folder.dir.get(), folder.work.c_str(),
                                    O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (!folder.work_dir || ::flock(folder.work_dir.get(), LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        remove_work_folder(folder.dir.get(), folder.work);
        folder.work_dir.reset();
        fail(out.name, "cannot make the output in " + folder.path, err);
      }
    }
    f->number = static_cast<int>(files_.size()) + 1;
    // A new file gets what the umask leaves of rw-rw-rw-; a replaced one
    // keeps its permissions (set again at the commit).
    f->fd = Fd(::openat(folder.work_dir.get(), std::to_string(f->number).c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!f->fd) fail(out.name, "cannot make the output in " + folder.path, errno);
    struct stat st {};
    if (::fstat(f->fd.get(), &st) == 0) f->ino = st.st_ino;
    f->buffer = std::make_unique<FdOutputBuffer>(f->fd.get(), FdOutputBuffer::Kind::File);
  }
  f->stream = std::make_unique<std::ostream>(f->buffer.get());
  files_.push_back(std::move(f));
  return *files_.back();
}

void OutputSet::prepare() {
  for (const PlannedOutput& out : planned_) {
    check_cancel();
    make_file(out, locate(out.name));
  }
  prepared_ = true;
}

std::ostream& OutputSet::stream(std::size_t index) {
  return *files_.at(index)->stream;
}

std::ostream& OutputSet::stream(const std::string& name) {
  for (std::size_t i = 0; i < planned_.size() && i < files_.size(); ++i) {
    if (planned_[i].name == name) return *files_[i]->stream;
  }
  throw std::logic_error("not a planned output: " + name);
}

void OutputSet::write(const std::string& name, std::string_view content) {
  check_cancel();
  File* file = nullptr;
  for (std::size_t i = 0; i < planned_.size() && i < files_.size(); ++i) {
    if (planned_[i].name == name) file = files_[i].get();
  }
  if (file == nullptr) {
    // A name reserved by a pattern: checked now as the planned ones were.
    const fs::path path(name);
    const auto pattern = std::find_if(patterns_.begin(), patterns_.end(), [&](const auto& p) {
      return fs::path(p.folder) / path.filename() == path && p.matches(path.filename().string());
    });
    if (pattern == patterns_.end()) throw std::logic_error("not a planned output: " + name);
    PlannedOutput out;
    out.kind = pattern->kind;
    out.name = name;
    const Place place = locate(name);
    if (place.type == Place::Type::Folder) {
      throw InputError(shown(name), 0, "cannot write the output: it is a folder");
    }
    if (place.type != Place::Type::Direct) {
      const Identity id = output_identity(place);
      for (std::size_t i = 0; i < inputs_.size(); ++i) {
        if (id.same(input_ids_[i])) refuse_same_file(out, inputs_[i]);
      }
      for (const auto& other : files_) {
        if (other->folder != kNone && id.same(output_identity(other->place))) {
          refuse_same_file(out, other->planned);
        }
      }
    }
    file = &make_file(out, place);
  }
  file->stream->write(content.data(), static_cast<std::streamsize>(content.size()));
  // Many figures: one sync of their file system at the commit does for all.
  close_file(*file, /*sync=*/false);
}

void OutputSet::close_file(File& f, bool sync) {
  if (f.closed) return;
  f.stream->flush();
  if (!*f.stream || f.buffer->error() != 0) {
    fail(f.planned.name, "cannot write the output",
         f.buffer->error() != 0 ? f.buffer->error() : EIO);
  }
  f.closed = true;
  if (f.folder == kNone) return;
  const Folder& folder = *folders_[f.folder];
  struct stat st {};
  if (::fstatat(folder.dir.get(), f.place.leaf.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode)) {
    ::fchmod(f.fd.get(), st.st_mode & 07777);
  }
  if (sync) {
    if (const int err = sync_fd(f.fd.get())) fail(f.planned.name, "cannot write the output", err);
  }
  f.synced = sync;
  f.stream.reset();
  f.buffer.reset();
  f.fd.reset();
}

// A commit under way: its journal, and for each entry of each folder the
// file that moves in (or none: a figure to remove) and whether the earlier
// file is moved aside rather than linked.
struct OutputSet::Commit {
  Journal journal;
  std::vector<std::vector<const File*>> moving;
  std::vector<std::vector<bool>> move_old;
};

void OutputSet::commit() {
  check_cancel();
  for (auto& f : files_) close_file(*f, /*sync=*/true);
  sync_written();

  std::vector<std::string> paths;
  for (const auto& folder : folders_) paths.push_back(folder->path);
  FolderLocks locks;
  recover(locks, paths, notes_);

  Commit c = journal_of_set();
  if (folders_.empty()) {
    committed_ = true;
    write_direct_outputs();
    return;
  }
  c.journal.primary = folders_[0]->path + "/" + folders_[0]->work;
  keep_old_set(c);
  write_journals(c.journal);
  move_in(c);
  committed_ = true;
  sync_fd(folders_[0]->work_dir.get());
  for (auto& folder : folders_) {
    remove_work_folder(folder->dir.get(), folder->work);
    folder->work_dir.reset();
  }
  locks.release();
  write_direct_outputs();
}

// The files written in full on disk before anything is replaced: each
// synced as it was closed, or else with the rest of its file system.
void OutputSet::sync_written() {
  std::vector<dev_t> synced;
  for (const auto& f : files_) {
    if (f->synced || f->folder == kNone) continue;
    const Folder& folder = *folders_[f->folder];
    struct stat st {};
    if (::fstat(folder.dir.get(), &st) != 0 ||
        std::find(synced.begin(), synced.end(), st.st_dev) != synced.end()) {
      continue;
    }
    if (::syncfs(folder.work_dir.get()) != 0)
      fail(f->planned.name, "cannot write the output", errno);
    synced.push_back(st.st_dev);
  }
  for (auto& folder : folders_) {
    if (folder->work_dir) sync_fd(folder->work_dir.get());
  }
}

// The set, folder by folder: each file to move in, and each file of a
// reserved name that the new set does not hold, to remove.
OutputSet::Commit OutputSet::journal_of_set() const {
  Commit c;
  c.moving.resize(folders_.size());
  for (const auto& f : files_) {
    if (f->folder != kNone) c.moving[f->folder].push_back(f.get());
  }
  int next_number = static_cast<int>(files_.size()) + 1;
  for (std::size_t i = 0; i < folders_.size(); ++i) {
    const Folder& folder = *folders_[i];
    JournalFolder jf{folder.path, folder.work, {}};
    for (const File* f : c.moving[i]) {
      JournalEntry e;
      e.number = f->number;
      e.leaf = f->place.leaf;
      e.replaces = true;
      e.new_ino = f->ino;
      struct stat st {};
      e.had_old = ::fstatat(folder.dir.get(), e.leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
      if (e.had_old && f->planned.existing == Existing::Refuse) {
        throw InputError(shown(f->planned.name), 0,
                         "the file exists already (another command wrote it while this one "
                         "ran); --force replaces it");
      }
      jf.entries.push_back(e);
    }
    add_stale_figures(folder, jf, next_number);
    c.journal.folders.push_back(std::move(jf));
  }
  return c;
}

// The files of `folder` that a reserved pattern names and the new set does
// not hold, in name order, as entries to remove.
void OutputSet::add_stale_figures(const Folder& folder, JournalFolder& jf, int& next_number) const {
  for (const PlannedPattern& pattern : patterns_) {
    struct stat st {};
    if (::stat(pattern.folder.c_str(), &st) != 0) continue;
    struct stat here {};
    if (::fstat(folder.dir.get(), &here) != 0 || here.st_dev != st.st_dev ||
        here.st_ino != st.st_ino) {
      continue;
    }
    const Listing listing = list_folder(folder.dir.get());
    std::vector<std::string> stale;
    while (const dirent* entry = listing ? ::readdir(listing.get()) : nullptr) {
      const std::string leaf = entry->d_name;
      struct stat it {};
      if (!pattern.matches(leaf) ||
          ::fstatat(folder.dir.get(), leaf.c_str(), &it, AT_SYMLINK_NOFOLLOW) != 0 ||
          !(S_ISREG(it.st_mode) || S_ISLNK(it.st_mode))) {
        continue;  // only files (and links) of the reserved names go
      }
      const bool kept = std::any_of(jf.entries.begin(), jf.entries.end(),
                                    [&](const JournalEntry& e) { return e.leaf == leaf; });
      if (!kept) stale.push_back(leaf);
    }
    std::sort(stale.begin(), stale.end());
    for (const std::string& leaf : stale) {
      JournalEntry e;
      e.number = next_number++;
      e.leaf = leaf;
      e.had_old = true;
      jf.entries.push_back(e);
    }
  }
}

// How messages name the target of entry k of folder i: as given, or (a
// figure to remove) in its folder.
std::string OutputSet::shown_target(const Commit& c, std::size_t i, std::size_t k) const {
  const JournalEntry& e = c.journal.folders[i].entries[k];
  return e.replaces ? c.moving[i][k]->planned.name : folders_[i]->path + "/" + e.leaf;
}

// 1. The old set kept: each file about to go linked into the journal
// (moved there just before its replacement where the file system has no
// hard links).
void OutputSet::keep_old_set(Commit& c) const {
  c.move_old.assign(folders_.size(), {});
  for (std::size_t i = 0; i < folders_.size(); ++i) {
    const Folder& folder = *folders_[i];
    for (const JournalEntry& e : c.journal.folders[i].entries) {
      bool move = false;
      if (e.had_old) {
        const int err =
            link_at(folder.dir.get(), e.leaf, folder.work_dir.get(), kept_name(e.number));
        if (err == EPERM || err == EMLINK || err == EOPNOTSUPP || err == ENOSYS) {
          move = true;
        } else if (err != 0) {
          fail(shown_target(c, i, c.move_old[i].size()),
               "cannot keep the earlier file while replacing it", err);
        }
      }
      c.move_old[i].push_back(move);
    }
  }
}

// 2. The journals, the primary's last.
void OutputSet::write_journals(const Journal& journal) const {
  const std::string text = journal_text(journal);
  for (std::size_t k = folders_.size(); k-- > 0;) {
    const Folder& folder = *folders_[k];
    Fd fd(::openat(folder.work_dir.get(), "journal.new", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                   0600));
    int err = fd ? 0 : errno;
    for (std::size_t at = 0; err == 0 && at < text.size();) {
      const ssize_t n = ::write(fd.get(), text.data() + at, text.size() - at);
      if (n < 0 && errno != EINTR) err = errno;
      if (n > 0) at += static_cast<std::size_t>(n);
    }
    if (err == 0) err = sync_fd(fd.get());
    if (err == 0)
      err = rename_at(folder.work_dir.get(), "journal.new", folder.work_dir.get(), "journal");
    if (err == 0) err = sync_fd(folder.work_dir.get());
    if (err != 0) {
      // Not complete before the primary's: nothing was replaced yet.
      if (k == 0) unlink_at(folder.work_dir.get(), "journal");
      fail(folder.path, "cannot write the journal of the outputs", err);
    }
  }
}

// 3. The new set moved in; 4. the primary journal removed: the commit. On
// any failure the old set is put back.
void OutputSet::move_in(const Commit& c) {
  try {
    for (std::size_t i = 0; i < folders_.size(); ++i) {
      const Folder& folder = *folders_[i];
      const auto& entries = c.journal.folders[i].entries;
      for (std::size_t k = 0; k < entries.size(); ++k) {
        check_cancel();
        const JournalEntry& e = entries[k];
        const std::string kept = kept_name(e.number);
        const std::string target = shown_target(c, i, k);
        if (c.move_old[i][k]) {
          if (const int err = rename_at(folder.dir.get(), e.leaf, folder.work_dir.get(), kept)) {
            fail(target, "cannot replace the output", err);
          }
        }
        if (e.replaces) {
          const File* f = c.moving[i][k];
          const int err =
              rename_at(folder.work_dir.get(), std::to_string(e.number), folder.dir.get(), e.leaf,
                        f->planned.existing == Existing::Refuse);
          if (err == EEXIST) {
            throw InputError(shown(target), 0,
                             "the file exists already (another command wrote it while this one "
                             "ran); --force replaces it");
          }
          if (err != 0) fail(target, "cannot replace the output", err);
        } else if (!c.move_old[i][k]) {
          if (const int err = unlink_at(folder.dir.get(), e.leaf)) {
            fail(target, "cannot remove the figure of an earlier run", err);
          }
        }
      }
    }
    for (auto& folder : folders_) sync_fd(folder->dir.get());
    check_cancel();
    if (const int err = unlink_at(folders_[0]->work_dir.get(), "journal")) {
      fail(folders_[0]->path, "cannot complete the replacement of the outputs", err);
    }
  } catch (...) {
    if (!roll_back(c.journal)) {
      notes_ << "locseq: warning: not every earlier output could be put back; the next locseq "
                "command that writes in "
             << folders_[0]->path << " will\n";
    }
    throw;
  }
}

void OutputSet::write_direct_outputs() {
  std::string failed_name;
  int failed = 0;
  for (auto& f : files_) {
    if (f->folder != kNone || f->spool == nullptr) continue;
    std::fflush(f->spool);
    const int from = ::fileno(f->spool);
    ::lseek(from, 0, SEEK_SET);
    int fd = -1;
    while ((fd = ::open(f->planned.name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC)) < 0 &&
           errno == EINTR) {
      check_cancel();
    }
    int err = fd < 0 ? errno : 0;
    Fd to(fd);
    FdOutputBuffer out(to.get(), FdOutputBuffer::Kind::File);
    char block[1 << 16];
    while (err == 0) {
      const ssize_t n = ::read(from, block, sizeof block);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      if (out.sputn(block, n) != n) err = out.error() != 0 ? out.error() : EIO;
    }
    if (err == 0 && !out.drain()) err = out.error() != 0 ? out.error() : EIO;
    if (err != 0 && failed == 0) {
      failed = err;
      failed_name = f->planned.name;
    }
  }
  if (failed != 0) fail(failed_name, "cannot write the output", failed);
}

}  // namespace locseq::files
