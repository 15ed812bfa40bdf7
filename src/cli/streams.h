// Small stream helpers of the command line.
#pragma once

#include <ostream>
#include <streambuf>

namespace locseq::cli {

// A stream that takes everything and keeps nothing (standard output under
// --quiet).
class NullStream final : public std::ostream {
 public:
  NullStream() : std::ostream(&buffer_) {}

 private:
  class Buffer final : public std::streambuf {
   protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  };
  Buffer buffer_;
};

}  // namespace locseq::cli
