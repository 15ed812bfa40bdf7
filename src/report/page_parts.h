// The parts of the page, each written from the model, and the pieces they
// share. A section is an entry of kSections; page.cpp writes the head, the
// summary at the top, the sections in order and the foot.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/markup.h"
#include "report/model.h"
#include "report/svg.h"

namespace locseq::report {

// Group k (from 1) of step i: its number on its lineage's colour.
Html group_chip(const Model& m, std::size_t i, std::int32_t k);

// A lineage: its number on its colour.
Html lineage_chip(const Model& m, std::int32_t lineage);

// A neutral mark beside a group with one retained member.
Html single_site_badge();

// A figure with an optional caption.
Html figure(const Figure& svg, const Html& caption = {});

// A link to the section of step i: "step k (NAME)".
Html step_ref(const Model& m, std::size_t i);

// The data years a block is measured on, in words.
Html years_text(const Model& m, const BlockResult& b);

// "1 thing" or "N things".
template <std::integral I>
Html count(I n, const char* one, const char* many) {
  Html out;
  return out << n << " " << std::string_view(n == 1 ? one : many);
}

// A table value with 4 significant digits, in the notation of its column
// (see Notation), its full value in a tooltip.
struct Notation {
  bool exponent = false;  // 1.234e+06 rather than 1234000
  // The notation of a column of values: exponents when a value is 1e6 or
  // more at 4 digits, or below 1e-3 but not 0.
  static Notation of(std::span<const double> column);
};
std::string four_digits(double value, Notation notation);

// The columns 0 .. n - 1 of a wide table cut into runs of at most `most`,
// each to stand in a table of its own (so no table is wider than a printed
// page): the first and one past the last column of each.
std::vector<std::pair<std::size_t, std::size_t>> runs(std::size_t n, std::size_t most);

// The steps with single-site groups and how many each has, the first
// `most` of them named: "step 4 (2022) has 2, step 6 (2024) has 1 and 3
// more steps".
Html single_site_steps(const Model& m, std::size_t most);

// A sentence the page finds in the results, set apart.
Html finding(const Html& sentence);

// The summary above the sections: the answers to the questions the page
// is for, a line each (nothing without steps).
Html at_a_glance(const Model& m);

// The sections, without their heading.
Html job_section(const Model& m);
Html fit_section(const Model& m);
Html fit_by_year_section(const Model& m);
Html stability_section(const Model& m);
Html steps_section(const Model& m);
Html table_section(const Model& m);
Html sweep_section(const Model& m);

// Whether the run swept truncation levels (run --sweep).
bool swept(const Model& m);

struct Section {
  const char* id;       // its anchor
  const char* nav;      // its name in the navigation
  const char* heading;  // its heading, after its number
  Html (*write)(const Model&);
  bool (*shown)(const Model&) = nullptr;  // whether the page has it; always when none
};

// The sections in page order, numbered from 1 among those the page has.
// The choice of the number of groups, when a run compares several, follows
// the fit over the sequence.
inline constexpr std::array<Section, 7> kSections = {{
    {"job", "The job", "The job", job_section},
    {"fit", "Fit over the sequence", "Fit over the sequence", fit_section},
    {"sweep", "Number of groups", "How many groups", sweep_section, swept},
    {"fit-by-year", "Fit by year", "Fit by year", fit_by_year_section},
    {"stability", "Stability", "Stability of the groups", stability_section},
    {"steps", "Each step", "Each step", steps_section},
    {"table", "Fit per step", "Fit per step", table_section},
}};

}  // namespace locseq::report
