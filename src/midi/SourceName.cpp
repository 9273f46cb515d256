#include "midi/SourceName.h"

#include <string_view>

namespace tempik::midi {

std::string withoutAlsaAddress(std::string name) {
  const auto space = name.rfind(' ');
  if (space == std::string::npos) return name;
  const std::string_view address = std::string_view(name).substr(space + 1);
  const auto colon = address.find(':');
  const auto isNumber = [](std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (colon == std::string_view::npos || !isNumber(address.substr(0, colon)) ||
      !isNumber(address.substr(colon + 1))) {
    return name;
  }
  name.erase(space);
  return name;
}

}  // namespace tempik::midi
