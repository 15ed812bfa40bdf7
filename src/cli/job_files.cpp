#include "cli/job_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "core/input_error.h"

namespace locseq::cli {

namespace {

// How a name is shown in messages.
std::string shown(const std::string& name) {
  return name.empty() ? "''" : name;
}

std::string reason() {
  return errno != 0 ? std::strerror(errno) : "unknown error";
}

void open_input(std::ifstream& in, const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    throw InputError(shown(name), 0, "cannot open the input file: it is a directory");
  }
  errno = 0;
  in.open(name, std::ios::binary);
  if (!in.is_open()) throw InputError(shown(name), 0, "cannot open the input file: " + reason());
}

// What identifies the file a name reaches; nothing for a device or a pipe.
struct Identity {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  std::string path;  // the normal absolute path, for a file not there yet

  bool operator==(const Identity& o) const {
    return exists == o.exists && (exists ? dev == o.dev && ino == o.ino : path == o.path);
  }
};

std::optional<Identity> identity(const std::string& name) {
  Identity id;
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    return id;
  }
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(name, ec);
  if (ec) return std::nullopt;
  id.path = std::filesystem::weakly_canonical(p, ec).string();
  if (ec) id.path = p.lexically_normal().string();
  return id;
}

}  // namespace

void refuse_coinciding_names(const std::vector<NamedFile>& files) {
  std::vector<std::optional<Identity>> ids;
  for (const NamedFile& f : files) ids.push_back(identity(f.name));
  for (std::size_t k = 1; k < files.size(); ++k) {
    for (std::size_t i = 0; i < k; ++i) {
      if (ids[k] && ids[i] && *ids[k] == *ids[i]) {
        throw InputError(shown(files[k].name), 0,
                         "the " + files[k].kind + " file is the same file as the " + files[i].kind +
                             " file " + shown(files[i].name) + "; give every file its own name");
      }
    }
  }
}

JobFiles::JobFiles(const FileNames& names, const std::vector<std::string>& further_outputs) {
  open_input(cls, names[0]);
  open_input(naq, names[1]);
  open_input(seq, names[2]);
  std::vector<NamedFile> all;
  for (std::size_t k = 0; k < names.size(); ++k) all.push_back({kFileKinds[k], names[k]});
  for (const std::string& name : further_outputs) all.push_back({"output", name});
  refuse_coinciding_names(all);
  sco = &outputs.add(names[3]);
  cos = &outputs.add(names[4]);
  alc = &outputs.add(names[5]);
  for (const std::string& name : further_outputs) further.push_back(&outputs.add(name));
}

void refuse_existing(const std::vector<std::string>& names, bool force) {
  for (const std::string& name : names) {
    std::error_code ec;
    if (!force && std::filesystem::exists(std::filesystem::symlink_status(name, ec))) {
      throw InputError(shown(name), 0, "the file exists already; --force replaces it");
    }
  }
}

void write_new_files(const std::vector<std::pair<std::string, std::string>>& files, bool force) {
  std::vector<NamedFile> named;
  std::vector<std::string> names;
  for (const auto& [name, content] : files) {
    named.push_back({"output", name});
    names.push_back(name);
  }
  refuse_existing(names, force);
  refuse_coinciding_names(named);
  files::OutputSet outputs;
  for (const auto& [name, content] : files) outputs.add(name) << content;
  outputs.commit();
}

}  // namespace locseq::cli
