#pragma once

#include <optional>
#include <string_view>

#include "link/ConsoleTransport.h"
#include "net/SocketError.h"

namespace tempik::link {

/// Why a connection attempt failed, from the error its socket reported.
[[nodiscard]] LinkDown connectFailure(const net::SocketError& error);

/// Why a connection that was up ended, from the error its socket reported (none for an end
/// without error).
[[nodiscard]] LinkDown connectionLoss(const std::optional<net::SocketError>& error);

/// The problem in a few English words, for the log ("refused", "no answer", ...).
[[nodiscard]] std::string_view logText(LinkProblem problem);

}  // namespace tempik::link
