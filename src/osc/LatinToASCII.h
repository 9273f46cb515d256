#pragma once

#include <string>
#include <string_view>

// The lossy rule's transform behind ASCIIString: Latin letters and symbols spelled in ASCII,
// every other code point, control and invalid byte sequence one "?". Thread-safe.
namespace tempik::osc::detail {

/// The system's transform: ICU's Latin-ASCII where the build has ICU, the table otherwise.
std::string toPrintableASCII(std::string_view utf8);

/// The same output from a fixed table, with no library behind it: ICU's spelling of every
/// code point it changes, and the combining marks it drops after a Latin letter or a digit.
std::string toPrintableASCIIByTable(std::string_view utf8);

}  // namespace tempik::osc::detail
