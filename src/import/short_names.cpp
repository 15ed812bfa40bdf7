#include "import/short_names.h"

#include <algorithm>
#include <unordered_map>

#include "core/input_error.h"
#include "formats/text_encoding.h"

namespace locseq::import {

namespace {

// A name in quotes, whole: two long names may differ only at their ends.
std::string whole(std::string_view name) {
  std::string out(1, '\'');
  out.append(name);
  out += '\'';
  return out;
}

std::string_view without_trailing_blanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// `full` cut to leave room for "~N", with the smallest N from `n` on whose
// name is not yet taken; leaves `n` at that N. (Names whose cuts coincide
// have the same shorter cuts too, so a search for the next such name may go
// on from the last N found.)
std::string renamed(std::string_view full, const std::unordered_map<std::string, long>& taken,
                    long& n) {
  for (;; ++n) {
    std::string ending(1, '~');
    ending += std::to_string(n);
    std::string name(without_trailing_blanks(cut_utf8(full, kNameBytes - ending.size())));
    name += ending;
    if (!taken.contains(name)) return name;
  }
}

}  // namespace

std::string_view cut_utf8(std::string_view name, std::size_t limit) {
  std::size_t end = 0;
  while (end < name.size()) {
    // A byte that begins no valid sequence counts as a character of its own.
    std::size_t next = end + std::max<std::size_t>(formats::text::utf8_length_at(name, end), 1);
    if (next > limit) break;
    end = next;
  }
  return name.substr(0, end);
}

ShortNames shorten_names(const NameList& list, bool rename, const std::string& file_name) {
  ShortNames out;
  out.names.resize(list.full.size());
  // Every 8-byte name given so far, with the number (0-based) of its owner.
  std::unordered_map<std::string, long> taken;
  // For each cut that clashed, the last N given to it.
  std::unordered_map<std::string, long> last_n;
  for (std::size_t k = 0; k < list.full.size(); ++k) {
    if (list.full[k].size() <= kNameBytes) {
      out.names[k] = list.full[k];
      taken.emplace(list.full[k], static_cast<long>(k));
    }
  }
  for (std::size_t k = 0; k < list.full.size(); ++k) {
    if (list.full[k].size() <= kNameBytes) continue;
    ++out.cut;
    std::string name(without_trailing_blanks(cut_utf8(list.full[k], kNameBytes)));
    auto clash = taken.find(name);
    if (clash != taken.end()) {
      auto other = static_cast<std::size_t>(clash->second);
      if (!rename) {
        bool k_later = list.first_line[k] > list.first_line[other];
        std::size_t earlier = k_later ? other : k, later = k_later ? k : other;
        throw InputError(file_name, list.first_line[later],
                         "the " + list.kind + " names " + whole(list.full[earlier]) + " and " +
                             whole(list.full[later]) + " both become " + whole(name) +
                             " when cut to 8 bytes; shorten one, or use --rename");
      }
      long& n = last_n.try_emplace(name, 1).first->second;
      name = renamed(list.full[k], taken, n);
      ++out.renamed;
    }
    taken.emplace(name, static_cast<long>(k));
    out.names[k] = std::move(name);
  }
  return out;
}

}  // namespace locseq::import
