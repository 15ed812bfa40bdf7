#include "files/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>
#include <ostream>
#include <tuple>

#include "core/cancel.h"
#include "core/input_error.h"
#include "files/fd.h"
#include "files/file_ops.h"

namespace locseq::files {

namespace {

constexpr std::string_view kHeader = "locseq journal 1\n";
constexpr std::string_view kWorkPrefix = ".locseq-";

void put_text(std::string& out, std::string_view text) {
  out += std::to_string(text.size());
  out += ':';
  out += text;
}

// Reads the journal's fields in order; any surprise ends the reading.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}
  bool literal(std::string_view word) {
    if (text_.substr(0, word.size()) != word) return false;
    text_.remove_prefix(word.size());
    return true;
  }
  template <class Number>
  bool number(Number& n) {
    const auto [end, ec] = std::from_chars(text_.data(), text_.data() + text_.size(), n);
    if (ec != std::errc() || end == text_.data()) return false;
    text_.remove_prefix(static_cast<std::size_t>(end - text_.data()));
    return true;
  }
  bool text(std::string& out) {
    std::size_t n = 0;
    if (!number(n) || !literal(":") || n > text_.size()) return false;
    out.assign(text_.substr(0, n));
    text_.remove_prefix(n);
    return true;
  }
  bool at_end() const { return text_.empty(); }

