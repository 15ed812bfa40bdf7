#include "setup/units.h"

namespace locseq {

namespace {
constexpr records::Layout kLine("(A)");
}

void progress(Units& u, std::string_view text) {
  to_console_and_sco(u, records::format(kLine, {text}));
}

void to_console_and_sco(Units& u, const std::string& records) {
  u.console.put(records);
  u.sco.put(records);
}

}  // namespace locseq
