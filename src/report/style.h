// The page's style sheet.
#pragma once

#include <string_view>

namespace locseq::report {

// The CSS of the page, inlined in its head.
extern const std::string_view kPageStyle;

}  // namespace locseq::report
