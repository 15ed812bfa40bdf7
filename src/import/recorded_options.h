// The options an import was made with, as `key = value` settings, so that
// the import can be repeated: keys encoding, na, decimal, fold_names,
// wide, ignore and replicates, every key written (its default too).
//
// A list (na, ignore) is one setting per text, the key repeated in the
// order the texts were given, none for an empty list; a text stands as it
// is (the settings file quotes what needs it). Switches are yes or no.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "import/importer.h"

namespace locseq::import {

using Setting = std::pair<std::string, std::string>;

// The settings of `options`: encoding (utf-8, cp1252, latin1), na (one per
// spelling), decimal (auto, point, comma), fold_names (yes, no), wide (no,
// location, genotype), ignore (one per column), replicates (error, mean).
std::vector<Setting> recorded_options(const ImportOptions& options);

// Whether `key` is one of recorded_options' keys.
bool is_import_key(std::string_view key);

// Sets the option of one setting (a list key adds its text to the list).
// Returns false when the value is not one the key takes (or the key is not
// an import key), leaving `options` as it was.
bool apply_recorded_option(ImportOptions& options, std::string_view key, std::string_view value);

}  // namespace locseq::import
