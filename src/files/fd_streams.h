// Streams over file descriptors: the program's inputs, outputs and
// standard streams read and write through these, so that a read error is
// an error naming the file, a blocking call interrupted by a request to
// stop sees it (core/cancel.h), and the console can stop showing output
// without stopping the run.
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace locseq::files {

// Reads a file descriptor (not closed here). A failed read throws
// InputError(name, 0, "cannot read the input file: ...") out of the
// stream's calls; the console instead sees the end of its input. Seeks
// work where the descriptor can seek.
class FdInputBuffer final : public std::streambuf {
 public:
  enum class Kind { File, Console };
  FdInputBuffer(int fd, std::string name, Kind kind);

 protected:
  int_type underflow() override;
  std::streamsize xsgetn(char* s, std::streamsize n) override;
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override;
  pos_type seekpos(pos_type pos, std::ios_base::openmode) override;

 private:
  std::size_t read_some(char* to, std::size_t n);

  int fd_;
  std::string name_;
  Kind kind_;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_;
};

// Writes a file descriptor (not closed here), through a buffer.
// Kind::File: a failed write makes the stream fail, and error() keeps the
// error number. Kind::Console: a failed write (a closed pipe, a full disk)
// stops the output and nothing else; the stream stays good.
class FdOutputBuffer final : public std::streambuf {
 public:
  enum class Kind { File, Console };
  FdOutputBuffer(int fd, Kind kind, std::size_t size = std::size_t{1} << 16);
  ~FdOutputBuffer() override;

  // The error number of the first failed write, or 0.
  int error() const { return error_; }
  // Writes what the buffer holds; false when that failed (Kind::File).
  bool drain();

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  bool write_all(const char* from, std::size_t n);

  int fd_;
  Kind kind_;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_;
  int error_ = 0;
  bool stopped_ = false;  // the console no longer takes output
};

// Standard input, output and error as the program uses them: a request to
// stop while it waits on one of them is seen at once; a write error on
// standard output or error stops that stream only; input and output throw
// Cancelled out of their calls (badbit is in their exceptions).
class StandardStreams {
 public:
  StandardStreams();
  ~StandardStreams();
  StandardStreams(const StandardStreams&) = delete;
  StandardStreams& operator=(const StandardStreams&) = delete;

 private:
  FdInputBuffer in_buffer_;
  FdOutputBuffer out_buffer_, err_buffer_;

 public:
  std::istream in;
  std::ostream out;
  std::ostream err;
};

}  // namespace locseq::files
