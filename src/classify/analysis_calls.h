// The classification's only calls into the analysis: the .SEQ record parser,
// the name-list reader, the centring and standardisation of a year and the
// default truncation level. Kept in one place so that the classification
// reads and prepares the data exactly as a run does, and follows the
// analysis when its signatures change.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/arrays.h"
#include "core/non_finite.h"
#include "records/record_reader.h"

namespace locseq::classify {

// One observation record of .SEQ.
struct SeqRecord {
  std::int32_t year = 0;      // year number
  std::int32_t location = 0;  // location number
  std::int32_t genotype = 0;  // genotype number
  float value = 0.0f;         // the observed value, as the run holds it
};

enum class SeqRead {
  Record,    // `out` holds the next record
  End,       // the end of the file
  CutShort,  // the last record is cut short (only blank lines follow): the run drops it
};

// Reads the next record of .SEQ into `out`, passing over blank lines, by the
// run's own parser. Throws InputError (naming the file and line) for a
// malformed line, and for a record with fewer than four numbers that is not
// the last one.
SeqRead next_seq_record(records::FileReader& seq, SeqRecord& out);

// Reads MAXY year names, MAXL location names and MAXG genotype names from
// .NAQ, which stands at its third record, as the run reads them (the first 8
// columns of a record each). Throws InputError when the file ends early.
void read_names(records::FileReader& naq, std::span<Name8> years, std::span<Name8> locations,
                std::span<Name8> genotypes);

// Location-centres one year in place (a MAXL x MAXG matrix, column by
// column) and, with `standardise`, divides by each location's standard
// deviation, by the run's rules; absent cells are untouched. A centred value
// beyond single precision leaves the year unchanged and is returned.
[[nodiscard]] std::optional<NonFinite> prepare_year(Mat<float> values,
                                                    Mat<const std::int32_t> presence,
                                                    bool standardise);

// The run's default truncation level for MAXL locations (MAXL >= 1).
std::int32_t default_level(std::int32_t MAXL);

}  // namespace locseq::classify