 private:
  std::string_view text_;
};

// Opens a folder (not through a link at its last name when `at` is given).
Fd open_folder(const std::string& path) {
  return Fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}
Fd open_folder_at(int dir, const std::string& name) {
  return Fd(::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool exists_at(int dir, const std::string& name, struct stat* st = nullptr) {
  struct stat local {};
  return ::fstatat(dir, name.c_str(), st != nullptr ? st : &local, AT_SYMLINK_NOFOLLOW) == 0;
}

std::string read_at(int dir, const std::string& name) {
  Fd fd(::openat(dir, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  std::string text;
  if (!fd) return text;
  char block[4096];
  for (;;) {
    const ssize_t n = ::read(fd.get(), block, sizeof block);
    if (n <= 0) break;
    text.append(block, static_cast<std::size_t>(n));
  }
  return text;
}

// A name a work folder holds: a temporary, a kept old file, the journal.
bool is_work_file_name(const std::string& name) {
  if (name == "journal" || name == "journal.new") return true;
  const std::size_t from = !name.empty() && name[0] == 'o' ? 1 : 0;
  if (name.size() == from) return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(from), name.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string parent_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string leaf_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A dead command's work folder, found in a folder whose lock is held.
struct DeadWork {
  std::string folder;  // the folder it is in
  std::string work;    // its name
  Fd lock;             // its lock, held while it is dealt with
  std::optional<Journal> journal;
};

// The work folders of `folder` whose command is gone: their locks are free.
std::vector<DeadWork> dead_work_folders(const std::string& folder) {
  std::vector<DeadWork> dead;
  Fd dir = open_folder(folder);
  if (!dir) return dead;
  const Listing listing = list_folder(dir.get());
  if (!listing) return dead;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(listing.get())) {
    if (is_work_folder_name(entry->d_name)) names.emplace_back(entry->d_name);
  }
  for (const std::string& name : names) {
    Fd work = open_folder_at(dir.get(), name);
    if (!work || ::flock(work.get(), LOCK_EX | LOCK_NB) != 0) continue;  // alive (or not ours)
    DeadWork d{folder, name, std::move(work), std::nullopt};
    d.journal = parse_journal(read_at(d.lock.get(), "journal"));
    dead.push_back(std::move(d));
  }
  return dead;
}

// Whether the set of a journal is still to be rolled back: its primary
// journal is there.
bool uncommitted(const Journal& j) {
  Fd primary = open_folder(parent_of(j.primary));
  return primary && exists_at(primary.get(), leaf_of(j.primary) + "/journal");
}

}  // namespace

std::string kept_name(int number) {
  std::string name(1, 'o');
  name += std::to_string(number);
  return name;
}

std::string journal_text(const Journal& journal) {
  std::string out(kHeader);
  out += "primary ";
  put_text(out, journal.primary);
  out += '\n';
  for (const JournalFolder& f : journal.folders) {
    out += "folder ";
    put_text(out, f.path);
    out += ' ';
    put_text(out, f.work);
    out += '\n';
    for (const JournalEntry& e : f.entries) {
      out += "entry " + std::to_string(e.number) + ' ' + (e.had_old ? '1' : '0') + ' ' +
             (e.replaces ? '1' : '0') + ' ' + std::to_string(e.new_ino) + ' ';
      put_text(out, e.leaf);
      out += '\n';
    }
  }
  out += "end\n";
  return out;
}

std::optional<Journal> parse_journal(std::string_view text) {
  Cursor in(text);
  Journal j;
  if (!in.literal(kHeader) || !in.literal("primary ") || !in.text(j.primary) || !in.literal("\n")) {
    return std::nullopt;
  }
  for (;;) {
    if (in.literal("end\n")) return in.at_end() ? std::optional<Journal>(j) : std::nullopt;
    if (in.literal("folder ")) {
      JournalFolder f;
      if (!in.text(f.path) || !in.literal(" ") || !in.text(f.work) || !in.literal("\n")) break;
      j.folders.push_back(std::move(f));
      continue;
    }
    JournalEntry e;
    int had_old = 0, replaces = 0;
    if (j.folders.empty() || !in.literal("entry ") || !in.number(e.number) || !in.literal(" ") ||
        !in.number(had_old) || !in.literal(" ") || !in.number(replaces) || !in.literal(" ") ||
        !in.number(e.new_ino) || !in.literal(" ") || !in.text(e.leaf) || !in.literal("\n")) {
      break;
    }
    e.had_old = had_old != 0;
    e.replaces = replaces != 0;
    j.folders.back().entries.push_back(std::move(e));
  }
  return std::nullopt;
}

bool is_work_folder_name(std::string_view leaf) {
  if (leaf.size() != kWorkPrefix.size() + 6 || leaf.substr(0, kWorkPrefix.size()) != kWorkPrefix) {
    return false;
  }
  return std::all_of(leaf.begin() + static_cast<std::ptrdiff_t>(kWorkPrefix.size()), leaf.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

struct FolderLocks::Held {
  dev_t dev;
  ino_t ino;
  std::string path;
  Fd fd;
};

FolderLocks::~FolderLocks() {
  release();
}

void FolderLocks::release() {
  for (Held* h : held_) delete h;  // closing the folder lets its lock go
  held_.clear();
}

bool FolderLocks::holds(const std::string& folder) const {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return false;
  return std::any_of(held_.begin(), held_.end(),
                     [&](const Held* h) { return h->dev == st.st_dev && h->ino == st.st_ino; });
}

void FolderLocks::hold(const std::vector<std::string>& folders) {
  std::vector<std::string> wanted;
  for (const std::string& f : folders) {
    struct stat st {};
    if (::stat(f.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && !holds(f)) wanted.push_back(f);
  }
  if (wanted.empty()) return;
  for (const Held* h : held_) wanted.push_back(h->path);
  release();
  std::vector<Held*> all;
  try {
    for (const std::string& f : wanted) {
      Fd fd = open_folder(f);
      struct stat st {};
      if (!fd || ::fstat(fd.get(), &st) != 0) {
        throw InputError(f, 0, "cannot open the folder: " + reason(errno));
      }
      const bool twice = std::any_of(all.begin(), all.end(), [&](const Held* h) {
        return h->dev == st.st_dev && h->ino == st.st_ino;
      });
      if (!twice) all.push_back(new Held{st.st_dev, st.st_ino, f, std::move(fd)});
    }
    std::sort(all.begin(), all.end(), [](const Held* a, const Held* b) {
      return std::tie(a->dev, a->ino) < std::tie(b->dev, b->ino);
    });
    for (Held* h : all) {
      while (::flock(h->fd.get(), LOCK_EX) != 0) {
        if (errno == EINTR) {
          check_cancel();
          continue;
        }
        if (errno == ENOLCK || errno == EOPNOTSUPP) break;  // a file system without locks
        throw InputError(h->path, 0, "cannot lock the folder: " + reason(errno));
      }
      held_.push_back(h);
    }
  } catch (...) {
    for (Held* h : all) {
      if (std::find(held_.begin(), held_.end(), h) == held_.end()) delete h;
    }
    release();
    throw;
  }
}

void remove_work_folder(int folder_fd, const std::string& work) {
  Fd dir = open_folder_at(folder_fd, work);
  if (dir) {
    std::vector<std::string> names;
    if (const Listing listing = list_folder(dir.get())) {
      while (const dirent* entry = ::readdir(listing.get())) {
        if (is_work_file_name(entry->d_name)) names.emplace_back(entry->d_name);
      }
    }
    // The journal last: what remains without it is only to be removed.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return (a.rfind("journal", 0) == 0) < (b.rfind("journal", 0) == 0);
    });
    for (const std::string& name : names) unlink_at(dir.get(), name);
  }
  unlink_at(folder_fd, work, /*folder=*/true);
}

bool roll_back(const Journal& journal) {
  bool whole = true;
  for (auto f = journal.folders.rbegin(); f != journal.folders.rend(); ++f) {
    Fd dir = open_folder(f->path);
    if (!dir) continue;
    Fd work = open_folder_at(dir.get(), f->work);
    for (auto e = f->entries.rbegin(); e != f->entries.rend(); ++e) {
      const std::string kept = kept_name(e->number);
      if (e->had_old) {
        if (work && exists_at(work.get(), kept) &&
            rename_at(work.get(), kept, dir.get(), e->leaf) != 0) {
          whole = false;
        }
      } else if (e->replaces) {
        struct stat st {};
        if (exists_at(dir.get(), e->leaf, &st) && st.st_ino == e->new_ino &&
            unlink_at(dir.get(), e->leaf) != 0) {
          whole = false;
        }
      }
    }
    sync_fd(dir.get());
  }
  if (!whole) return false;
  Fd primary = open_folder(parent_of(journal.primary));
  if (primary) {
    Fd work = open_folder_at(primary.get(), leaf_of(journal.primary));
    if (work && unlink_at(work.get(), "journal") != 0) return false;
    if (work) sync_fd(work.get());
  }
  for (const JournalFolder& f : journal.folders) {
    Fd dir = open_folder(f.path);
    if (dir) remove_work_folder(dir.get(), f.work);
  }
  return true;
}

void recover(FolderLocks& locks, const std::vector<std::string>& folders, std::ostream& notes) {
  std::vector<std::string> scope = folders;
  std::vector<DeadWork> dead;
  // The folders of the dead sets to roll back must be locked too.
  for (int round = 0;; ++round) {
    locks.hold(scope);
    dead.clear();
    for (const std::string& f : scope) {
      if (!locks.holds(f)) continue;
      for (DeadWork& d : dead_work_folders(f)) dead.push_back(std::move(d));
    }
    std::vector<std::string> more;
    for (const DeadWork& d : dead) {
      if (!d.journal || !uncommitted(*d.journal)) continue;
      for (const JournalFolder& jf : d.journal->folders) {
        if (!locks.holds(jf.path)) more.push_back(jf.path);
      }
    }
    if (more.empty() || round == 3) break;
    scope.insert(scope.end(), more.begin(), more.end());
  }
  std::vector<std::string> done;                             // primaries rolled back
  std::vector<std::pair<std::string, std::string>> removed;  // work folder name, folder
  for (DeadWork& d : dead) {
    Fd dir = open_folder(d.folder);
    if (!dir) continue;
    if (d.journal && uncommitted(*d.journal)) {
      if (std::find(done.begin(), done.end(), d.journal->primary) != done.end()) continue;
      done.push_back(d.journal->primary);
      if (roll_back(*d.journal)) {
        notes << "locseq: " << d.folder
              << ": put back the earlier outputs of a command that was stopped while "
                 "replacing them\n";
      } else {
        notes << "locseq: " << d.folder
              << ": warning: could not put back every earlier output of a command that was "
                 "stopped while replacing them\n";
      }
      continue;
    }
    if (!exists_at(dir.get(), d.work)) continue;  // removed with its set
    remove_work_folder(dir.get(), d.work);
    removed.emplace_back(d.work, d.folder);
  }
  // One line per command: its work folders share their name.
  std::stable_sort(removed.begin(), removed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 0; i < removed.size();) {
    std::size_t j = i + 1;
    while (j < removed.size() && removed[j].first == removed[i].first) ++j;
    notes << "locseq: " << removed[i].second
          << ": removed the temporary files of a command that did not end";
    if (j - i > 1) {
      notes << " (here and in " << j - i - 1 << " other folder" << (j - i > 2 ? "s" : "") << ")";
    }
    notes << '\n';
    i = j;
  }
}

void recover_folders(const std::vector<std::string>& folders, std::ostream& notes) {
  FolderLocks locks;
  recover(locks, folders, notes);
}

}  // namespace locseq::files
