#include "import/importer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_map>

#include "core/input_error.h"
#include "formats/csv.h"
#include "formats/names_file.h"
#include "formats/naq.h"
#include "formats/seq.h"
#include "import/columns.h"
#include "import/name_variants.h"
#include "import/short_names.h"
#include "import/table_text.h"
#include "import/value_reader.h"
#include "import/values.h"

namespace locseq::import {

namespace {

// Years, locations and genotypes: the kinds of names, in this order.
constexpr std::size_t kKinds = 3;

// One cell of .SEQ.
struct Cell {
  std::int32_t year = 0;      // year number, from 1
  std::int32_t location = 0;  // location number, from 1
  std::int32_t genotype = 0;  // genotype number, from 1
  float value = 0.0f;         // the observed (or mean) value, finite
};

// A row with a value, its names numbered by first appearance from 0.
struct Observation {
  std::array<std::int32_t, kKinds> key;  // year, location and genotype
  float value;                           // the value read
  long line;                             // the row's line in the table
  std::size_t column;                    // its value column, among the layout's
};

// Everything the rows hold.
struct Collected {
  std::array<NameList, kKinds> lists;     // names by first appearance
  std::vector<Observation> observations;  // the rows with a value, in table order
  long rows = 0;                          // rows that are not blank
};

std::string_view trimmed(std::string_view s) {
  std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool has_control_character(std::string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

// Reads the rows below the header into names and observations.
class RowCollector {
 public:
  RowCollector(const TableRow& header, const Layout& layout, ValueReader& values,
               const std::string& file_name)
      : header_(header), layout_(layout), values_(values), file_(file_name) {
    const char* const kWords[kKinds] = {"year", "location", "genotype"};
    for (std::size_t k = 0; k < kKinds; ++k) out_.lists[k].kind = kWords[k];
    if (layout_.wide) name_value_columns();
    for (std::size_t column : layout_.values) {
      value_words_.push_back(column_name(column));
      advice_.push_back(ignore_advice(column));
    }
  }

  // Takes one row: names its year, location and genotype; keeps its values.
  void add(const TableRow& row) {
    ++out_.rows;
    check_width(row);
    Observation obs{};
    obs.line = row.line;
    for (std::size_t k = 0; k < kKinds; ++k) {
      if (layout_.names[k] == Layout::kNone) continue;  // the kind of a wide table's columns
      obs.key[k] = number_of(k, row.fields[layout_.names[k]], row.line);
    }
    for (std::size_t j = 0; j < layout_.values.size(); ++j) {
      const std::size_t column = layout_.values[j];
      std::string_view text = trimmed(row.fields[column]);
      if (layout_.wide && column_names_[j] < 0) {
        if (!text.empty()) {
          throw InputError(file_, row.line,
                           column_name(column) + " has no name in the header but holds " +
                               quoted(text) +
                               " on this line: name it, or leave it out with --ignore");
        }
        continue;
      }
      if (values_.missing(text)) continue;
      if (layout_.wide) obs.key[static_cast<std::size_t>(*layout_.wide)] = column_names_[j];
      obs.value = values_.read(text, row.line, value_words_[j], advice_[j]);
      obs.column = j;
      out_.observations.push_back(obs);
    }
  }

  // What the rows held; the collector is spent.
  Collected take() { return std::move(out_); }

  // The `j`th value column, as messages name it.
  const std::string& value_column(std::size_t j) const { return value_words_[j]; }

 private:
  const TableRow& header_;   // the header row
  const Layout& layout_;     // where the names and the values stand
  ValueReader& values_;      // reads the values
  const std::string& file_;  // for messages
  Collected out_;            // what has been read
  std::array<std::unordered_map<std::string, std::int32_t>, kKinds> index_;  // name -> number
  std::string key_;                                                          // lookup buffer
  std::vector<std::int32_t> column_names_;  // a wide table: the name of each value column, or -1
  std::vector<std::string> value_words_;    // each value column in messages
  std::vector<std::string> advice_;         // for its values that are not numbers

  // A wide table's value columns: the names of their kind, in column order.
  void name_value_columns() {
    const auto k = static_cast<std::size_t>(*layout_.wide);
    for (std::size_t column : layout_.values) {
      const std::string& field = header_.fields[column];
      column_names_.push_back(trimmed(field).empty() ? -1 : number_of(k, field, header_.line));
    }
  }

  void check_width(const TableRow& row) const {
    std::size_t n = row.fields.size(), want = header_.fields.size();
    if (n == want) return;
    throw InputError(file_, row.line,
                     "this row has " + std::to_string(n) + " fields where the header has " +
                         std::to_string(want) +
                         (n > want ? "; a name or value holding the delimiter must be in "
                                     "double quotes"
                                   : ""));
  }

  std::string column_name(std::size_t i) const {
    return "column " + std::to_string(i + 1) + " " + quoted(trimmed(header_.fields[i]));
  }

  // For a value of a wide table that is not a number: how to leave its
  // column out.
  std::string ignore_advice(std::size_t column) const {
    if (!layout_.wide) return {};
    const std::string name(trimmed(header_.fields[column]));
    return "; if " + column_name(column) + " holds no " + role_word(*layout_.wide) +
           "'s values, leave it out with --ignore '" + name + "'";
  }

  // The number (from 0, by first appearance) of the name of kind k in
  // `field`, on `line`.
  std::int32_t number_of(std::size_t k, std::string_view field, long line) {
    auto role = static_cast<Role>(k);
    std::string_view name = trimmed(field);
    if (name.empty()) {
      throw InputError(file_, line,
                       std::string("the ") + role_word(role) + " is empty (" +
                           column_name(layout_.names[k]) + ")");
    }
    key_.assign(name);
    auto found = index_[k].find(key_);
    if (found != index_[k].end()) return found->second;
    if (has_control_character(name)) {
      throw InputError(file_, line,
                       std::string("the ") + role_word(role) + " " + quoted(name) +
                           " holds a control character (a line end or a tab)");
    }
    NameList& list = out_.lists[k];
    if (list.full.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw InputError(file_, line, std::string("too many ") + role_word(role) + " names");
    }
    auto number = static_cast<std::int32_t>(list.full.size());
    list.full.push_back(key_);
    list.first_line.push_back(line);
    index_[k].emplace(key_, number);
    return number;
  }
};

// The first value, in table order, that could take the run's sums beyond
// single precision (see within_bound): refused.
void refuse_unsafe_values(const Collected& data, const RowCollector& collector,
                          const std::string& file_name) {
  const auto locations = static_cast<std::int32_t>(data.lists[1].full.size());
  for (const Observation& o : data.observations) {
    if (!within_bound(o.value, locations)) {
      throw InputError(file_name, o.line,
                       beyond_bound(o.value, collector.value_column(o.column), locations));
    }
  }
}

bool is_number(const std::string& s, double& out) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out);
}

// The year names' first-appearance numbers in year order: ascending
// numerically when every name is a number (equal numbers then as text),
// else as text.
std::vector<std::int32_t> year_order(const std::vector<std::string>& names) {
  std::vector<double> numbers(names.size());
  bool numeric = true;
  for (std::size_t k = 0; k < names.size() && numeric; ++k)
    numeric = is_number(names[k], numbers[k]);
  std::vector<std::int32_t> order(names.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
    auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b);
    if (numeric && numbers[ua] != numbers[ub]) return numbers[ua] < numbers[ub];
    return names[ua] < names[ub];
  });
  return order;
}

