// The transform where the build has no ICU (Windows): the table.
#include "osc/LatinToASCII.h"

namespace tempik::osc::detail {

std::string toPrintableASCII(std::string_view utf8) {
  return toPrintableASCIIByTable(utf8);
}

}  // namespace tempik::osc::detail
