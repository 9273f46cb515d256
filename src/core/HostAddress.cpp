#include "core/HostAddress.h"

#include <algorithm>
#include <cstddef>

#include "core/WhiteSpace.h"

namespace tempik::core {

namespace {

constexpr std::size_t longestName = 253;
constexpr std::size_t longestLabel = 63;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool allOf(std::string_view text, bool (*test)(char)) {
  return std::all_of(text.begin(), text.end(), test);
}

// Calls visit with each part of text between separators, empty parts included.
template <class Visit>
void forEachPart(std::string_view text, char separator, Visit visit) {
  for (;;) {
    const std::size_t end = text.find(separator);
    visit(text.substr(0, end));
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

std::optional<HostAddressProblem> ipv4Problem(std::string_view text) {
  int parts = 0;
  bool malformed = false;
  bool over255 = false;
  forEachPart(text, '.', [&](std::string_view part) {
    ++parts;
    if (part.empty() || part.size() > 3) {
      malformed = malformed || part.empty();
      over255 = over255 || part.size() > 3;
      return;
    }
    int value = 0;
    for (const char digit : part) value = value * 10 + (digit - '0');
    over255 = over255 || value > 255;
  });
  if (over255) return HostAddressProblem::partOver255;
  if (malformed || parts != 4) return HostAddressProblem::notAnAddress;
  return std::nullopt;
}

// Only the characters are checked: the resolver has the last word on the grouping.
bool looksLikeIPv6(std::string_view text) {
  const std::size_t zone = text.find('%');
  const std::string_view address = text.substr(0, zone);
  return std::all_of(address.begin(), address.end(),
                     [](char c) { return isHexDigit(c) || c == ':' || c == '.'; }) &&
         (zone == std::string_view::npos || zone + 1 < text.size());
}

bool isHostName(std::string_view text) {
  if (!text.empty() && text.back() == '.') text.remove_suffix(1);  // fully qualified
  if (text.empty() || text.size() > longestName) return false;
  bool valid = true;
  forEachPart(text, '.', [&](std::string_view label) {
    valid = valid && !label.empty() && label.size() <= longestLabel && label.front() != '-' &&
            label.back() != '-' &&
            allOf(label, [](char c) { return isLetter(c) || isDigit(c) || c == '-' || c == '_'; });
  });
  return valid;
}

}  // namespace

std::optional<HostAddressProblem> hostAddressProblem(std::string_view text) {
  const std::string_view host = trimWhiteSpace(text);
  if (host.empty()) return HostAddressProblem::blank;
  const auto colons = std::count(host.begin(), host.end(), ':');
  // "[::1]:3038" and "10.0.0.5:3038": an address with a port after it.
  if (host.front() == '[') {
    return host.find("]:") != std::string_view::npos ? HostAddressProblem::hasPort
                                                     : HostAddressProblem::notAnAddress;
  }
  if (colons == 1) {
    const std::string_view after = host.substr(host.find(':') + 1);
    return allOf(after, isDigit) ? HostAddressProblem::hasPort : HostAddressProblem::notAnAddress;
  }
  if (colons > 1) {
    return looksLikeIPv6(host) ? std::nullopt : std::optional(HostAddressProblem::notAnAddress);
  }
  if (allOf(host, [](char c) { return isDigit(c) || c == '.'; })) return ipv4Problem(host);
  return isHostName(host) ? std::nullopt : std::optional(HostAddressProblem::notAnAddress);
}

}  // namespace tempik::core