// Settles the spellings of every kind of name (settle_spellings): a name
// made one with another gives its observations that name's number.
// Returns whether any was.
bool settle_names(Collected& data, bool fold, const std::string& file_name, ImportedJob& job,
                  std::vector<std::string>& merges) {
  bool merged = false;
  for (std::size_t k = 0; k < kKinds; ++k) {
    SettledNames settled = settle_spellings(data.lists[k], fold, file_name, job.warnings, merges);
    if (!settled.merged) continue;
    merged = true;
    data.lists[k] = std::move(settled.list);
    for (Observation& o : data.observations) {
      o.key[k] = settled.number[static_cast<std::size_t>(o.key[k])];
    }
  }
  return merged;
}

// Puts the years in year order: reorders their list and renumbers the
// observations.
void number_years(Collected& data) {
  NameList& years = data.lists[0];
  std::vector<std::int32_t> order = year_order(years.full);
  std::vector<std::int32_t> number(order.size());
  NameList sorted{years.kind, {}, {}};
  for (std::size_t y = 0; y < order.size(); ++y) {
    auto old = static_cast<std::size_t>(order[y]);
    number[old] = static_cast<std::int32_t>(y);
    sorted.full.push_back(std::move(years.full[old]));
    sorted.first_line.push_back(years.first_line[old]);
  }
  years = std::move(sorted);
  for (Observation& o : data.observations) o.key[0] = number[static_cast<std::size_t>(o.key[0])];
}

