#include "files/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "core/input_error.h"

namespace locseq::files {

namespace {

std::string shown(const std::string& name) {
  return name.empty() ? "''" : name;
}

// What a file that is neither a regular file nor a directory is.
const char* kind_of(mode_t mode) {
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}

[[noreturn]] void refuse(const std::string& name, const std::string& why) {
  throw InputError(shown(name), 0, "cannot open the input file: " + why);
}

std::string why_not(int err) {
  if (err == ENOENT || err == ENOTDIR) return "it does not exist";
  if (err == EACCES) return "permission denied";
  return reason(err);
}

void refuse_type(const std::string& name, mode_t mode) {
  if (S_ISDIR(mode)) refuse(name, "it is a directory");
  if (!S_ISREG(mode)) refuse(name, std::string("it is not a regular file (") + kind_of(mode) + ")");
}

}  // namespace

std::string InputFile::read_all() {
  std::string all;
  char block[1 << 16];
  for (;;) {
    const std::streamsize got = stream_->rdbuf()->sgetn(block, sizeof block);
    if (got <= 0) break;
    all.append(block, static_cast<std::size_t>(got));
  }
  return all;
}

InputFile open_input(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) refuse(name, why_not(errno));
  refuse_type(name, st.st_mode);
  // O_NONBLOCK: should the name be made a pipe after the look above, the
  // open does not wait for a writer; the look below then refuses it.
  Fd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd) refuse(name, why_not(errno));
  if (::fstat(fd.get(), &st) != 0) refuse(name, reason(errno));
  refuse_type(name, st.st_mode);
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  InputFile in;
  in.name_ = name;
  in.buffer_ = std::make_unique<FdInputBuffer>(fd.get(), name, FdInputBuffer::Kind::File);
  in.fd_ = std::move(fd);
  in.stream_ = std::make_unique<std::istream>(in.buffer_.get());
  // A read error reaches the caller as the InputError it is, also through
  // the stream's own calls (getline, >>).
  in.stream_->exceptions(std::ios::badbit);
  return in;
}

std::unique_ptr<InputFile> open_optional_input(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) return nullptr;
  return std::make_unique<InputFile>(open_input(name));
}

}  // namespace locseq::files
