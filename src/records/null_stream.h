// An output stream that keeps nothing.
#pragma once

#include <ostream>
#include <streambuf>

namespace locseq::records {

// A stream that takes everything and keeps nothing: standard output under
// --quiet, the reports of a check.
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

}  // namespace locseq::records
