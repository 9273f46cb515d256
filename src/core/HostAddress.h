#pragma once

#include <optional>
#include <string_view>

namespace tempik::core {

/// Why the text in the host field cannot name a console.
enum class HostAddressProblem {
  blank,         ///< nothing but white space
  hasPort,       ///< a port was typed after the host ("10.0.0.5:3038"): tempik always uses 3038
  partOver255,   ///< an IPv4 address with a part above 255 ("999.1.1.1")
  notAnAddress,  ///< neither an IPv4 or IPv6 address nor a host name
};

/// Nothing when `text`, without surrounding white space, is an IPv4 address in four parts, an
/// IPv6 address or a host name (labels of letters, digits, '-' and '_'); otherwise why not.
/// Whether the name resolves is left to the connection attempt.
[[nodiscard]] std::optional<HostAddressProblem> hostAddressProblem(std::string_view text);

}  // namespace tempik::core