std::string cell_text(const Collected& data, const Observation& o) {
  std::string out;
  const char* const kWords[kKinds] = {"year ", ", location ", ", genotype "};
  for (std::size_t k = 0; k < kKinds; ++k) {
    out += kWords[k] + quoted(data.lists[k].full[static_cast<std::size_t>(o.key[k])]);
  }
  return out;
}

// The first place in the table where a cell has a second value: throws
// InputError there, naming both lines. `obs` is sorted by cell, then line.
void refuse_replicates(const Collected& data, const std::vector<Observation>& obs, bool merged,
                       const std::string& file_name) {
  const Observation* first = nullptr;   // the earlier row of the pair found
  const Observation* second = nullptr;  // the later row, the one at fault
  for (std::size_t i = 1; i < obs.size(); ++i) {
    if (obs[i].key == obs[i - 1].key && (i < 2 || obs[i - 1].key != obs[i - 2].key) &&
        (second == nullptr || obs[i].line < second->line)) {
      first = &obs[i - 1];
      second = &obs[i];
    }
  }
  if (second == nullptr) return;
  throw InputError(file_name, second->line,
                   cell_text(data, *second) + " has values on lines " +
                       std::to_string(first->line) + " and " + std::to_string(second->line) +
                       (merged ? " (spellings made one by --fold-names are one name)" : "") +
                       "; use --replicates mean to take their mean");
}

// The cells of .SEQ, sorted by year, location and genotype: one per cell,
// the mean of its rows' values when it has several (and `mean`), else
// refused. Counts the cells that are a mean in `mean_cells`.
std::vector<Cell> cells_of(Collected& data, bool mean, bool merged, const std::string& file_name,
                           std::int64_t& mean_cells) {
  std::vector<Observation>& obs = data.observations;
  std::sort(obs.begin(), obs.end(), [](const Observation& a, const Observation& b) {
    return a.key != b.key ? a.key < b.key : a.line < b.line;
  });
  if (!mean) refuse_replicates(data, obs, merged, file_name);
  std::vector<Cell> cells;
  mean_cells = 0;
  for (std::size_t i = 0; i < obs.size();) {
    std::size_t end = i + 1;
    double sum = static_cast<double>(obs[i].value);
    for (; end < obs.size() && obs[end].key == obs[i].key; ++end) {
      sum += static_cast<double>(obs[end].value);
    }
    std::size_t n = end - i;
    mean_cells += n > 1;
    cells.push_back({obs[i].key[0] + 1, obs[i].key[1] + 1, obs[i].key[2] + 1,
                     n == 1 ? obs[i].value : static_cast<float>(sum / static_cast<double>(n))});
    i = end;
  }
  return cells;
}

