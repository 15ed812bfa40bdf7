#include "classify/cls_writer.h"

#include <vector>

#include "classify/fusion_level.h"
#include "records/record_writer.h"

namespace locseq::classify {

namespace {

using records::Layout;
using records::Value;

constexpr Layout kOptions("(4(5X,A1))");
constexpr Layout kIntegers("(30I4)");
constexpr Layout kHeader("(I6,4X,A)");                 // read as (I6,4X,A8)
constexpr Layout kFusion("(3X,I4,2X,I4,2X,I4,1X,A)");  // read as (3X,I4,2X,I4,2X,I4,1X,F10.3)

}  // namespace

void write_cls_head(std::string& out, const ClsHead& h) {
  for (std::int32_t v : {h.MAXY, h.MAXL, h.MAXG, h.IYS}) out += std::to_string(v) + ' ';
  out += std::to_string(h.IYF) + '\n';
  out += h.title;
  out += '\n';
  records::format(out, kOptions, std::vector<Value>{"U", "S", h.standardized ? "S" : "C", "N"});
  records::format(out, kIntegers, std::vector<Value>{h.IYS, h.IYF});
}

void write_cls_block(std::string& out, std::int32_t year, const Name8& year_name,
                     std::int32_t retained, std::span<const std::int32_t> entries,
                     std::span<const Fusion> fusions) {
  std::string_view name(year_name.data(), year_name.size());
  name = name.substr(0, name.find_last_not_of(' ') + 1);
  records::format(out, kHeader, std::vector<Value>{year, name});
  out += std::to_string(retained) + '\n';
  records::format(out, kIntegers, std::vector<Value>(entries.begin(), entries.end()));
  for (const Fusion& f : fusions) {
    const std::string level = fusion_level_field(f.level);
    records::format(out, kFusion, std::vector<Value>{f.gi, f.gj, f.gij, std::string_view(level)});
  }
}

}  // namespace locseq::classify
