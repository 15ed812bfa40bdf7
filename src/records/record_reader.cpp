#include "records/record_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/input_error.h"

namespace locseq::records {

namespace {

std::string_view without_cr(const char* begin, const char* end) {
  if (end > begin && end[-1] == '\r') --end;
  return {begin, static_cast<std::size_t>(end - begin)};
}

}  // namespace

std::size_t RecordSource::byte_order_mark(std::string_view start) const {
  if (start.substr(0, 3) != "\xEF\xBB\xBF") return 0;
  warn_at(1, Warning::ByteOrderMark,
          "a UTF-8 byte-order mark (\\xEF\\xBB\\xBF) starts the file; it is skipped");
  return 3;
}

void RecordSource::fail(const std::string& message) const {
  fail_at(line_, message);
}

void RecordSource::fail_at(long line, const std::string& message) const {
  throw InputError(name_, line, message);
}

FileReader::FileReader(std::istream& in, std::string name, std::size_t block_size)
    : RecordSource(std::move(name)), in_(in) {
  capacity_ = (block_size < 16 ? 16 : block_size) + 1;  // and the NUL
  buf_ = std::make_unique_for_overwrite<char[]>(capacity_);
  buf_[0] = '\0';
}

bool FileReader::next(std::string_view& record) {
  for (;;) {
    const char* data = buf_.get();
    const void* nl = std::memchr(data + pos_, '\n', end_ - pos_);
    if (nl != nullptr) {
      const char* stop = static_cast<const char*>(nl);
      record = without_cr(data + pos_, stop);
      last_start_ = pos_;
      pos_ = static_cast<std::size_t>(stop - data) + 1;
      ++line_;
      unterminated_ = false;
      return can_step_back_ = true;
    }
    if (at_eof_ || !refill()) {
      if (pos_ == end_) return can_step_back_ = false;
      data = buf_.get();  // refill may have moved the buffer
      record = without_cr(data + pos_, data + end_);
      last_start_ = pos_;
      pos_ = end_;
      ++line_;
      unterminated_ = true;
      return can_step_back_ = true;
    }
  }
}

bool FileReader::refill() {
  if (end_ == capacity_ - 1) {
    if (pos_ > 0) {
      // Keep the unread bytes of the record in progress, drop the rest.
      std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
      origin_ += static_cast<std::int64_t>(pos_);
      end_ -= pos_;
      pos_ = 0;
      from_start_ = false;
    } else {
      // One record longer than the buffer: twice the room.
      auto bigger = std::make_unique_for_overwrite<char[]>(capacity_ * 2 - 1);
      std::memcpy(bigger.get(), buf_.get(), end_);
      buf_ = std::move(bigger);
      capacity_ = capacity_ * 2 - 1;
    }
  }
  auto room = static_cast<std::streamsize>(capacity_ - 1 - end_);
  const bool first = from_start_ && end_ == 0;
  std::streamsize got = in_.rdbuf()->sgetn(buf_.get() + end_, room);
  if (got > 0) end_ += static_cast<std::size_t>(got);
  buf_[end_] = '\0';
  if (got <= 0) at_eof_ = true;
  if (first) pos_ = start_ = byte_order_mark({buf_.get(), end_});
  return got > 0;
}

void FileReader::step_back() {
  if (!can_step_back_) return;
  can_step_back_ = false;
  pos_ = last_start_;
  --line_;
}

void FileReader::rewind() {
  line_ = 0;
  can_step_back_ = false;
  if (from_start_ && at_eof_) {
    pos_ = start_;  // the whole stream is in the buffer
    return;
  }
  in_.clear();
  if (in_.rdbuf()->pubseekpos(0, std::ios_base::in) != std::streampos(0)) {
    fail_at(0, "cannot return to the start of the file");
  }
  pos_ = end_ = last_start_ = 0;
  buf_[0] = '\0';
  at_eof_ = false;
  from_start_ = true;
  origin_ = 0;
}

void FileReader::seek(const Position& at) {
  line_ = at.line;
  can_step_back_ = false;
  unterminated_ = false;
  const std::int64_t in_buffer = at.offset - origin_;
  if (in_buffer >= 0 && in_buffer <= static_cast<std::int64_t>(end_) &&
      (at.offset > 0 || !from_start_ || end_ > 0)) {
    // Within the bytes at hand (never before a byte-order mark).
    pos_ = std::max(static_cast<std::size_t>(in_buffer), from_start_ ? start_ : 0);
    return;
  }
  in_.clear();
  if (in_.rdbuf()->pubseekpos(at.offset, std::ios_base::in) != std::streampos(at.offset)) {
    fail_at(at.line, "cannot return to a place read before in the file");
  }
  pos_ = end_ = last_start_ = 0;
  buf_[0] = '\0';
  at_eof_ = false;
  from_start_ = at.offset == 0;
  origin_ = at.offset;
}

void FileReader::fail_at_end(const std::string& what) const {
  fail_at(line_ + 1, "the file ends inside " + what);
}

bool ConsoleReader::next(std::string_view& record) {
  if (!std::getline(in_, line_buf_)) {
    line_buf_.clear();
    return false;
  }
  if (!line_buf_.empty() && line_buf_.back() == '\r') line_buf_.pop_back();
  if (line_ == 0) line_buf_.erase(0, byte_order_mark(line_buf_));
  ++line_;
  record = line_buf_;
  return true;
}

void ConsoleReader::fail_at_end(const std::string& what) const {
  fail_at(line_ + 1, "end of console input at " + what);
}

}  // namespace locseq::records