std::string_view base_name(std::string_view path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string counted(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The notes of the counts, then `merges` (what settle_names did).
std::vector<std::string> notes_for(const ImportedJob& job, const Collected& data,
                                   const std::array<ShortNames, kKinds>& names,
                                   const std::vector<std::string>& merges) {
  std::vector<std::string> notes;
  std::int64_t cells = std::int64_t{job.MAXY} * job.MAXL * job.MAXG;
  notes.push_back(counted(job.observations, "cell", "cells") + " of " + std::to_string(cells) +
                  " (" + std::to_string(job.MAXY) + " x " + std::to_string(job.MAXL) + " x " +
                  std::to_string(job.MAXG) + ") " + (job.observations == 1 ? "has" : "have") +
                  " a value");
  if (job.mean_cells > 0) {
    notes.push_back(counted(job.mean_cells, "cell is the mean of its replicates",
                            "cells are the mean of their replicates"));
  }
  for (std::size_t k = 0; k < kKinds; ++k) {
    if (names[k].cut == 0) continue;
    std::string note = std::to_string(names[k].cut) + " " + data.lists[k].kind +
                       (names[k].cut == 1 ? " name was" : " names were") +
                       " cut to 8 bytes (the names file keeps them whole)";
    if (names[k].renamed > 0) note += ", " + std::to_string(names[k].renamed) + " with a ~N ending";
    notes.push_back(note);
  }
  notes.insert(notes.end(), merges.begin(), merges.end());
  return notes;
}

std::int32_t count_of(const NameList& list) {
  return static_cast<std::int32_t>(list.full.size());
}

// The columns of the table: refused with a hint at --wide when a long
// table's columns are not found and it looks wide.
Layout layout_of(formats::csv::Reader& reader, const ImportOptions& options,
                 const std::string& file_name) {
  const ChosenColumns chosen = {options.year_column, options.location_column,
                                options.genotype_column, options.value_column};
  std::optional<Role> wide;
  if (options.wide != Wide::No) {
    wide = options.wide == Wide::Location ? Role::Location : Role::Genotype;
  }
  try {
    return find_layout(reader.header(), chosen, wide, options.ignore, file_name);
  } catch (const InputError& e) {
    if (wide || e.file() != file_name) throw;
    TableRow first;
    std::string hint;
    try {
      if (reader.next(first)) hint = wide_hint(reader.header(), first, chosen);
    } catch (const InputError&) {
    }
    if (hint.empty()) throw;
    throw InputError(e.file(), e.line(), e.message() + hint);
  }
}

// Refuses --na and --ignore texts that no field can hold.
void check_option_texts(const ImportOptions& options) {
  for (const auto* texts : {&options.na, &options.ignore}) {
    for (const std::string& t : *texts) {
      if (!has_control_character(t) && formats::text::is_utf8(t)) continue;
      throw InputError(texts == &options.na ? "--na" : "--ignore", 0,
                       quoted(formats::text::escape_invalid_utf8(t)) +
                           " holds a control character or a byte that is not UTF-8");
    }
  }
}

}  // namespace

ImportedJob import_table(std::string_view bytes, const std::string& file_name,
                         const ImportOptions& options) {
  check_option_texts(options);
  std::string converted;
  const std::string_view text = table_as_utf8(bytes, options.encoding, file_name, converted);
  formats::csv::Reader reader(text, file_name, options.delimiter);
  if (!reader.has_header()) throw InputError(file_name, 0, "the table is empty: no header row");
  const Layout layout = layout_of(reader, options, file_name);
  ValueReader values(options, reader.delimiter(), file_name);
  RowCollector collector(reader.header(), layout, values, file_name);
  TableRow row;
  while (reader.next(row)) collector.add(row);
  Collected data = collector.take();
  if (data.rows == 0) {
    throw InputError(file_name, reader.header().line, "the table has no rows below its header");
  }
  if (data.observations.empty()) {
    throw InputError(file_name, 0, "every value of the table is missing: nothing to import");
  }
  ImportedJob job;
  std::vector<std::string> merges;
  const bool merged = settle_names(data, options.fold_names, file_name, job, merges);
  refuse_unsafe_values(data, collector, file_name);
  number_years(data);

  std::vector<Cell> cells =
      cells_of(data, options.replicates_mean, merged, file_name, job.mean_cells);
  std::array<ShortNames, kKinds> names;
  for (std::size_t k = 0; k < kKinds; ++k) {
    names[k] = shorten_names(data.lists[k], options.rename, file_name);
  }
  formats::naq::write(job.naq, "Imported from " + std::string(base_name(file_name)),
                      {names[0].names, names[1].names, names[2].names});
  job.seq.reserve(cells.size() * 16);
  for (const Cell& c : cells) {
    formats::seq::write_record(job.seq, c.year, c.location, c.genotype, c.value);
  }
  formats::names_file::write(job.names_csv, {{{names[0].names, data.lists[0].full},
                                              {names[1].names, data.lists[1].full},
                                              {names[2].names, data.lists[2].full}}});
  job.MAXY = count_of(data.lists[0]);
  job.MAXL = count_of(data.lists[1]);
  job.MAXG = count_of(data.lists[2]);
  job.observations = static_cast<std::int64_t>(cells.size());
  job.year_names = data.lists[0].full;
  job.delimiter = reader.delimiter();
  for (std::size_t k = 0; k < layout.names.size(); ++k) {
    if (layout.names[k] != Layout::kNone) job.columns[k] = reader.header().fields[layout.names[k]];
  }
  if (!layout.wide) job.columns[3] = reader.header().fields[layout.values.front()];
  job.notes = notes_for(job, data, names, merges);
  return job;
}

}  // namespace locseq::import
