// Records (lines) of an input file or of the console, counted so that every
// error can name its line.
#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

namespace locseq::records {

// Reads the records of one stream. A record ends at LF or CRLF (the CR is not
// part of it); a last line without a line end is a record too. Files are read
// in large blocks; the console is read one line at a time, so that a prompt
// is answered as soon as its line is typed.
class RecordReader {
 public:
  enum class Mode { Block, Line };

  RecordReader(std::istream& in, std::string name, Mode mode = Mode::Block,
               std::size_t block_size = std::size_t{1} << 18);

  // The next record, valid until the next call; false at the end of the stream.
  bool next(std::string_view& record);

  // Makes the record last returned by next() the next one returned again.
  // Only one step back is possible between two calls of next(), and none
  // after a call that met the end of the stream.
  void step_back();

  // For a caller that parses records where they stand (in Block mode): the
  // unread bytes of the buffer, which may end inside a record, followed by a
  // NUL byte (empty in Line mode); and taking the record that ends just before `next` (the
  // byte after its line end), as next() would have returned it.
  std::string_view unread() const {
    return mode_ == Mode::Block ? std::string_view(buf_.get() + pos_, end_ - pos_)
                                : std::string_view();
  }
  void take_record(const char* next) {
    last_start_ = pos_;
    pos_ = static_cast<std::size_t>(next - buf_.get());
    ++line_;
    can_step_back_ = true;
  }

  // Back to the first record. Throws InputError when the stream cannot seek.
  void rewind();

  // Number of the record last returned (0 before the first).
  long line() const { return line_; }
  const std::string& name() const { return name_; }
  // The console, read one line at a time.
  bool console() const { return mode_ == Mode::Line; }
  // Throws InputError for the end of the stream met while reading `what`:
  // "the file ends inside ..." (or "end of console input at ...").
  [[noreturn]] void fail_at_end(const std::string& what) const;

  // Throws InputError naming this stream and the record last returned.
  [[noreturn]] void fail(const std::string& message) const;
  [[noreturn]] void fail_at(long line, const std::string& message) const;

 private:
  bool next_block(std::string_view& record);
  bool next_line(std::string_view& record);
  // Reads more bytes behind the unread ones; false when none came.
  bool refill();

  std::istream& in_;
  std::string name_;
  Mode mode_;
  // The bytes read and not yet passed, and a NUL behind them. Allocated
  // without clearing: only the part a stream fills is ever touched.
  std::unique_ptr<char[]> buf_;
  std::size_t capacity_ = 0;    // bytes buf_ holds, the NUL's place included
  std::size_t pos_ = 0;         // first unread byte of buf_
  std::size_t end_ = 0;         // one past the last valid byte of buf_
  std::size_t last_start_ = 0;  // where the record last returned starts in buf_
  bool at_eof_ = false;         // the stream has no more bytes
  bool from_start_ = true;      // buf_[0] is the first byte of the stream
  bool stepped_back_ = false;
  bool can_step_back_ = false;  // the last call of next() returned a record
  std::string line_buf_;        // Line mode: the current record
  long line_ = 0;
};

}  // namespace locseq::records
