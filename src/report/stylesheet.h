// The page's style sheet.
#pragma once

#include <string>

namespace locseq::report {

// The CSS of the page, inlined in its head, its colours from the palette.
const std::string& page_style();

}  // namespace locseq::report
