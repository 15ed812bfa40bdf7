#include "check/job_check.h"

#include <map>

#include "core/bundles.h"
#include "core/progress.h"
#include "data/year_reader.h"
#include "formats/seq.h"
#include "records/null_stream.h"
#include "sequence/control_records.h"
#include "setup/carving.h"

namespace locseq::check {

namespace {

// The largest count of names or locations the check holds arrays for; a
// job beyond it is refused by the run anyway.
constexpr std::int64_t kLargest = 1'000'000;

// What .CLS says that the check of .SEQ needs.
struct Sequence {
  std::optional<RunParameters> parameters;  // when the head could be read
  std::int32_t IYS = 0;                     // the sequence-years record
  bool control = false;                     // the sequence-years record was read
  std::vector<BlockResult> blocks;          // their years and steps
  std::vector<long> header_lines;           // their .CLS lines
};

// The arrays the reading and the cut of the blocks work on.
struct Storage {
  explicit Storage(const RunParameters& p)
      : names(static_cast<std::size_t>(p.MAXY + p.MAXL + p.MAXG)),
        vector(static_cast<std::size_t>(p.MAXL)),
        pairs(2 * static_cast<std::size_t>(p.MAXL)),
        labels(vector.size()),
        sizes(vector.size()),
        members(vector.size()),
        locations(vector.size()),
        eliminated(vector.size()) {
    Name8* name = names.data();
    lists = {{name, p.MAXY}, {name + p.MAXY, p.MAXL}, {name + p.MAXY + p.MAXL, p.MAXG}};
    const long L = p.MAXL;
    grouping.EliminationVector = {vector.data(), L};
    grouping.FusionPairs = {pairs.data(), 2, L - 1};
    grouping.GroupLabels = {labels.data(), L};
    grouping.GroupSizes = {sizes.data(), L};
    grouping.GroupMemberList = {members.data(), L};
    grouping.MemberLocations = {locations.data(), L};
    grouping.EliminatedLocations = {eliminated.data(), L};
  }
  std::vector<Name8> names;
  std::vector<std::int32_t> vector, pairs, labels, sizes, members, locations, eliminated;
  NameLists lists;
  Grouping grouping;
};

// Warns once of the lines after the last name.
void check_rest_of_names(records::FileReader& naq) {
  std::string_view line;
  const long last = naq.line();
  while (naq.next(line)) {
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    naq.warn(Warning::ExtraNames, "lines follow the last name (line " + std::to_string(last) +
                                      "); MAXY + MAXL + MAXG names are read, so these are not");
    return;
  }
}

// Checks every line of .SEQ; returns the number of records of each year the
// blocks read.
std::map<std::int32_t, std::int64_t> check_seq(records::FileReader& seq, std::int64_t size,
                                               const Sequence& s, std::vector<InputError>& errors) {
  const std::optional<RunParameters>& p = s.parameters;
  const std::int32_t first = s.IYS;
  const std::int32_t last = s.blocks.empty() ? first - 1 : s.blocks.back().last_year;
  std::map<std::int32_t, std::int64_t> per_year;  // records each year of the blocks holds
  formats::seq::Scanner scanner(seq, read_by_short_cut);
  formats::seq::YearOrder order;
  formats::seq::Observation obs;
  ReadingProgress progress(size);
  for (;;) {
    try {
      if (!scanner.next(obs)) break;
    } catch (const InputError& e) {
      if (e.line() == 0) throw;  // a fault of the file itself, such as a read error: no going on
      errors.push_back(e);
      continue;
    }
    progress.record_read(seq.tell().offset);
    if (order.out_of_order(seq, obs.year) || !p) continue;
    if (s.control && obs.year >= first && obs.year <= last) {
      const std::string fault = formats::seq::cell_fault(obs, p->MAXL, p->MAXG);
      if (fault.empty()) {
        ++per_year[obs.year];
      } else {
        errors.emplace_back(seq.name(), seq.line(), fault);
      }
      continue;
    }
    const std::string year = formats::seq::year_fault(obs.year, p->MAXY);
    const std::string where = !year.empty() ? year + "; data years are numbered from 1"
                                            : formats::seq::cell_fault(obs, p->MAXL, p->MAXG);
    if (!where.empty()) seq.warn(Warning::OutsideRange, where + "; no block reads this record");
  }
  return per_year;
}

}  // namespace

std::vector<InputError> check_job(const Input& cls, const Input& naq, const Input& seq,
                                  const CheckOptions& options, Diagnostics& warnings) {
  std::vector<InputError> errors;
  const std::int64_t seq_size = stream_size(seq.in);
  records::FileReader c(cls.in, cls.name), n(naq.in, naq.name), s(seq.in, seq.name);
  for (records::FileReader* r : {&c, &n, &s}) r->watch(&warnings);
  records::NullStream nowhere;
  records::Unit console(nowhere, "standard output"), sco(nowhere, "sco"), cos(nowhere, "cos"),
      alc(nowhere, "alc");
  Units u{console, c, n, s, sco, cos, alc};
  PresetAnswers answers(options.groups, options.standardise, console);

  Sequence sequence;
  RunHead head;
  try {
    head.parameters = ReadRunParameters(c);
    SettleTruncationLevel(answers, head.parameters);
    sequence.parameters = head.parameters;
  } catch (const InputError& e) {
    errors.push_back(e);
  }

  const std::optional<RunParameters>& p = sequence.parameters;
  const bool sized = p && p->MAXY <= kLargest && p->MAXL <= kMaxLocations && p->MAXG <= kLargest;
  if (p) {
    const std::array<std::int64_t, 4> required = required_sizes(*p);
    static constexpr const char* kAreas[4] = {"DZ", "Z", "MZ", "AZ"};
    for (std::size_t k = 0; options.areas && k < required.size(); ++k) {
      if (required[k] > (*options.areas)[k]) {
        errors.emplace_back(cls.name, 1,
                            std::string("the run would be refused: the work area ") + kAreas[k] +
                                " needs " + std::to_string(required[k]) + " elements, not " +
                                std::to_string((*options.areas)[k]) +
                                " (--areas auto sizes the areas to the job)");
      }
    }
    if (p->MAXL > kMaxLocations) {
      errors.emplace_back(cls.name, 1,
                          "MAXL " + std::to_string(p->MAXL) +
                              " is more than the reports can show (at most " +
                              std::to_string(kMaxLocations) + ")");
    }
  }
  if (sized) {
    Storage storage(*p);
    try {
      ReadJobNames(storage.lists, u, head);
      check_rest_of_names(n);
    } catch (const InputError& e) {
      errors.push_back(e);
    }
    try {
      ClsLines at;
      ReadJobControl(u, answers, head, at);
      sequence.IYS = head.IYS;
      sequence.control = true;
      Grouping& g = storage.grouping;
      for (std::int32_t k = 1;; ++k) {
        BlockResult b;
        b.StepNumber = k;
        if (!ReadBlockHeader(u, b, at)) break;
        ReadBlockBody(g, p->NGP, u, b, at);
        CutBlock(g, head, u, b, at);
        sequence.blocks.push_back(std::move(b));
        sequence.header_lines.push_back(at.header);
      }
    } catch (const InputError& e) {
      errors.push_back(e);
    }
  }
  const std::map<std::int32_t, std::int64_t> per_year = check_seq(s, seq_size, sequence, errors);
  for (std::size_t k = 0; k < sequence.blocks.size(); ++k) {
    const BlockResult& b = sequence.blocks[k];
    auto from = per_year.lower_bound(b.first_year), to = per_year.upper_bound(b.last_year);
    if (from == to) WarnEmptyBlock(c, sequence.header_lines[k], b, seq.name);
  }
  return errors;
}

}  // namespace locseq::check
