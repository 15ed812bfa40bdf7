// File descriptors and system errors, for the file code.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace locseq::files {

// An open file descriptor, closed with the object.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(Fd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
  Fd& operator=(Fd&& o) noexcept {
    if (this != &o) {
      reset();
      fd_ = std::exchange(o.fd_, -1);
    }
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void reset() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

// A folder's listing, closed with the object.
struct ListingCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using Listing = std::unique_ptr<DIR, ListingCloser>;

// The listing of the open folder `fd` (which stays open); empty on failure.
inline Listing list_folder(int fd) {
  const int copy = ::dup(fd);
  if (copy < 0) return Listing();
  DIR* dir = ::fdopendir(copy);
  if (dir == nullptr) ::close(copy);
  return Listing(dir);
}

// The system's text for an error number, starting in lower case as the
// rest of a message does ("permission denied").
inline std::string reason(int err) {
  std::string text = std::strerror(err);
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' &&
      !(text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z')) {
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  }
  return text;
}

}  // namespace locseq::files
