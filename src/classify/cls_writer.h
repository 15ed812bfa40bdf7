// The records of a .CLS file, as a run reads them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "classify/ward.h"
#include "core/arrays.h"

namespace locseq::classify {

// The records before the first block.
struct ClsHead {
  std::int32_t MAXY = 0, MAXL = 0, MAXG = 0;  // the sizes of the trial
  std::int32_t IYS = 0, IYF = 0;              // the first and last year of the sequence
  std::string_view title;                     // at most 50 columns
  bool standardized = false;                  // SEDTYP "S" rather than "C"
};

// Appends the head: the five run parameters in free format on one record,
// the title, the options record (4(5X,A1)) "U S C N" or "U S S N", and the
// sequence years (30I4).
void write_cls_head(std::string& out, const ClsHead& head);

// Appends one block: the header (I6,4X,A8) with the data-year number of the
// step's last year (IYS + k - 1) and that year's name (its trailing blanks
// dropped), the retained count on its own record, the
// elimination vector (30I4), and one record (3X,I4,2X,I4,2X,I4,1X,F10.3)
// per fusion, D(ij) as fusion_level_field writes it. Labels and years must
// fit their four columns.
void write_cls_block(std::string& out, std::int32_t year, const Name8& year_name,
                     std::int32_t retained, std::span<const std::int32_t> entries,
                     std::span<const Fusion> fusions);

}  // namespace locseq::classify
