#include "files/fd_streams.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/cancel.h"
#include "core/input_error.h"
#include "files/fd.h"
#include "files/file_ops.h"

namespace locseq::files {

FdInputBuffer::FdInputBuffer(int fd, std::string name, Kind kind)
    : fd_(fd),
      name_(std::move(name)),
      kind_(kind),
      buffer_(new char[kind == Kind::Console ? 4096 : 8192]),
      size_(kind == Kind::Console ? 4096 : 8192) {
  setg(buffer_.get(), buffer_.get(), buffer_.get());
}

std::size_t FdInputBuffer::read_some(char* to, std::size_t n) {
  for (;;) {
    const int fault = kind_ == Kind::File ? injected_fault(FaultPoint::Read, name_) : 0;
    const ssize_t got = fault != 0 ? (errno = fault, -1) : ::read(fd_, to, n);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno == EINTR) {
      check_cancel();
      continue;
    }
    if (kind_ == Kind::Console) return 0;
    throw InputError(name_, 0, "cannot read the input file: " + reason(errno));
  }
}

FdInputBuffer::int_type FdInputBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const std::size_t got = read_some(buffer_.get(), size_);
  setg(buffer_.get(), buffer_.get(), buffer_.get() + got);
  return got == 0 ? traits_type::eof() : traits_type::to_int_type(*gptr());
}

std::streamsize FdInputBuffer::xsgetn(char* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    // What the buffer holds first; then a large read straight into `s`, a
    // small one through the buffer.
    if (gptr() < egptr()) {
      const std::streamsize held = std::min<std::streamsize>(n - done, egptr() - gptr());
      std::copy_n(gptr(), held, s + done);
      gbump(static_cast<int>(held));
      done += held;
      continue;
    }
    const std::size_t want = static_cast<std::size_t>(n - done);
    if (want < size_) {
      if (underflow() == traits_type::eof()) break;
      continue;
    }
    const std::size_t got = read_some(s + done, want);
    if (got == 0) break;
    done += static_cast<std::streamsize>(got);
  }
  return done;
}

FdInputBuffer::pos_type FdInputBuffer::seekoff(off_type off, std::ios_base::seekdir dir,
                                               std::ios_base::openmode) {
  if (dir == std::ios_base::cur) off -= egptr() - gptr();  // the bytes read ahead
  const int whence = dir == std::ios_base::beg   ? SEEK_SET
                     : dir == std::ios_base::cur ? SEEK_CUR
                                                 : SEEK_END;
  const off_t at = ::lseek(fd_, static_cast<off_t>(off), whence);
  if (at < 0) return pos_type(off_type(-1));
  setg(buffer_.get(), buffer_.get(), buffer_.get());
  return pos_type(static_cast<off_type>(at));
}

FdInputBuffer::pos_type FdInputBuffer::seekpos(pos_type pos, std::ios_base::openmode which) {
  return seekoff(off_type(pos), std::ios_base::beg, which);
}

FdOutputBuffer::FdOutputBuffer(int fd, Kind kind, std::size_t size)
    : fd_(fd), kind_(kind), buffer_(new char[size]), size_(size) {
  setp(buffer_.get(), buffer_.get() + size_);
}

FdOutputBuffer::~FdOutputBuffer() {
  drain();
}

bool FdOutputBuffer::write_all(const char* from, std::size_t n) {
  if (stopped_) return true;
  while (n > 0) {
    const ssize_t put = ::write(fd_, from, n);
    if (put >= 0) {
      from += put;
      n -= static_cast<std::size_t>(put);
      continue;
    }
    if (errno == EINTR) {
      check_cancel();
      continue;
    }
    if (error_ == 0) error_ = errno;
    if (kind_ == Kind::Console) {
      stopped_ = true;
      return true;
    }
    return false;
  }
  return true;
}

bool FdOutputBuffer::drain() {
  const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
  setp(buffer_.get(), buffer_.get() + size_);
  return write_all(buffer_.get(), n);
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c) {
  if (!drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize FdOutputBuffer::xsputn(const char* s, std::streamsize n) {
  const std::size_t count = static_cast<std::size_t>(n);
  if (count <= static_cast<std::size_t>(epptr() - pptr())) {
    std::copy_n(s, count, pptr());
    pbump(static_cast<int>(count));
    return n;
  }
  if (!drain()) return 0;
  if (count < size_) {
    std::copy_n(s, count, pptr());
    pbump(static_cast<int>(count));
    return n;
  }
  return write_all(s, count) ? n : 0;
}

int FdOutputBuffer::sync() {
  return drain() ? 0 : -1;
}

StandardStreams::StandardStreams()
    : in_buffer_(STDIN_FILENO, "standard input", FdInputBuffer::Kind::Console),
      out_buffer_(STDOUT_FILENO, FdOutputBuffer::Kind::Console),
      err_buffer_(STDERR_FILENO, FdOutputBuffer::Kind::Console, 4096),
      in(&in_buffer_),
      out(&out_buffer_),
      err(&err_buffer_) {
  in.exceptions(std::ios::badbit);
  out.exceptions(std::ios::badbit);
  err.setf(std::ios::unitbuf);  // each message shown as soon as it is made
}

StandardStreams::~StandardStreams() {
  try {
    out.flush();
  } catch (...) {  // stopped while flushing: what remains is dropped
  }
  err.flush();
}

}  // namespace locseq::files
