#include "files/output_plan.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <memory>

#include "core/input_error.h"
#include "files/fd.h"

namespace locseq::files {

namespace fs = std::filesystem;

namespace {

// The absolute path of an existing file or folder, without links.
bool real_path(const std::string& name, std::string& path) {
  std::unique_ptr<char, decltype(&::free)> real(::realpath(name.c_str(), nullptr), &::free);
  if (!real) return false;
  path = real.get();
  return true;
}

// A folder as a path without links, as far as it exists; the part not
// made yet kept as written (normalised).
std::string resolved_folder(const fs::path& folder) {
  std::string path;
  if (real_path(folder.empty() ? "." : folder.string(), path)) return path;
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder, ec);
  const fs::path normal = fs::weakly_canonical(absolute, ec);
  if (ec) return absolute.lexically_normal().string();
  std::string text = normal.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

std::string shown(const std::string& name) {
  return name.empty() ? "''" : name;
}

Place locate(const std::string& name) {
  Place place;
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      place.type = Place::Type::Folder;
      return place;
    }
    if (!S_ISREG(st.st_mode)) {
      place.type = Place::Type::Direct;
      return place;
    }
    std::string path;
    if (!real_path(name, path)) {
      throw InputError(shown(name), 0, "cannot find the file the name leads to: " + reason(errno));
    }
    place.type = Place::Type::File;
    place.dev = st.st_dev;
    place.ino = st.st_ino;
    place.mode = st.st_mode & 07777;
    const fs::path p(path);
    place.folder = p.parent_path().string();
    place.leaf = p.filename().string();
    return place;
  }
  // No file: follow the links that lead to where it would be made.
  fs::path p(name);
  for (int hops = 0;; ++hops) {
    if (hops == 40) throw InputError(shown(name), 0, "too many levels of symbolic links");
    struct stat lst {};
    if (::lstat(p.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) break;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(p.c_str(), target.data(), target.size());
    if (n < 0) break;
    target.resize(static_cast<std::size_t>(n));
    const fs::path next(target);
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  place.leaf = p.filename().string();
  if (place.leaf.empty() || place.leaf == "." || place.leaf == "..") {
    throw InputError(shown(name), 0, "cannot write the output: it is not a file name");
  }
  place.folder = resolved_folder(p.parent_path());
  return place;
}

bool PlannedPattern::matches(const std::string& leaf) const {
  if (leaf.size() <= prefix.size() + suffix.size()) return false;
  if (leaf.compare(0, prefix.size(), prefix) != 0) return false;
  if (leaf.compare(leaf.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  for (std::size_t i = prefix.size(); i < leaf.size() - suffix.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(leaf[i]))) return false;
  }
  return true;
}

void OutputPlan::input(std::string kind, std::string name) {
  inputs_.push_back({std::move(kind), std::move(name)});
}

void OutputPlan::output(std::string kind, std::string name, Existing existing, bool make_folder) {
  PlannedOutput o;
  o.kind = std::move(kind);
  o.name = std::move(name);
  o.existing = existing;
  o.make_folder = make_folder;
  outputs_.push_back(std::move(o));
}

void OutputPlan::pattern(std::string kind, std::string folder, std::string prefix,
                         std::string suffix) {
  patterns_.push_back({std::move(kind), std::move(folder), std::move(prefix), std::move(suffix)});
}

bool input_identity(const std::string& name, Identity& id) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  id.exists = true;
  id.dev = st.st_dev;
  id.ino = st.st_ino;
  if (!real_path(name, id.path)) id.path.clear();
  return true;
}

Identity output_identity(const Place& place) {
  Identity id;
  id.exists = place.type == Place::Type::File;
  id.dev = place.dev;
  id.ino = place.ino;
  id.path = place.path();
  return id;
}

void refuse_same_file(const PlannedFile& later, const PlannedFile& earlier) {
  throw InputError(shown(later.name), 0,
                   "the " + later.kind + " file is the same file as the " + earlier.kind +
                       " file " + shown(earlier.name) + "; give every file its own name");
}

void OutputPlan::check() const {
  // Every file named, with what makes it the file it is: inputs first.
  std::vector<std::pair<const PlannedFile*, Identity>> named;
  auto compare = [&](const PlannedFile& file, const Identity& id) {
    for (const auto& [other, other_id] : named) {
      if (id.same(other_id)) refuse_same_file(file, *other);
    }
    named.emplace_back(&file, id);
  };
  for (const PlannedFile& in : inputs_) {
    Identity id;
    if (input_identity(in.name, id)) compare(in, id);
  }
  for (const PlannedOutput& out : outputs_) {
    const Place place = locate(out.name);
    if (place.type == Place::Type::Folder) {
      throw InputError(shown(out.name), 0, "cannot write the output: it is a folder");
    }
    if (place.type == Place::Type::Direct) continue;
    if (out.existing == Existing::Refuse) {
      struct stat st {};
      if (::lstat(out.name.c_str(), &st) == 0) {
        throw InputError(shown(out.name), 0, "the file exists already; --force replaces it");
      }
    }
    compare(out, output_identity(place));
  }
  // The reserved names: a file named so already, and any other file that
  // would be named so.
  for (const PlannedPattern& pattern : patterns_) {
    const std::string folder = resolved_folder(pattern.folder);
    for (const auto& [file, id] : named) {
      const fs::path path(id.path);
      if (path.parent_path() == folder && pattern.matches(path.filename().string())) {
        refuse_same_file(*file,
                         {pattern.kind, (fs::path(pattern.folder) / path.filename()).string()});
      }
    }
    const Listing dir(::opendir(folder.c_str()));
    if (!dir) continue;
    while (const dirent* entry = ::readdir(dir.get())) {
      const std::string leaf = entry->d_name;
      if (!pattern.matches(leaf)) continue;
      Identity id;
      if (!input_identity(folder + "/" + leaf, id)) continue;
      for (const auto& [file, other] : named) {
        if (id.same(other)) {
          refuse_same_file({pattern.kind, (fs::path(pattern.folder) / leaf).string()}, *file);
        }
      }
    }
  }
}

}  // namespace locseq::files
