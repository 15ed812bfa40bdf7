// The bytes of a table as UTF-8 text, before anything else reads them.
#pragma once

#include <string>
#include <string_view>

#include "formats/text_encoding.h"

namespace locseq::import {

// The table's text in UTF-8: `bytes` themselves when `encoding` is UTF-8,
// else their conversion, kept in `storage`. A table starting with a UTF-16
// byte-order mark is returned as it is, for the reader to refuse. Throws
// InputError (naming `file_name`, the line, the byte's place in the line and
// in the file, and the bytes) for a UTF-8 table that is not UTF-8
// (suggesting --encoding), for a byte that has no character in `encoding`,
// and for a table given another encoding that is UTF-8 already and not
// ASCII (it would be garbled).
std::string_view table_as_utf8(std::string_view bytes, formats::text::Encoding encoding,
                               const std::string& file_name, std::string& storage);

}  // namespace locseq::import
