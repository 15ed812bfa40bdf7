// Opening an input, the one way every command opens every file it reads.
#pragma once

#include <sys/types.h>

#include <istream>
#include <memory>
#include <string>

#include "files/fd.h"
#include "files/fd_streams.h"

namespace locseq::files {

// An input file, open for reading.
class InputFile {
 public:
  const std::string& name() const { return name_; }
  // The file's bytes through a stream that can seek; a read error throws
  // InputError(name, 0, "cannot read the input file: ...") out of its calls.
  std::istream& stream() { return *stream_; }
  // The whole (rest of the) file. Throws InputError as above.
  std::string read_all();

 private:
  friend InputFile open_input(const std::string& name);
  InputFile() = default;

  std::string name_;
  Fd fd_;
  std::unique_ptr<FdInputBuffer> buffer_;
  std::unique_ptr<std::istream> stream_;
};

// Opens `name` for reading. Throws InputError(name, 0, ...) with one
// wording per fault:
//   "cannot open the input file: it does not exist"
//   "cannot open the input file: it is a directory"
//   "cannot open the input file: permission denied"
//   "cannot open the input file: it is not a regular file (a pipe)" (or a
//     character device, a block device, a socket)
// and, for any other failure, the system's reason. The type is read before
// the file is opened, and the file is opened without waiting, so a pipe
// with no writer never blocks.
InputFile open_input(const std::string& name);

// Opens `name` when it exists; nothing when it does not. Any other fault
// throws as open_input does.
std::unique_ptr<InputFile> open_optional_input(const std::string& name);

}  // namespace locseq::files
