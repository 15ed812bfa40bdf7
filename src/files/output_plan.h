// The plan of what a command reads and writes, made before any work: every
// output resolved through links to the file it replaces, and compared with
// every input and every other output, so that no output can ever replace
// an input or another output.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace locseq::files {

// Where an output name leads, links followed.
struct Place {
  enum class Type {
    Missing,  // no file yet: it is made as `leaf` in `folder`
    File,     // a regular file, replaced as `leaf` in `folder`
    Folder,   // a folder: not an output
    Direct,   // a device, a pipe or a socket: written directly, after the files
  };
  Type type = Type::Missing;
  dev_t dev = 0;  // of the file (File)
  ino_t ino = 0;
  mode_t mode = 0;     // its permissions (File)
  std::string folder;  // absolute, without links (Missing, File)
  std::string leaf;

  std::string path() const { return folder == "/" ? "/" + leaf : folder + "/" + leaf; }
};

// Follows `name` to where a file of that name is: the file a chain of
// links ends at, or where it would be made (a link to no file yet leads
// to its target). The type is read from the file itself, never from the
// name. Throws InputError for a name that cannot be followed (a loop of
// links, a name ending in '/').
Place locate(const std::string& name);

struct PlannedFile {
  std::string kind;  // as messages call it: ".SEQ", "page", "figure", ...
  std::string name;  // as the user gave it
};

// Files of one folder whose names are `prefix`, a whole number and `suffix`
// (step-K.svg), written later in a number known only then; reserved now.
struct PlannedPattern {
  std::string kind;
  std::string folder;
  std::string prefix, suffix;
  // Whether `leaf` is such a name.
  bool matches(const std::string& leaf) const;
};

// How an output treats a file that exists already.
enum class Existing {
  Replace,  // replaced (the reports, tables and page; import and classify with --force)
  Refuse,   // an error, also when another command makes it while this one runs
};

struct PlannedOutput : PlannedFile {
  Existing existing = Existing::Replace;
  bool make_folder = false;  // its folder is made when missing (--tables, --plots)
};

class OutputPlan {
 public:
  void input(std::string kind, std::string name);
  void output(std::string kind, std::string name, Existing existing = Existing::Replace,
              bool make_folder = false);
  void pattern(std::string kind, std::string folder, std::string prefix, std::string suffix);

  // Throws InputError for the first of these, naming the file (and the
  // other file of a clash):
  // - two files that are one: two inputs, an output and an input, or two
  //   outputs that reach the same existing file (by device and inode, so
  //   hard and symbolic links count) or the same place for a new one;
  //   a device or a pipe may be named more than once;
  // - a file of a reserved pattern that is one of the others, or one of
  //   the others that is named by the pattern;
  // - an output that is a folder, or that exists while Existing::Refuse.
  void check() const;

  const std::vector<PlannedFile>& inputs() const { return inputs_; }
  const std::vector<PlannedOutput>& outputs() const { return outputs_; }
  const std::vector<PlannedPattern>& patterns() const { return patterns_; }

 private:
  std::vector<PlannedFile> inputs_;
  std::vector<PlannedOutput> outputs_;
  std::vector<PlannedPattern> patterns_;
};

// What makes two planned files one: the same existing file, or the same
// place for a file not there yet.
struct Identity {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  std::string path;  // absolute, without links

  bool same(const Identity& o) const {
    return exists && o.exists ? dev == o.dev && ino == o.ino : path == o.path;
  }
};

// The identity of an input, when it is a regular file.
bool input_identity(const std::string& name, Identity& id);
// The identity of an output's place (not for Place::Type::Direct or Folder).
Identity output_identity(const Place& place);

// "the KIND file is the same file as the KIND file NAME; give every file
// its own name", thrown as InputError naming `later`.
[[noreturn]] void refuse_same_file(const PlannedFile& later, const PlannedFile& earlier);

// How a name is shown in messages ('' for an empty one).
std::string shown(const std::string& name);

}  // namespace locseq::files
