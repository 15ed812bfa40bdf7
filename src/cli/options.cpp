#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <string_view>

namespace locseq::cli {

namespace {

// A whole number of at least 1 given to `option` (in `given`, when it is
// part of what was given); a usage error otherwise.
std::int32_t level(const std::string& option, std::string_view text, std::string_view given = {}) {
  std::int32_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  std::string shown = "'" + std::string(text) + "'";
  if (!given.empty()) shown = "'" + std::string(given) + "': the level " + shown;
  if (ec == std::errc::result_out_of_range)
    throw CLI::ValidationError(option, shown + " is too large");
  if (ec != std::errc() || end != text.data() + text.size() || n < 1)
    throw CLI::ValidationError(option, shown + " is not a whole number of at least 1");
  return n;
}

}  // namespace

void add_groups_option(CLI::App& app, std::optional<std::int32_t>& groups,
                       const std::string& help) {
  app.add_option_function<std::string>(
         "-g,--groups", [&groups](const std::string& text) { groups = level("--groups", text); },
         help)
      ->type_name("N");
}

void add_sweep_option(CLI::App& app, std::int32_t& first, std::int32_t& last,
                      const std::string& help) {
  app.add_option_function<std::string>(
         "--sweep",
         [&first, &last](const std::string& text) {
           const std::size_t colon = text.find(':');
           if (colon == std::string::npos) {
             throw CLI::ValidationError("--sweep", "'" + text +
                                                       "' is not a range of levels A:B, such as "
                                                       "2:6");
           }
           const std::string_view range(text);
           const std::int32_t a = level("--sweep", range.substr(0, colon), range);
           const std::int32_t b = level("--sweep", range.substr(colon + 1), range);
           if (a > b) {
             throw CLI::ValidationError("--sweep", "'" + text +
                                                       "' runs downwards: the first "
                                                       "level may not exceed the last");
           }
           first = a;
           last = b;
         },
         help)
      ->type_name("A:B");
}

void add_standardize_options(CLI::App& app, bool& standardize, bool& no_standardize,
                             const std::string& help) {
  CLI::Option* yes = app.add_flag("-s,--standardize", standardize, help);
  app.add_flag("--no-standardize", no_standardize,
               "Do not standardise again, whatever the settings of the classification say")
      ->excludes(yes);
}

void add_areas_option(CLI::App& app, std::string& areas) {
  app.add_option("--areas", areas,
                 "fixed (the default): the program's fixed work areas, and a job too large for "
                 "them is refused; auto: areas sized to the job")
      ->check(CLI::IsMember({"fixed", "auto"}).description(""))
      ->type_name("fixed|auto");
}

void add_cache_option(CLI::App& app, std::int64_t& cache_mb) {
  app.add_option("--cache-mb", cache_mb,
                 "Memory in MiB for the prepared years kept between passes (default 256; 0 reads "
                 ".SEQ again in every pass, in about 8 MB in all)")
      ->type_name("N")
      ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 30).description(""));
}

CLI::Option* not_empty(CLI::Option* option) {
  return option->check(CLI::Validator(
      [](std::string& text) {
        return text.empty() ? std::string("the name is empty") : std::string();
      },
      "", ""));
}

std::string command_of(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '-') return argv[i];
  }
  return {};
}

}  // namespace locseq::cli
