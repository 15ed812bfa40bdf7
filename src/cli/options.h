// Options that several commands share, defined once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace locseq::cli {

// -g, --groups N: a whole number from 1 up; a usage error otherwise.
void add_groups_option(CLI::App& app, std::optional<std::int32_t>& groups, const std::string& help);

// --sweep A:B: whole numbers 1 <= A <= B; a usage error otherwise.
void add_sweep_option(CLI::App& app, std::int32_t& first, std::int32_t& last,
                      const std::string& help);

// -s, --standardize and --no-standardize, which exclude each other; when
// neither is given the settings of the classification decide.
void add_standardize_options(CLI::App& app, bool& standardize, bool& no_standardize,
                             const std::string& help);

// --areas fixed|auto.
void add_areas_option(CLI::App& app, std::string& areas);

// --cache-mb N: the memory in MiB for the prepared years kept between
// passes.
void add_cache_option(CLI::App& app, std::int64_t& cache_mb);

// A file or folder name given to `option` may not be empty (a usage
// error). Returns `option`.
CLI::Option* not_empty(CLI::Option* option);

// The command named on a command line (its first argument that is not an
// option), or empty.
std::string command_of(int argc, const char* const* argv);

}  // namespace locseq::cli
