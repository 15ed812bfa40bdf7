#include "files/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

#include "core/input_error.h"

namespace locseq::files {

namespace fs = std::filesystem;

namespace {

// The temporary files and the made folders a signal must remove, kept
// where a handler can reach them without allocating: a fixed table of
// paths, each marked in use and whether it is a folder.
constexpr std::size_t kSlots = 256;
std::array<std::array<char, PATH_MAX>, kSlots> temporary_paths;
std::array<std::atomic<bool>, kSlots> in_use;
std::array<bool, kSlots> is_folder;

int remember(const std::string& path, bool folder = false) {
  if (path.size() >= PATH_MAX) return -1;
  for (std::size_t i = 0; i < kSlots; ++i) {
    if (in_use[i].load()) continue;
    std::memcpy(temporary_paths[i].data(), path.c_str(), path.size() + 1);
    is_folder[i] = folder;
    in_use[i].store(true);
    return static_cast<int>(i);
  }
  return -1;
}

void forget(int slot) {
  if (slot >= 0) in_use[static_cast<std::size_t>(slot)].store(false);
}

extern "C" void on_signal(int sig) {
  for (std::size_t i = 0; i < kSlots; ++i) {
    if (in_use[i].load() && !is_folder[i]) ::unlink(temporary_paths[i].data());
  }
  // Folders last, the innermost first (they were remembered outermost first).
  for (std::size_t i = kSlots; i-- > 0;) {
    if (in_use[i].load() && is_folder[i]) ::rmdir(temporary_paths[i].data());
  }
  constexpr char kMessage[] =
      "locseq: stopped by a signal; no report was written; earlier reports were left "
      "unchanged\n";
  [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

std::string reason(int err) {
  return std::strerror(err);
}

// Follows symbolic links to the file they name (which may not exist yet).
fs::path follow_links(fs::path p) {
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
    fs::path next = fs::read_symlink(p, ec);
    if (ec) break;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return p;
}

// The permissions of a new file: what the umask leaves of rw-rw-rw-.
mode_t new_file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(const std::string& name) : name_(name) {
  const std::string shown = name.empty() ? "''" : name;
  const fs::path target = follow_links(name);
  target_ = target.string();
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0) {
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) {
      out_.open(target_, std::ios::binary | std::ios::trunc);
      if (!out_.is_open()) throw InputError(shown, 0, "cannot open the output: " + reason(errno));
      return;
    }
    if (S_ISDIR(st.st_mode)) throw InputError(shown, 0, "cannot write the output: it is a folder");
    if (::access(target_.c_str(), W_OK) != 0) {
      throw InputError(shown, 0, "cannot write the output: " + reason(errno));
    }
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string hidden = ".";
  hidden += target.filename().string();
  hidden += ".locseq-XXXXXX";
  std::string pattern = (folder / hidden).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    throw InputError(shown, 0,
                     "cannot make the output in " + folder.string() + ": " + reason(errno));
  }
  ::fchmod(fd, S_ISREG(st.st_mode) ? (st.st_mode & 07777) : new_file_mode());
  ::close(fd);
  temporary_ = pattern;
  slot_ = remember(temporary_);
  out_.open(temporary_, std::ios::binary | std::ios::trunc);
  if (!out_.is_open()) {
    discard();
    throw InputError(shown, 0, "cannot write the output: " + reason(errno));
  }
}

OutputFile::~OutputFile() {
  if (!committed_) discard();
}

void OutputFile::discard() noexcept {
  if (out_.is_open()) out_.close();
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  forget(slot_);
  slot_ = -1;
}

void OutputFile::close() {
  if (!out_.is_open()) return;
  errno = 0;
  out_.flush();
  out_.close();
  if (out_.fail()) {
    const int err = errno;
    throw InputError(name_, 0,
                     "cannot write the output: " + (err != 0 ? reason(err) : "write failed"));
  }
}

void OutputFile::commit() {
  close();
  if (!temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    discard();
    throw InputError(name_, 0, "cannot replace the output: " + reason(err));
  }
  forget(slot_);
  committed_ = true;
}

std::ostream& OutputSet::add(const std::string& name) {
  files_.push_back(std::make_unique<OutputFile>(name));
  return files_.back()->stream();
}

void OutputSet::commit() {
  for (auto& f : files_) f->close();
  for (auto& f : files_) f->commit();
}

OutputFolder::OutputFolder(const std::string& folder) : folder_(folder) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return;
  // The folders to make, from the outermost missing one in.
  std::vector<fs::path> missing;
  for (fs::path p = fs::path(folder).lexically_normal(); !p.empty() && !fs::exists(p, ec);
       p = p.parent_path()) {
    missing.insert(missing.begin(), p);
    if (p == p.parent_path()) break;
  }
  for (const fs::path& p : missing) {
    if (!fs::create_directory(p, ec) && ec) {
      throw InputError(folder, 0, "cannot make the folder: " + ec.message());
    }
    made_.push_back(p.string());
    slots_.push_back(remember(made_.back(), /*folder=*/true));
  }
}

OutputFolder::~OutputFolder() {
  for (std::size_t i = made_.size(); i-- > 0;) {
    ::rmdir(made_[i].c_str());  // only when still empty
    forget(slots_[i]);
  }
}

void OutputFolder::keep() {
  for (int slot : slots_) forget(slot);
  made_.clear();
  slots_.clear();
}

void remove_temporaries_on_signals() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(sig, &sa, nullptr);
  }
}

}  // namespace locseq::files
